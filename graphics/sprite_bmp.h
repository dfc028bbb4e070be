#pragma once
// Exchange of SPR# frames with BMP files: an 8-bit pixel file and a 1-bit transparency file.

#include <cstdint>

namespace scrivet {

class IffFile;
class ResourceSpr;
class Stream;

// Outcomes of ImportFrame.
enum class SpriteImportResult {
  Imported,
  NotAttempted,   // a file is missing or the index lies past the end: nothing was read
  FileError,      // a file could not be read completely
  BadPixelFile,   // not an 8-bit uncompressed bitmap
  BadMaskFile,    // not a 1-bit uncompressed bitmap
  SizeMismatch,   // the two files differ in width or height
  FrameTooLarge,  // a frame that could not be drawn back (see SprFrame::SizeFits)
  PaletteStore,   // the bitmap's colours could not be stored as a new PALT
  Unknown,        // memory ran out, or the encoder failed after every check passed
};

struct SpriteImport {
  SpriteImportResult result = SpriteImportResult::Imported;
  // The PALT holding the bitmap's colours, found or stored; -1 when none could be stored.
  int paletteId = -1;
};

// Writes frame `index` as the two files; nothing is written unless the frame and the sprite's
// palette are usable.
bool ExportFrame(const ResourceSpr& sprite, int index, IffFile& file, Stream& pixelFile, Stream& maskFile);

// Reads a frame from the two files into frame `index` (appending when it names no frame) and makes
// sure a PALT with the bitmap's colours exists in the file. The sprite is unchanged unless the
// result is Imported; a palette stored on the way stays in the file.
SpriteImport ImportFrame(ResourceSpr& sprite, int index, IffFile& file, Stream* pixelFile, Stream* maskFile);

}  // namespace scrivet
