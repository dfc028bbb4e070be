// sprite: a frame's colour, depth and alpha planes as PNG files.
// sprite-export: an SPR# frame as a pair of BMP files.
// sprite-import: an SPR# frame from a pair of BMP files, or an SPR2 frame from PNG pictures.

#include <QBuffer>
#include <QImage>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "core/stream.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "editors/sprite_messages.h"
#include "editors/sprite_png.h"
#include "graphics/spr2_pixels.h"
#include "graphics/sprite_bmp.h"
#include "graphics/sprite_canvas.h"
#include "graphics/sprite_render.h"

namespace scrivet::cli {
namespace {

bool WriteBytes(const QString& path, const void* data, size_t n) {
  CoreFailure reason;
  const bool ok = SaveFileAtomically(
      ToPath(path), [&](Stream& out) { return n == 0 || out.Write(data, n); }, &reason);
  if (!ok) Fail(QString("%1: %2").arg(path, CoreErrorText(reason)));
  return ok;
}

bool WritePng(const QByteArray& bytes, const QString& path) {
  if (bytes.isEmpty()) {
    Fail(QString("%1: couldn't encode the PNG").arg(path));
    return false;
  }
  return WriteBytes(path, bytes.constData(), size_t(bytes.size()));
}

bool WritePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) bytes.clear();
  return WritePng(bytes, path);
}

// An 8-bit plane (rows top-down through `row`) as a grey PNG.
template <class RowFn>
QImage GreyImage(int width, int height, RowFn row) {
  QImage image(width, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y) std::copy_n(row(y), width, image.scanLine(y));
  return image;
}

// Colour over coverage: on a black canvas the colour plane is already premultiplied by the mask.
QImage ColourImage(const SpriteCanvas& canvas) {
  QImage image(canvas.width, canvas.height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < canvas.height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint8_t* mask = canvas.MaskRow(y);
    for (int x = 0; x < canvas.width; ++x) {
      const uint32_t rgb = canvas.PixelRgb(x, y);
      const int a = mask[x];
      out[x] = qRgba(std::min<int>((rgb >> 16) & 0xFF, a), std::min<int>((rgb >> 8) & 0xFF, a),
                     std::min<int>(rgb & 0xFF, a), a);
    }
  }
  return image;
}

using SpriteArgs = NamedResource;

// FILE TYPE ID from the positional arguments; reports errors itself.
bool OpenSprite(const QStringList& pos, bool sprOnly, SpriteArgs& out) {
  if (!ParseIdentity(pos[1], pos[2], out.type, out.id)) return false;
  if (out.type != ResourceSpr::kType && (sprOnly || out.type != ResourceSpr2::kType)) {
    Fail(QString("'%1' is not %2").arg(pos[1], sprOnly ? "SPR#" : "SPR2 or SPR#"));
    return false;
  }
  return OpenResource(pos[0], out.type, out.id, out);
}

// Why a frame could not be drawn.
QString DrawFailureText(const GraphicsFailure& failure) {
  if (failure.error == GraphicsError::FrameTooLarge)
    return QString("the frame is too large for its data (%1)").arg(QString::fromStdString(failure.detail));
  return "Can't display this sprite!";
}

bool ParseFrame(const QString& text, int& frame) {
  bool ok = false;
  frame = text.toInt(&ok);
  if (!ok || frame < 0) Fail(QString("'%1' is not a frame index").arg(text));
  return ok && frame >= 0;
}

