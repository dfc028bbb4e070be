#include <gtest/gtest.h>

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

TEST(StringTableEditor, LayoutBoxesEnableTheirControls) {
  struct Case {
    bool basic, languages, descriptions;
    bool languageList, useLanguagesBox, descriptionBox, useDescriptionsBox;
  } cases[] = {
      {true, true, true, false, false, false, false},    {true, false, false, false, false, false, false},
      {false, true, true, true, true, true, true},       {false, false, true, false, true, true, true},
      {false, true, false, false, false, false, true},   {false, false, false, false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.basic << c.languages << c.descriptions);
    ResourceStr table = Table(3);
    table.basicMode = c.basic;
    table.useLanguages = c.languages;
    table.useDescriptions = c.descriptions;
    StringTableEditor editor(table);
    editor.Select({1});
    StringControls s = editor.Controls();
    EXPECT_TRUE(s.itemList && s.textBox && s.basicModeBox);
    EXPECT_EQ(s.languageList, c.languageList);
    EXPECT_EQ(s.setForAll, c.languageList);
    EXPECT_EQ(s.useLanguagesBox, c.useLanguagesBox);
    EXPECT_EQ(s.descriptionBox, c.descriptionBox);
    EXPECT_EQ(s.useDescriptionsBox, c.useDescriptionsBox);
    // None or several selected: neither box can be edited.
    for (std::vector<size_t> selection : {std::vector<size_t>{}, std::vector<size_t>{0, 2}}) {
      editor.Select(selection);
      EXPECT_FALSE(editor.Controls().textBox);
      EXPECT_FALSE(editor.Controls().descriptionBox);
      EXPECT_TRUE(editor.Controls().itemList);
    }
  }
}

TEST(StringTableEditor, LayoutBoxesResetTheLanguageAndRefuseWhatCannotBeWritten) {
  ResourceStr table = Table(2, 20);
  table.items[1].slots[0].value.assign(256, 'x');
  StringTableEditor editor(table);
  editor.SetLanguage(kGerman);
  EXPECT_EQ(editor.SetUseDescriptions(false).error, E::None);
  EXPECT_EQ(editor.Language(), 0u);
  // Basic mode would cut item 1's text.
  const EditFailure refused = editor.SetBasicMode(true);
  EXPECT_EQ(refused.error, E::TextTooLong);
  EXPECT_EQ(refused.detail, "1");
  EXPECT_FALSE(editor.BasicMode());
  // In basic mode, a text cannot grow past 255 bytes.
  editor.Select({1});
  EXPECT_EQ(editor.SetSelectedText(0, "short").error, E::None);
  ASSERT_EQ(editor.SetBasicMode(true).error, E::None);
  EXPECT_EQ(editor.SetSelectedText(0, std::string(256, 'y')).error, E::TextTooLong);
  EXPECT_EQ(editor.SetSelectedText(0, std::string(255, 'y')).error, E::None);
}

TEST(StringTableEditor, SetForAllCopiesTheCurrentLanguageIntoAllTwenty) {
  ResourceStr table = Table(3, 2);
  table.SetString(1, kFrench, 0, "Bonjour");
  table.SetString(1, kFrench, 1, "salut");
  StringTableEditor editor(table);
  editor.SetLanguage(kFrench);
  editor.Select({1});
  ASSERT_EQ(editor.SetForAll().error, E::None);
  for (const StringSlot& slot : editor.Table().items[1].slots) EXPECT_EQ(slot, (StringSlot{"Bonjour", "salut"}));
  EXPECT_EQ(editor.Table().items[0], table.items[0]);
  EXPECT_EQ(editor.Table().items[2], table.items[2]);
}

