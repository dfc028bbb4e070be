#pragma once
// Exchange of SPR# frames with BMP files: an 8-bit pixel file and a 1-bit transparency file.

#include <cstdint>

namespace scrivet {

class IffFile;
class ResourceSpr;
class Stream;

// Result codes of ImportFrame.
enum SpriteImportResult : int {
  kImportOk = 0,
  kImportBadPixelFile = 1,
  kImportBadMaskFile = 2,
  kImportFileError = 3,
  kImportSizeMismatch = 4,
  kImportPaletteBuild = 5,
  kImportPaletteStore = 6,
  kImportStreamStore = 7,
  kImportUnknown = 8,
};

// The editor's text for a result code ("Unknown error!" for any code without one).
const char* ImportResultMessage(int code);

// Writes frame `index` as the two files; nothing is written unless the frame and the sprite's
// palette are usable.
bool ExportFrame(const ResourceSpr& sprite, int index, IffFile& file, Stream& pixelFile, Stream& maskFile);

// Reads a frame from the two files into frame `index` (appending when it names no frame) and makes
// sure a PALT with the bitmap's colours exists in the file; its id goes to *paletteId when given.
// False with `result` 0 when a file is missing or the index is past the end; otherwise `result` says.
bool ImportFrame(ResourceSpr& sprite, int index, IffFile& file, Stream* pixelFile, Stream* maskFile, int& result,
                 int* paletteId = nullptr);

}  // namespace scrivet
