// The draw group editors' logic: image headings, field application, Auto update, the sprite list
// commands with undo, and the notices.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "codecs/resource_spr2.h"
#include "core/iff_file.h"
#include "edit/dgrp_editor.h"
#include "tests/edit/encoded.h"

namespace scrivet {
namespace {

DgrpSprite Sprite(uint32_t id, uint32_t flags = 0) {
  DgrpSprite s;
  s.spriteId = id;
  s.flags = flags;
  return s;
}

class DgrpEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = IffFile::CreateEmpty(false);
    for (uint16_t id : {200, 100}) {
      ResourceSpr2 sprite;
      std::vector<uint8_t> bytes;
      ASSERT_TRUE(sprite.EncodeToBytes(bytes));
      file_->AddChunk(ResourceSpr2::kType, id, "sprite " + std::to_string(id), bytes.data(), bytes.size());
    }
    group_.images[1].sprites = {Sprite(100, 0x12), Sprite(7), Sprite(200)};
  }

  std::unique_ptr<IffFile> file_;
  ResourceDgrp group_;  // twelve images; image 1 has three sprites
};

TEST_F(DgrpEditorTest, HeadingsNameOneDirectionOrShowTheLowEightBits) {
  const struct {
    uint32_t flags;
    std::optional<int> direction;
    const char* digits;
  } cases[] = {
      {1, 0, "00000001"}, {2, 1, "00000010"},     {64, 6, "01000000"},       {128, 7, "10000000"},
      {5, {}, "00000101"}, {0, {}, "00000000"}, {0x180, {}, "10000000"},
  };
  for (const auto& c : cases) {
    DgrpImage image;
    image.directionFlags = c.flags;
    const DgrpImageHeading heading = HeadingOf(image);
    EXPECT_EQ(heading.direction, c.direction) << c.flags;
    EXPECT_EQ(heading.flagDigits, c.digits) << c.flags;
  }
}

// Sprite 0 of image 1 starts as id 100 with flags 0x12 and every other field 0.
TEST_F(DgrpEditorTest, ApplyTakesEveryFieldOrNothingAndKeepsOnlyFlipAndLuminous) {
  using F = DgrpSpriteFields;
  using Refused = DgrpFieldRefusal::Field;
  struct Expected {
    uint32_t id, index;
    int32_t x, y;
    float xOffset, yOffset, zOffset;
    uint32_t flags;
  };
  const struct {
    const char* what;
    std::vector<std::pair<std::string F::*, const char*>> texts;
    bool flip, luminous;
    Refused refused;
    Expected expected;
  } cases[] = {
      {"flip on, luminous off", {}, true, false, Refused::None, {100, 0, 0, 0, 0, 0, 0, 1}},
      {"both", {}, true, true, Refused::None, {100, 0, 0, 0, 0, 0, 0, 5}},
      {"numbers",
       {{&F::spriteId, "200"}, {&F::spriteIndex, "4294967295"}, {&F::pixelX, "-2147483648"}, {&F::pixelY, " 12 "},
        {&F::zOffset, "-0.25"}, {&F::yOffset, "+3"}},
       false, true, Refused::None, {200, 4294967295u, -2147483647 - 1, 12, 0, 3, -0.25f, 4}},
      {"a sprite id that is no number is kept", {{&F::spriteId, "12a"}}, false, false, Refused::None,
       {100, 0, 0, 0, 0, 0, 0, 0}},
      {"negative index", {{&F::spriteIndex, "-1"}}, true, false, Refused::SpriteIndex, {100, 0, 0, 0, 0, 0, 0, 0x12}},
      {"pixel past 32 bits", {{&F::pixelY, "2147483648"}}, true, false, Refused::PixelY, {100, 0, 0, 0, 0, 0, 0, 0x12}},
      {"real with junk", {{&F::xOffset, "1.5x"}}, true, false, Refused::XOffset, {100, 0, 0, 0, 0, 0, 0, 0x12}},
      {"real past float", {{&F::zOffset, "1e39"}}, true, false, Refused::ZOffset, {100, 0, 0, 0, 0, 0, 0, 0x12}},
      {"empty real", {{&F::yOffset, " "}}, true, false, Refused::YOffset, {100, 0, 0, 0, 0, 0, 0, 0x12}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DgrpPropertiesEditor editor(*file_, group_, 1);
    DgrpSpriteFields fields = editor.SelectedFields();
    EXPECT_EQ(fields.spriteId, "100");
    EXPECT_EQ(fields.zOffset, "0");
    EXPECT_FALSE(fields.flip || fields.luminous) << "0x12 has neither bit";
    for (const auto& [field, text] : c.texts) fields.*field = text;
    fields.flip = c.flip;
    fields.luminous = c.luminous;
    EXPECT_EQ(editor.Apply(fields).field, c.refused);
    const DgrpSprite& got = editor.Image().sprites[0];
    const Expected& e = c.expected;
    EXPECT_EQ(got.spriteId, e.id);
    EXPECT_EQ(got.spriteIndex, e.index);
    EXPECT_EQ(got.pixelX, e.x);
    EXPECT_EQ(got.pixelY, e.y);
    EXPECT_EQ(got.xOffset, e.xOffset);
    EXPECT_EQ(got.yOffset, e.yOffset);
    EXPECT_EQ(got.zOffset, e.zOffset);
    EXPECT_EQ(got.flags, e.flags);
    EXPECT_EQ(editor.CanUndo(), c.refused == Refused::None);
  }
}

TEST_F(DgrpEditorTest, AutoUpdateOffChangesNothingUntilUpdate) {
  DgrpPropertiesEditor editor(*file_, group_, 1);
  EXPECT_TRUE(editor.AutoUpdate());
  DgrpSpriteFields fields = editor.SelectedFields();
  fields.pixelX = "5";
  editor.FieldEdited(fields, "x");
  fields.pixelX = "57";
  editor.FieldEdited(fields, "x");
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 57);
  editor.Undo();
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 0) << "typing in one box is one step";

  editor.SetAutoUpdate(false, fields);
  editor.FieldEdited(fields, "x");
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 0);
  editor.SetAutoUpdate(true, fields);
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 57) << "switching it on applies once";
  editor.SetAutoUpdate(false, fields);
  fields.pixelX = "9";
  editor.Apply(fields);
  EXPECT_EQ(editor.Image().sprites[0].pixelX, 9);
}

