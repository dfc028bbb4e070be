// The career, constants, function table and name editors, driven without a window.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "codecs/resource_trcn.h"
#include "core/iff_file.h"
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

TEST(CarrEditor, EachBoxChecksItsRangeAndStoresItsField) {
  // The box order of the dialog against the job's fields.
  int32_t Job::* const fields[kJobBoxCount] = {
      &Job::friends,       &Job::cooking,       &Job::mechanical,   &Job::charisma,  &Job::body,
      &Job::logic,         &Job::creativity,    &Job::hungerChange, &Job::comfortChange,
      &Job::hygieneChange, &Job::bladderChange, &Job::energyChange, &Job::funChange, &Job::socialChange,
      &Job::salary,        &Job::startHour,     &Job::endHour};
  for (size_t box = 0; box < kJobBoxCount; ++box) {
    CarrEditor editor(Career(2));
    editor.Select(1);
    ASSERT_TRUE(editor.SetJobNumber(JobBox(box), "7").ok());
    Job expected = Career(2).jobs[1];
    expected.*fields[box] = 7;
    EXPECT_EQ(editor.Career().jobs[1], expected) << "box " << box;
  }

  struct Case {
    JobBox box;
    const char* text;
    E error;
    int32_t stored;
    const char* shown;
  } cases[] = {
      {JobBox::Endtime, "24", E::OutOfRange, 0, "0"},     {JobBox::Begintime, "23", E::None, 23, "23"},
      {JobBox::Cooking, "-5", E::OutOfRange, 0, "0"},     {JobBox::Creativity, "1000", E::None, 1000, "1000"},
      {JobBox::Hunger, "-5", E::None, -5, "-5"},          {JobBox::Social, "101", E::OutOfRange, 0, "0"},
      {JobBox::Friends, "40000", E::None, 40000, "40000"}, {JobBox::Friends, "-1", E::OutOfRange, 0, "0"},
      {JobBox::Salary, "4294967295", E::None, -1, "4294967295"},
      {JobBox::Logic, "x", E::NotANumber, 0, "0"},
  };
  for (const Case& c : cases) {
    CarrEditor editor(Career(1));
    const NumberParse parse = editor.SetJobNumber(c.box, c.text);
    EXPECT_EQ(parse.error, c.error) << c.text;
    EXPECT_EQ(*editor.Career().jobs[0].Numbers()[RuleOf(c.box).field], c.stored) << c.text;
    EXPECT_EQ(editor.JobNumberText(c.box), c.shown) << c.text;
    EXPECT_EQ(editor.CanUndo(), c.error == E::None) << "a refusal leaves no step: " << c.text;
  }

  // The arrows stay inside their range, and bring a value from beyond it back in.
  CarrEditor editor(Career(1));
  ASSERT_TRUE(editor.SetJobNumber(JobBox::Friends, "40000").ok());
  editor.StepJobNumber(JobBox::Friends, 1);
  editor.StepJobNumber(JobBox::Hunger, -101);
  editor.StepJobNumber(JobBox::Endtime, 5);
  editor.StepJobNumber(JobBox::Endtime, -1);
  EXPECT_EQ(editor.Career().jobs[0].friends, 32767);
  EXPECT_EQ(editor.Career().jobs[0].hungerChange, -100);
  EXPECT_EQ(editor.Career().jobs[0].endHour, 4);
}

