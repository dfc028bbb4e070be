// render and sprite of scrivet2-cli, on fixtures built in code.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "core/iff_file.h"
#include "codecs/resource_dgrp.h"
#include "graphics/draw_group.h"
#include "graphics/sprite_canvas.h"
#include "graphics/spr2_pixels.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

using gtest::Bytes;
using gtest::Spr2Stream;

struct Result { int code = -1; QByteArray out, err; };

Result RunCli(const QStringList& args) {
  QProcess p;
  p.start(SCRIVET_CLI, args);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

// Palette 1; SPR2 100 with a 3 x 2 frame (one half-transparent pixel); DGRP 300 whose twelve images
// each hold the sprite, flipped in odd ones.
QString MakeFixture(const QDir& dir) {
  gtest::TestFile tf;
  tf.AddTestPalette(1);
  tf.AddSpr2(
      100, 1,
      {{{3, 2},
        Spr2Stream().NextRow().Depth({{10, 5}, {10, 6}}).Alpha({{10, 7, 15}}).NextRow().Colour({8}).End().bytes()}});
  ResourceDgrp dgrp;
  for (size_t i = 0; i < dgrp.images.size(); ++i) {
    DgrpSprite s;
    s.spriteId = 100;
    s.pixelX = int32_t(i);
    s.pixelY = 10;
    s.flags = uint32_t(i & 1);
    dgrp.images[i].sprites = {s};
  }
  tf.Add(dgrp, 300);
  const QString path = dir.filePath("fixture.iff");
  EXPECT_TRUE(tf.file().SaveToPath(path.toStdString()));
  return path;
}

TEST(GraphicsCli, RenderWritesOnePngPerImageCroppedToItsBounds) {
  QTemporaryDir tmp;
  const QString file = MakeFixture(QDir(tmp.path()));
  const QString outDir = QDir(tmp.path()).filePath("out");
  Result r = RunCli({"render", file, "DGRP", "300", "--all", "-o", outDir});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList pngs = QDir(outDir).entryList({"*.png"}, QDir::Files, QDir::Name);
  ASSERT_EQ(pngs.size(), 12);
  EXPECT_EQ(pngs[1], "01_north-west_zoom1.png");
  EXPECT_EQ(pngs[11], "11_south-east_zoom3.png");
  QImage image(QDir(outDir).filePath(pngs[0]));
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 255);
  EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0) << "transparent background";
  EXPECT_NEAR(qAlpha(image.pixel(2, 0)), 120, 20);
  const QString single = QDir(tmp.path()).filePath("one.png");
  r = RunCli({"render", file, "DGRP", "300", "1", "-o", single, "--background", "00ff00"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QImage flipped(single);
  EXPECT_EQ(flipped.pixel(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(flipped.pixel(2, 1), qRgb(8, 247, 8 ^ 0x55)) << "mirrored: the second row's pixel lands on the right";
  EXPECT_NE(RunCli({"render", file, "DGRP", "300", "12", "-o", single}).code, 0);
  EXPECT_NE(RunCli({"render", file, "DGRP", "301", "-o", single}).code, 0);
}

TEST(GraphicsCli, SpriteWritesColourDepthAndAlphaPlanes) {
  QTemporaryDir tmp;
  const QString file = MakeFixture(QDir(tmp.path()));
  QDir d(tmp.path());
  Result r = RunCli({"sprite", file, "SPR2", "100", "0", "-o", d.filePath("c.png"), "--depth", d.filePath("z.png"),
                     "--alpha", d.filePath("a.png")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QImage depth(d.filePath("z.png")), alpha(d.filePath("a.png"));
  ASSERT_EQ(depth.size(), QSize(3, 2));
  EXPECT_EQ(qGray(depth.pixel(0, 0)), 10);
  EXPECT_EQ(qGray(depth.pixel(0, 1)), 255) << "colour pixels leave the depth plane";
  EXPECT_EQ(qGray(alpha.pixel(2, 0)), Spr2Opacity(15));
  EXPECT_NE(RunCli({"sprite", file, "SPR2", "100", "1", "-o", d.filePath("x.png")}).code, 0);
}

// The recolouring workflow: sprite out, one pixel painted a colour the palette lacks, sprite-import
// back; a depth picture of another size changes nothing.
TEST(GraphicsCli, Spr2FramesGoOutAndComeBackAsPng) {
  QTemporaryDir tmp;
  const QString file = MakeFixture(QDir(tmp.path()));
  QDir d(tmp.path());
  auto frames = [&] {
    auto reopened = IffFile::OpenPath(file.toStdString());
    ResourceSpr2 sprite;
    EXPECT_TRUE(reopened && sprite.Load(*reopened, *reopened->Find(ResourceSpr2::kType, 100)));
    std::vector<Spr2Pixels> out(sprite.frames.size());
    for (size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(DecodeSpr2Pixels(sprite.frames[i], out[i]));
    return out;
  };
  const std::vector<Spr2Pixels> before = frames();
  Result r = RunCli({"sprite", file, "SPR2", "100", "-o", d.filePath("c.png"), "--depth", d.filePath("z.png")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QImage colour(d.filePath("c.png"));
  colour.setPixel(1, 0, qRgba(1, 2, 3, 255));
  ASSERT_TRUE(colour.save(d.filePath("c.png")));
  r = RunCli({"sprite-import", file, "SPR2", "100", "0", d.filePath("c.png"), "--depth", d.filePath("z.png")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("1 pixel(s)")) << r.out.toStdString();
  std::vector<Spr2Pixels> after = frames();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_NE(after[0].index[1], before[0].index[1]);
  after[0].index[1] = before[0].index[1];
  EXPECT_EQ(after[0], before[0]);

  QFile original(file);
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray bytes = original.readAll();
  original.close();
  ASSERT_TRUE(QImage(4, 2, QImage::Format_Grayscale8).save(d.filePath("z4.png")));
  r = RunCli({"sprite-import", file, "SPR2", "100", "0", d.filePath("c.png"), "--depth", d.filePath("z4.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("same width and height")) << r.err.toStdString();
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  EXPECT_EQ(original.readAll(), bytes);
}

// A frame far larger than its kilobyte of stream, and a sprite at the far left of the int range:
// both are refused with a message and no picture.
TEST(GraphicsCli, UndrawableFramesAndOffsetsAreRefused) {
  QTemporaryDir tmp;
  QDir d(tmp.path());
  gtest::TestFile tf;
  tf.AddTestPalette(1);
  tf.AddSpr2(100, 1, {{{3, 2}, Spr2Stream().NextRow().Colour({8}).End().bytes()}});
  Bytes kilobyte = Spr2Stream().NextRow().Colour({8}).bytes();
  kilobyte.resize(1000, 0);  // next-row words
  tf.AddSpr2(101, 1, {{{16383, 16383}, kilobyte}});
  ResourceDgrp dgrp;
  dgrp.images.resize(2);
  DgrpSprite far;
  far.spriteId = 100;
  far.pixelX = -2147483647 - 1;
  far.pixelY = 2;
  dgrp.images[0].sprites = {far};
  DgrpSprite huge;
  huge.spriteId = 101;
  dgrp.images[1].sprites = {huge};
  tf.Add(dgrp, 300);
  const QString file = d.filePath("bad.iff");
  ASSERT_TRUE(tf.file().SaveToPath(file.toStdString()));

  Result r = RunCli({"render", file, "DGRP", "300", "0", "-o", d.filePath("far.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("outside the drawable range")) << r.err.toStdString();
  r = RunCli({"render", file, "DGRP", "300", "1", "-o", d.filePath("huge.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("too large")) << r.err.toStdString();
  r = RunCli({"sprite", file, "SPR2", "101", "-o", d.filePath("frame.png")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("too large")) << r.err.toStdString();
  EXPECT_TRUE(d.entryList({"*.png"}, QDir::Files).isEmpty());
}

}  // namespace
}  // namespace scrivet
