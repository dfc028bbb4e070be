#include <gtest/gtest.h>

#include <bit>
#include <utility>
#include <vector>

#include "edit/ttab_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

using N = TtabNumber;
using F = TtabFlag;

// Two interactions named "first" and "second" (text indexes 1 and 0).
struct Fixture {
  ResourceTtab table;
  ResourceStr texts;
  Fixture() {
    texts.SetString(0, 0, 0, "second");
    texts.SetString(1, 0, 0, "first");
    Interaction a, b;
    a.textIndex = 1;
    a.flags = 0x8000;  // a bit without a box: kept
    b.textIndex = 0;
    table.interactions = {a, b};
  }
};

TEST(TtabEditor, FlagBoxes) {
  struct Case {
    F flag;
    bool checked;
    uint32_t flags;
  } cases[] = {
      {F::Visitors, true, 0x8001},    {F::Joinable, true, 0x8002},  {F::Consecutive, true, 0x8008},
      {F::Children, false, 0x8010},   {F::Adults, false, 0x8040},   {F::AutoFirst, true, 0x8100},
      {F::Cats, true, 0x8200},        {F::Dogs, true, 0x8400},
  };
  for (const Case& c : cases) {
    Fixture f;
    TtabEditor editor(f.table, f.texts);
    EXPECT_EQ(editor.Checked(c.flag), !c.checked) << int(c.flag);
    editor.SetChecked(c.flag, c.checked);
    EXPECT_EQ(editor.CurrentInteraction()->flags, c.flags) << int(c.flag);
    EXPECT_EQ(editor.Checked(c.flag), c.checked);
    editor.SetChecked(c.flag, !c.checked);
    EXPECT_EQ(editor.CurrentInteraction()->flags, 0x8000u) << int(c.flag);
  }
}

TEST(TtabEditor, JoinAndAttenuationBoxesKeepTheStoredValues) {
  Fixture f;
  f.table.interactions[0].joinIndex = 7;
  f.table.interactions[0].attenuationCode = 0;
  f.table.interactions[0].attenuationValue = std::bit_cast<uint32_t>(0.5f);
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "0");
  EXPECT_FALSE(editor.JoinEnabled());
  editor.SetChecked(F::Joinable, true);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "7");

  const char* shown[] = {"0.5", "0", "0.02", "0.2", "0.1"};
  for (int choice : {4, 3, 2, 1, 0}) {
    editor.SetAttenuationChoice(choice);
    EXPECT_EQ(editor.AttenuationText(), shown[choice]);
    EXPECT_EQ(editor.AttenuationEditable(), choice == 0);
    EXPECT_EQ(editor.CurrentInteraction()->attenuationCode, uint32_t(choice));
    EXPECT_EQ(editor.CurrentInteraction()->attenuationValue, std::bit_cast<uint32_t>(0.5f));
  }
  EXPECT_EQ(editor.EnterAttenuationValue(" 0.25 "), EditError::None);
  EXPECT_EQ(editor.CurrentInteraction()->attenuationValue, std::bit_cast<uint32_t>(0.25f));
  for (const char* bad : {"", "abc", "1.5x", "inf"}) EXPECT_EQ(editor.EnterAttenuationValue(bad), EditError::NotANumber);
  EXPECT_EQ(editor.AttenuationText(), "0.25");
}