// The SPR2 frame's picture, exactly as sprite-import takes it back.
int WriteSpr2Frame(const SpriteArgs& s, int frame, const QCommandLineParser& parser, const QCommandLineOption& output,
                   const QCommandLineOption& depth, const QCommandLineOption& alpha) {
  ResourceSpr2 sprite;
  if (!sprite.Load(*s.file, *s.chunk)) return Fail("the sprite doesn't decode");
  RgbaPicture picture;
  const Spr2Exchange exported = ExportSpr2Frame(*s.file, sprite, frame, picture);
  if (exported.error == Spr2ExchangeError::FrameTooLarge)
    return Fail(QString("the frame is too large for its data (%1)").arg(QString::fromStdString(exported.detail)));
  if (exported.error == Spr2ExchangeError::BadPicture) return Fail("the frame is empty");
  if (!exported.ok()) return Fail(Spr2ExchangeText(exported.error));
  const size_t pixels = picture.rgba.size() / 4;
  if (parser.isSet(alpha)) {
    std::vector<uint8_t> plane(pixels);
    for (size_t i = 0; i < pixels; ++i) plane[i] = picture.rgba[i * 4 + 3];
    if (!WritePng(GreyPng(picture.width, picture.height, plane), parser.value(alpha))) return 2;
  }
  // A frame without depth shows the depth plane it is drawn with: all far.
  if (parser.isSet(depth) &&
      !WritePng(GreyPng(picture.width, picture.height,
                        picture.depth.empty() ? std::vector<uint8_t>(pixels, 255) : picture.depth),
                parser.value(depth)))
    return 2;
  if (parser.isSet(output) && !WritePng(ColourPng(picture), parser.value(output))) return 2;
  return 0;
}

int RunSprite(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption output(QStringList{"o", "output"}, "PNG file for the colours (transparent background).", "PNG");
  QCommandLineOption depth("depth", "PNG file for the depth plane (SPR2 only).", "PNG");
  QCommandLineOption alpha("alpha", "PNG file for the opacity plane.", "PNG");
  parser.addOption(output);
  parser.addOption(depth);
  parser.addOption(alpha);
  if (auto exit = ParseArguments(parser, args,
                                 "Writes one sprite frame's planes as PNG files. SPR2 colours are the palette's, with "
                                 "the frame's opacity as alpha, as sprite-import reads them back.",
                                 {{"FILE", "The IFF file."},
                                  {"TYPE", "SPR2 or SPR#."},
                                  {"ID", "Id of the sprite."},
                                  {"FRAME", "Frame index (default 0).", "[FRAME]"}},
                                 3, 4))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  if (!parser.isSet(output) && !parser.isSet(depth) && !parser.isSet(alpha))
    return Fail("nothing to write (-o, --depth, --alpha)");
  SpriteArgs s;
  if (!OpenSprite(pos, false, s)) return 2;
  int frame = 0;
  if (pos.size() > 3 && !ParseFrame(pos[3], frame)) return 2;
  if (s.type == ResourceSpr2::kType) return WriteSpr2Frame(s, frame, parser, output, depth, alpha);

  if (parser.isSet(depth)) return Fail("SPR# frames have no depth plane");
  ResourceSpr sprite;
  if (!sprite.Load(*s.file, *s.chunk)) return Fail("the sprite doesn't decode");
  if (size_t(frame) >= sprite.frames.size()) return Fail("Can't find this sprite!");
  const SprFrame& f = sprite.frames[frame];
  if (f.width == 0 || f.height == 0) return Fail("the frame is empty");
  RenderedBitmap colour, coverage;
  GraphicsFailure failure;
  if (!RenderSprFrame(*s.file, sprite, frame, 0, 32, colour, coverage, &failure)) return Fail(DrawFailureText(failure));
  auto rowOf = [](const RenderedBitmap& b) {
    return [&b](int y) { return b.bits.data() + size_t(b.height - 1 - y) * b.stride; };
  };
  if (parser.isSet(alpha) &&
      !WritePng(GreyImage(coverage.width, coverage.height, rowOf(coverage)), parser.value(alpha)))
    return 2;
  if (parser.isSet(output)) {
    // A canvas view over the bitmaps for the colour image.
    SpriteCanvas canvas(colour.height, colour.width, 32);
    canvas.color = std::move(colour.bits);
    canvas.mask = std::move(coverage.bits);
    if (!WritePng(ColourImage(canvas), parser.value(output))) return 2;
  }
  return 0;
}

