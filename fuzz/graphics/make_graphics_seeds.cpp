// Writes seed inputs for the graphics fuzzers into OUT/fuzz_graphics_<format>/. Each seed is an
// options byte followed by bytes of the project's own writers.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "graphics/sprite_bmp.h"

using namespace scrivet;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

bool Save(const fs::path& dir, const std::string& name, uint8_t options, const Bytes& bytes) {
  fs::create_directories(dir);
  Bytes out{options};
  out.insert(out.end(), bytes.begin(), bytes.end());
  std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}

template <typename R>
Bytes Encoded(R& resource, uint16_t flags = 0x0010) {
  resource.Chunk().flags = flags;
  Bytes bytes;
  resource.EncodeToBytes(bytes);
  return bytes;
}

IndexedImage Pattern(int w, int h) {
  IndexedImage img;
  img.Allocate(w, h);
  for (int r = 0; r < h; ++r)
    for (int x = 0; x < w; ++x)
      if ((x * 3 + r) % 7 != 0 && r != 2) {
        img.PixelRow(r)[x] = uint8_t(x < w / 2 ? 17 : x + r);
        img.SetMaskBit(x, r);
      }
  return img;
}

// An SPR2 stream that uses every command: rows, skips, depth, depth-alpha and colour pixels.
Bytes Spr2Stream() {
  return {0x00, 0x00,                                // next row
          0x03, 0x20, 10,   1,    11, 2, 12, 3,  0,  // 3 depth pixels, padded
          0x02, 0x60,                                // skip 2
          0x02, 0x40, 9,    4,    31, 9, 5,  15,     // 2 depth-alpha pixels
          0x00, 0x00, 0x03, 0xC0, 7,  8, 9,  0,      // next row, 3 colour pixels, padded
          0x02, 0x80,                                // skip 2 rows
          0x01, 0x40, 0,    1,    0,                 // 1 depth-alpha pixel, alpha 0
          0x00, 0xA0};                               // end
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_graphics_seeds OUTDIR\n");
    return 2;
  }
  const fs::path out = argv[1];
  bool ok = true;

  ResourcePalt palt;
  for (int i = 0; i < 768; ++i) palt.colors[i] = uint8_t(i * 5);
  const Bytes paltBytes = Encoded(palt);
  ok &= Save(out / "fuzz_graphics_palt", "palt.bin", 0, paltBytes);
  Bytes short16(paltBytes.begin(), paltBytes.begin() + 16 + 48);
  short16[4] = 16;
  short16[5] = 0;
  ok &= Save(out / "fuzz_graphics_palt", "palt16.bin", 0, short16);

  ResourceSpr spr;
  spr.paletteId = 1;
  SprFrameEncoder encoder;
  for (auto [w, h] : {std::pair{9, 6}, std::pair{300, 3}, std::pair{1, 1}}) {
    SprFrame frame;
    frame.width = uint16_t(w);
    frame.height = uint16_t(h);
    encoder.Encode(Pattern(w, h), frame.pixelStream);
    spr.frames.push_back(frame);
  }
  ok &= Save(out / "fuzz_graphics_spr", "spr_le.bin", 0x80 | 0x25, Encoded(spr, 0x0010));
  ok &= Save(out / "fuzz_graphics_spr", "spr_be.bin", 0x4A, Encoded(spr, 0x0000));
  spr.version = 500;
  ok &= Save(out / "fuzz_graphics_spr", "spr_500.bin", 0x80, Encoded(spr, 0x0010));

  // Frames at and past what their streams can cover, and past the side limit.
  ResourceSpr sizes;
  for (auto [w, h] : {std::pair{255, 2}, std::pair{255, 3}, std::pair{16383, 16383}, std::pair{4097, 1}}) {
    SprFrame frame;
    frame.width = uint16_t(w);
    frame.height = uint16_t(h);
    frame.pixelStream = {5, 0};
    if (w == 4097) frame.pixelStream.resize(4096, 0);
    sizes.frames.push_back(frame);
  }
  ok &= Save(out / "fuzz_graphics_spr", "spr_sizes.bin", 0x80, Encoded(sizes, 0x0010));

  ResourceSpr2 spr2;
  for (int k = 0; k < 3; ++k) {
    Spr2Frame frame;
    frame.width = uint16_t(5 + k);
    frame.height = 4;
    frame.pixelStream = Spr2Stream();
    spr2.frames.push_back(frame);
  }
  ok &= Save(out / "fuzz_graphics_spr2", "spr2.bin", 0x03, Encoded(spr2));
  ok &= Save(out / "fuzz_graphics_spr2", "spr2_clipped.bin", 0xE6, Encoded(spr2));

  // One end command covers two runs of 8191 pixels: 4 x 4095 fits, 4 x 4096 does not.
  ResourceSpr2 sizes2;
  for (auto [w, h] : {std::pair{4, 4095}, std::pair{4, 4096}, std::pair{16383, 16383}}) {
    Spr2Frame frame;
    frame.width = uint16_t(w);
    frame.height = uint16_t(h);
    frame.pixelStream = {0x00, 0xA0};
    sizes2.frames.push_back(frame);
  }
  ok &= Save(out / "fuzz_graphics_spr2", "spr2_sizes.bin", 0x00, Encoded(sizes2));

  ResourceDgrp dgrp;
  for (size_t i = 0; i < dgrp.images.size(); ++i) {
    DgrpSprite s;
    s.spriteId = uint32_t(i % 5);
    s.spriteIndex = uint32_t(i % 3);
    s.pixelX = int32_t(i) - 3;
    s.pixelY = 4;
    s.flags = uint32_t(i & 1);
    dgrp.images[i].sprites = {s, s};
    dgrp.images[i].sprites[1].pixelX += 2;
  }
  ok &= Save(out / "fuzz_graphics_dgrp", "dgrp20004.bin", 0x01, Encoded(dgrp));
  // Offsets at the ends of the int range, and a sprite whose frame is too large to draw.
  ResourceDgrp extremes;
  extremes.images.resize(3);
  extremes.images[0].sprites.resize(1);
  extremes.images[0].sprites[0].pixelX = -2147483647 - 1;
  extremes.images[0].sprites[0].pixelY = -2147483647 - 1;
  extremes.images[1].sprites.resize(1);
  extremes.images[1].sprites[0].pixelX = 2147483647;
  extremes.images[1].sprites[0].pixelY = 2147483647;
  extremes.images[2].sprites.resize(1);
  extremes.images[2].sprites[0].spriteId = 4;
  ok &= Save(out / "fuzz_graphics_dgrp", "dgrp_extremes.bin", 0x00, Encoded(extremes));
  // Version 20001 by hand: one image, one kept and one dropped sprite entry.
  ok &= Save(out / "fuzz_graphics_dgrp", "dgrp20001.bin", 0x00,
             {0x21, 0x4E, 1, 0, 2,    0,    1, 1, 0xFD, 0xFF, 1, 0, 0, 0, 1, 0, 2, 0, 6, 0,
              0,    0,    0, 0, 0x00, 0x00, 1, 0, 0,    0,    0, 0, 2, 0, 6, 0, 0, 0, 0, 0});

  // A BMP pair from the exporter, with the pixel file's length in front.
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(ResourcePalt::kType, 1, "", paltBytes.data(), paltBytes.size());
  spr.version = 502;
  MemoryStream pixels, mask;
  if (ExportFrame(spr, 0, *file, pixels, mask)) {
    Bytes pair{uint8_t(pixels.Bytes().size()), uint8_t(pixels.Bytes().size() >> 8)};
    pair.insert(pair.end(), pixels.Bytes().begin(), pixels.Bytes().end());
    pair.insert(pair.end(), mask.Bytes().begin(), mask.Bytes().end());
    ok &= Save(out / "fuzz_graphics_bmp", "frame.bin", 0x01, pair);
  } else {
    ok = false;
  }

  if (!ok) std::fprintf(stderr, "make_graphics_seeds: couldn't write every seed\n");
  return ok ? 0 : 1;
}
