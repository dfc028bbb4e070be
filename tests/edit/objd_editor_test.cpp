#include <gtest/gtest.h>

#include "edit/objd_editor.h"

namespace scrivet {
namespace {

using B = NumberBase;

size_t RowOf(const char* label) {
  for (size_t row = 0; row < ObjdEditor::Rows().size(); ++row)
    if (std::string_view(ObjdEditor::Rows()[row].label) == label) return row;
  ADD_FAILURE() << label;
  return 0;
}

TEST(ObjdEditor, BoxesStoreTheLowBytesOfWhatTheyRead) {
  // stored: the field's bytes afterwards (4 bytes at the offset)
  struct Case { const char* row; B base; const char* text; uint16_t offset; uint32_t stored; ObjdBoxes boxes;
      const char* rowText; } cases[] = {
      {"Price", B::Binary, "1111111111111111", 36, 0x0000FFFF, {"1111111111111111", "65535", "FFFF"}, "-1"},
      {"Price", B::Decimal, "12a", 36, 12, {"0000000000001100", "12", "000C"}, "12"},
      {"Price", B::Decimal, "zz", 36, 0, {"0000000000000000", "0", "0000"}, "0"},
      {"Price", B::Binary, "1x1", 36, 5, {"0000000000000101", "5", "0005"}, "5"},
      {"Price", B::Hex, "0x8000", 36, 0x8000, {"1000000000000000", "32768", "8000"}, "-32768"},
      {"Price", B::Decimal, "-2", 36, 0xFFFE, {"1111111111111110", "-2", "FFFFFFFE"}, "-2"},
      // A 1-byte field writes only its byte; its row shows the whole word (0x12 stays above).
      {"Room flags", B::Decimal, "511", 78, 0x12FF, {"11111111", "511", "01FF"}, "4863"},
      {"Global Unique ID", B::Hex, "deadbeef", 28, 0xDEADBEEF,
       {"11011110101011011011111011101111", "-559038737", "DEADBEEF"}, "DEADBEEF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ResourceObjd objd;
    objd.block[79] = 0x12;
    ObjdEditor editor(objd);
    editor.Select(RowOf(c.row));
    EXPECT_EQ(editor.Type(c.base, c.text), c.boxes);
    uint32_t stored = 0;
    editor.Objd().ReadField(c.offset, 4, stored);
    EXPECT_EQ(std::pair(stored, editor.ValueText(editor.Selected())), std::pair(c.stored, std::string(c.rowText)));
  }
}

TEST(ObjdEditor, SelectingShowsTheSignedWordAndHeadingsDisableTheBoxes) {
  ResourceObjd objd;
  objd.block[37] = 0x80;  // Price: the word 0x8000
  objd.block[78] = 0x05, objd.block[79] = 0x01;  // Room flags' word: 0x0105
  ObjdEditor editor(objd);
  EXPECT_EQ(editor.Selected(), 1u);  // Version
  EXPECT_EQ(editor.Boxes(), (ObjdBoxes{"00000000000000000000000010001010", "138", "0000008A"}));
  editor.Select(RowOf("Price"));
  EXPECT_EQ(editor.Boxes(), (ObjdBoxes{"1000000000000000", "-32768", "FFFF8000"}));
  editor.Select(RowOf("Room flags"));
  EXPECT_EQ(editor.Boxes(), (ObjdBoxes{"00000101", "261", "0105"}));
  editor.Select(0);
  EXPECT_EQ(editor.SelectedField(), nullptr);
  EXPECT_EQ(editor.Boxes(), ObjdBoxes{});
  EXPECT_EQ(editor.Type(B::Decimal, "5"), ObjdBoxes{});
  EXPECT_TRUE(editor.Objd().ModelEquals(objd));
}

TEST(ObjdEditor, FindFieldAndNewGuid) {
  ObjdEditor editor(ResourceObjd{}, {5, 6, 8});
  const size_t guid = editor.FindField("gUID");  // not the heading "--- GUID info"
  EXPECT_EQ(guid, RowOf("Original GUID"));
  EXPECT_EQ(editor.FindField("guid", RowOf("Type attribute GUID") + 1), guid);  // wraps round
  EXPECT_EQ(editor.FindField(""), kNoRow);

  // Taken values (other GUIDs, the current one, 0) are skipped.
  struct Case { uint32_t drawn, expected; } cases[] = {{5, 7}, {0, 1}, {8, 9}, {9, 10}};
  for (const Case& c : cases) {
    editor.NewGuid([&] { return c.drawn; });
    uint32_t value = 0;
    editor.Objd().ReadField(ObjdEditor::kGuidOffset, 4, value);
    EXPECT_TRUE(value == c.expected && editor.IsGuidSelected()) << c.drawn;
  }
}

TEST(ObjdEditor, UndoingEveryEditGivesBackTheOpeningBytes) {
  ResourceObjd objd;
  objd.block[100] = 0x42;
  ObjdEditor editor(objd);
  editor.Select(RowOf("Price"));
  editor.Type(B::Decimal, "1");
  editor.Type(B::Decimal, "12");  // typing on: one step
  editor.Select(RowOf("Room flags"));
  editor.Type(B::Binary, "1");
  editor.NewGuid([] { return 99u; });
  const auto edited = editor.Objd().block;
  int steps = 0;
  while (editor.Undo()) ++steps;
  EXPECT_EQ(steps, 3);
  EXPECT_TRUE(editor.Objd().ModelEquals(objd));
  EXPECT_EQ(editor.Selected(), RowOf("Price"));
  while (editor.Redo()) continue;
  EXPECT_EQ(editor.Objd().block, edited);
}

}  // namespace
}  // namespace scrivet
