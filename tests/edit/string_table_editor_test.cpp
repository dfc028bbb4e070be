#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "edit/string_table_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

using E = EditError;
constexpr size_t kFrench = 2, kGerman = 3;

ResourceStr Table(size_t items, size_t languages = 1) {
  ResourceStr table;
  for (size_t i = 0; i < items; ++i)
    for (size_t l = 0; l < languages; ++l) table.SetString(i, l, 0, "v" + std::to_string(i) + "/" + std::to_string(l));
  return table;
}

// Which controls each layout enables; with none or several items selected no text can be edited.
TEST(StringTableEditor, LayoutBoxesEnableTheirControls) {
  // basic, languages, descriptions -> language list (and Set for all), use-languages box,
  // description box, use-descriptions box
  const std::array<bool, 7> cases[] = {
      {true, true, true, false, false, false, false},  {true, false, false, false, false, false, false},
      {false, true, true, true, true, true, true},     {false, false, true, false, true, true, true},
      {false, true, false, false, false, false, true}, {false, false, false, false, false, false, true}};
  for (const auto& c : cases) {
    ResourceStr table = Table(3);
    table.basicMode = c[0];
    table.useLanguages = c[1];
    table.useDescriptions = c[2];
    StringTableEditor editor(table);
    editor.Select({1});
    const StringControls s = editor.Controls();
    EXPECT_TRUE(s.itemList && s.textBox && s.basicModeBox);
    EXPECT_EQ((std::array{s.languageList, s.setForAll, s.useLanguagesBox, s.descriptionBox, s.useDescriptionsBox}),
              (std::array{c[3], c[3], c[4], c[5], c[6]}))
        << c[0] << c[1] << c[2];
    for (const std::vector<size_t>& selection : {std::vector<size_t>{}, std::vector<size_t>{0, 2}}) {
      editor.Select(selection);
      EXPECT_FALSE(editor.Controls().textBox || editor.Controls().descriptionBox);
      EXPECT_TRUE(editor.Controls().itemList);
    }
  }
}

// Only the languages the layout writes, and of those the ones with text, count.
TEST(StringTableEditor, WrittenStringCountFollowsTheLayout) {
  ResourceStr table = Table(3, 2);
  const std::tuple<bool, bool, bool, size_t> cases[] = {
      {false, true, true, 6}, {false, false, true, 3}, {false, true, false, 3}, {true, true, true, 3}};
  for (const auto& [basic, languages, descriptions, count] : cases) {
    table.basicMode = basic;
    table.useLanguages = languages;
    table.useDescriptions = descriptions;
    EXPECT_EQ(WrittenStringCount(table), count) << basic << languages << descriptions;
  }
}

TEST(StringTableEditor, LayoutBoxesResetTheLanguageAndRefuseWhatCannotBeWritten) {
  ResourceStr table = Table(2, 20);
  table.items[1].slots[0].value = std::string(256, 'x');
  StringTableEditor editor(table);
  editor.SetLanguage(kGerman);
  EXPECT_TRUE(editor.SetUseDescriptions(false).error == E::None && editor.Language() == 0u);
  // Basic mode would cut item 1's text; once allowed, a text cannot grow past 255 bytes.
  const EditFailure refused = editor.SetBasicMode(true);
  EXPECT_EQ(std::pair(refused.error, refused.detail), std::pair(E::TextTooLong, std::string("1")));
  EXPECT_FALSE(editor.BasicMode());
  editor.Select({1});
  EXPECT_EQ(editor.SetSelectedText(0, "short").error, E::None);
  ASSERT_EQ(editor.SetBasicMode(true).error, E::None);
  EXPECT_EQ(editor.SetSelectedText(0, std::string(256, 'y')).error, E::TextTooLong);
  EXPECT_EQ(editor.SetSelectedText(0, std::string(255, 'y')).error, E::None);
}

