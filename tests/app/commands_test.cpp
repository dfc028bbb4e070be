// The Edit menu commands and the editor dispatch, driven through the scripted platform.

#include <type_traits>

// Before any Qt header: Qt defines `slots` as a keyword, and string items have slots.
#include "codecs/resource_str.h"

#include "app/editor_dispatch.h"
#include "app_test_support.h"
#include "behaviour/instruction_formatter.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_dgrp.h"
#include "codecs/type_table.h"

namespace scrivet::test {
namespace {

// A stand-in editor: records what it was given and answers as told.
struct FakeEditor {
  static inline int calls = 0;
  static inline bool accept = true;
  static inline TypeCode lastChunkType = 0;
  static inline TypeCode lastReported = 0;
  static inline std::vector<uint8_t> newBytes;

  template <class R>
  static bool Edit(R& working, EditorContext&) {
    ++calls;
    lastChunkType = working.Chunk().type;
    lastReported = working.GetType();
    if constexpr (std::is_same_v<R, ResourceData>) {
      if (accept) working.bytes = newBytes;
    }
    return accept;
  }
  static void Reset() {
    calls = 0;
    accept = true;
    lastChunkType = lastReported = 0;
    newBytes = Bytes("edited");
  }
};

template <class R>
constexpr ResourceAction kFake = OnWorkingCopy<R, &FakeEditor::Edit<R>>;

// Gives a type of the fixture's table an editor (or, with null, takes it away).
void SetEditor(std::vector<TypeRow>& rows, TypeCode type, ResourceAction edit) {
  for (TypeRow& row : rows)
    if (row.type == type) {
      row.edit = edit;
      return;
    }
  rows.push_back({.type = type, .edit = edit});
}

// An editor that asks for TTAs 3 to be opened once it has closed.
bool HandOverToStrings(ResourceData&, EditorContext& context) {
  context.openAfterClose = {true, MakeTypeCode("TTAs"), 3};
  return false;
}

class CommandsTest : public ListFixture {
 protected:
  void SetUp() override {
    FakeEditor::Reset();
    // Only stand-in editors: a real one would wait for someone to close its dialog.
    for (TypeRow& row : rows) row.edit = nullptr;
    SetEditor(rows, ResourceData::kType, kFake<ResourceData>);
    SetEditor(rows, ResourceStr::kType, kFake<ResourceStr>);
  }
  const IffChunk* Find(const char* type, uint16_t id) {
    TypeCode code = 0;
    ParseTypeCode(type, code);
    return File().Find(code, id);
  }
};

TEST_F(CommandsTest, AddCreatesTheTypeTablesDefaultContent) {
  Open({{"BHAV", 1, "", {}}});
  dialogs.Ok("NEWT", 42, QString::fromUtf8("caf\xC3\xA9"));
  list->Add();
  EXPECT_EQ(dialogs.itemTitles, QStringList{"Add item"});
  // Defaults: the first sorted preset, id 0, empty name.
  EXPECT_EQ(dialogs.itemInitials[0].type, "BCON");
  EXPECT_EQ(dialogs.itemInitials[0].id, 0);
  EXPECT_EQ(dialogs.itemInitials[0].name, "");
  const IffChunk* added = Find("NEWT", 42);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->name, "caf\xE9");
  EXPECT_EQ(added->flags, 0x0010);
  EXPECT_EQ(added->Size(), 0u);
  EXPECT_EQ(File().PositionOf(added), File().ChunkCount() - 1);
  EXPECT_TRUE(doc->IsModified());

