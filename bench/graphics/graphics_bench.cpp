// Blend table build, SPR2 drawing at 32 bits (opaque and blended), SPR# encoding, and composing a
// 12-sprite draw-group image.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/iff_file.h"
#include "codecs/resource_dgrp.h"
#include "graphics/draw_group.h"
#include "codecs/resource_palt.h"
#include "graphics/rasterizer.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "graphics/sprite_canvas.h"

using namespace scrivet;

namespace {

constexpr int kSide = 256;

void Put16(std::vector<uint8_t>& b, unsigned v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}

// A kSide x kSide frame, one pixel command per row: depth pixels (opaque) or depth-alpha pixels
// with opacities 1-30 (blended).
std::vector<uint8_t> Spr2Frame(bool alpha) {
  std::vector<uint8_t> s;
  for (int r = 0; r < kSide; ++r) {
    Put16(s, 0);
    Put16(s, (alpha ? 2u : 1u) << 13 | kSide);
    for (int x = 0; x < kSide; ++x) {
      s.push_back(uint8_t(100 - (x + r) % 50));
      s.push_back(uint8_t(x * 7 + r));
      if (alpha) s.push_back(uint8_t(1 + (x + r) % 30));
    }
    if (s.size() & 1) s.push_back(0);
  }
  Put16(s, 5u << 13);
  return s;
}

std::vector<uint8_t> Palette() {
  std::vector<uint8_t> p(768);
  for (int i = 0; i < 768; ++i) p[i] = uint8_t(i * 11);
  return p;
}

void BM_BlendTableBuild(benchmark::State& state) {
  std::unique_ptr<uint8_t[]> table(new uint8_t[size_t(1) << 24]);
  for (auto _ : state) {
    BlendTable::Fill(table.get());
    benchmark::DoNotOptimize(table.get());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlendTableBuild)->Unit(benchmark::kMillisecond);

void DrawSpr2(benchmark::State& state, bool alpha, bool table) {
  if (table) BlendTable::Instance().Build();
  const std::vector<uint8_t> stream = Spr2Frame(alpha);
  const std::vector<uint8_t> palette = Palette();
  SpriteCanvas canvas(kSide, kSide, 32);
  canvas.Allocate(true, false);
  canvas.Clear(0x808080, 255);
  canvas.blend = true;
  for (auto _ : state) {
    // Ties go to the later pixel, so every pass draws every pixel again.
    benchmark::DoNotOptimize(DrawSpr2Frame(canvas, stream.data(), stream.size(), palette.data(), kSide));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
  state.counters["Mpixel/s"] =
      benchmark::Counter(double(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
}
void BM_Spr2Draw32Opaque(benchmark::State& state) { DrawSpr2(state, false, true); }
void BM_Spr2Draw32Blended(benchmark::State& state) { DrawSpr2(state, true, true); }
BENCHMARK(BM_Spr2Draw32Opaque);
BENCHMARK(BM_Spr2Draw32Blended);

void BM_SprEncode(benchmark::State& state) {
  IndexedImage image;
  image.Allocate(kSide, kSide);
  for (int r = 0; r < kSide; ++r)
    for (int x = 0; x < kSide; ++x) {
      const int band = (x / 16 + r / 8) % 4;
      if (band == 0) continue;  // transparent
      image.PixelRow(r)[x] = uint8_t(band == 1 ? 40 : x * 3 + r);
      image.SetMaskBit(x, r);
    }
  SprFrameEncoder encoder;
  std::vector<uint8_t> stream;
  for (auto _ : state) {
    benchmark::DoNotOptimize(encoder.Encode(image, stream));
  }
  state.counters["Mpixel/s"] =
      benchmark::Counter(double(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SprEncode);

// Twelve 128 x 128 sprites of mixed opaque and alpha rows, overlapping on a 256 x 256 canvas.
void BM_DgrpCompose12(benchmark::State& state) {
  BlendTable::Instance().Build();
  auto file = IffFile::CreateEmpty(false);
  ResourcePalt palt;
  const std::vector<uint8_t> colours = Palette();
  std::copy(colours.begin(), colours.end(), palt.colors.begin());
  std::vector<uint8_t> bytes;
  palt.EncodeToBytes(bytes);
  file->AddChunk(ResourcePalt::kType, 1, "", bytes.data(), bytes.size());
  DgrpImage image;
  for (uint16_t i = 0; i < 12; ++i) {
    std::vector<uint8_t> s;
    for (int r = 0; r < 128; ++r) {
      const bool alpha = r % 8 == 0;
      Put16(s, 0);
      Put16(s, (alpha ? 2u : 1u) << 13 | 128);
      for (int x = 0; x < 128; ++x) {
        s.push_back(uint8_t(80 + (x + r + i) % 60));
        s.push_back(uint8_t(x + i * 20));
        if (alpha) s.push_back(uint8_t(1 + x % 31));
      }
      if (s.size() & 1) s.push_back(0);
    }
    Put16(s, 5u << 13);
    ResourceSpr2 sprite;
    sprite.paletteId = 1;
    scrivet::Spr2Frame frame;
    frame.width = frame.height = 128;
    frame.palette = 1;
    frame.pixelStream = s;
    sprite.frames.push_back(frame);
    sprite.EncodeToBytes(bytes);
    file->AddChunk(ResourceSpr2::kType, uint16_t(100 + i), "", bytes.data(), bytes.size());
    DgrpSprite placed;
    placed.spriteId = 100u + i;
    placed.pixelX = (i % 4) * 40;
    placed.pixelY = 128 + (i / 4) * 60;
    placed.flags = i & 1;
    image.sprites.push_back(placed);
  }
  SpriteCanvas canvas(kSide + 64, kSide, 32);
  canvas.Allocate(true, false);
  for (auto _ : state) {
    canvas.Clear(0x808080, 255);
    benchmark::DoNotOptimize(DrawImage(*file, image, canvas));
  }
}
BENCHMARK(BM_DgrpCompose12)->Unit(benchmark::kMicrosecond);

}  // namespace