TEST(StringTableEditor, ListCommandsAndTheCountWord) {
  ResourceStr table = Table(3, 2);
  table.SetString(1, kFrench, 0, "Bonjour");
  table.SetString(1, kFrench, 1, "salut");
  StringTableEditor copied(table);
  copied.SetLanguage(kFrench);
  copied.Select({1});
  ASSERT_EQ(copied.SetForAll().error, E::None);
  for (const StringSlot& slot : copied.Table().items[1].slots) EXPECT_EQ(slot, (StringSlot{"Bonjour", "salut"}));

  // Add writes the current language only, and clears the filter so that the new row is seen.
  StringTableEditor editor(Table(6));
  editor.SetFilter("v1");
  editor.SetLanguage(kGerman);
  ASSERT_EQ(editor.Add().error, E::None);
  ASSERT_EQ(editor.ItemCount(), 7u);
  for (size_t l = 0; l < kLanguageCount; ++l) {
    const StringSlot& slot = editor.Table().items[6].slots[l];
    EXPECT_TRUE(slot.value == (l == kGerman ? "New Item" : "") && slot.description.empty() == (l != kGerman)) << l;
  }
  EXPECT_EQ(editor.Filter(), "");
  editor.Select({5, 2, 6});
  ASSERT_TRUE(editor.Delete());
  ASSERT_EQ(editor.ItemCount(), 4u);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_EQ(editor.Table().items[i].slots[0].value, "v" + std::to_string(i < 2 ? i : i + 1) + "/0");
  EXPECT_TRUE(editor.Selection().empty() && !editor.Delete());

  // 3276 items in 20 languages: 65520 strings; one more item would need 65540.
  ResourceStr big = Table(3276, 20);
  StringTableEditor full(big);
  EXPECT_TRUE(full.Add().error == E::TooManyStrings && full.ItemCount() == 3276u);
  big.useDescriptions = false;  // only the first language is written: room
  EXPECT_EQ(StringTableEditor(big).Add().error, E::None);
  StringTableEditor wide(Table(3300));  // one text in every language: 20 x 3300 strings
  wide.Select({0});
  EXPECT_EQ(wide.SetForAll().error, E::TooManyStrings);
  EXPECT_EQ(wide.Table().items[0].slots[5].value, "");
  EXPECT_FALSE(wide.CanUndo());
}

TEST(StringTableEditor, LineBreaksComeBackAsTheTextWroteThem) {
  struct Case { std::string original, edited, stored; } cases[] = {
      {"a\r\nb\rc\nd", "a\nb\nc\nd", "a\r\nb\rc\nd"}, {"a\r\nb", "a\nb\nc", "a\r\nb\r\nc"},
      {"a\rb", "a\nbc", "a\rbc"}, {"a\nb", "x\ny", "x\ny"}, {"ab", "a\nb", "a\r\nb"},  // no break to follow: CR LF
      {"ab", std::string("a\0b", 3), "ab"},  // a zero byte would end the text
  };
  for (const Case& c : cases) EXPECT_EQ(StoredText(c.original, c.edited), c.stored) << c.original;
  EXPECT_EQ(BoxText("a\r\nb\rc\nd\r\r\n"), "a\nb\nc\nd\n\n");

  ResourceStr table = Table(4);
  table.items[0].slots[0].value = "one\r\ntwo";
  table.items[2].slots[0].description = "Kitchen SINK";
  StringTableEditor editor(table);
  editor.Select({0});
  EXPECT_EQ(editor.SetSelectedText(0, BoxText("one\r\ntwo")).error, E::None);
  EXPECT_FALSE(editor.CanUndo());  // nothing changed, no step
  // The filter keeps the items' own numbers.
  editor.SetFilter("sink");
  EXPECT_EQ(editor.VisibleItems(), (std::vector<size_t>{2}));
}

TEST(StringTableEditor, UndoingEveryEditGivesBackTheOpeningBytes) {
  ResourceStr table = Table(4, 3);
  table.items[1].slots[0].value = "x\ry";
  const std::vector<uint8_t> opening = Encoded(table);
  StringTableEditor editor(table);
  editor.Select({1});
  editor.SetSelectedText(0, "x\ny\nz");
  editor.SetSelectedText(0, "x\ny\nzz");  // typing on: the same step
  editor.SetSelectedText(1, "note");
  editor.SetLanguage(1);
  editor.SetForAll();
  editor.Add();
  editor.Select({0, 3});
  editor.Delete();
  editor.SetUseDescriptions(false);
  const std::vector<uint8_t> edited = Encoded(editor.Table());
  int steps = 0;
  while (editor.Undo()) ++steps;
  EXPECT_TRUE(steps == 6 && editor.IsClean()) << steps;
  EXPECT_EQ(Encoded(editor.Table()), opening);
  while (editor.Redo()) continue;
  EXPECT_EQ(Encoded(editor.Table()), edited);
}

}  // namespace
}  // namespace scrivet
