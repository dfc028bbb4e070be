// Fuzz target for one graphics format, chosen by a FUZZ_GRAPHICS_<name> definition. The first
// input byte carries options (byte order, canvas position, blending); the rest is the resource.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/resource_dgrp.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "core/iff_file.h"
#include "core/stream.h"
#include "graphics/draw_group.h"
#include "graphics/rasterizer.h"
#include "graphics/spr2_pixels.h"
#include "graphics/sprite_bmp.h"
#include "graphics/sprite_canvas.h"

using namespace scrivet;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

template <typename R>
bool DecodeBytes(R& resource, const uint8_t* data, size_t size, uint16_t flags) {
  IffChunk& chunk = resource.Chunk();
  chunk.Assign(data, size);
  chunk.flags = flags;
  return resource.Decode();
}

template <typename R>
std::vector<uint8_t> Encoded(R& resource) {
  std::vector<uint8_t> bytes;
  Check(resource.EncodeToBytes(bytes));
  return bytes;
}

// Decoded, encoded, decoded again: the second encoding must give the same bytes.
template <typename R>
[[maybe_unused]] void RoundTrip(R& resource, uint16_t flags) {
  const std::vector<uint8_t> first = Encoded(resource);
  R again;
  Check(DecodeBytes(again, first.data(), first.size(), flags));
  Check(Encoded(again) == first);
}

uint8_t gPalette[768];

// Every depth, mirrored and not, at a position taken from the options byte.
template <typename DrawFn>
[[maybe_unused]] void DrawEverywhere(uint8_t options, int frameWidth, DrawFn draw) {
  for (int bits : {15, 16, 24, 32}) {
    for (bool mirrored : {false, true}) {
      SpriteCanvas canvas(13, 17, bits);
      Check(canvas.Allocate(options & 1, false));
      canvas.Clear(0x405060, 255);
      canvas.mirrored = mirrored;
      canvas.blend = (options & 2) != 0;
      canvas.drawX = (options >> 2 & 7) * 3 - 10;
      canvas.drawY = (options >> 5) * 3 - 10;
      canvas.depthOffset = (options & 0x18) ? -40 : 30;
      draw(canvas, frameWidth);
    }
  }
}