TEST(StringTableEditor, AddWritesTheCurrentLanguageOnlyAndDeleteRemovesEverySelectedRow) {
  StringTableEditor editor(Table(6));
  editor.SetFilter("v1");
  editor.SetLanguage(kGerman);
  ASSERT_EQ(editor.Add().error, E::None);
  ASSERT_EQ(editor.ItemCount(), 7u);
  const StringItem& added = editor.Table().items[6];
  for (size_t l = 0; l < kLanguageCount; ++l) {
    EXPECT_EQ(added.slots[l].value, l == kGerman ? "New Item" : "") << l;
    EXPECT_EQ(added.slots[l].description.empty(), l != kGerman) << l;
  }
  EXPECT_EQ(editor.Filter(), "");  // the new row is seen

  editor.Select({5, 2, 6});
  ASSERT_TRUE(editor.Delete());
  ASSERT_EQ(editor.ItemCount(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(editor.Table().items[i].slots[0].value, "v" + std::to_string(i < 2 ? i : i + 1) + "/0");
  EXPECT_TRUE(editor.Selection().empty());
  EXPECT_FALSE(editor.Delete());
}

TEST(StringTableEditor, CommandsThatWouldOverflowTheCountWordAreRefused) {
  // 3276 items in 20 languages: 65520 strings; one more item would need 65540.
  ResourceStr table = Table(3276, 20);
  StringTableEditor full(table);
  EXPECT_EQ(full.Add().error, E::TooManyStrings);
  EXPECT_EQ(full.ItemCount(), 3276u);
  // Without descriptions only the first language is written, so there is room.
  table.useDescriptions = false;
  EXPECT_EQ(StringTableEditor(table).Add().error, E::None);

  // Copying one text into every language would make 20 x 3300 strings.
  StringTableEditor wide(Table(3300));
  wide.Select({0});
  EXPECT_EQ(wide.SetForAll().error, E::TooManyStrings);
  EXPECT_EQ(wide.Table().items[0].slots[5].value, "");
  EXPECT_FALSE(wide.CanUndo());
}

TEST(StringTableEditor, LineBreaksComeBackAsTheTextWroteThem) {
  using namespace std::string_literals;
  struct Case {
    std::string original, edited, stored;
  } cases[] = {
      {"a\r\nb\rc\nd", "a\nb\nc\nd", "a\r\nb\rc\nd"},  // unchanged: the very bytes
      {"a\r\nb", "a\nb\nc", "a\r\nb\r\nc"},
      {"a\rb", "a\nbc", "a\rbc"},
      {"a\nb", "x\ny", "x\ny"},
      {"ab", "a\nb", "a\r\nb"},   // no break to follow: CR LF
      {"ab", "a\0b"s, "ab"},      // a zero byte would end the text
  };
  for (const Case& c : cases) EXPECT_EQ(StoredText(c.original, c.edited), c.stored) << c.original;
  EXPECT_EQ(BoxText("a\r\nb\rc\nd\r"), "a\nb\nc\nd\n");

  ResourceStr table = Table(1);
  table.items[0].slots[0].value = "one\r\ntwo";
  StringTableEditor editor(table);
  editor.Select({0});
  EXPECT_EQ(editor.SetSelectedText(0, BoxText("one\r\ntwo")).error, E::None);
  EXPECT_FALSE(editor.CanUndo());  // nothing changed, no step
  editor.SetSelectedText(0, "one\ntwo\nthree");
  EXPECT_EQ(editor.Value(0), "one\r\ntwo\r\nthree");
}

TEST(StringTableEditor, FilterKeepsTheItemsOwnNumbers) {
  ResourceStr table = Table(4);
  table.items[2].slots[0].description = "Kitchen SINK";
  StringTableEditor editor(table);
  editor.SetFilter("sink");
  EXPECT_EQ(editor.VisibleItems(), (std::vector<size_t>{2}));
  editor.SetFilter("V3");
  EXPECT_EQ(editor.VisibleItems(), (std::vector<size_t>{3}));
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
  EXPECT_EQ(steps, 6);
  EXPECT_TRUE(editor.IsClean());
  EXPECT_EQ(Encoded(editor.Table()), opening);
  while (editor.Redo()) {
  }
  EXPECT_EQ(Encoded(editor.Table()), edited);
}

}  // namespace
}  // namespace scrivet