TEST(TtabEditor, AdvertisementRowsAndRangeChecks) {
  Fixture f;
  f.table.interactions[0].advertisements[7] = {-1, 10, 0};
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.NumberText(N::Min), "0");  // no row selected
  EXPECT_FALSE(editor.EnterNumber(N::Max, "70000").ok());

  editor.SelectAdvertisement(3);  // Hunger: advertisement 7
  EXPECT_EQ(editor.NumberText(N::Min), "65535");
  EXPECT_EQ(editor.NumberText(N::Max), "10");
  const NumberParse refused = editor.EnterNumber(N::Max, "70000");
  EXPECT_EQ(refused.error, EditError::OutOfRange);
  EXPECT_EQ(refused.max, 65535);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_TRUE(editor.EnterNumber(N::Max, "40000").ok());
  editor.SetPersonality(22);
  editor.SetPersonality(23);  // past the list: ignored
  EXPECT_EQ(editor.CurrentInteraction()->advertisements[7], (Advertisement{-1, -25536, 22}));

  struct Case {
    N box;
    const char* text;
    bool ok;
  } cases[] = {{N::ActionTree, "65535", true}, {N::CheckTree, "-1", false}, {N::Threshold, "100", true},
               {N::Threshold, "101", false},   {N::JoinItem, "-1", true},   {N::Min, "1x", false}};
  editor.SetChecked(F::Joinable, true);
  for (const Case& c : cases) {
    EXPECT_EQ(editor.EnterNumber(c.box, c.text).ok(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(editor.NumberText(c.box), c.text);
    }
  }
  // Only the named rows are ever written.
  for (size_t ad : {0, 1, 2, 4, 10, 11, 12})
    EXPECT_EQ(editor.CurrentInteraction()->advertisements[ad], Advertisement{}) << ad;
}

TEST(TtabEditor, AddAndDeleteKeepTheMenuTextsAndTheJoins) {
  Fixture f;
  f.table.interactions[1].joinIndex = 0;
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.Name(0), "first");
  ASSERT_EQ(editor.Add().error, EditError::None);
  EXPECT_EQ(editor.Current(), 2u);
  const Interaction& added = *editor.CurrentInteraction();
  EXPECT_EQ(added.textIndex, 2u);
  EXPECT_EQ(added.joinIndex, -1);
  EXPECT_EQ(editor.Name(2), "New Item");
  EXPECT_EQ(editor.SetName("Renamed").error, EditError::None);
  EXPECT_EQ(editor.Texts().items[2].slots[0].value, "Renamed");

  editor.Select(2);
  EXPECT_EQ(editor.EnterNumber(N::JoinItem, "5").error, EditError::None);  // joins are off: ignored
  editor.SetChecked(F::Joinable, true);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "-1");
  EXPECT_TRUE(editor.EnterNumber(N::JoinItem, "1").ok());

  editor.Select(0);
  ASSERT_TRUE(editor.Delete());
  EXPECT_EQ(editor.Table().interactions[0].joinIndex, -1);  // joined the removed one
  EXPECT_EQ(editor.Table().interactions[1].joinIndex, 0);
  EXPECT_EQ(editor.Current(), 0u);
  EXPECT_EQ(editor.Count(), 2u);
  EXPECT_EQ(editor.Name(0), "second");
  EXPECT_EQ(editor.Texts().items.size(), 3u);
  EXPECT_EQ(editor.Texts().items[1].slots[0].value, "first");
}

TEST(TtabEditor, NamesBeyondTheTextTableGrowIt) {
  Fixture f;
  f.table.interactions[0].textIndex = 4;
  f.table.interactions[1].textIndex = 70000;
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.Name(0), "");
  ASSERT_EQ(editor.SetName("Sit").error, EditError::None);
  ASSERT_EQ(editor.Texts().items.size(), 5u);
  EXPECT_EQ(editor.Name(0), "Sit");
  EXPECT_EQ(editor.Texts().items[3].slots[0].value, "");
  editor.Select(1);
  EXPECT_EQ(editor.SetName("x").error, EditError::NoTextItem);
}

TEST(TtabEditor, UndoingEveryEditGivesBackTheOpeningBytes) {
  Fixture f;
  const auto bytes = [](const ResourceTtab& table, const ResourceStr& texts) {
    return std::pair{Encoded(table), Encoded(texts)};
  };
  const auto opening = bytes(f.table, f.texts);
  TtabEditor editor(f.table, f.texts);
  editor.SetName("f");
  editor.SetName("fi");  // typing on: one step
  editor.SetChecked(F::Dogs, true);
  editor.SelectAdvertisement(0);
  editor.EnterNumber(N::Min, "3");
  editor.Add();
  editor.Select(1);
  editor.Delete();
  const auto edited = bytes(editor.Table(), editor.Texts());
  int steps = 0;
  while (editor.Undo()) ++steps;
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(bytes(editor.Table(), editor.Texts()), opening);
  while (editor.Redo()) {
  }
  EXPECT_EQ(bytes(editor.Table(), editor.Texts()), edited);
}

}  // namespace
}  // namespace scrivet