  // A type with a codec gets that class's encoding of an empty model.
  dialogs.Ok("STR#", 5, "strings");
  list->Add();
  std::vector<uint8_t> expected;
  ASSERT_TRUE(CreateResourceForType(MakeTypeCode("STR#"))->EncodeToBytes(expected));
  EXPECT_EQ(ChunkBytes(*Find("STR#", 5)), expected);
}

TEST_F(CommandsTest, SixtyFourCharacterNamesAreAcceptedAndStoredWithSixtyThree) {
  Open({});
  const QString name(64, QLatin1Char('n'));
  dialogs.Ok("LONG", 1, name);
  list->Add();
  EXPECT_EQ(File().Find(MakeTypeCode("LONG"), 1)->name, std::string(64, 'n'));
  ASSERT_TRUE(doc->Save(path, nullptr));
  auto reread = IffFile::OpenPath(path.toStdString());
  ASSERT_TRUE(reread);
  EXPECT_EQ(reread->Find(MakeTypeCode("LONG"), 1)->name, std::string(63, 'n'));
}

TEST_F(CommandsTest, NewCareerOffersTenJobs) {
  Open({});
  const QString question =
      "The Sims likes CARR resources to have 10 jobs in each career.\n\nDo you want Scrivet 2 to create 10 jobs for "
      "you? You can always add\nor delete jobs later, though it is recommended to keep the number of jobs at 10.";
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes);
    platform.Clear();
    dialogs.Ok("CARR", yes ? 1 : 2, "career");
    platform.answers.push_back(yes ? MessageAnswer::Yes : MessageAnswer::No);
    list->Add();
    EXPECT_EQ(platform.MessageTexts(), QStringList{question});
    EXPECT_EQ(platform.messages[0].caption, "Scrivet 2");
    ResourceCarr career;
    ASSERT_TRUE(career.Load(File(), *File().Find(ResourceCarr::kType, yes ? 1 : 2)));
    EXPECT_EQ(career.careerName, "New Career");
    EXPECT_EQ(career.jobs.size(), yes ? 10u : 0u);
  }
}

TEST_F(CommandsTest, TypeChoicesArePresetsPlusFileTypesSorted) {
  EXPECT_EQ(PresetTypes(TypeRows()), (QStringList{"BCON", "BHAV", "CARR", "DGRP", "FWAV", "GLOB", "OBJD", "OBJf",
                                                  "STR#", "BMP_", "TTAB", "TTAs", "FAMs", "CTSS"}));
  Open({{"zzzz", 1, "", {}}, {"BHAV", 1, "", {}}, {"ABCD", 3, "", {}}});
  dialogs.Cancel();
  list->Add();
  EXPECT_EQ(dialogs.itemTypeChoices[0],
            (QStringList{"ABCD", "BCON", "BHAV", "BMP_", "CARR", "CTSS", "DGRP", "FAMs", "FWAV", "GLOB", "OBJD", "OBJf",
                         "STR#", "TTAB", "TTAs", "zzzz"}));
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(CommandsTest, ItemDialogValidations) {
  Open({{"STR#", 1, "old", Bytes("old")}});
  // Wrong lengths are refused and the dialog stays; then an existing identity asks (No keeps
  // the dialog open), and Yes replaces the old chunk.
  dialogs.Ok("ABC", 1, "n");
  dialogs.Ok("ABCDE", 1, "n");
  dialogs.Ok("STR#", 65536, "n");
  dialogs.Ok("STR#", 1, "n");
  dialogs.Ok("STR#", 1, "replacement");
  platform.answers = {MessageAnswer::No, MessageAnswer::Yes};
  list->Add();
  ASSERT_EQ(platform.messages.size(), 5u);
  EXPECT_EQ(platform.messages[0].text, "The Type must be exactly 4 characters long!");
  EXPECT_EQ(platform.messages[0].caption, "Error:");
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
  EXPECT_EQ(platform.messages[1].text, "The Type must be exactly 4 characters long!");
  EXPECT_EQ(platform.messages[3].text, "This item already exists! Do you want to overwrite the existing item?");
  EXPECT_EQ(platform.messages[3].caption, "Scrivet 2");
  EXPECT_EQ(platform.messages[3].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.messages[3].icon, MessageIcon::Question);
  EXPECT_EQ(platform.unexpected, 0);
  EXPECT_EQ(Find("STR#", 1)->name, "replacement");
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 1u);
}

TEST_F(CommandsTest, DeleteAsksAndRemovesEverySelectedRow) {
  Open({{"STR#", 1, "", {}}, {"STR#", 2, "", {}}, {"BHAV", 3, "", {}}});
  list->SelectRows({0, 2});
  platform.answers.push_back(MessageAnswer::No);
  list->Delete();
  EXPECT_EQ(platform.messages.back().text, "Do you really want to delete the selected items?");
  EXPECT_EQ(platform.messages.back().caption, "Warning:");
  EXPECT_EQ(File().ChunkCount(), 4u);
  EXPECT_FALSE(doc->IsModified());

  platform.answers.push_back(MessageAnswer::Yes);
  list->Delete();
  EXPECT_EQ(Find("STR#", 1), nullptr);
  EXPECT_EQ(Find("BHAV", 3), nullptr);
  EXPECT_NE(Find("STR#", 2), nullptr);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(RowTexts(), QStringList{"STR#|2| (size: 0)"});
}

