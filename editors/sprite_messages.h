#pragma once
// The words of the sprite editors' import and export, shared by the editors and the command-line
// tool (which needs Qt Core only).

#include <QString>

#include "graphics/spr2_pixels.h"
#include "graphics/sprite_bmp.h"

namespace scrivet {

inline QString SpriteImportedText() { return QStringLiteral("Sprite successfully imported!"); }
inline QString SpriteExportedText() { return QStringLiteral("Sprite successfully exported!"); }
inline QString SpriteExportFailedText() { return QStringLiteral("Couldn't export the sprite!"); }
inline QString FileIoErrorText() { return QStringLiteral("File I/O error!"); }

// A BMP pair's import outcome.
inline QString SpriteImportText(SpriteImportResult result) {
  switch (result) {
    case SpriteImportResult::Imported:
      return SpriteImportedText();
    case SpriteImportResult::BadPixelFile:
      return QStringLiteral(
          "The pixel data file is invalid!\n\nMake sure it's an 8-bit palettized windows bitmap file! (256 colors)");
    case SpriteImportResult::BadMaskFile:
      return QStringLiteral(
          "The transparency file is invalid!\n\nMake sure it's a monochrome windows bitmap file! (black-and-white)");
    case SpriteImportResult::FileError:
      return FileIoErrorText();
    case SpriteImportResult::SizeMismatch:
      return QStringLiteral(
          "Make sure that the pixel data file and the transparency file have the same width and height!");
    case SpriteImportResult::PaletteStore:
      return QStringLiteral("Error while trying to make the palette!");
    case SpriteImportResult::FrameTooLarge:
      return QStringLiteral("The bitmap is too large for a sprite frame!");
    case SpriteImportResult::NotAttempted:
    case SpriteImportResult::Unknown:
      break;
  }
  return QStringLiteral("Unknown error!");
}

// A PNG import that worked, with the pixels whose colours the palette lacks.
inline QString Spr2ImportedText(size_t approximated) {
  if (approximated == 0) return SpriteImportedText();
  return SpriteImportedText() +
         QStringLiteral("\n\n%1 pixel(s) had colours that are not in the palette and now use the nearest one.")
             .arg(qulonglong(approximated));
}

// Why a PNG import or export failed.
inline QString Spr2ExchangeText(Spr2ExchangeError error) {
  switch (error) {
    case Spr2ExchangeError::None:
      return SpriteImportedText();
    case Spr2ExchangeError::NoSuchFrame:
      return QStringLiteral("Can't find this sprite!");
    case Spr2ExchangeError::NoPalette:
      return QStringLiteral("Can't find the palette of this sprite!");
    case Spr2ExchangeError::BadStream:
      return QStringLiteral("Can't display this sprite!");
    case Spr2ExchangeError::BadPicture:
      return QStringLiteral("The pixel data file holds no picture!");
    case Spr2ExchangeError::SizeMismatch:
      return QStringLiteral("Make sure that the pixel data file and the Z-buffer file have the same width and height!");
    case Spr2ExchangeError::FrameTooLarge:
      return QStringLiteral("The picture is too large for a sprite frame!");
  }
  return QStringLiteral("Unknown error!");
}

// A picture file that could not be read.
inline QString PictureUnreadableText(bool depth) {
  return depth ? QStringLiteral("Can't open the file (Z-buffer)") : QStringLiteral("Can't open the file (pixel data)");
}

}  // namespace scrivet
