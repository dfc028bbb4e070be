#pragma once
// Drawing one encoded SPR# or SPR2 frame into a SpriteCanvas.

#include <cstddef>
#include <cstdint>

#include "graphics/sprite_canvas.h"

namespace scrivet {

class IffFile;
class ResourceSpr;
struct Spr2Frame;

// Stream-level members: `palette` is 256 entries of red, green, blue. They draw at the canvas's
// drawX/drawY (mirrored when the canvas says so, which needs the frame width), clip to the
// canvas and stop at the end of the stream bytes. False only on an invalid command code.
bool DrawSprFrame(SpriteCanvas& canvas, const uint8_t* stream, size_t length, const uint8_t* palette,
                  int frameWidth = 0);
bool DrawSpr2Frame(SpriteCanvas& canvas, const uint8_t* stream, size_t length, const uint8_t* palette,
                   int frameWidth = 0);

// Frame-level: check the canvas and the frame's size (SizeFits), find the palette in the file,
// draw. The SPR# one needs the mask plane, uses the sprite's paletteId and refreshes the display
// plane when there is one.
bool DrawSprFrameFromFile(IffFile& file, const ResourceSpr& sprite, int frameIndex, SpriteCanvas& canvas);
// Tries the frame's palette first, then `fallbackPaletteId`.
bool DrawSpr2FrameFromFile(IffFile& file, const Spr2Frame& frame, uint16_t fallbackPaletteId, SpriteCanvas& canvas);

}  // namespace scrivet