TEST_F(CommandsTest, PropertiesRenamesWithoutAskingAndReplacesAfterYes) {
  Open({{"STR#", 1, "first", Bytes("one"), 0x0000}, {"STR#", 2, "second", Bytes("two")}});
  // Only the name changes: no question.
  dialogs.Ok("STR#", 1, "renamed");
  list->Properties();
  EXPECT_EQ(dialogs.itemTitles.back(), "Edit properties");
  EXPECT_EQ(dialogs.itemInitials.back().name, "first");
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(Find("STR#", 1)->name, "renamed");

  // Moving onto an existing identity asks; after Yes exactly one chunk (the moved one) is left.
  list->SelectRows({0});
  ASSERT_TRUE(doc->LoadChunk(*File().Find(MakeTypeCode("STR#"), 1), nullptr));
  dialogs.Ok("STR#", 2, "moved");
  platform.answers.push_back(MessageAnswer::Yes);
  list->Properties();
  EXPECT_EQ(platform.messages.size(), 1u) << "the replacement is asked for";
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 1u);
  const IffChunk* moved = Find("STR#", 2);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->name, "moved");
  EXPECT_EQ(moved->flags, 0x0000);  // flags and data stay
  EXPECT_EQ(ChunkBytes(*moved), Bytes("one"));
}

TEST_F(CommandsTest, PropertiesKeepsUneditedNameBytes) {
  // 0x81 has no Windows-1252 character: it must come back as the same byte.
  Open({{"STR#", 1, std::string("odd\x81name"), {}}});
  dialogs.OkUnchanged();
  list->Properties();
  EXPECT_EQ(Find("STR#", 1)->name, std::string("odd\x81name"));
}

TEST_F(CommandsTest, DuplicateUsesNewFlagsAndSkipsCancelledRows) {
  Open({{"BHAV", 1, "a", Bytes("AAA"), 0x0000}, {"BHAV", 2, "b", Bytes("BBB")}});
  list->SelectRows({0, 1});
  dialogs.Ok("BHAV", 10, "copy of a");
  dialogs.Cancel();
  list->Duplicate();
  EXPECT_EQ(dialogs.itemTitles, (QStringList{"Duplicate Item", "Duplicate Item"}));
  EXPECT_EQ(dialogs.itemInitials[1].id, 2);
  const IffChunk* copy = Find("BHAV", 10);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->flags, 0x0010);
  EXPECT_EQ(copy->name, "copy of a");
  EXPECT_EQ(ChunkBytes(*copy), Bytes("AAA"));
  EXPECT_EQ(File().CountOfType(MakeTypeCode("BHAV")), 3u);
}

TEST_F(CommandsTest, HexEditWritesBackOnOkOnly) {
  Open({{"STR#", 1, "s", Bytes("original")}});
  FakeEditor::accept = false;
  list->HexEdit();
  EXPECT_EQ(FakeEditor::calls, 1);
  EXPECT_EQ(FakeEditor::lastReported, ResourceData::kType);  // the raw editor, not the string one
  EXPECT_EQ(ChunkBytes(*Find("STR#", 1)), Bytes("original"));
  EXPECT_FALSE(doc->IsModified());

  FakeEditor::accept = true;
  list->HexEdit();
  EXPECT_EQ(ChunkBytes(*Find("STR#", 1)), Bytes("edited"));
  EXPECT_EQ(Find("STR#", 1)->type, MakeTypeCode("STR#"));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(CommandsTest, OpenResourceDispatchesByReportedType) {
  std::vector<uint8_t> strings;
  ASSERT_TRUE(CreateResourceForType(MakeTypeCode("STR#"))->EncodeToBytes(strings));
  Open({{"BMP_", 1, "", Bytes("BM")}, {"PALT", 2, "", Bytes("pal")}, {"TTAs", 3, "", strings}, {"XYZW", 4, "", Bytes("q")}});
  // BMP_: its message, nothing else.
  list->SelectRows({0});
  list->OpenResource();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "This resource should be edited by exporting and importing it to a .BMP file!");
  EXPECT_EQ(platform.messages[0].caption, "Scrivet 2");
  EXPECT_EQ(FakeEditor::calls, 0);

  // PALT and unknown types open as raw data.
  for (int row : {1, 3}) {
    list->SelectRows({row});
    list->OpenResource();
    EXPECT_EQ(FakeEditor::lastReported, ResourceData::kType);
  }
  EXPECT_EQ(FakeEditor::calls, 2);

  // TTAs goes to the string table editor and keeps its own type when saved.
  list->SelectRows({2});
  FakeEditor::accept = true;
  list->OpenResource();
  EXPECT_EQ(FakeEditor::lastReported, MakeTypeCode("STR#"));
  EXPECT_EQ(FakeEditor::lastChunkType, MakeTypeCode("TTAs"));
  EXPECT_NE(Find("TTAs", 3), nullptr);
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 0u);

  // An editor may hand over to another resource once it has closed.
  SetEditor(rows, ResourceData::kType, OnWorkingCopy<ResourceData, &HandOverToStrings>);
  FakeEditor::calls = 0;
  list->SelectRows({1});
  list->OpenResource();
  EXPECT_EQ(FakeEditor::calls, 1);
  EXPECT_EQ(FakeEditor::lastChunkType, MakeTypeCode("TTAs"));
}