int RunSpriteExport(const QStringList& args) {
  QCommandLineParser parser;
  if (auto exit =
          ParseArguments(parser, args, "Writes an SPR# frame as an 8-bit pixel file and a 1-bit transparency file.",
                         {{"FILE", "The IFF file."},
                          {"SPR#", "The type SPR#."},
                          {"ID", "Id of the sprite."},
                          {"FRAME", "Frame index."},
                          {"PIXELS", "8-bit BMP file to write."},
                          {"MASK", "1-bit BMP file to write."}},
                         6, 6))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  SpriteArgs s;
  int frame = 0;
  if (!OpenSprite(pos, true, s) || !ParseFrame(pos[3], frame)) return 2;
  ResourceSpr sprite;
  if (!sprite.Load(*s.file, *s.chunk)) return Fail("the sprite doesn't decode");
  MemoryStream pixels, mask;
  if (!ExportFrame(sprite, frame, *s.file, pixels, mask)) return Fail("Couldn't export the sprite!");
  if (!WriteBytes(pos[4], pixels.Bytes().data(), pixels.Bytes().size()) ||
      !WriteBytes(pos[5], mask.Bytes().data(), mask.Bytes().size()))
    return Fail("File I/O error!");
  QTextStream(stdout) << "Sprite successfully exported!\n";
  return 0;
}

int ImportBmpPair(const QStringList& pos, bool linkPalette) {
  SpriteArgs s;
  int frame = 0;
  if (!OpenSprite(pos, true, s) || !ParseFrame(pos[3], frame)) return 2;
  ResourceSpr sprite;
  if (!sprite.Load(*s.file, *s.chunk)) return Fail("the sprite doesn't decode");
  if (size_t(frame) > sprite.frames.size()) return Fail(QString("the sprite has no frame %1").arg(frame));
  std::vector<uint8_t> pixelBytes, maskBytes;
  CoreFailure reason;
  if (!ReadWholeFile(ToPath(pos[4]), pixelBytes, &reason))
    return Fail(QString("Can't open the file (pixel data): %1").arg(CoreErrorText(reason)));
  if (!ReadWholeFile(ToPath(pos[5]), maskBytes, &reason))
    return Fail(QString("Can't open the file (transparency): %1").arg(CoreErrorText(reason)));
  MemoryStream pixels(std::move(pixelBytes)), mask(std::move(maskBytes));
  const SpriteImport imported = ImportFrame(sprite, frame, *s.file, &pixels, &mask);
  if (imported.result == SpriteImportResult::NotAttempted) return Fail("the import failed");
  if (imported.result == SpriteImportResult::FrameTooLarge)
    return Fail(QString("the frame is too large (at most %1 x %1 pixels, not mostly empty)").arg(kMaxFrameSide));
  if (imported.result != SpriteImportResult::Imported)
    return Fail(SpriteImportText(imported.result).replace("\n\n", " "));
  if (linkPalette && imported.paletteId >= 0) sprite.paletteId = uint32_t(imported.paletteId);
  if (!sprite.Save(*s.file) || !SaveIff(*s.file, pos[0])) return 2;
  QTextStream out(stdout);
  out << SpriteImportText(imported.result) << '\n';
  if (imported.paletteId >= 0) out << "palette: PALT " << imported.paletteId << '\n';
  return 0;
}

