// The draw group editor and its properties dialog on a real draw group of the game.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include "app/editor_dispatch.h"
#include "behaviour/behaviour_startup.h"
#include "editors/dgrp_editor_dialog.h"
#include "editors/dgrp_properties_dialog.h"
#include "editors/draw_group_preview.h"
#include "tests/editors/when_open.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

// Pixels of the picture for which `test` holds.
template <class Test>
int Count(const QImage& image, Test test) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y));
  return n;
}
int Drawn(const QImage& image, uint32_t background) {
  return Count(image, [&](QRgb p) { return (p & 0xFFFFFF) != background; });
}

class DgrpEditorWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString path =
        QStringLiteral(SCRIVET_CORPUS_DIR "/FaithBeam+Sims-1-Complete-Collection-Widescreen-Patcher/dd_domcal.iff");
    if (!(file_ = IffFile::OpenPath(path.toStdString()))) GTEST_SKIP() << "no corpus file " << path.toStdString();
    IffChunk* chunk = file_->Find(ResourceDgrp::kType, 700);  // twelve images of one SPR2 frame each
    ASSERT_TRUE(chunk && group_.Load(*file_, *chunk));
    ASSERT_EQ(group_.images.size(), 12u);
  }

  ScriptedPlatform platform_;
  std::unique_ptr<IffFile> file_;
  ResourceDgrp group_;
};

TEST_F(DgrpEditorWidget, EditorExportsAnImageAndTakesBackTheProperties) {
  BehaviourCatalogues behaviour;
  const FunctionList privateFunctions;
  EditorContext context{*file_, nullptr, platform_, behaviour.primitives, behaviour.functions, privateFunctions, {}};
  QTemporaryDir tmp;
  const QString png = tmp.filePath("image.png");
  const int32_t oldX = group_.images[0].sprites[0].pixelX;

  WhenOpen<DgrpEditorDialog>([&](DgrpEditorDialog& dialog) {
    EXPECT_EQ(dialog.ImageList().count(), 12);
    DrawGroupPreview& preview = dialog.Preview();
    preview.SetFixedDepth(32);
    const QImage at32 = preview.Render();
    EXPECT_GT(Drawn(at32, preview.Background()), 100);
    // Fixed depths: 24 bits shows the same picture; 16 and 15 bits keep 5 or 6 bits per channel.
    for (const auto& [depth, kept] : {std::pair{24, 0xFFFFFFu}, {16, 0xF8FCF8u}, {15, 0xF8F8F8u}}) {
      preview.SetFixedDepth(depth);
      const QImage image = preview.Render();
      EXPECT_TRUE(depth != 24 || image == at32) << "24 bits shows the 32-bit picture";
      EXPECT_EQ(Count(image, [&](QRgb p) { return (p & 0xFFFFFF & ~kept) != 0; }), 0) << depth;
      EXPECT_GT(Drawn(image, preview.Background() & kept), 100) << depth;
    }

    platform_.fileAnswers.push_back({png});
    dialog.ExportButton().click();
    const DgrpRect box = GetBounds(*file_, group_.images[0]);
    const QImage exported(png);
    EXPECT_EQ(exported.size(), QSize(box.right - box.left, box.bottom - box.top));
    EXPECT_GT(Count(exported, [](QRgb p) { return qAlpha(p) == 0; }), 0) << "transparent where no frame draws";
    EXPECT_GT(Count(exported, [](QRgb p) { return qAlpha(p) == 255; }), 100);

    WhenOpen<DgrpPropertiesDialog>([&](DgrpPropertiesDialog& properties) {
      properties.PixelXBox().setValue(oldX + 5);  // Auto update applies it at once
      EXPECT_EQ(properties.Logic().Image().sprites[0].pixelX, oldX + 5);
      properties.OkButton().click();
    });
    dialog.PropertiesButton().click();
    dialog.OkButton().click();
  });
  ASSERT_EQ(RunEditorFor(TypeRows(), group_, context), EditorResult::Ok);
  EXPECT_TRUE(platform_.messages.empty());

  ResourceDgrp stored;
  ASSERT_TRUE(stored.Load(*file_, *file_->Find(ResourceDgrp::kType, 700)));
  EXPECT_EQ(stored.images[0].sprites[0].pixelX, oldX + 5);
  EXPECT_EQ(stored.images[1].sprites[0].pixelX, group_.images[1].sprites[0].pixelX);
}

TEST_F(DgrpEditorWidget, PropertiesShowTheDisplacementOneDrawingFailureAndABlankEmptyImage) {
  DgrpPropertiesEditor logic(*file_, group_, 0);
  DgrpPropertiesDialog dialog(logic, *file_, platform_);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  // A drag moves the picture by each mouse movement.
  DrawGroupPreview& preview = dialog.Preview();
  QTest::mousePress(&preview, Qt::LeftButton, {}, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(15, 13), preview.mapToGlobal(QPointF(15, 13)), Qt::NoButton,
                   Qt::LeftButton, {});
  QApplication::sendEvent(&preview, &move);
  QTest::mouseRelease(&preview, Qt::LeftButton, {}, QPoint(15, 13));
  EXPECT_EQ(dialog.PositionText().text(), "Position = {5, 3}");
  // A sprite id the file has no SPR2 for: one message however often it fails.
  dialog.SpriteIdBox().setEditText("9999");
  for (int paint = 0; paint < 2; ++paint) {
    preview.Render();
    QApplication::processEvents();
  }
  EXPECT_EQ(platform_.messages.size(), 1u);
  // Deleting the last sprite after Yes: a blank preview, not a failed one.
  platform_.answers = {MessageAnswer::Yes};
  dialog.DeleteButton().click();
  EXPECT_EQ(Drawn(preview.Render(), preview.Background()), 0);
  EXPECT_FALSE(preview.DrawFailed());
  dialog.OkButton().click();
  EXPECT_TRUE(logic.Image().sprites.empty());
}

}  // namespace
}  // namespace scrivet