TEST_F(CommandsTest, UndecodableResourceShowsTheLoadErrorAndChangesNothing) {
  // A string table whose format word promises more than the data holds.
  Open({{"STR#", 1, "", {0xFD, 0xFF, 0x05, 0x00}}});
  list->OpenResource();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text, "Error while loading this resource or unknown format!");
  EXPECT_EQ(FakeEditor::calls, 0);
  EXPECT_EQ(ChunkBytes(*Find("STR#", 1)), (std::vector<uint8_t>{0xFD, 0xFF, 0x05, 0x00}));
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(CommandsTest, TypesWithoutAnEditorDoNothing) {
  SetEditor(rows, ResourceData::kType, nullptr);
  Open({{"XYZW", 1, "", Bytes("q")}});
  list->OpenResource();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(CommandsTest, BlendingQuestionIsAskedOncePerViewBeforeAnEditor) {
  std::vector<uint8_t> drawGroup;
  ASSERT_TRUE(ResourceDgrp().EncodeToBytes(drawGroup));
  Open({{"DGRP", 1, "", drawGroup}});
  const QString question =
      "Do you want to generate blending tables first?\n\nThis will take some seconds but may speed up displaying "
      "large objects.";
  // Without an editor nothing opens, so nothing is asked.
  list->OpenResource();
  EXPECT_TRUE(platform.messages.empty());

  SetEditor(rows, ResourceDgrp::kType, kFake<ResourceDgrp>);
  FakeEditor::accept = false;
  platform.answers.push_back(MessageAnswer::Yes);
  list->OpenResource();
  list->OpenResource();
  EXPECT_EQ(platform.MessageTexts(), QStringList{question});
  EXPECT_EQ(platform.messages[0].caption, "Question:");
  EXPECT_EQ(FakeEditor::calls, 2);

  // Another view asks again.
  ResourceListController other(*doc, dialogs, behaviour, rows);
  other.Refresh();
  platform.answers.push_back(MessageAnswer::No);
  other.OpenResource();
  EXPECT_EQ(platform.MessageTexts().count(question), 2);
  EXPECT_EQ(FakeEditor::calls, 3);
  EXPECT_EQ(platform.unexpected, 0);
}

// What a routine editor shows for a call to 4096: the name it has in the edited document.
struct CallNamer {
  static inline QStringList shown;
  static bool Edit(ResourceBhav&, EditorContext& context) {
    InstructionFormatter formatter(context.primitives, &context.functions, &context.privateFunctions);
    ScriptValue name;
    formatter.EvaluateExpression("function(4096)", {}, name);
    shown << QString::fromStdString(name.text);
    return false;
  }
};

TEST_F(CommandsTest, RoutineNamesComeFromTheEditedDocumentOnly) {
  const std::vector<uint8_t> routine = {0x02, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  SetEditor(rows, ResourceBhav::kType, OnWorkingCopy<ResourceBhav, &CallNamer::Edit>);
  Open({{"BHAV", 4096, "Mine", routine}});
  CScrivet2Doc other(platform, "IFFFile2");
  other.File().AddChunk(ResourceBhav::kType, 4096, "Theirs", routine.data(), routine.size());
  ResourceListController otherList(other, dialogs, behaviour, rows);
  otherList.Refresh();

  CallNamer::shown.clear();
  otherList.OpenResource();
  list->OpenResource();
  otherList.OpenResource();
  EXPECT_EQ(CallNamer::shown, (QStringList{"(priv:) Theirs", "(priv:) Mine", "(priv:) Theirs"}));
}

}  // namespace
}  // namespace scrivet::test
