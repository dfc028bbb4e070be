#pragma once
// An SPR2 frame as planes of pixels: decoded from its stream, encoded back into one, and
// exchanged with the RGBA pictures (plus a grey depth picture) that paint programs read and write.
//
// Opacity is kept on the file's 0-31 scale: 0 transparent, 31 opaque. A picture's alpha maps to it
// and back by rounding both ways (alpha = opacity x 255 / 31, opacity = alpha x 31 / 255), which
// gives every opacity back exactly; alphas 1-4 round to transparent.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/resource_spr2.h"
#include "graphics/graphics_error.h"

namespace scrivet {

class IffFile;
class ResourcePalt;

inline constexpr uint8_t kSpr2Opaque = 31;

// Frame flag bits: what the frame's pixels carry.
inline constexpr uint32_t kSpr2HasColour = 1;
inline constexpr uint32_t kSpr2HasDepth = 2;
inline constexpr uint32_t kSpr2HasAlpha = 4;

// Depth given to imported pixels that have no depth of their own: the middle of the range, so
// that a new frame neither hides nor is hidden by everything around it.
inline constexpr uint8_t kSpr2FlatDepth = 128;

// One frame's pixels, each plane width x height, top row first.
struct Spr2Pixels {
  int width = 0;
  int height = 0;
  bool hasDepth = false;         // the pixels carry depth bytes
  std::vector<uint8_t> index;    // palette index; 0 where transparent
  std::vector<uint8_t> opacity;  // 0-31
  std::vector<uint8_t> depth;    // 255 where transparent and throughout a frame without depth

  // Every pixel transparent. False for a negative size or one past kMaxFrameSide.
  bool Allocate(int w, int h);
  size_t Count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
  bool Drawn(size_t i) const { return opacity[i] != 0; }
  bool HasPartialOpacity() const;
  // The form the encoder writes and the decoder gives back: transparent pixels index 0 and depth
  // 255; depth only when a drawn pixel carries it, which every partly opaque pixel does.
  void Normalize();
  // Flag bits for the pixels as Normalize leaves them.
  uint32_t ContentFlags() const;

  bool operator==(const Spr2Pixels&) const = default;
};

// The pixels a frame's stream draws on a frame-sized canvas: the same clipping and end-of-data
// rules as the rasterizer, so a frame exports as it is shown. Fails (FrameTooLarge, CannotDraw)
// on a frame too large for its stream or an invalid command.
bool DecodeSpr2Pixels(const Spr2Frame& frame, Spr2Pixels& out, GraphicsFailure* failure = nullptr);

// Writes the stream for the pixels: row by row, transparent runs as skips, opaque pixels as depth
// pixels (colour pixels in a frame without depth), partly opaque ones as depth-alpha pixels; runs
// split at the 13-bit count, trailing transparent pixels and rows left out, each row's count
// holding its byte length. The same pixels always give the same bytes, and decoding them gives
// the pixels back in normalized form. Fails (FrameTooLarge) when a row's bytes exceed 8191.
bool EncodeSpr2Stream(const Spr2Pixels& pixels, std::vector<uint8_t>& stream, GraphicsFailure* failure = nullptr);

// A picture as paint programs keep it: red, green, blue, alpha per pixel (not premultiplied), top
// row first; and, when `depth` is not empty, one grey depth byte per pixel.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  std::vector<uint8_t> depth;
};

// `palette` is 256 entries of red, green, blue. Transparent pixels become 0, 0, 0, 0 and depth 255;
// the depth picture is written for frames with depth only.
void Spr2PixelsToPicture(const Spr2Pixels& pixels, const uint8_t* palette, RgbaPicture& out);

struct Spr2PictureImport {
  // The frame being replaced, when it has the picture's size: where its colour is the pixel's,
  // its index is kept (palettes often hold one colour twice), and without a depth picture its
  // depth is kept. Null for a new frame, which gets kSpr2FlatDepth.
  const Spr2Pixels* previous = nullptr;
  uint8_t flatDepth = kSpr2FlatDepth;
};

// Maps a picture onto a palette: a colour the palette holds takes its (first) index, any other
// the nearest one by squared distance (ties to the lower index). Returns how many drawn pixels
// took a nearest colour; the result is normalized. The picture's planes must match its size.
size_t PictureToSpr2Pixels(const RgbaPicture& picture, const uint8_t* palette, const Spr2PictureImport& options,
                           Spr2Pixels& out);

// Why exporting or importing a frame failed.
enum class Spr2ExchangeError {
  None,
  NoSuchFrame,    // the index names no frame (import: lies past the end)
  NoPalette,      // neither the frame's PALT nor the sprite's is there with 256 colours
  BadStream,      // the frame's stream does not decode
  BadPicture,     // an empty picture, or planes that do not match its size
  SizeMismatch,   // the depth picture's size differs from the colour picture's
  FrameTooLarge,  // past the side limit, or a frame or row its counts cannot describe
};

struct Spr2Exchange {
  Spr2ExchangeError error = Spr2ExchangeError::None;
  std::string detail;
  size_t approximated = 0;  // import: pixels that took the nearest palette colour
  size_t frame = 0;         // import: the frame written
  bool ok() const { return error == Spr2ExchangeError::None; }
};

// The PALT a frame is drawn with: its own when the file has it, else the sprite's.
bool LoadSpr2Palette(IffFile& file, const ResourceSpr2& sprite, const Spr2Frame& frame, ResourcePalt& palette);

// Frame `index` as a picture (with a depth picture when it has depth).
Spr2Exchange ExportSpr2Frame(IffFile& file, const ResourceSpr2& sprite, int index, RgbaPicture& out);

// The picture into frame `index`, or a new last frame when the index is negative or the frame
// count. A replaced frame keeps its other fields; its width and height follow the picture, and the
// low three flag bits say what the pixels now carry. A new frame takes the palette and
// transparent colour of the last frame (or the sprite's palette). The sprite is unchanged unless
// the result is ok.
Spr2Exchange ImportSpr2Frame(IffFile& file, ResourceSpr2& sprite, int index, const RgbaPicture& picture);

}  // namespace scrivet
