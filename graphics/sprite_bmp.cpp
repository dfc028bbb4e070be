#include "graphics/sprite_bmp.h"

#include <algorithm>
#include <vector>

#include "core/byte_order.h"
#include "core/iff_file.h"
#include "core/stream.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"

namespace scrivet {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

std::vector<uint8_t> BmpHeaders(int width, int height, int bits, size_t tableBytes, size_t imageSize) {
  std::vector<uint8_t> h(kHeadersSize, 0);
  const uint32_t pixelOffset = static_cast<uint32_t>(kHeadersSize + tableBytes);
  h[0] = 'B';
  h[1] = 'M';
  StoreU32LE(&h[2], static_cast<uint32_t>(pixelOffset + imageSize));
  StoreU32LE(&h[10], pixelOffset);
  StoreU32LE(&h[14], kInfoHeaderSize);
  StoreU32LE(&h[18], static_cast<uint32_t>(width));
  StoreU32LE(&h[22], static_cast<uint32_t>(height));
  StoreU16LE(&h[26], 1);
  StoreU16LE(&h[28], static_cast<uint16_t>(bits));
  StoreU32LE(&h[34], static_cast<uint32_t>(imageSize));
  return h;
}

bool ReadAll(Stream& stream, std::vector<uint8_t>& bytes) {
  const uint64_t length = stream.Length();
  if (length > (uint64_t(1) << 31) || !stream.Seek(0)) return false;
  bytes.resize(static_cast<size_t>(length));
  return bytes.empty() || stream.ReadExact(bytes.data(), bytes.size());
}

// The fields of an uncompressed bitmap that the import needs.
struct BmpView {
  int32_t width = 0;
  int32_t height = 0;
  size_t rowSize = 0;
  size_t pixelOffset = 0;
  const uint8_t* colors = nullptr;  // colour table at offset 54
};

enum class Check { kOk, kInvalid, kShort };

Check ParseHeader(const std::vector<uint8_t>& f, int bits, size_t tableEntries, BmpView& v) {
  if (f.size() < kHeadersSize + tableEntries * 4 || f[0] != 'B' || f[1] != 'M') return Check::kInvalid;
  if (LoadU16LE(&f[28]) != bits || LoadU32LE(&f[30]) != 0) return Check::kInvalid;
  v.width = static_cast<int32_t>(LoadU32LE(&f[18]));
  v.height = static_cast<int32_t>(LoadU32LE(&f[22]));
  v.pixelOffset = LoadU32LE(&f[10]);
  v.colors = &f[kHeadersSize];
  return Check::kOk;
}

// Row size from the image-size field (the BMP rule when it is 0); bottom-up rows only.
Check CheckRows(const std::vector<uint8_t>& f, int bits, BmpView& v) {
  if (v.width <= 0 || v.width > 0xFFFF || v.height <= 0 || v.height > 0xFFFF) return Check::kInvalid;
  const uint32_t imageSize = LoadU32LE(&f[34]);
  v.rowSize =
      imageSize ? imageSize / static_cast<uint32_t>(v.height) : ((static_cast<size_t>(v.width) * bits + 31) / 32) * 4;
  if (v.rowSize & 1) return Check::kInvalid;
  if (v.rowSize * 8 < static_cast<size_t>(v.width) * bits) return Check::kInvalid;
  const size_t need = v.rowSize * static_cast<size_t>(v.height);
  if (v.pixelOffset > f.size() || f.size() - v.pixelOffset < need) return Check::kShort;
  return Check::kOk;
}

}  // namespace

bool ExportFrame(const ResourceSpr& sprite, int index, IffFile& file, Stream& pixelFile, Stream& maskFile) {
  SprFrame frame;
  if (!sprite.GetFrame(index, frame)) return false;
  if (frame.width == 0 || frame.height == 0 || frame.pixelStream.empty()) return false;
  IndexedImage image;
  if (!DecodeToIndexed(frame, image, 0)) return false;
  ResourcePalt palette;
  if (!LoadPalette(file, sprite.GetPaletteId(), palette) || !palette.IsDrawable()) return false;

  std::vector<uint8_t> out = BmpHeaders(image.width, image.height, 8, 1024, image.pixels.size());
  for (int i = 0; i < 256; ++i) {
    const uint8_t* rgb = &palette.colors[i * 3];
    out.insert(out.end(), {rgb[2], rgb[1], rgb[0], 0});
  }
  out.insert(out.end(), image.pixels.begin(), image.pixels.end());
  if (!pixelFile.Write(out.data(), out.size())) return false;

  out = BmpHeaders(image.width, image.height, 1, 8, image.mask.size());
  out.insert(out.end(), {0, 0, 0, 0, 255, 255, 255, 0});
  out.insert(out.end(), image.mask.begin(), image.mask.end());
  return maskFile.Write(out.data(), out.size());
}

