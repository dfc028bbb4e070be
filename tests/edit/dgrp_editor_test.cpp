// The draw group editors' logic: field application, the sprite list commands with undo, and the notices.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "codecs/resource_spr2.h"
#include "core/iff_file.h"
#include "edit/dgrp_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

auto Tie(const DgrpSprite& s) {
  return std::tuple{s.spriteId, s.spriteIndex, s.pixelX, s.pixelY, s.zOffset, s.xOffset, s.yOffset, s.flags};
}

class DgrpEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = IffFile::CreateEmpty(false);
    for (uint16_t id : {200, 100}) {
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(ResourceSpr2().EncodeToBytes(bytes));
      file_->AddChunk(ResourceSpr2::kType, id, "sprite " + std::to_string(id), bytes.data(), bytes.size());
    }
    group_.images[1].sprites = {DgrpSprite{.spriteId = 100, .flags = 0x12}, {.spriteId = 7}, {.spriteId = 200}};
  }

  std::unique_ptr<IffFile> file_;
  ResourceDgrp group_;  // twelve images; image 1 has three sprites
};

// Sprite 0 of image 1 starts as id 100 with flags 0x12 and every other field 0.
TEST_F(DgrpEditorTest, ApplyTakesEveryFieldOrNothingAndKeepsOnlyFlipAndLuminous) {
  using F = DgrpSpriteFields;
  using Refused = DgrpFieldRefusal::Field;
  const DgrpSprite unchanged{.spriteId = 100, .flags = 0x12};
  // expected: id, index, x, y, z, x offset, y offset, flags
  const struct { const char* what; std::vector<std::pair<std::string F::*, const char*>> texts; bool flip, luminous;
      Refused refused; DgrpSprite expected; } cases[] = {
      {"flip", {}, true, false, Refused::None, {100, 0, 0, 0, 0, 0, 0, 1}},
      {"both", {}, true, true, Refused::None, {100, 0, 0, 0, 0, 0, 0, 5}},
      {"numbers", {{&F::spriteId, "200"}, {&F::spriteIndex, "4294967295"}, {&F::pixelX, "-2147483648"},
                   {&F::pixelY, " 12 "}, {&F::zOffset, "-0.25"}, {&F::yOffset, "+3"}},
       false, true, Refused::None, {200, 4294967295u, -2147483647 - 1, 12, -0.25f, 0, 3, 4}},
      {"an id that is no number is kept", {{&F::spriteId, "12a"}}, false, false, Refused::None, {.spriteId = 100}},
      {"negative index", {{&F::spriteIndex, "-1"}}, true, false, Refused::SpriteIndex, unchanged},
      {"pixel past 32 bits", {{&F::pixelY, "2147483648"}}, true, false, Refused::PixelY, unchanged},
      {"real with junk", {{&F::xOffset, "1.5x"}}, true, false, Refused::XOffset, unchanged},
      {"empty real", {{&F::yOffset, " "}}, true, false, Refused::YOffset, unchanged},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DgrpPropertiesEditor editor(*file_, group_, 1);
    DgrpSpriteFields fields = editor.SelectedFields();
    EXPECT_EQ(fields, DgrpPropertiesEditor::FieldsOf(unchanged));
    for (const auto& [field, text] : c.texts) fields.*field = text;
    fields.flip = c.flip;
    fields.luminous = c.luminous;
    EXPECT_EQ(editor.Apply(fields).field, c.refused);
    EXPECT_EQ(Tie(editor.Image().sprites[0]), Tie(c.expected));
    EXPECT_EQ(editor.CanUndo(), c.refused == Refused::None);
  }
}

TEST(DgrpHeading, OneDirectionBitNamesItAnyOtherShowsTheLowEightBits) {
  const std::tuple<uint32_t, std::optional<int>, const char*> cases[] = {
      {1, 0, "00000001"}, {128, 7, "10000000"}, {5, {}, "00000101"}, {0, {}, "00000000"}, {0x180, {}, "10000000"}};
  for (const auto& [flags, direction, digits] : cases) {
    DgrpImage image;
    image.directionFlags = flags;
    const DgrpImageHeading heading = HeadingOf(image);
    EXPECT_EQ(std::tie(heading.direction, heading.flagDigits), std::tie(direction, digits)) << flags;
  }
}

