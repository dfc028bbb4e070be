// The career, constants, function table and name editors, driven without a window.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "edit/bcon_editor.h"
#include "edit/carr_editor.h"
#include "edit/name_editor.h"
#include "edit/objf_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

using E = EditError;
using Bytes = std::vector<uint8_t>;

ResourceCarr Career(size_t jobs) {
  ResourceCarr career;
  career.careerName = "Law";
  for (size_t i = 0; i < jobs; ++i) {
    career.AddJob();
    career.jobs[i].jobName = "Job " + std::to_string(i);
  }
  return career;
}

// Undo all gives back the bytes the editor opened with, redo all the edited ones.
template <class Editor, class GetBytes, class Edit>
void ExpectUndoAll(Editor& editor, GetBytes bytes, Edit edit) {
  const Bytes opening = bytes();
  edit();
  const Bytes edited = bytes();
  ASSERT_NE(edited, opening);
  while (editor.Undo()) continue;
  EXPECT_EQ(bytes(), opening);
  while (editor.Redo()) continue;
  EXPECT_EQ(bytes(), edited);
}

TEST(CarrEditor, EachBoxChecksItsRangeAndStoresItsField) {
  // The box order of the dialog against the job's fields.
  int32_t Job::* const fields[kJobBoxCount] = {
      &Job::friends,      &Job::cooking,   &Job::mechanical,   &Job::charisma,      &Job::body,          &Job::logic,
      &Job::creativity,   &Job::hungerChange, &Job::comfortChange, &Job::hygieneChange, &Job::bladderChange,
      &Job::energyChange, &Job::funChange, &Job::socialChange, &Job::salary, &Job::startHour, &Job::endHour};
  for (size_t box = 0; box < kJobBoxCount; ++box) {
    CarrEditor editor(Career(2));
    editor.Select(1);
    ASSERT_TRUE(editor.SetJobNumber(JobBox(box), "7").ok());
    Job expected = Career(2).jobs[1];
    expected.*fields[box] = 7;
    EXPECT_EQ(editor.Career().jobs[1], expected) << "box " << box;
    // The arrows stop at the box's range.
    const bool skill = box >= 1 && box <= 6, motive = box >= 7 && box <= 13, hour = box >= 15;
    const int32_t low = motive ? -100 : 0, high = skill ? 1000 : motive ? 100 : hour ? 23 : 32767;
    editor.StepJobNumber(JobBox(box), -100000);
    const int32_t stepDown = editor.Career().jobs[1].*fields[box];
    editor.StepJobNumber(JobBox(box), 100000);
    EXPECT_EQ(std::pair(stepDown, editor.Career().jobs[1].*fields[box]), std::pair(low, high)) << "box " << box;
  }

  struct Case { JobBox box; const char* text; E error; int32_t stored; const char* shown; } cases[] = {
      {JobBox::Endtime, "24", E::OutOfRange, 0, "0"},     {JobBox::Begintime, "23", E::None, 23, "23"},
      {JobBox::Cooking, "-5", E::OutOfRange, 0, "0"},     {JobBox::Creativity, "1000", E::None, 1000, "1000"},
      {JobBox::Hunger, "-5", E::None, -5, "-5"},          {JobBox::Social, "101", E::OutOfRange, 0, "0"},
      {JobBox::Friends, "40000", E::None, 40000, "40000"}, {JobBox::Friends, "-1", E::OutOfRange, 0, "0"},
      {JobBox::Salary, "4294967295", E::None, -1, "4294967295"}, {JobBox::Logic, "x", E::NotANumber, 0, "0"},
  };
  for (const Case& c : cases) {
    CarrEditor editor(Career(1));
    const E error = editor.SetJobNumber(c.box, c.text).error;
    // A refusal leaves no step.
    EXPECT_EQ(std::tuple(error, *editor.Career().jobs[0].Numbers()[RuleOf(c.box).field], editor.JobNumberText(c.box),
                         editor.CanUndo()),
              std::tuple(c.error, c.stored, std::string(c.shown), c.error == E::None))
        << c.text;
  }

  // The arrows stay inside their range, and bring a value from beyond it back in.
  CarrEditor editor(Career(1));
  ASSERT_TRUE(editor.SetJobNumber(JobBox::Friends, "40000").ok());
  editor.StepJobNumber(JobBox::Friends, 1);
  editor.StepJobNumber(JobBox::Hunger, -101);
  editor.StepJobNumber(JobBox::Endtime, 5);
  editor.StepJobNumber(JobBox::Endtime, -1);
  const Job& job = editor.Career().jobs[0];
  EXPECT_EQ(std::tuple(job.friends, job.hungerChange, job.endHour), std::tuple(32767, -100, 4));
}

