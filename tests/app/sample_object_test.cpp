// The bundled sample object: it has something for every editor, and each editor draws a picture
// of it without a display and changes nothing.

#include <QImage>
#include <QSet>

#include "app/editor_screenshot.h"
#include "app_test_support.h"
#include "codecs/type_table.h"
#include "editors/qt_text.h"

namespace scrivet::test {
namespace {

TEST(SampleObjectTest, EveryRegisteredEditorDrawsAPictureAndChangesNothing) {
  const std::vector<uint8_t> original = ReadBytes(SCRIVET_SAMPLE);
  ASSERT_FALSE(original.empty()) << "no sample at " SCRIVET_SAMPLE;
  ScriptedPlatform platform;
  ScriptedDialogs dialogs;
  BehaviourCatalogues behaviour;
  CScrivet2Doc doc(platform, "IFFFile1");
  ResourceListController list(doc, dialogs, behaviour);
  ASSERT_TRUE(doc.Open(SCRIVET_SAMPLE, nullptr));
  QTemporaryDir dir;
  int editors = 0;
  for (const TypeRow& row : TypeRows()) {
    if (!row.edit) continue;
    SCOPED_TRACE(TypeText(row.type).toStdString());
    const IffChunk* shown = nullptr;
    for (IffChunk* chunk : doc.File().ResourcesByTypeAndId())
      if (!shown && CreateResourceForType(chunk->type)->GetType() == row.type) shown = chunk;
    ASSERT_NE(shown, nullptr) << "the sample has nothing for this editor";
    const QString png = dir.filePath(QString::number(editors++) + ".png");
    ASSERT_EQ(ShootEditor(list, shown->type, shown->id, png), EditorShot::Saved);
    const QImage picture(png);
    EXPECT_GT(picture.width(), 100);
    // Not blank: a dialog shows frames, texts and fields in several colours.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
      for (int x = 0; x < picture.width(); x += 3) colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 3);
  }
  EXPECT_GE(editors, 1);
  EXPECT_EQ(doc.History().count(), 0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ReadBytes(SCRIVET_SAMPLE), original);
}

}  // namespace
}  // namespace scrivet::test
