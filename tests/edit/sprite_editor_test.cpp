// The SPR# and SPR2 editors' logic: frame commands, fields with their ranges, view modes, once-only
// messages, import and export, and undo back to the opening bytes.
#include <gtest/gtest.h>

#include "core/stream.h"
#include "edit/sprite_editor.h"
#include "tests/edit/encoded.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::Spr2Stream;

// Palette 1; an SPR# of three 2 x 2 frames told apart by x (10, 11, 12), pixel (1, 1) transparent.
struct SprFixture {
  SprFixture() {
    file.AddTestPalette(1);
    sprite.paletteId = 1;
    for (uint16_t i = 0; i < 3; ++i) {
      IndexedImage image;
      image.Allocate(2, 2);
      for (int r = 0; r < 2; ++r)
        for (int x = 0; x < 2 - r; ++x) image.PixelRow(r)[x] = uint8_t(40 + i + r), image.SetMaskBit(x, r);
      SprFrame frame;
      frame.width = frame.height = 2;
      frame.x = uint16_t(10 + i);
      SprFrameEncoder().Encode(image, frame.pixelStream);
      sprite.frames.push_back(frame);
    }
    sprite.frameCount = 3;
  }
  gtest::TestFile file;
  ResourceSpr sprite;
};

std::vector<int> Xs(const ResourceSpr& sprite) {
  std::vector<int> xs;
  for (const SprFrame& f : sprite.frames) xs.push_back(f.x);
  return xs;
}

TEST(SpriteEditor, FrameCommandsMoveTheSelectionAndUndoToTheOpeningBytes) {
  SprFixture fx;
  const struct { size_t select; bool (SprEditor::*command)(); std::vector<int> xs; size_t selected; } cases[] = {
      {1, &SprEditor::Add, {10, 11, 12, 0}, 3},          {1, &SprEditor::Delete, {10, 12}, 1},
      {2, &SprEditor::Delete, {10, 11}, 1},              {kNoRow, &SprEditor::Delete, {10, 11, 12}, kNoRow},
      {1, &SprEditor::MoveUp, {11, 10, 12}, 0},          {0, &SprEditor::MoveUp, {10, 11, 12}, 0},
      {1, &SprEditor::MoveDown, {10, 12, 11}, 2},        {2, &SprEditor::MoveDown, {10, 11, 12}, 2},
  };
  const Bytes opening = Encoded(fx.sprite);
  for (const auto& c : cases) {
    SprEditor editor(fx.sprite);
    editor.Select(c.select);
    EXPECT_EQ((editor.*c.command)(), c.xs != Xs(fx.sprite));
    EXPECT_EQ(std::tuple(Xs(editor.Working()), editor.Selected(), size_t{editor.Working().frameCount}),
              std::tuple(c.xs, c.selected, c.xs.size()));
    while (editor.Undo()) continue;
    EXPECT_EQ(Encoded(editor.Working()), opening);
  }
  Spr2Editor spr2((ResourceSpr2()));
  EXPECT_TRUE(spr2.Add() && spr2.Selected() == 0u && spr2.Working().frameCount == 1u);
}

TEST(SpriteEditor, FieldsAreCheckedBeforeAnyIsApplied) {
  SprFixture fx;
  using S = SprEditor;
  // fields: version, palette, X, Y, Palette:
  const struct { std::vector<std::string> fields; int refused; EditError error; } kSpr[] = {
      {{"999", "7", "65535", "0", "4096"}, -1, EditError::None},
      {{"1000", "7", "1", "2", "3"}, S::kVersion, EditError::OutOfRange},  // would not read back
      {{"502", "x", "1", "2", "3"}, S::kPalette, EditError::NotANumber},
      {{"502", "7", "65536", "2", "3"}, S::kX, EditError::OutOfRange},
      {{"502", "7", "1", "", "3"}, S::kY, EditError::Empty},
  };
  for (const auto& c : kSpr) {
    SprEditor editor(fx.sprite);
    const FieldVerdict verdict = editor.Apply(c.fields);
    EXPECT_EQ(std::pair(verdict.field, verdict.parse.error), std::pair(c.refused, c.error)) << c.fields[S::kVersion];
    EXPECT_TRUE(verdict.ok() || Encoded(editor.Working()) == Encoded(fx.sprite));
  }
  SprEditor none((ResourceSpr()));
  EXPECT_TRUE(none.Apply({"600", "3"}).ok() && none.Working().version == 600u) << "without a frame, the header only";
  SprEditor editor(fx.sprite);
  ASSERT_TRUE(editor.Apply({"501", "7", "3", "4", "5"}).ok());
  EXPECT_EQ(editor.Fields(), (std::vector<std::string>{"501", "0", "3", "4", "5"})) << "501 has no palette id";

  Spr2Editor spr2((ResourceSpr2()));
  spr2.Add();
  // Stored -1: refused.
  for (const auto& [origin, stored] : {std::pair<const char*, int64_t>{"12.9", 12}, {"-0.5", 0}, {"65535.99", 65535},
                                       {"-1", -1}, {"1e3", -1}, {"7,5", -1}}) {
    const FieldVerdict verdict = spr2.Apply({"1000", "0", "4294967295", "0", "0", origin, "3"});
    EXPECT_EQ(verdict.field, stored >= 0 ? -1 : Spr2Editor::kOriginX) << origin;
    EXPECT_TRUE(stored < 0 || spr2.Working().frames[0].originX == stored) << origin;
  }
  EXPECT_TRUE(spr2.Working().frames[0].flags == 0xFFFFFFFFu && spr2.Working().frames[0].originY == 3);
}