SpriteImport ImportFrame(ResourceSpr& sprite, int index, IffFile& file, Stream* pixelFile, Stream* maskFile) {
  using R = SpriteImportResult;
  SpriteImport outcome;
  auto fail = [&](R result) {
    outcome.result = result;
    return outcome;
  };
  if (!pixelFile || !maskFile || (index >= 0 && static_cast<size_t>(index) > sprite.frames.size()))
    return fail(R::NotAttempted);

  std::vector<uint8_t> px, mk;
  if (!ReadAll(*pixelFile, px) || !ReadAll(*maskFile, mk)) return fail(R::FileError);

  BmpView pv, mv;
  if (ParseHeader(px, 8, 256, pv) != Check::kOk) return fail(R::BadPixelFile);
  if (ParseHeader(mk, 1, 2, mv) != Check::kOk) return fail(R::BadMaskFile);
  if (pv.width != mv.width || pv.height != mv.height) return fail(R::SizeMismatch);
  for (int which = 0; which < 2; ++which) {
    const Check c = which == 0 ? CheckRows(px, 8, pv) : CheckRows(mk, 1, mv);
    if (c == Check::kShort) return fail(R::FileError);
    if (c == Check::kInvalid) return fail(which == 0 ? R::BadPixelFile : R::BadMaskFile);
  }
  if (uint32_t(pv.width) > kMaxFrameSide || uint32_t(pv.height) > kMaxFrameSide) return fail(R::FrameTooLarge);

  // Copy the rows into the encoder's layout (the files may pad their rows more than needed).
  IndexedImage image;
  if (!image.Allocate(pv.width, pv.height)) return fail(R::Unknown);
  for (int r = 0; r < pv.height; ++r) {
    const size_t fileRow = static_cast<size_t>(r);  // both bottom-up
    std::copy_n(&px[pv.pixelOffset + fileRow * pv.rowSize], image.width, &image.pixels[fileRow * image.PixelStride()]);
    std::copy_n(&mk[mv.pixelOffset + fileRow * mv.rowSize], std::min(image.MaskStride(), mv.rowSize),
                &image.mask[fileRow * image.MaskStride()]);
  }

  SprFrameEncoder encoder;
  encoder.SetMaskByPalette(mv.colors);
  SprFrame frame;
  frame.height = static_cast<uint16_t>(pv.height);
  frame.width = static_cast<uint16_t>(pv.width);
  frame.palette = 0x1000;
  if (!encoder.Encode(image, frame.pixelStream)) return fail(R::Unknown);
  // Mostly empty frames code to a few bytes; one that could not be drawn back is not stored.
  if (!frame.SizeFits()) return fail(R::FrameTooLarge);

  ResourcePalt palette;
  palette.SetFromQuads(pv.colors, 256);
  int id = palette.FindMatchingPalette(&file);
  if (id < 0) {
    for (int candidate = 0; candidate < 8192; ++candidate) {
      if (!file.Find(ResourcePalt::kType, static_cast<uint16_t>(candidate))) {
        if (!palette.SaveAs(file, ResourcePalt::kType, static_cast<uint16_t>(candidate), "", IffChunk::kDefaultFlags))
          return fail(R::PaletteStore);
        id = candidate;
        break;
      }
    }
  }
  outcome.paletteId = id;

  if (index >= 0 && static_cast<size_t>(index) < sprite.frames.size())
    sprite.frames[index] = std::move(frame);
  else
    sprite.frames.push_back(std::move(frame));
  sprite.frameCount = static_cast<uint32_t>(sprite.frames.size());
  return outcome;
}

}  // namespace scrivet
