#include <gtest/gtest.h>

#include <bit>
#include <tuple>
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

// Each box sets its own bit (children and adults are checked while theirs is clear); the bit
// without a box stays.
TEST(TtabEditor, FlagBoxes) {
  const std::tuple<F, bool, uint32_t> cases[] = {
      {F::Visitors, true, 0x8001}, {F::Joinable, true, 0x8002}, {F::Consecutive, true, 0x8008},
      {F::Children, false, 0x8010}, {F::Adults, false, 0x8040}, {F::AutoFirst, true, 0x8100},
      {F::Cats, true, 0x8200},      {F::Dogs, true, 0x8400}};
  for (const auto& [flag, checked, flags] : cases) {
    Fixture f;
    TtabEditor editor(f.table, f.texts);
    EXPECT_EQ(editor.Checked(flag), !checked) << int(flag);
    editor.SetChecked(flag, checked);
    EXPECT_EQ(std::pair(editor.CurrentInteraction()->flags, editor.Checked(flag)), std::pair(flags, checked)) << int(flag);
    editor.SetChecked(flag, !checked);
    EXPECT_EQ(editor.CurrentInteraction()->flags, 0x8000u) << int(flag);
  }
}

TEST(TtabEditor, JoinAndAttenuationBoxesKeepTheStoredValues) {
  Fixture f;
  f.table.interactions[0].joinIndex = 7;
  f.table.interactions[0].attenuationCode = 0;
  f.table.interactions[0].attenuationValue = std::bit_cast<uint32_t>(0.5f);
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "0");
  editor.SetChecked(F::Joinable, true);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "7");

  // A preset keeps the custom value for when Custom is chosen again.
  for (int choice : {4, 3, 2, 1, 0, -1, 5}) {  // -1 and 5 are ignored: the code stays 0
    editor.SetAttenuationChoice(choice);
    const Interaction& now = *editor.CurrentInteraction();
    EXPECT_TRUE(now.attenuationCode == uint32_t(std::max(choice % 5, 0)) &&
                now.attenuationValue == std::bit_cast<uint32_t>(0.5f)) << choice;
  }
  EXPECT_EQ(editor.AttenuationText(), "0.5");
  EXPECT_EQ(editor.EnterAttenuationValue(" 0.25 "), EditError::None);
  EXPECT_EQ(editor.CurrentInteraction()->attenuationValue, std::bit_cast<uint32_t>(0.25f));
  for (const char* bad : {"", "abc", "1.5x", "inf"})
    EXPECT_EQ(editor.EnterAttenuationValue(bad), EditError::NotANumber) << bad;
  EXPECT_EQ(editor.AttenuationText(), "0.25");
}

TEST(TtabEditor, AdvertisementRowsAndRangeChecks) {
  Fixture f;
  f.table.interactions[0].advertisements[7] = {-1, 10, 0};
  TtabEditor editor(f.table, f.texts);
  EXPECT_EQ(editor.NumberText(N::Min), "0");  // no row selected
  editor.SelectAdvertisement(3);  // Hunger: advertisement 7
  EXPECT_EQ(editor.NumberText(N::Min) + " " + editor.NumberText(N::Max), "65535 10");
  EXPECT_EQ(editor.EnterNumber(N::Max, "70000").error, EditError::OutOfRange);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_TRUE(editor.EnterNumber(N::Max, "40000").ok());
  editor.SetPersonality(22);
  editor.SetPersonality(23);  // past the list: ignored
  EXPECT_EQ(editor.CurrentInteraction()->advertisements[7], (Advertisement{-1, -25536, 22}));
  struct Case { N box; const char* text; bool ok; } cases[] = {
      {N::ActionTree, "65535", true}, {N::CheckTree, "-1", false}, {N::Threshold, "100", true},
      {N::Threshold, "101", false},   {N::JoinItem, "-1", true},   {N::Min, "1x", false}};
  editor.SetChecked(F::Joinable, true);
  for (const Case& c : cases) {
    EXPECT_EQ(editor.EnterNumber(c.box, c.text).ok(), c.ok) << c.text;
    EXPECT_TRUE(!c.ok || editor.NumberText(c.box) == c.text) << c.text;
  }
}

TEST(TtabEditor, AddAndDeleteKeepTheMenuTextsAndTheJoins) {
  Fixture f;
  f.table.interactions[1].joinIndex = 0;
  TtabEditor editor(f.table, f.texts);
  ASSERT_EQ(editor.Add().error, EditError::None);
  const Interaction& added = *editor.CurrentInteraction();
  EXPECT_TRUE(editor.Current() == 2u && added.textIndex == 2u && added.joinIndex == -1);
  EXPECT_EQ(editor.Name(2), "New Item");
  EXPECT_EQ(editor.SetName("Renamed").error, EditError::None);
  EXPECT_EQ(editor.Texts().items[2].slots[0].value, "Renamed");
  EXPECT_EQ(editor.EnterNumber(N::JoinItem, "5").error, EditError::None);  // joins are off: ignored
  editor.SetChecked(F::Joinable, true);
  EXPECT_EQ(editor.NumberText(N::JoinItem), "-1");
  EXPECT_TRUE(editor.EnterNumber(N::JoinItem, "1").ok());

  editor.Select(0);
  ASSERT_TRUE(editor.Delete());
  // The first joined the removed one; texts stay.
  EXPECT_EQ(editor.Table().interactions[0].joinIndex, -1);
  EXPECT_EQ(editor.Table().interactions[1].joinIndex, 0);
  EXPECT_TRUE(editor.Current() == 0u && editor.Count() == 2u && editor.Texts().items.size() == 3u);
  EXPECT_EQ(editor.Name(0), "second");
}

TEST(TtabEditor, UndoingEveryEditGivesBackTheOpeningBytes) {
  Fixture f;
  const auto bytes = [](const ResourceTtab& t, const ResourceStr& s) { return std::pair{Encoded(t), Encoded(s)}; };
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
  while (editor.Redo()) continue;
  EXPECT_EQ(bytes(editor.Table(), editor.Texts()), edited);
}

}  // namespace
}  // namespace scrivet
