// The Edit menu commands and the editor dispatch, driven through the scripted platform.

#include <type_traits>

// Before any Qt header: Qt defines `slots` as a keyword, and string items have slots.
#include "codecs/resource_str.h"

#include "app/editor_dispatch.h"
#include "app_test_support.h"
#include "behaviour/instruction_formatter.h"
#include "codecs/resource_bhav.h"
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

  template <class R>
  static bool Edit(R& working, EditorContext&) {
    ++calls;
    lastChunkType = working.Chunk().type;
    lastReported = working.GetType();
    if constexpr (std::is_same_v<R, ResourceData>)
      if (accept) working.bytes = Bytes("edited");
    return accept;
  }
};

template <class R>
constexpr ResourceAction kFake = OnWorkingCopy<R, &FakeEditor::Edit<R>>;

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
    FakeEditor::calls = 0;
    FakeEditor::accept = true;
    // Only stand-in editors: a real one would wait for someone to close its dialog.
    for (TypeRow& row : rows) row.edit = nullptr;
    SetEditor(rows, ResourceData::kType, kFake<ResourceData>);
    SetEditor(rows, ResourceStr::kType, kFake<ResourceStr>);
  }
};

TEST_F(CommandsTest, AddCreatesTheTypeTablesDefaultContent) {
  Open({{"BHAV", 1, "", {}}});
  dialogs.Ok("NEWT", 42, QString::fromUtf8("caf\xC3\xA9"));
  list->Add();
  EXPECT_EQ(Recipe(Find("NEWT", 42)), (ChunkRecipe{"NEWT", 42, "caf\xE9", {}}));
  EXPECT_EQ(File().PositionOf(Find("NEWT", 42)), File().ChunkCount() - 1);
  EXPECT_TRUE(doc->IsModified());
  // A type with a codec gets that class's encoding of an empty model.
  dialogs.Ok("STR#", 5, "strings");
  list->Add();
  std::vector<uint8_t> expected;
  ASSERT_TRUE(CreateResourceForType(MakeTypeCode("STR#"))->EncodeToBytes(expected));
  EXPECT_EQ(ChunkBytes(*Find("STR#", 5)), expected);
  // A 64-character name is taken and saved with 63.
  dialogs.Ok("LONG", 1, QString(64, QLatin1Char('n')));
  list->Add();
  EXPECT_EQ(Find("LONG", 1)->name, std::string(64, 'n'));
  ASSERT_TRUE(doc->Save(path, nullptr));
  auto reread = IffFile::OpenPath(path.toStdString());
  ASSERT_TRUE(reread);
  EXPECT_EQ(reread->Find(MakeTypeCode("LONG"), 1)->name, std::string(63, 'n'));
}

TEST_F(CommandsTest, ItemDialogOffersSortedTypesAndValidates) {
  Open({{"zzzz", 1, "", {}}, {"STR#", 1, "old", Bytes("old")}, {"ABCD", 3, "", {}}});
  // Wrong lengths and ids are refused and the dialog stays; then an existing identity asks (No
  // keeps the dialog open), and Yes replaces the old chunk.
  for (const char* type : {"ABC", "ABCDE"}) dialogs.Ok(type, 1, "n");
  dialogs.Ok("STR#", 65536, "n");
  dialogs.Ok("STR#", 1, "n");
  dialogs.Ok("STR#", 1, "replacement");
  platform.answers = {MessageAnswer::No, MessageAnswer::Yes};
  list->Add();
  EXPECT_EQ(dialogs.itemTypeChoices[0],
            (QStringList{"ABCD", "BCON", "BHAV", "BMP_", "CARR", "CTSS", "DGRP", "FAMs", "FWAV", "GLOB", "OBJD", "OBJf",
                         "STR#", "TTAB", "TTAs", "zzzz"}));
  ASSERT_EQ(platform.messages.size(), 5u);
  EXPECT_EQ(platform.messages[3].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.unexpected, 0);
  EXPECT_EQ(Find("STR#", 1)->name, "replacement");
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 1u);
}

TEST_F(CommandsTest, DeleteRemovesEverySelectedRowAfterYes) {
  Open({{"STR#", 1, "", {}}, {"STR#", 2, "", {}}, {"BHAV", 3, "", {}}});
  list->SelectRows({0, 2});
  platform.answers = {MessageAnswer::No, MessageAnswer::Yes};
  list->Delete();
  EXPECT_EQ(File().ChunkCount(), 4u);
  list->Delete();
  EXPECT_EQ(RowTexts(), QStringList{"STR#|2| (size: 0)"});
}