// With Auto update on, typing in one box is one step; off, nothing changes until Update, and
// switching it back on applies the fields once.
TEST_F(DgrpEditorTest, AutoUpdate) {
  DgrpPropertiesEditor editor(*file_, group_, 1);
  DgrpSpriteFields fields = editor.SelectedFields();
  for (const char* typed : {"5", "57"}) {
    fields.pixelX = typed;
    editor.FieldEdited(fields, "x");
  }
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 57);
  editor.Undo();
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 0);
  editor.SetAutoUpdate(false, fields);
  editor.FieldEdited(fields, "x");
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 0);
  editor.SetAutoUpdate(true, fields);
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 57);
}

TEST_F(DgrpEditorTest, ListCommandsMoveTheSelectionAndUndoBackToTheSameBytes) {
  const std::vector<uint8_t> opened = Encoded(group_);
  DgrpPropertiesEditor editor(*file_, group_, 1);
  auto ids = [&] {
    std::vector<uint32_t> out;
    for (const DgrpSprite& s : editor.Image().sprites) out.push_back(s.spriteId);
    return out;
  };
  EXPECT_FALSE(editor.Up() || editor.CanUndo()) << "the first sprite goes no higher";
  editor.Down();
  EXPECT_TRUE(ids() == (std::vector<uint32_t>{7, 100, 200}) && editor.SelectedSprite() == 1u);
  editor.SelectSprite(2);
  editor.Down();
  editor.Up();
  EXPECT_EQ(ids(), (std::vector<uint32_t>{7, 200, 100}));
  editor.Add();
  EXPECT_EQ(editor.SelectedSprite(), 3u);
  editor.Delete();
  EXPECT_TRUE(editor.SelectedSprite() == kNoRow && !editor.Delete());
  while (editor.Undo()) continue;
  EXPECT_TRUE(Encoded(editor.Group()) == opened && editor.IsClean());

  // The only sprite: an empty image, which the picker takes and gives back on undo.
  group_.images[0].sprites = {DgrpSprite{.spriteId = 100}};
  DgrpPropertiesEditor only(*file_, group_, 0);
  ASSERT_TRUE(only.Delete());
  EXPECT_FALSE(only.HasSprite());
  EXPECT_TRUE(only.Apply(DgrpSpriteFields{}).ok()) << "no sprite: nothing to refuse";
  EXPECT_FALSE(only.Up());
  DgrpEditor picker(group_);
  picker.TakeProperties(group_);
  EXPECT_FALSE(picker.CanUndo()) << "the same images are no step";
  picker.TakeProperties(only.Group());
  EXPECT_TRUE(picker.ShownImage().sprites.empty());
  picker.Undo();
  EXPECT_EQ(picker.ShownImage().sprites.size(), 1u);
}

TEST_F(DgrpEditorTest, EntriesNameTheSpritesAndMissingOnesAreMarked) {
  group_.images[1].sprites.push_back(DgrpSprite{.spriteId = 0x10064});  // past 16 bits: no id names it
  DgrpPropertiesEditor editor(*file_, group_, 1);
  std::vector<std::tuple<bool, std::string, size_t>> entries;
  for (const DgrpSpriteEntry& e : editor.Entries()) entries.emplace_back(e.found, e.found ? e.name : "", e.index);
  EXPECT_EQ(entries, (std::vector<std::tuple<bool, std::string, size_t>>{
                         {true, "sprite 100", 0}, {false, "", 1}, {true, "sprite 200", 2}, {false, "", 3}}));
  EXPECT_EQ(editor.SpriteIds(), (std::vector<uint16_t>{200, 100})) << "file order";
  EXPECT_TRUE(editor.TakeDrawFailureNotice() && !editor.TakeDrawFailureNotice());

  // An image the group does not have: every command does nothing.
  DgrpPropertiesEditor none(*file_, group_, 12);
  EXPECT_TRUE(none.Entries().empty() && !none.Add() && !none.CanUndo());
}

}  // namespace
}  // namespace scrivet