TEST(CarrEditor, AddAndDeleteKeepASensibleSelection) {
  struct Case {
    size_t jobs, selected;
    bool add;
    size_t count, after;
  } cases[] = {
      {3, 2, false, 2, 1},  // the last job: the new last one
      {3, 1, false, 2, 1},  // a middle job: the one that followed
      {1, 0, false, 0, kNoRow},
      {0, kNoRow, true, 1, 0},
      {3, 0, true, 4, 3},
  };
  for (const Case& c : cases) {
    CarrEditor editor(Career(c.jobs));
    editor.Select(c.selected);
    EXPECT_EQ(c.add ? editor.AddJob() : editor.DeleteJob(), E::None);
    EXPECT_EQ(editor.JobCount(), c.count);
    EXPECT_EQ(editor.Selected(), c.after);
  }
  CarrEditor editor(Career(3));
  editor.Select(1);
  editor.DeleteJob();
  EXPECT_EQ(editor.JobTextOf(JobText::Name), "Job 2");
  editor.AddJob();
  EXPECT_EQ(editor.JobTextOf(JobText::Name), "New job");

  // With no job left, the job fields read empty and refuse edits.
  CarrEditor empty(Career(1));
  empty.DeleteJob();
  EXPECT_EQ(empty.JobNumberText(JobBox::Salary), "0");
  EXPECT_EQ(empty.JobTextOf(JobText::Texture), "");
  EXPECT_EQ(empty.SetJobNumber(JobBox::Salary, "5").error, E::NoRowSelected);
  EXPECT_EQ(empty.SetJobText(JobText::Name, "x"), E::NoRowSelected);
  EXPECT_EQ(empty.DeleteJob(), E::NoRowSelected);
}

TEST(SmallEditors, TextsAreKeptAsTypedButNeverHoldAZero) {
  const std::string spaced = "Global  ", zero("a\0b", 3);
  NameEditor name("x");
  EXPECT_EQ(name.SetName(spaced), E::None);
  EXPECT_EQ(name.SetName(zero), E::ZeroInText);
  EXPECT_EQ(name.Name(), spaced);

  CarrEditor career(Career(1));
  EXPECT_EQ(career.SetCareerName(" Law "), E::None);
  EXPECT_EQ(career.SetJobText(JobText::Accessory, "hat  "), E::None);
  EXPECT_EQ(career.SetJobText(JobText::Name, zero), E::ZeroInText);
  EXPECT_EQ(career.Career().careerName, " Law ");
  EXPECT_EQ(career.Career().jobs[0].accessory, "hat  ");
  EXPECT_EQ(career.Career().jobs[0].jobName, "Job 0");
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
  EXPECT_EQ(editor.Constants().values[0], -1);
  EXPECT_EQ(Encoded(editor.Constants()), (Bytes{2, 0, 0xFF, 0xFF, 6, 0}));
  EXPECT_EQ(editor.Label(1), "Max Fun");
  EXPECT_EQ(editor.Label(7), "");

  editor.Select(1);
  EXPECT_EQ(editor.Delete(), E::None);  // the last row: the new last one
  EXPECT_EQ(editor.Selected(), 0u);
  EXPECT_EQ(editor.Delete(), E::None);  // the only row: none, and the box refuses
  EXPECT_FALSE(editor.HasSelection());
  EXPECT_EQ(editor.SetValue("3").error, E::NoRowSelected);
  EXPECT_EQ(editor.Delete(), E::NoRowSelected);
  EXPECT_EQ(editor.Add(), E::None);  // on an empty list: 0 at index 0
  EXPECT_EQ(editor.Constants().values, std::vector<int16_t>{0});
  EXPECT_EQ(editor.Selected(), 0u);

  ResourceBcon full;
  full.values.resize(ResourceBcon::kMaxValues);
  BconEditor fullEditor(full);
  EXPECT_EQ(fullEditor.Add(), E::ListFull);
  EXPECT_EQ(fullEditor.Count(), ResourceBcon::kMaxValues);
}

