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
  // stored: the field's bytes afterwards (4 bytes at the offset). Boxes never refuse: they scan what they can.
  struct Case { const char* row; B base; const char* text; uint16_t offset; uint32_t stored; ObjdBoxes boxes;
      const char* rowText; } cases[] = {
      {"Price", B::Binary, "1111111111111111", 36, 0x0000FFFF, {"1111111111111111", "65535", "FFFF"}, "-1"},
      {"Price", B::Decimal, "12a", 36, 12, {"0000000000001100", "12", "000C"}, "12"},
      {"Price", B::Decimal, "zz", 36, 0, {"0000000000000000", "0", "0000"}, "0"},
      {"Price", B::Binary, "1x1", 36, 5, {"0000000000000101", "5", "0005"}, "5"},
      {"Price", B::Hex, "0x8000", 36, 0x8000, {"1000000000000000", "32768", "8000"}, "-32768"},
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

// Taken values (other GUIDs, the current one, 0) are skipped.
TEST(ObjdEditor, NewGuidSkipsTakenValues) {
  ObjdEditor editor(ResourceObjd{}, {5, 6, 8});
  struct Case { uint32_t drawn, expected; } cases[] = {{5, 7}, {0, 1}, {8, 9}, {9, 10}};
  for (const Case& c : cases) {
    editor.NewGuid([&] { return c.drawn; });
    uint32_t value = 0;
    EXPECT_TRUE(editor.Objd().ReadField(ObjdEditor::kGuidOffset, 4, value) && value == c.expected) << c.drawn;
    EXPECT_TRUE(editor.IsGuidSelected());
  }
}

TEST(ObjdEditor, HeadingsShowNoBoxesAndUndoGivesBackTheOpeningBytes) {
  ResourceObjd objd;
  objd.block[37] = 0x80;  // Price: the word 0x8000
  ObjdEditor editor(objd);
  editor.Select(0);
  EXPECT_TRUE(editor.SelectedField() == nullptr && editor.Boxes() == ObjdBoxes{});
  EXPECT_EQ(editor.Type(B::Decimal, "5"), ObjdBoxes{});
  editor.Select(RowOf("Price"));
  EXPECT_EQ(editor.Boxes(), (ObjdBoxes{"1000000000000000", "-32768", "FFFF8000"}));
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