// A small file of sprites for the draw-group target: SPR2 ids 0-3, palette 0, and SPR2 4 whose
// one frame is far larger than its stream.
[[maybe_unused]] IffFile& SpriteFile() {
  static std::unique_ptr<IffFile> file = [] {
    auto f = IffFile::CreateEmpty(false);
    ResourcePalt palt;
    for (int i = 0; i < 768; ++i) palt.colors[i] = uint8_t(i * 7);
    std::vector<uint8_t> bytes;
    palt.EncodeToBytes(bytes);
    f->AddChunk(ResourcePalt::kType, 0, "", bytes.data(), bytes.size());
    for (uint16_t id = 0; id < 4; ++id) {
      ResourceSpr2 s;
      for (int k = 0; k <= id; ++k) {
        Spr2Frame frame;
        frame.width = uint16_t(3 + k);
        frame.height = uint16_t(2 + id);
        frame.pixelStream = {0x00, 0x00, 0x02, 0x20, 10, 1, 20, 2, 0x01, 0x40, 9, 3, 0, 0xA0};
        s.frames.push_back(frame);
      }
      s.EncodeToBytes(bytes);
      f->AddChunk(ResourceSpr2::kType, id, "", bytes.data(), bytes.size());
    }
    ResourceSpr2 huge;
    Spr2Frame frame;
    frame.width = frame.height = 16383;
    frame.pixelStream = {0x00, 0x00, 0x00, 0xA0};
    huge.frames.push_back(frame);
    huge.EncodeToBytes(bytes);
    f->AddChunk(ResourceSpr2::kType, 4, "", bytes.data(), bytes.size());
    return f;
  }();
  return *file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  [[maybe_unused]] const uint8_t options = data[0];
  ++data;
  --size;
  for (int i = 0; i < 768; ++i) gPalette[i] = uint8_t(i * 13);

#if defined(FUZZ_GRAPHICS_palt)
  ResourcePalt palt;
  if (DecodeBytes(palt, data, size, 0x0010)) {
    RoundTrip(palt, 0x0010);
    Check(palt.colorCount <= 256);
  }
#elif defined(FUZZ_GRAPHICS_spr)
  const uint16_t flags = (options & 0x80) ? 0x0010 : 0x0000;
  ResourceSpr spr;
  if (DecodeBytes(spr, data, size, flags)) RoundTrip(spr, flags);
  for (const SprFrame& frame : spr.frames) {
    IndexedImage image;
    // A frame past its stream's reach is refused before anything is allocated for it.
    if (!frame.SizeFits())
      Check(!DecodeToIndexed(frame, image, options) && image.pixels.empty());
    else if (size_t(frame.width) * frame.height <= size_t(1) << 16)
      DecodeToIndexed(frame, image, options);
    DrawEverywhere(options | 1, frame.width, [&](SpriteCanvas& canvas, int width) {
      DrawSprFrame(canvas, frame.pixelStream.data(), frame.pixelStream.size(), gPalette, width);
    });
  }
#elif defined(FUZZ_GRAPHICS_spr2)
  ResourceSpr2 spr2;
  if (DecodeBytes(spr2, data, size, 0x0000)) RoundTrip(spr2, 0x0000);
  for (const Spr2Frame& frame : spr2.frames) {
    DrawEverywhere(options, frame.width, [&](SpriteCanvas& canvas, int width) {
      DrawSpr2Frame(canvas, frame.pixelStream.data(), frame.pixelStream.size(), gPalette, width);
    });
    // The planes the editor exports encode into a stream that decodes to the same planes.
    Spr2Pixels pixels;
    if (size_t(frame.width) * frame.height > size_t(1) << 16 || !DecodeSpr2Pixels(frame, pixels)) continue;
    pixels.Normalize();
    Spr2Frame again = frame;
    if (!EncodeSpr2Stream(pixels, again.pixelStream)) continue;
    Spr2Pixels back;
    Check(DecodeSpr2Pixels(again, back) && back == pixels);
  }
#elif defined(FUZZ_GRAPHICS_dgrp)
  ResourceDgrp dgrp;
  if (DecodeBytes(dgrp, data, size, 0x0010)) RoundTrip(dgrp, 0x0010);
  IffFile& file = SpriteFile();
  size_t drawn = 0;
  for (const DgrpImage& image : dgrp.images) {
    if (++drawn > 64) break;
    GraphicsFailure failure;
    const DgrpRect box = GetBounds(file, image, &failure);
    Check(failure.error == GraphicsError::None || box.IsEmpty());
    CenterOnBounds(16, 16, box);
    SpriteCanvas canvas(16, 16, (options & 1) ? 32 : 16);
    Check(canvas.Allocate(true, false));
    canvas.drawX = (options >> 2 & 7) - 4;
    canvas.drawY = (options >> 5) - 2;
    // Sprites that cannot be drawn are found before anything is drawn.
    if (!DrawImage(file, image, canvas, &failure) && failure.error != GraphicsError::CannotDraw)
      Check(std::all_of(canvas.mask.begin(), canvas.mask.end(), [](uint8_t m) { return m == 0; }));
  }
#elif defined(FUZZ_GRAPHICS_bmp)
  // Two files: the first two bytes give the pixel file's length.
  if (size < 2) return 0;
  const size_t split = std::min<size_t>(size - 2, size_t(data[0] | data[1] << 8));
  MemoryStream pixels(data + 2, split), mask(data + 2 + split, size - 2 - split);
  auto file = IffFile::CreateEmpty(false);
  ResourceSpr sprite;
  if (ImportFrame(sprite, options & 1 ? 0 : -1, *file, &pixels, &mask).result == SpriteImportResult::Imported) {
    Check(sprite.frames.size() == 1 && sprite.frames[0].SizeFits());
    ResourcePalt palt;
    palt.SetFromQuads(data + 2 + 54, 256);
    const int paletteId = palt.FindMatchingPalette(file.get());
    Check(paletteId >= 0);
    sprite.paletteId = uint32_t(paletteId);
    MemoryStream outPixels, outMask;
    if (size_t(sprite.frames[0].width) * sprite.frames[0].height <= size_t(1) << 16) {
      Check(ExportFrame(sprite, 0, *file, outPixels, outMask));
      ResourceSpr again;
      Check(ImportFrame(again, 0, *file, &outPixels, &outMask).result == SpriteImportResult::Imported);
      Check(again.frames[0].pixelStream == sprite.frames[0].pixelStream);
    }
  } else {
    Check(sprite.frames.empty());
  }
#endif
  return 0;
}