// One frame in each view; drawing failures are reported once until Update.
TEST(SpriteEditor, ViewModesAndTheOnceOnlyMessage) {
  SprFixture fx;
  ResourcePalt palette;
  gtest::FillTestPalette(palette);
  const auto rgb = [&](int index) { return 0xFF000000 | gtest::PaletteRgb(palette, index); };
  SprEditor editor(fx.sprite);
  editor.Select(1);
  FramePicture picture;
  uint32_t around = 0;
  ASSERT_EQ(editor.Render(fx.file.file(), 0x123456, picture, around), FrameShow::Picture);
  EXPECT_EQ(std::pair(around, picture.pixels),
            std::pair(0x123456u, std::vector<uint32_t>{rgb(41), rgb(41), rgb(42), 0xFF123456}));
  editor.SetViewMode(SprEditor::View::Transparency);
  ASSERT_EQ(editor.Render(fx.file.file(), 0x123456, picture, around), FrameShow::Picture);
  EXPECT_EQ(picture.pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}));

  editor.Add();
  EXPECT_EQ(editor.Render(fx.file.file(), 0, picture, around), FrameShow::Nothing);
  editor.Apply({"502", "9", "0", "0", "0"});  // a palette the file lacks
  editor.Select(0);
  EXPECT_EQ(editor.Render(fx.file.file(), 0, picture, around), FrameShow::CantDisplay);
  EXPECT_TRUE(editor.TakeMessage() && !editor.TakeMessage());
  editor.Apply(editor.Fields());
  EXPECT_TRUE(editor.TakeMessage());

  // An SPR2 frame shows its colour, depth or alpha plane, each on its own background.
  fx.file.AddSpr2(8, 1, {{{1, 1}, Spr2Stream().NextRow().Depth({{3, 41}}).End().bytes()}});
  ResourceSpr2 sprite2;
  ASSERT_TRUE(sprite2.Load(fx.file.file(), *fx.file.file().Find(ResourceSpr2::kType, 8)));
  Spr2Editor spr2(sprite2);
  spr2.Select(0);
  std::vector<uint32_t> shown, arounds;
  for (auto view : {Spr2Editor::View::Pixels, Spr2Editor::View::Depth, Spr2Editor::View::Alpha}) {
    spr2.SetViewMode(view);
    ASSERT_EQ(spr2.Render(fx.file.file(), 0x123456, picture, around), FrameShow::Picture);
    shown.push_back(picture.pixels.at(0));
    arounds.push_back(around);
  }
  EXPECT_TRUE(shown[0] == rgb(41) && shown[1] != shown[0] && shown[2] != shown[0] && shown[1] != shown[2]);
  EXPECT_EQ(arounds, (std::vector<uint32_t>{0x123456, 0xFFFFFF, 0x000000}));
}

TEST(SpriteEditor, ImportAndExport) {
  SprFixture fx;
  SprEditor editor(fx.sprite);
  MemoryStream pixels, mask;
  ASSERT_TRUE(editor.Export(fx.file.file(), pixels, mask));

  // Into an empty sprite: the first frame, selected; a refusal changes nothing and leaves no step.
  SprEditor empty((ResourceSpr()));
  ASSERT_EQ(empty.Import(fx.file.file(), &pixels, &mask).result, SpriteImportResult::Imported);
  EXPECT_TRUE(empty.Selected() == 0u && empty.Working().frames[0].pixelStream == fx.sprite.frames[0].pixelStream);
  const Bytes before = Encoded(empty.Working());
  EXPECT_EQ(empty.Import(fx.file.file(), &mask, &mask).result, SpriteImportResult::BadPixelFile);
  EXPECT_EQ(Encoded(empty.Working()), before);
  EXPECT_TRUE(empty.Undo() && empty.FrameCount() == 0u);
  // Onto a selected frame, the first included: replaced in place, the selection stays.
  editor.Select(0);
  ASSERT_EQ(editor.Import(fx.file.file(), &pixels, &mask).result, SpriteImportResult::Imported);
  EXPECT_TRUE(editor.Selected() == 0u && editor.FrameCount() == 3u);

  fx.file.AddSpr2(7, 1, {{{2, 2}, Spr2Stream().NextRow().Depth({{3, 4}}).End().bytes()}});
  ResourceSpr2 sprite;
  ASSERT_TRUE(sprite.Load(fx.file.file(), *fx.file.file().Find(ResourceSpr2::kType, 7)));
  Spr2Editor spr2(sprite);
  RgbaPicture picture;
  ASSERT_TRUE(spr2.Export(fx.file.file(), picture).ok());
  spr2.Select(kNoRow);
  EXPECT_EQ(spr2.Export(fx.file.file(), picture).error, Spr2ExchangeError::NoSuchFrame);
  const Bytes opening = Encoded(spr2.Working());
  picture.depth.pop_back();
  EXPECT_EQ(spr2.Import(fx.file.file(), picture).error, Spr2ExchangeError::SizeMismatch);
  EXPECT_TRUE(Encoded(spr2.Working()) == opening && !spr2.CanUndo());
  picture.depth.clear();
  ASSERT_TRUE(spr2.Import(fx.file.file(), picture).ok());
  EXPECT_EQ(spr2.Selected(), 1u) << "appended with nothing selected";
  EXPECT_TRUE(spr2.Undo() && Encoded(spr2.Working()) == opening);
}

}  // namespace
}  // namespace scrivet