TEST_F(CommandsTest, PropertiesRenamesWithoutAskingAndReplacesAfterYes) {
  // 0x81 has no Windows-1252 character: unedited, it must come back as the same byte.
  Open({{"STR#", 1, "first", Bytes("one"), 0x0000}, {"STR#", 2, "second", Bytes("two")}, {"STR#", 3, "odd\x81", {}}});
  list->SelectRows({2});
  dialogs.OkUnchanged();
  list->Properties();
  EXPECT_EQ(Find("STR#", 3)->name, "odd\x81");
  // Only the name changes: no question.
  list->SelectRows({0});
  dialogs.Ok("STR#", 1, "renamed");
  list->Properties();
  EXPECT_EQ(dialogs.itemInitials.back().name, "first");
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(Find("STR#", 1)->name, "renamed");
  // Moving onto an existing identity asks; after Yes the moved chunk alone holds it.
  list->SelectRows({0});
  ASSERT_TRUE(doc->LoadChunk(*File().Find(MakeTypeCode("STR#"), 1), nullptr));
  dialogs.Ok("STR#", 2, "moved");
  platform.answers.push_back(MessageAnswer::Yes);
  list->Properties();
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(File().CountOfType(MakeTypeCode("STR#")), 2u);
  EXPECT_EQ(Recipe(Find("STR#", 2)), (ChunkRecipe{"STR#", 2, "moved", Bytes("one"), 0x0000}));  // flags, data stay
}

TEST_F(CommandsTest, DuplicateUsesNewFlagsAndSkipsCancelledRows) {
  Open({{"BHAV", 1, "a", Bytes("AAA"), 0x0000}, {"BHAV", 2, "b", Bytes("BBB")}});
  list->SelectRows({0, 1});
  dialogs.Ok("BHAV", 10, "copy of a");
  dialogs.Cancel();
  list->Duplicate();
  EXPECT_EQ(dialogs.itemInitials[1].id, 2);
  EXPECT_EQ(Recipe(Find("BHAV", 10)), (ChunkRecipe{"BHAV", 10, "copy of a", Bytes("AAA")}));  // new flags
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
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(CommandsTest, OpenResourceDispatchesByReportedType) {
  std::vector<uint8_t> strings;
  ASSERT_TRUE(CreateResourceForType(MakeTypeCode("STR#"))->EncodeToBytes(strings));
  Open({{"BMP_", 1, "", Bytes("BM")}, {"PALT", 2, "", Bytes("pal")}, {"TTAs", 3, "", strings}, {"XYZW", 4, "", Bytes("q")}});
  list->SelectRows({0});
  list->OpenResource();
  EXPECT_EQ(platform.messages.size(), 1u);
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
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(FakeEditor::calls, 0);
  EXPECT_EQ(ChunkBytes(*Find("STR#", 1)), (std::vector<uint8_t>{0xFD, 0xFF, 0x05, 0x00}));
  EXPECT_FALSE(doc->IsModified());
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

// Before a draw group's editor, each view asks once whether to build the blending tables.
TEST_F(CommandsTest, BlendingQuestionIsAskedOncePerViewBeforeAnEditor) {
  std::vector<uint8_t> drawGroup;
  ASSERT_TRUE(ResourceDgrp().EncodeToBytes(drawGroup));
  Open({{"DGRP", 1, "", drawGroup}});
  SetEditor(rows, ResourceDgrp::kType, kFake<ResourceDgrp>);
  FakeEditor::accept = false;
  platform.answers.push_back(MessageAnswer::Yes);
  list->OpenResource();
  list->OpenResource();
  EXPECT_EQ(platform.messages.size(), 1u);
  EXPECT_TRUE(platform.MessageTexts()[0].startsWith("Do you want to generate blending tables first?"));
  ResourceListController other(*doc, dialogs, behaviour, rows);
  other.Refresh();
  platform.answers.push_back(MessageAnswer::No);
  other.OpenResource();
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(FakeEditor::calls, 3);
}

TEST_F(CommandsTest, RoutineNamesComeFromTheEditedDocumentOnly) {
  const std::vector<uint8_t> routine = {0x02, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  SetEditor(rows, ResourceBhav::kType, OnWorkingCopy<ResourceBhav, &CallNamer::Edit>);
  Open({{"BHAV", 4096, "Mine", routine}});
  CScrivet2Doc other(platform, "IFFFile2");
  other.File().AddChunk(ResourceBhav::kType, 4096, "Theirs", routine.data(), routine.size());
  ResourceListController otherList(other, dialogs, behaviour, rows);
  otherList.Refresh();
  otherList.OpenResource();
  list->OpenResource();
  otherList.OpenResource();
  EXPECT_EQ(CallNamer::shown, (QStringList{"(priv:) Theirs", "(priv:) Mine", "(priv:) Theirs"}));
}

}  // namespace
}  // namespace scrivet::test