TEST(CarrEditor, AddAndDeleteKeepASensibleSelection) {
  struct Case { size_t jobs, selected; bool add; size_t count, after; } cases[] = {
      // The last job: the new last one; a middle job: the one that followed.
      {3, 2, false, 2, 1}, {3, 1, false, 2, 1}, {1, 0, false, 0, kNoRow}, {0, kNoRow, true, 1, 0}, {3, 0, true, 4, 3}};
  for (const Case& c : cases) {
    CarrEditor editor(Career(c.jobs));
    editor.Select(c.selected);
    EXPECT_EQ(c.add ? editor.AddJob() : editor.DeleteJob(), E::None);
    EXPECT_EQ(std::pair(editor.JobCount(), editor.Selected()), std::pair(c.count, c.after)) << c.jobs << c.add;
  }
  // With no job left, the job fields read empty and refuse edits.
  CarrEditor empty(Career(1));
  empty.DeleteJob();
  EXPECT_EQ(empty.JobNumberText(JobBox::Salary), "0");
  EXPECT_EQ(empty.SetJobNumber(JobBox::Salary, "5").error, E::NoRowSelected);
  EXPECT_TRUE(empty.SetJobText(JobText::Name, "x") == E::NoRowSelected && empty.DeleteJob() == E::NoRowSelected);

  // Texts are kept as typed but never hold a zero.
  CarrEditor career(Career(1));
  EXPECT_EQ(career.SetJobText(JobText::Accessory, "hat  "), E::None);
  EXPECT_EQ(career.SetJobText(JobText::Name, std::string("a\0b", 3)), E::ZeroInText);
  EXPECT_EQ(career.Career().jobs[0].accessory + career.Career().jobs[0].jobName, "hat  Job 0");
}

TEST(BconEditor, ValuesRowsAndLabels) {
  ResourceBcon two;
  two.values = {5, 6};
  BconEditor editor(two, {"Fun", "Max Fun", "Unused"});
  EXPECT_EQ(editor.Selected(), 0u);
  EXPECT_TRUE(editor.SetValue("+5").ok());
  EXPECT_FALSE(editor.CanUndo()) << "the same value is no step";
  EXPECT_EQ(editor.SetValue("-1").error, E::None);
  EXPECT_EQ(editor.SetValue("32768").error, E::OutOfRange);
  EXPECT_EQ(Encoded(editor.Constants()), (Bytes{2, 0, 0xFF, 0xFF, 6, 0}));
  EXPECT_EQ(editor.Label(1) + editor.Label(7), "Max Fun");

  editor.Select(1);
  EXPECT_TRUE(editor.Delete() == E::None && editor.Selected() == 0u) << "the last row: the new last one";
  EXPECT_TRUE(editor.Delete() == E::None && !editor.HasSelection()) << "the only row: none, and the box refuses";
  EXPECT_EQ(editor.SetValue("3").error, E::NoRowSelected);
  EXPECT_EQ(editor.Delete(), E::NoRowSelected);
  EXPECT_EQ(editor.Add(), E::None);  // on an empty list: 0 at index 0
  EXPECT_TRUE(editor.Constants().values == std::vector<int16_t>{0} && editor.Selected() == 0u);

  ResourceBcon full;
  full.values.resize(ResourceBcon::kMaxValues);
  BconEditor fullEditor(full);
  EXPECT_TRUE(fullEditor.Add() == E::ListFull && fullEditor.Count() == ResourceBcon::kMaxValues);
}

TEST(ObjfEditor, IdsAndTheRoutinesTheyName) {
  ResourceObjf table;
  ObjfEditor editor(table, {{{0x1000, "init"}}, {{0x0002, "idle"}}});
  for (ObjfBox box : {ObjfBox::Action, ObjfBox::Check}) EXPECT_EQ(editor.SetId(box, "70000").error, E::OutOfRange);
  EXPECT_FALSE(editor.CanUndo());
  editor.Select(30);
  EXPECT_TRUE(editor.SetId(ObjfBox::Action, "65535").ok() && editor.SetId(ObjfBox::Check, "4096").ok());
  EXPECT_EQ(editor.Table().entries[30], (FunctionEntry{4096, 65535}));

  using K = RoutineRef::Kind;
  const std::pair<uint16_t, K> refs[] = {{0, K::None}, {0x1000, K::InFile}, {2, K::Elsewhere}, {0x1001, K::Missing}};
  for (const auto& [id, kind] : refs) EXPECT_EQ(editor.Routine(id).kind, kind) << id;
  EXPECT_EQ(editor.Routine(2).name, "idle");
  EXPECT_TRUE(editor.InFile(0x1000) && !editor.InFile(2));

  editor.Select(31);
  EXPECT_TRUE(editor.Id(ObjfBox::Action) == 0 && editor.SetId(ObjfBox::Action, "1").error == E::NoRowSelected);
}

TEST(SmallEditors, UndoAllGivesBackTheOpeningBytes) {
  CarrEditor carr(Career(3));
  ExpectUndoAll(carr, [&] { return Encoded(carr.Career()); }, [&] {
    carr.SetCareerName("Crime"), carr.SetJobNumber(JobBox::Hunger, "-5"), carr.DeleteJob(), carr.AddJob();
    carr.SetJobText(JobText::Name, "Boss");
  });
  ResourceBcon constants;
  constants.values = {1, 2, 3};
  BconEditor bcon(constants);
  ExpectUndoAll(bcon, [&] { return Encoded(bcon.Constants()); },
                [&] { bcon.SetValue("-1"), bcon.SetEditable(true), bcon.Delete(), bcon.Add(); });
  ObjfEditor objf{ResourceObjf()};
  ExpectUndoAll(objf, [&] { return Encoded(objf.Table()); },
                [&] { objf.SetId(ObjfBox::Action, "4096"), objf.Select(3), objf.SetId(ObjfBox::Check, "8192"); });
  NameEditor name("ring");
  ExpectUndoAll(name, [&] { return Bytes(name.Name().begin(), name.Name().end()); }, [&] { name.SetName("bell "); });
}

}  // namespace
}  // namespace scrivet
