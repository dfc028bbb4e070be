// The type list, both list modes and the refresh rule, on files generated in code.

#include "app_test_support.h"

namespace scrivet::test {
namespace {

class ResourceListTest : public ListFixture {};

TEST_F(ResourceListTest, TypeListIsAlphabeticalWithAllResourcesFirstAndNoMap) {
  Open({{"STR#", 3, "c", Bytes("abc")},
        {"STR#", 1, "a", Bytes("a")},
        {"BHAV", 9, "b", Bytes("bb")},
        {"STR#", 2, "b", {}},
        {"objt", 5, "lower case", Bytes("x")}});
  // The written file carries an rsmp chunk; it is never listed.
  ASSERT_NE(File().Find(IffFile::kMapType, 0), nullptr);
  EXPECT_EQ(TypeTexts(), (QStringList{">> All resources", "BHAV (1)", "objt (1)", "STR# (3)"}));
  EXPECT_EQ(list->SelectedTypeIndex(), 0);
}

TEST_F(ResourceListTest, AllResourcesModeFollowsFirstOccurrenceThenIds) {
  Open({{"STR#", 300, "late", Bytes("12345")},
        {"BHAV", 7, "routine", Bytes("xy")},
        {"STR#", 65535, "top", {}},
        {"STR#", 2, "low", Bytes("z")}});
  EXPECT_TRUE(list->Resources().AllMode());
  EXPECT_EQ(list->Resources().columnCount(), 3);
  EXPECT_EQ(list->Resources().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Type");
  EXPECT_EQ(list->Resources().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "ID");
  EXPECT_EQ(list->Resources().headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Resource");
  EXPECT_EQ(RowTexts(), (QStringList{"STR#|2|low (size: 1)", "STR#|300|late (size: 5)", "STR#|65535|top (size: 0)",
                                     "BHAV|7|routine (size: 2)"}));
  // The first row is selected after opening.
  EXPECT_EQ(list->SelectedRows(), std::vector<int>{0});
  EXPECT_TRUE(list->HasSelection());
}

TEST_F(ResourceListTest, TypeModeListsIdsAscendingAndUnsigned) {
  Open({{"STR#", 65535, "max", Bytes("1")}, {"STR#", 0, "zero", {}}, {"BHAV", 1, "other", {}}});
  SelectTypeText("STR#");
  EXPECT_FALSE(list->Resources().AllMode());
  EXPECT_EQ(list->Resources().columnCount(), 1);
  EXPECT_EQ(RowTexts(), (QStringList{"#0: \"zero\" (size: 0)", "#65535: \"max\" (size: 1)"}));
}

TEST_F(ResourceListTest, NamesShowThroughWindows1252) {
  Open({{"STR#", 1, "caf\xE9 \x80", {}}});
  EXPECT_EQ(RowTexts(), QStringList{QString::fromUtf8("STR#|1|caf\xC3\xA9 \xE2\x82\xAC (size: 0)")});
}

TEST_F(ResourceListTest, RefreshKeepsIndexesAndFallsBackWhenTheyVanish) {
  Open({{"AAAA", 1, "", {}}, {"BBBB", 1, "", {}}, {"BBBB", 2, "", {}}, {"BBBB", 3, "", {}}});
  SelectTypeText("BBBB");
  list->SelectRows({2});
  File().RemoveChunk(MakeTypeCode("BBBB"), 3);
  doc->ContainerChanged();
  // Row index 2 is gone: row 0 is selected instead; the type stays.
  EXPECT_EQ(list->SelectedTypeIndex(), 2);
  EXPECT_EQ(list->SelectedRows(), std::vector<int>{0});
  EXPECT_TRUE(doc->IsModified());

  // Removing the last two BBBB chunks drops the type entry: the remembered index is out of range.
  File().RemoveChunk(MakeTypeCode("BBBB"), 1);
  File().RemoveChunk(MakeTypeCode("BBBB"), 2);
  doc->ContainerChanged();
  EXPECT_EQ(TypeTexts(), (QStringList{">> All resources", "AAAA (1)"}));
  EXPECT_EQ(list->SelectedTypeIndex(), 0);
  EXPECT_EQ(list->SelectedRows(), std::vector<int>{0});
}

TEST_F(ResourceListTest, CommandsNeedingASelectionDoNothingWithoutOne) {
  Open({{"STR#", 1, "", Bytes("x")}});
  list->ResourceSelection().clear();
  EXPECT_FALSE(list->HasSelection());
  list->Delete();
  list->Properties();
  list->Duplicate();
  list->HexEdit();
  list->Export();
  list->OpenResource();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(dialogs.itemTitles.isEmpty());
  EXPECT_TRUE(dialogs.exportCounts.empty());
  EXPECT_EQ(File().ChunkCount(), 2u);
  EXPECT_FALSE(doc->IsModified());
}

TEST_F(ResourceListTest, ListsFollowChangesMadeThroughAnotherView) {
  Open({{"STR#", 1, "", {}}});
  ResourceListController second(*doc, dialogs, behaviour);
  second.Refresh();
  platform.answers.push_back(MessageAnswer::Yes);
  list->Delete();
  EXPECT_EQ(second.Resources().rowCount(), 0);
  EXPECT_EQ(second.Types().rowCount(), 1);
}

}  // namespace
}  // namespace scrivet::test