TEST(ObjfEditor, IdsAndTheRoutinesTheyName) {
  ResourceObjf table;
  ObjfEditor editor(table, {{{0x1000, "init"}}, {{0x0002, "idle"}}});
  EXPECT_EQ(editor.SetId(ObjfBox::Action, "70000").error, E::OutOfRange);
  EXPECT_EQ(editor.SetId(ObjfBox::Check, "70000").error, E::OutOfRange);
  EXPECT_FALSE(editor.CanUndo());
  editor.Select(30);
  EXPECT_TRUE(editor.SetId(ObjfBox::Action, "65535").ok());
  EXPECT_TRUE(editor.SetId(ObjfBox::Check, "4096").ok());
  EXPECT_EQ(editor.Table().entries[30], (FunctionEntry{4096, 65535}));

  using K = RoutineRef::Kind;
  const std::pair<uint16_t, K> refs[] = {{0, K::None}, {0x1000, K::InFile}, {2, K::Elsewhere}, {0x1001, K::Missing}};
  for (const auto& [id, kind] : refs) EXPECT_EQ(editor.Routine(id).kind, kind) << id;
  EXPECT_EQ(editor.Routine(2).name, "idle");
  EXPECT_TRUE(editor.InFile(0x1000));
  EXPECT_FALSE(editor.InFile(2));

  editor.Select(31);
  EXPECT_EQ(editor.Id(ObjfBox::Action), 0);
  EXPECT_EQ(editor.SetId(ObjfBox::Action, "1").error, E::NoRowSelected);
}

// Every editor: undo all gives back the bytes it opened with, redo all the edited ones.
TEST(SmallEditors, UndoAllGivesBackTheOpeningBytes) {
  struct Case {
    const char* name;
    std::function<Bytes()> bytes;
    std::function<void()> edit;
    std::function<bool()> undo, redo;
  };
  CarrEditor carr(Career(3));
  ResourceBcon bconStart;
  bconStart.values = {1, 2, 3};
  BconEditor bcon(bconStart);
  ObjfEditor objf{ResourceObjf()};
  NameEditor name("ring");
  const Case cases[] = {
      {"CARR", [&] { return Encoded(carr.Career()); },
       [&] {
         carr.SetCareerName("Crime");
         carr.SetJobNumber(JobBox::Hunger, "-5");
         carr.DeleteJob();
         carr.AddJob();
         carr.SetJobText(JobText::Name, "Boss");
       },
       [&] { return carr.Undo(); }, [&] { return carr.Redo(); }},
      {"BCON", [&] { return Encoded(bcon.Constants()); },
       [&] {
         bcon.SetValue("-1");
         bcon.SetEditable(true);
         bcon.Delete();
         bcon.Add();
       },
       [&] { return bcon.Undo(); }, [&] { return bcon.Redo(); }},
      {"OBJf", [&] { return Encoded(objf.Table()); },
       [&] {
         objf.SetId(ObjfBox::Action, "4096");
         objf.Select(3);
         objf.SetId(ObjfBox::Check, "8192");
       },
       [&] { return objf.Undo(); }, [&] { return objf.Redo(); }},
      {"name", [&] { return Bytes(name.Name().begin(), name.Name().end()); }, [&] { name.SetName("bell "); },
       [&] { return name.Undo(); }, [&] { return name.Redo(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes opening = c.bytes();
    c.edit();
    const Bytes edited = c.bytes();
    ASSERT_NE(edited, opening);
    while (c.undo()) {
    }
    EXPECT_EQ(c.bytes(), opening);
    while (c.redo()) {
    }
    EXPECT_EQ(c.bytes(), edited);
  }
}

TEST(BconEditor, LabelsComeFromTheTableWithTheSameId) {
  const std::filesystem::path path =
      std::filesystem::path(SCRIVET_CORPUS_DIR) / "Secondhand-Feraligatr+Sims-1-Programs-for-Legacy-Collection" /
      "PMPaintingTemplate.iff";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus file " << path;
  auto file = IffFile::OpenPath(path);
  ASSERT_TRUE(file);
  EXPECT_EQ(ConstantLabels(*file, 4096), (std::vector<std::string>{"Fun", "Max Fun", "Room Impact"}));
  EXPECT_TRUE(ConstantLabels(*file, 4097).empty());
  // A table that does not decode is no label table.
  const uint8_t broken[] = {0, 0, 0, 0, 9, 0, 0, 0};
  file->AddChunk(ResourceTrcn::kType, 4097, "", broken, sizeof broken);
  EXPECT_TRUE(ConstantLabels(*file, 4097).empty());
}

}  // namespace
}  // namespace scrivet
