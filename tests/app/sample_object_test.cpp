// The bundled sample object: it has something for every editor, each editor draws a picture of
// it without a display and changes nothing, and its draw groups draw in every view.

#include <QImage>
#include <QSet>

#include "app/editor_screenshot.h"
#include "app_test_support.h"
#include "codecs/resource_dgrp.h"
#include "codecs/type_table.h"
#include "editors/qt_text.h"
#include "graphics/draw_group.h"
#include "graphics/sprite_canvas.h"

namespace scrivet::test {
namespace {

class SampleObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original = ReadBytes(SCRIVET_SAMPLE);
    ASSERT_FALSE(original.empty()) << "no sample at " SCRIVET_SAMPLE;
    doc = std::make_unique<CScrivet2Doc>(platform, "IFFFile1");
    list = std::make_unique<ResourceListController>(*doc, dialogs, behaviour);
    ASSERT_TRUE(doc->Open(SCRIVET_SAMPLE, nullptr));
  }

  std::vector<uint8_t> original;
  ScriptedPlatform platform;
  ScriptedDialogs dialogs;
  BehaviourCatalogues behaviour;
  std::unique_ptr<CScrivet2Doc> doc;
  std::unique_ptr<ResourceListController> list;
};

TEST_F(SampleObjectTest, EveryRegisteredEditorDrawsAPictureAndChangesNothing) {
  QTemporaryDir dir;
  int editors = 0;
  for (const TypeRow& row : TypeRows()) {
    if (!row.edit) continue;
    SCOPED_TRACE(TypeText(row.type).toStdString());
    const IffChunk* shown = nullptr;
    for (IffChunk* chunk : doc->File().ResourcesByTypeAndId())
      if (CreateResourceForType(chunk->type)->GetType() == row.type) {
        shown = chunk;
        break;
      }
    ASSERT_NE(shown, nullptr) << "the sample has nothing for this editor";
    const QString png = dir.filePath(QString::number(editors++) + ".png");
    ASSERT_EQ(ShootEditor(*list, shown->type, shown->id, png), EditorShot::Saved);
    const QImage picture(png);
    EXPECT_GT(picture.width(), 100);
    EXPECT_GT(picture.height(), 50);
    // Not blank: a dialog shows frames, texts and fields in several colours.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
      for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 3);
  }
  EXPECT_GE(editors, 1);
  EXPECT_EQ(doc->History().count(), 0);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(ReadBytes(SCRIVET_SAMPLE), original);
}

TEST_F(SampleObjectTest, DrawGroupsDrawEveryViewLargerAtEachZoom) {
  for (uint16_t id : {128, 129}) {
    SCOPED_TRACE(id);
    ResourceDgrp group;
    ASSERT_TRUE(group.Load(doc->File(), *doc->File().Find(ResourceDgrp::kType, id)));
    ASSERT_EQ(group.images.size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
      SpriteCanvas canvas;
      EXPECT_TRUE(ComposeCropped(doc->File(), group.images[i], 0, canvas)) << i;
      // The same view at the smallest zoom: each zoom doubles the size.
      const DgrpRect box = GetBounds(doc->File(), group.images[i]);
      const DgrpRect small = GetBounds(doc->File(), group.images[i % 4]);
      const int factor = 1 << (group.images[i].zoom - 1);
      EXPECT_NEAR(box.right - box.left, (small.right - small.left) * factor, 3 * factor) << i;
      EXPECT_NEAR(box.bottom - box.top, (small.bottom - small.top) * factor, 3 * factor) << i;
    }
  }
}

}  // namespace
}  // namespace scrivet::test
