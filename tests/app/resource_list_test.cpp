// The type list, both list modes and the refresh rule, on files generated in code.

#include "app_test_support.h"

namespace scrivet::test {
namespace {

class ResourceListTest : public ListFixture {};

TEST_F(ResourceListTest, TypesAreAlphabeticalAndRowsFollowFirstOccurrenceThenIds) {
  // Names show through Windows-1252; the written file's rsmp chunk is never listed.
  Open({{"STR#", 300, "late", Bytes("12345")},
        {"BHAV", 7, "caf\xE9 \x80", Bytes("xy")},
        {"STR#", 65535, "top", {}},
        {"objt", 5, "", Bytes("x")},
        {"STR#", 0, "zero", Bytes("z")}});
  ASSERT_NE(File().Find(IffFile::kMapType, 0), nullptr);
  EXPECT_EQ(TypeTexts(), (QStringList{">> All resources", "BHAV (1)", "objt (1)", "STR# (3)"}));
  EXPECT_EQ(list->SelectedTypeIndex(), 0);
  EXPECT_EQ(list->SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(RowTexts(), (QStringList{"STR#|0|zero (size: 1)", "STR#|300|late (size: 5)", "STR#|65535|top (size: 0)",
                                     QString::fromUtf8("BHAV|7|caf\xC3\xA9 \xE2\x82\xAC (size: 2)"),
                                     "objt|5| (size: 1)"}));
  SelectTypeText("STR#");
  EXPECT_EQ(RowTexts(),
            (QStringList{"#0: \"zero\" (size: 1)", "#300: \"late\" (size: 5)", "#65535: \"top\" (size: 0)"}));
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
  list->Delete();
  list->Properties();
  list->Duplicate();
  list->HexEdit();
  list->Export();
  list->OpenResource();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(dialogs.itemInitials.empty());
  EXPECT_TRUE(dialogs.exportCounts.empty());
  EXPECT_EQ(File().ChunkCount(), 2u);
  EXPECT_FALSE(doc->IsModified());
}

}  // namespace
}  // namespace scrivet::test
