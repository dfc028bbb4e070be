#include "codecs/resource_spr.h"

#include <algorithm>
#include <limits>
#include <new>

#include "core/byte_order.h"

namespace scrivet {

namespace {

uint32_t Order32(uint32_t v, bool little) { return little ? v : SwapU32(v); }
uint16_t Order16(uint16_t v, bool little) { return little ? v : SwapU16(v); }

constexpr size_t kFrameHeaderSize = 10;

}  // namespace

bool ResourceSpr::Decode() {
  frames.clear();
  IffChunk& chunk = Chunk();
  chunk.Rewind();
  const bool little = chunk.IsLittleEndian();
  const size_t size = chunk.Size();

  uint32_t v = 0, count = 0, palette = 0;
  if (!chunk.ReadU32(v)) return false;
  v = Order32(v, little);
  if (v < 500 || v > 999) return false;
  if (!chunk.ReadU32(count)) return false;
  count = Order32(count, little);
  if (v >= 502) {
    if (!chunk.ReadU32(palette)) return false;
    palette = Order32(palette, little);
  }
  version = v;
  frameCount = count;
  paletteId = palette;

  // The table must fit in what is left before anything is allocated from the count.
  if (count > chunk.Remaining() / 4) return false;
  std::vector<uint32_t> offsets(count);
  for (uint32_t& offset : offsets) {
    if (!chunk.ReadU32(offset)) return false;
    offset = Order32(offset, little);
    if (offset >= size) return false;
  }

  for (size_t i = 0; i < offsets.size(); ++i) {
    if (!chunk.SetCursor(offsets[i])) return false;
    SprFrame frame;
    if (!chunk.ReadU16(frame.y) || !chunk.ReadU16(frame.x) || !chunk.ReadU16(frame.height) ||
        !chunk.ReadU16(frame.width) || !chunk.ReadU16(frame.palette))
      return false;
    frame.y = Order16(frame.y, little);
    frame.x = Order16(frame.x, little);
    frame.height = Order16(frame.height, little);
    frame.width = Order16(frame.width, little);
    // `palette` is little-endian whatever the flags say.
    const size_t end = i + 1 < offsets.size() ? offsets[i + 1] : size;
    // Frames out of offset order would give a negative length.
    if (end < chunk.Cursor()) return false;
    const uint8_t* start = chunk.Data() + chunk.Cursor();
    frame.pixelStream.assign(start, start + (end - chunk.Cursor()));
    frames.push_back(std::move(frame));
  }
  return true;
}

bool ResourceSpr::Encode() {
  IffChunk& chunk = Chunk();
  const bool little = chunk.IsLittleEndian();
  if (frames.size() > std::numeric_limits<uint32_t>::max() / 4) return false;
  frameCount = static_cast<uint32_t>(frames.size());
  if (!chunk.SetSize(0)) return false;
  if (!chunk.WriteU32(Order32(version, little)) || !chunk.WriteU32(Order32(frameCount, little))) return false;
  if (version >= 502 && !chunk.WriteU32(Order32(paletteId, little))) return false;

  uint64_t offset = (version >= 502 ? 12 : 8) + 4ull * frameCount;
  for (const SprFrame& frame : frames) {
    if (offset > std::numeric_limits<uint32_t>::max()) return false;
    if (!chunk.WriteU32(Order32(static_cast<uint32_t>(offset), little))) return false;
    offset += kFrameHeaderSize + frame.pixelStream.size();
  }
  for (const SprFrame& frame : frames) {
    if (!chunk.WriteU16(Order16(frame.y, little)) || !chunk.WriteU16(Order16(frame.x, little)) ||
        !chunk.WriteU16(Order16(frame.height, little)) || !chunk.WriteU16(Order16(frame.width, little)) ||
        !chunk.WriteU16(frame.palette))
      return false;
    if (!frame.pixelStream.empty() && !chunk.Write(frame.pixelStream.data(), frame.pixelStream.size())) return false;
  }
  return true;
}

bool ResourceSpr::GetFrame(int index, SprFrame& out) const {
  if (index < 0 || static_cast<size_t>(index) >= frames.size()) return false;
  out = frames[index];
  return true;
}

bool ResourceSpr::SetFrame(int index, const SprFrame& record) {
  if (index < 0 || static_cast<size_t>(index) >= frames.size()) return false;
  frames[index] = record;
  return true;
}

bool IndexedImage::Allocate(int w, int h, uint8_t background) {
  // A frame header can claim 65535 x 65535 pixels over a two-byte stream; refuse such sizes.
  if (w < 0 || h < 0 || PixelStride(w) * static_cast<size_t>(h) > kMaxPixels) return false;
  try {
    pixels.assign(PixelStride(w) * static_cast<size_t>(h), background);
    mask.assign(MaskStride(w) * static_cast<size_t>(h), 0);
  } catch (const std::bad_alloc&) {
    pixels = {};
    mask = {};
    return false;
  }
  width = w;
  height = h;
  return true;
}

bool DecodeToIndexed(const SprFrame& frame, IndexedImage& image, uint8_t background) {
  if (!frame.SizeFits() || !image.Allocate(frame.width, frame.height, background)) return false;
  const uint8_t* s = frame.pixelStream.data();
  const size_t n = frame.pixelStream.size();
  const int width = frame.width;
  const int height = frame.height;
  size_t pos = 0;
  int64_t row = -1;  // no row started yet
  int64_t x = 0;

  auto put = [&](uint8_t colour) {
    if (row >= 0 && row < height && x >= 0 && x < width) {
      image.PixelRow(static_cast<int>(row))[x] = colour;
      image.SetMaskBit(static_cast<int>(x), static_cast<int>(row));
    }
    ++x;
  };

  while (pos + 2 <= n) {
    const uint8_t code = s[pos];
    const uint8_t count = s[pos + 1];
    pos += 2;
    switch (code) {
      case 1:
        x += count;
        break;
      case 2: {
        if (pos + 2 > n) return true;
        const uint8_t colour = s[pos];
        pos += 2;
        for (int i = 0; i < count; ++i) put(colour);
        break;
      }
      case 3: {
        const size_t avail = std::min<size_t>(count, n - pos);
        for (size_t i = 0; i < avail; ++i) put(s[pos + i]);
        if (avail < count) return true;
        pos += count;
        pos += pos & 1;
        break;
      }
      case 4:
        ++row;
        x = 0;
        break;
      case 5:
        return true;
      case 9:
        row += count;
        x = 0;
        break;
      default:
        return false;
    }
    // Nothing below the frame can be drawn any more.
    if (row >= height) return true;
  }
  return true;
}

void SprFrameEncoder::SetMaskByPalette(const uint8_t* maskColors) {
  maskByPalette_ = true;
  drawnBit_[0] = maskColors[0] > 100;
  drawnBit_[1] = maskColors[4] > 100;
}

bool SprFrameEncoder::Opaque(const IndexedImage& image, int x, int row) const {
  const bool bit = image.MaskBit(x, row);
  return maskByPalette_ ? drawnBit_[bit ? 1 : 0] : bit;
}

namespace {

// Emits commands and keeps the byte count of the open next-row command up to date.
class StreamWriter {
 public:
  explicit StreamWriter(std::vector<uint8_t>& out) : out_(out) {}

