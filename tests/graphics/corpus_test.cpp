// Every palette, sprite and draw group of the real files decodes, draws and composes; every SPR2
// frame survives export to a picture and import back.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/iff_file.h"
#include "codecs/resource_dgrp.h"
#include "graphics/draw_group.h"
#include "codecs/resource_palt.h"
#include "graphics/rasterizer.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "graphics/spr2_pixels.h"
#include "tests/graphics/graphics_test_util.h"

namespace scrivet {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusIffFiles() {
  std::vector<fs::path> files;
  const fs::path root = SCRIVET_CORPUS_DIR;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root, ec)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext == ".iff" || ext == ".flr" || ext == ".wll" || ext == ".spf") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Counts {
  int files = 0, palt = 0, spr = 0, sprFrames = 0, spr2 = 0, spr2Frames = 0, dgrp = 0, images = 0, composed = 0;
  int skippedImages = 0, foreign = 0, foreignPalt = 0;
};

TEST(GraphicsCorpus, EverythingDecodesDrawsAndComposes) {
  const std::vector<fs::path> files = CorpusIffFiles();
  if (files.empty()) GTEST_SKIP() << "corpus not present";
  Counts n;
  for (const fs::path& path : files) {
    CoreFailure failure;
    auto file = IffFile::OpenPath(path, &failure);
    if (!file || failure.error != CoreError::None) continue;
    ++n.files;
    const std::string where = path.filename().string();
    for (size_t pos = 0; pos < file->ChunkCount(); ++pos) {
      IffChunk& chunk = file->ChunkAt(pos);
      const std::string what = where + " #" + std::to_string(chunk.id);
      if (chunk.type == ResourcePalt::kType) {
        ResourcePalt palt;
        ASSERT_TRUE(file->LoadChunkData(chunk));
        // The online game writes palettes of version 0, which are refused.
        if (chunk.Size() >= 4 && LoadU32LE(chunk.Data()) != 1) {
          EXPECT_FALSE(palt.Load(*file, chunk)) << what;
          ++n.foreignPalt;
          continue;
        }
        EXPECT_TRUE(palt.Load(*file, chunk)) << what;
        ++n.palt;
      } else if (chunk.type == ResourceSpr::kType) {
        ResourceSpr spr;
        ASSERT_TRUE(spr.Load(*file, chunk)) << what;
        ++n.spr;
        ResourcePalt palette;
        const bool drawable = LoadPalette(*file, spr.GetPaletteId(), palette);
        for (size_t f = 0; f < spr.frames.size(); ++f) {
          const SprFrame& frame = spr.frames[f];
          IndexedImage image;
          EXPECT_TRUE(DecodeToIndexed(frame, image)) << what << " frame " << f;
          if (frame.width == 0 || frame.height == 0) continue;
          ++n.sprFrames;
          for (int bits : {15, 16, 24, 32}) {
            for (bool mirrored : {false, true}) {
              SpriteCanvas canvas(frame.height, frame.width, bits);
              ASSERT_TRUE(canvas.Allocate());
              canvas.mirrored = mirrored;
              EXPECT_EQ(drawable, DrawSprFrameFromFile(*file, spr, static_cast<int>(f), canvas))
                  << what << " frame " << f << " at " << bits;
            }
          }
        }
      } else if (chunk.type == ResourceSpr2::kType) {
        ResourceSpr2 spr2;
        ASSERT_TRUE(file->LoadChunkData(chunk));
        // The online game's variant (version 1001, compressed frames) is refused cleanly.
        if (chunk.Size() >= 4 && LoadU32LE(chunk.Data()) != 1000) {
          EXPECT_FALSE(spr2.Load(*file, chunk)) << what;
          ++n.foreign;
          continue;
        }
        ASSERT_TRUE(spr2.Load(*file, chunk)) << what;
        ++n.spr2;
        for (size_t f = 0; f < spr2.frames.size(); ++f) {
          const Spr2Frame& frame = spr2.frames[f];
          if (frame.width == 0 || frame.height == 0) continue;
          ++n.spr2Frames;
          for (int bits : {15, 16, 24, 32}) {
            for (bool mirrored : {false, true}) {
              SpriteCanvas canvas(frame.height, frame.width, bits);
              ASSERT_TRUE(canvas.Allocate());
              canvas.mirrored = mirrored;
              EXPECT_TRUE(DrawSpr2FrameFromFile(*file, frame, spr2.GetPaletteId(), canvas))
                  << what << " frame " << f << " at " << bits;
            }
          }
          // Decoded as drawn; exported as a picture and imported back into itself, the same pixels.
          const std::string where = what + " frame " + std::to_string(f);
          Spr2Pixels pixels, back;
          ResourcePalt palette;
          ASSERT_TRUE(DecodeSpr2Pixels(frame, pixels) && LoadSpr2Palette(*file, spr2, frame, palette)) << where;
          gtest::ExpectDrawnAsDecoded(frame, pixels, palette.colors.data(), where);
          RgbaPicture picture;
          ASSERT_TRUE(ExportSpr2Frame(*file, spr2, int(f), picture).ok()) << where;
          ResourceSpr2 copy = spr2;
          const Spr2Exchange imported = ImportSpr2Frame(*file, copy, int(f), picture);
          ASSERT_TRUE(imported.ok()) << where << ": " << imported.detail;
          EXPECT_EQ(imported.approximated, 0u) << where;
          ASSERT_TRUE(DecodeSpr2Pixels(copy.frames[f], back)) << where;
          ASSERT_EQ(back, pixels) << where;
        }
      } else if (chunk.type == ResourceDgrp::kType) {
        ResourceDgrp dgrp;
        ASSERT_TRUE(dgrp.Load(*file, chunk)) << what;
        ++n.dgrp;
        for (const DgrpImage& image : dgrp.images) {
          ++n.images;
          GraphicsFailure refused;
          const DgrpRect box = GetBounds(*file, image, &refused);
          EXPECT_NE(refused.error, GraphicsError::FrameTooLarge) << what << ": " << refused.detail;
          if (image.sprites.empty() || box.IsEmpty()) {
            ++n.skippedImages;
            continue;
          }
          SpriteCanvas canvas(box.bottom - box.top, box.right - box.left, 32);
          ASSERT_TRUE(canvas.Allocate(true, false));
          canvas.Clear(0, 255);
          canvas.drawX = -box.left;
          canvas.drawY = -box.top;
          EXPECT_TRUE(DrawImage(*file, image, canvas)) << what;
          ++n.composed;
        }
      }
    }
  }
  std::printf(
      "files %d: PALT %d, SPR# %d (%d frames), SPR2 %d (%d frames), DGRP %d (%d images, %d composed, %d "
      "without sprites or with missing ones); %d SPR2 and %d PALT of the online game refused\n",
      n.files, n.palt, n.spr, n.sprFrames, n.spr2, n.spr2Frames, n.dgrp, n.images, n.composed, n.skippedImages,
      n.foreign, n.foreignPalt);
  EXPECT_GT(n.spr2Frames, 0);
}

}  // namespace
}  // namespace scrivet