int ImportPictures(const QStringList& pos, const QString& depthPath) {
  SpriteArgs s;
  int frame = 0;
  if (!OpenSprite(pos, false, s) || !ParseFrame(pos[3], frame)) return 2;
  ResourceSpr2 sprite;
  if (!sprite.Load(*s.file, *s.chunk)) return Fail("the sprite doesn't decode");
  if (size_t(frame) > sprite.frames.size()) return Fail(QString("the sprite has no frame %1").arg(frame));
  RgbaPicture picture;
  PictureRead read = ReadColourPicture(pos[4], picture);
  if (read == PictureRead::Ok && !depthPath.isEmpty()) {
    int width = 0, height = 0;
    read = ReadDepthPicture(depthPath, width, height, picture.depth);
    if (read == PictureRead::Ok && (width != picture.width || height != picture.height))
      return Fail(Spr2ExchangeText(Spr2ExchangeError::SizeMismatch));
    if (read == PictureRead::Unreadable) return Fail(QString("%1: %2").arg(PictureUnreadableText(true), depthPath));
  } else if (read == PictureRead::Unreadable) {
    return Fail(QString("%1: %2").arg(PictureUnreadableText(false), pos[4]));
  }
  if (read == PictureRead::TooLarge) return Fail(Spr2ExchangeText(Spr2ExchangeError::FrameTooLarge));
  const Spr2Exchange imported = ImportSpr2Frame(*s.file, sprite, frame, picture);
  if (!imported.ok()) return Fail(Spr2ExchangeText(imported.error));
  if (!sprite.Save(*s.file) || !SaveIff(*s.file, pos[0])) return 2;
  QTextStream(stdout) << Spr2ImportedText(imported.approximated).replace("\n\n", "\n") << '\n';
  return 0;
}

int RunSpriteImport(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption depth("depth", "SPR2: grey PNG of the depth plane, the colour picture's size.", "PNG");
  QCommandLineOption link("link-palette", "SPR#: also make the sprite use the palette that holds the bitmap's colours.");
  parser.addOption(depth);
  parser.addOption(link);
  if (auto exit = ParseArguments(
          parser, args,
          "Reads a sprite frame and saves the file. SPR#: from an 8-bit pixel file and a 1-bit transparency file, "
          "adding a PALT with the bitmap's colours when the file has none. SPR2: from a PNG picture whose alpha is "
          "the opacity; colours the frame's palette lacks take the nearest one; without --depth a frame of the "
          "same size keeps its depth and a new one gets a flat one.",
          {{"FILE", "The IFF file (saved in place)."},
           {"TYPE", "SPR# or SPR2."},
           {"ID", "Id of the sprite."},
           {"FRAME", "Frame to replace; the frame count appends."},
           {"PIXELS", "SPR#: 8-bit BMP file. SPR2: PNG picture."},
           {"MASK", "SPR#: 1-bit BMP file.", "[MASK]"}},
          5, 6))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type = 0;
  uint16_t id = 0;
  if (!ParseIdentity(pos[1], pos[2], type, id)) return 2;
  if (type == ResourceSpr2::kType) {
    if (pos.size() != 5) return Fail("an SPR2 frame comes from one picture (--depth for its depth)");
    if (parser.isSet(link)) return Fail("--link-palette is for SPR# sprites");
    return ImportPictures(pos, parser.value(depth));
  }
  if (type != ResourceSpr::kType) return Fail(QString("'%1' is not SPR# or SPR2").arg(pos[1]));
  if (pos.size() != 6) return Fail("an SPR# frame comes from a pixel file and a transparency file");
  if (parser.isSet(depth)) return Fail("SPR# frames have no depth plane");
  return ImportBmpPair(pos, parser.isSet(link));
}

}  // namespace

SCRIVET_REGISTER_COMMAND(sprite, "sprite", "Render a sprite frame's colour, depth and alpha planes as PNG", &RunSprite)
SCRIVET_REGISTER_COMMAND(spriteExport, "sprite-export", "Write an SPR# frame as two BMP files", &RunSpriteExport)
SCRIVET_REGISTER_COMMAND(spriteImport, "sprite-import", "Read an SPR# frame from two BMP files, or an SPR2 frame from PNG",
                         &RunSpriteImport)

}  // namespace scrivet::cli