  void RowCommand(uint8_t code, uint8_t count) {
    if (openRow_ != kNone) out_[openRow_ + 1] = static_cast<uint8_t>(out_.size() - openRow_);
    openRow_ = code == 4 ? out_.size() : kNone;
    out_.push_back(code);
    out_.push_back(count);
  }
  void Skip(size_t count) {
    for (; count > 0; count -= std::min<size_t>(count, 255)) {
      out_.push_back(1);
      out_.push_back(static_cast<uint8_t>(std::min<size_t>(count, 255)));
    }
  }
  void Fill(uint8_t count, uint8_t colour) { out_.insert(out_.end(), {2, count, colour, 0}); }
  void Copy(const uint8_t* bytes, size_t count) {
    out_.push_back(3);
    out_.push_back(static_cast<uint8_t>(count));
    out_.insert(out_.end(), bytes, bytes + count);
    if (count & 1) out_.push_back(0);
  }

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);
  std::vector<uint8_t>& out_;
  size_t openRow_ = kNone;
};

}  // namespace

bool SprFrameEncoder::Encode(const IndexedImage& image, std::vector<uint8_t>& stream) {
  stream.clear();
  if (image.width <= 0 || image.height <= 0) return false;
  if (image.pixels.size() < image.PixelStride() * image.height || image.mask.size() < image.MaskStride() * image.height)
    return false;

  StreamWriter w(stream);
  std::vector<uint8_t> literal;
  literal.reserve(std::min(image.width, 255));
  int pendingRows = 1;
  size_t transparent = 0;
  int last = -1;  // no opaque colour yet in this run
  int repeats = 0;

  auto flushLiteral = [&] {
    if (!literal.empty()) w.Copy(literal.data(), literal.size());
    literal.clear();
  };
  auto flushFill = [&] {
    if (repeats > 1) w.Fill(static_cast<uint8_t>(repeats + 1), static_cast<uint8_t>(last));
    repeats = 0;
  };

  for (int row = 0; row < image.height; ++row) {
    const uint8_t* pixels = image.PixelRow(row);
    for (int x = 0; x < image.width; ++x) {
      if (!Opaque(image, x, row)) {
        flushLiteral();
        flushFill();
        last = -1;
        ++transparent;
        // Runs before the row's first pixel wait for the row command and are split then.
        if (transparent == 255 && pendingRows == 0) {
          w.Skip(255);
          transparent = 0;
        }
        continue;
      }
      if (pendingRows > 0) {
        if (pendingRows > 1)
          w.RowCommand(9, static_cast<uint8_t>(pendingRows));
        else
          w.RowCommand(4, 0);
        pendingRows = 0;
      }
      if (transparent > 0) {
        w.Skip(transparent);
        transparent = 0;
      }
      const uint8_t colour = pixels[x];
      if (colour == last) {
        ++repeats;
        if (repeats == 2 && literal.size() > 2) w.Copy(literal.data(), literal.size() - 2);
        if (repeats >= 2) literal.clear();
        if (repeats == 1) literal.push_back(colour);
        if (repeats + 1 == 255) {
          // A fill count is one byte: close the run and start afresh.
          flushFill();
          last = -1;
        }
      } else {
        if (literal.empty()) flushFill();
        repeats = 0;
        literal.push_back(colour);
        last = colour;
      }
      if (literal.size() == 255) {
        // A copy count is one byte too; the next pixel starts a new run.
        flushLiteral();
        repeats = 0;
        last = -1;
      }
    }
    flushLiteral();
    flushFill();
    transparent = 0;
    last = -1;
    if (++pendingRows == 255) {
      w.RowCommand(9, 255);
      pendingRows = 0;
    }
  }
  w.RowCommand(5, 0);
  return true;
}

}  // namespace scrivet