TEST_F(DgrpEditorTest, ListCommandsMoveTheSelectionAndUndoBackToTheSameBytes) {
  const std::vector<uint8_t> opened = Encoded(group_);
  DgrpPropertiesEditor editor(*file_, group_, 1);
  auto ids = [&] {
    std::vector<uint32_t> out;
    for (const DgrpSprite& s : editor.Image().sprites) out.push_back(s.spriteId);
    return out;
  };
  EXPECT_FALSE(editor.Up()) << "the first sprite goes no higher";
  EXPECT_FALSE(editor.CanUndo());
  editor.Down();
  EXPECT_EQ(ids(), (std::vector<uint32_t>{7, 100, 200}));
  EXPECT_EQ(editor.SelectedSprite(), 1u);
  editor.SelectSprite(2);
  editor.Down();
  editor.Up();
  EXPECT_EQ(ids(), (std::vector<uint32_t>{7, 200, 100}));
  editor.Add();
  EXPECT_EQ(editor.SelectedSprite(), 3u);
  EXPECT_EQ(DgrpPropertiesEditor::FieldsOf(editor.Image().sprites[3]), DgrpPropertiesEditor::FieldsOf(DgrpSprite{}));
  editor.Delete();
  EXPECT_EQ(editor.SelectedSprite(), kNoRow);
  EXPECT_FALSE(editor.Delete());
  while (editor.Undo()) {
  }
  EXPECT_EQ(Encoded(editor.Group()), opened);
  EXPECT_TRUE(editor.IsClean());
}

TEST_F(DgrpEditorTest, DeletingTheOnlySpriteLeavesAnEmptyImage) {
  group_.images[0].sprites = {Sprite(100)};
  DgrpPropertiesEditor editor(*file_, group_, 0);
  ASSERT_TRUE(editor.Delete());
  EXPECT_TRUE(editor.Image().sprites.empty());
  EXPECT_FALSE(editor.HasSprite());
  EXPECT_TRUE(editor.Apply(DgrpSpriteFields{}).ok()) << "no sprite: nothing to refuse";
  EXPECT_FALSE(editor.Up());

  DgrpEditor picker(group_);
  picker.TakeProperties(editor.Group());
  EXPECT_TRUE(picker.ShownImage().sprites.empty());
  picker.Undo();
  EXPECT_EQ(picker.ShownImage().sprites.size(), 1u);
}

TEST_F(DgrpEditorTest, EntriesNameTheSpritesAndMissingOnesAreMarked) {
  group_.images[1].sprites.push_back(Sprite(0x10064));  // past 16 bits: no id names it
  DgrpPropertiesEditor editor(*file_, group_, 1);
  const std::vector<DgrpSpriteEntry> entries = editor.Entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(entries[0].found);
  EXPECT_EQ(entries[0].name, "sprite 100");
  EXPECT_FALSE(entries[1].found);
  EXPECT_EQ(entries[2].index, 2u);
  EXPECT_FALSE(entries[3].found);
  EXPECT_EQ(editor.SpriteIds(), (std::vector<uint16_t>{200, 100})) << "file order";

  EXPECT_TRUE(editor.TakeDrawFailureNotice());
  EXPECT_FALSE(editor.TakeDrawFailureNotice());

  // An image the group does not have: every command does nothing.
  DgrpPropertiesEditor none(*file_, group_, 12);
  EXPECT_TRUE(none.Entries().empty());
  EXPECT_FALSE(none.Add());
  EXPECT_FALSE(none.CanUndo());
  DgrpEditor picker((ResourceDgrp()));
  picker.SelectImage(40);
  EXPECT_FALSE(picker.HasImage());
  EXPECT_TRUE(picker.ShownImage().sprites.empty());
}

}  // namespace
}  // namespace scrivet
