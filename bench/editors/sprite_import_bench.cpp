// Importing a 256 x 256 PNG into an SPR2 frame: reading the file, matching every pixel to the
// nearest of 256 palette colours (each pixel a colour of its own that the palette lacks, the
// worst case) and encoding the stream.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include "codecs/resource_palt.h"
#include "core/iff_file.h"
#include "editors/sprite_png.h"
#include "graphics/spr2_pixels.h"

namespace scrivet {
namespace {

constexpr int kSide = 256;

void BM_Spr2PngImport(benchmark::State& state) {
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u, uint8_t(seed >> 24); };
  ResourcePalt palette;
  for (uint8_t& c : palette.colors) c = next();
  auto file = IffFile::CreateEmpty(false);
  std::vector<uint8_t> bytes;
  palette.EncodeToBytes(bytes);
  file->AddChunk(ResourcePalt::kType, 1, "", bytes.data(), bytes.size());

  RgbaPicture picture;
  picture.width = picture.height = kSide;
  for (int i = 0; i < kSide * kSide; ++i)
    picture.rgba.insert(picture.rgba.end(), {uint8_t(i), uint8_t(i >> 8), uint8_t(i * 37 + 1), uint8_t(i % 3 ? 255 : 200)});
  QTemporaryDir dir;
  const QString path = dir.filePath("frame.png");
  QFile png(path);
  if (!png.open(QIODevice::WriteOnly) || png.write(ColourPng(picture)) <= 0) state.SkipWithError("no PNG");
  png.close();

  size_t approximated = 0;
  for (auto _ : state) {
    ResourceSpr2 sprite;
    sprite.paletteId = 1;
    RgbaPicture read;
    if (ReadColourPicture(path, read) != PictureRead::Ok) state.SkipWithError("unreadable");
    const Spr2Exchange result = ImportSpr2Frame(*file, sprite, -1, read);
    if (!result.ok()) state.SkipWithError("refused");
    approximated = result.approximated;
    benchmark::DoNotOptimize(sprite.frames.data());
  }
  state.counters["approximated"] = double(approximated);
}
BENCHMARK(BM_Spr2PngImport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace scrivet
