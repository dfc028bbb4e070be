#pragma once
// How large a sprite frame may be. A frame's width and height come from the file and size every
// plane allocated to draw it, so they are weighed against the frame's stream first.

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace scrivet {

// Real frames are at most a few hundred pixels on a side.
inline constexpr uint32_t kMaxFrameSide = 4096;

// The most pixels a stream of `streamBytes` can account for in a frame `width` pixels wide. Each
// command starts with a two-byte word, so the stream holds at most streamBytes / 2 commands. A
// command either moves along its row by its count, at most `longestRun` pixels, or ends its row,
// which leaves at most `width` pixels of it transparent; a stream that stops leaves the rest of
// one more row. Rows that a skip-rows command passes over whole are not counted: a frame that
// needs them to reach its size is mostly empty margin, which cropped frames never have.
constexpr uint64_t MaxStreamPixels(size_t streamBytes, uint32_t longestRun, uint32_t width) {
  return (uint64_t(streamBytes / 2) + 1) * std::max(longestRun, width);
}

// Frames up to this many pixels are drawn whatever their stream: a mostly transparent frame of
// ordinary size may be a lone end command, and planes this small cost a few megabytes at most.
inline constexpr uint64_t kFramePixelsAlwaysFit = 512 * 512;

// False for frames past kMaxFrameSide on a side, and for frames past kFramePixelsAlwaysFit that
// are larger than their stream can account for.
constexpr bool FrameSizeFits(uint32_t width, uint32_t height, size_t streamBytes, uint32_t longestRun) {
  if (width > kMaxFrameSide || height > kMaxFrameSide) return false;
  const uint64_t pixels = uint64_t(width) * height;
  return pixels <= kFramePixelsAlwaysFit || pixels <= MaxStreamPixels(streamBytes, longestRun, width);
}

}  // namespace scrivet
