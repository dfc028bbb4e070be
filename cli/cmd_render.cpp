// render FILE DGRP ID [IMAGE] -o out.png | --all -o FOLDER: compose draw-group images into PNG files.

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTextStream>
#include <limits>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "core/stream.h"
#include "codecs/resource_dgrp.h"
#include "graphics/draw_group.h"
#include "graphics/sprite_canvas.h"

namespace scrivet::cli {
namespace {

bool WritePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    Fail(QString("%1: couldn't encode the PNG").arg(path));
    return false;
  }
  CoreFailure reason;
  const bool ok = SaveFileAtomically(
      ToPath(path), [&](Stream& out) { return out.Write(bytes.constData(), size_t(bytes.size())); }, &reason);
  if (!ok) Fail(QString("%1: %2").arg(path, CoreErrorText(reason)));
  return ok;
}

// On a black canvas the colour plane holds colour x coverage and the mask the coverage, which is
// exactly premultiplied alpha.
QImage CanvasToImage(const SpriteCanvas& canvas, bool transparent) {
  QImage image(canvas.width, canvas.height, transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  for (int y = 0; y < canvas.height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uint8_t* mask = canvas.MaskRow(y);
    for (int x = 0; x < canvas.width; ++x) {
      const uint32_t rgb = canvas.PixelRgb(x, y);
      if (!transparent) {
        out[x] = qRgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
        continue;
      }
      const int a = mask[x];
      out[x] = qRgba(std::min<int>((rgb >> 16) & 0xFF, a), std::min<int>((rgb >> 8) & 0xFF, a),
                     std::min<int>(rgb & 0xFF, a), a);
    }
  }
  return image;
}

QString DirectionName(uint32_t flags) {
  static const char* const kNames[8] = {"north-east", "north", "north-west", "west",
                                        "south-west", "south", "south-east", "east"};
  for (int bit = 0; bit < 8; ++bit)
    if (flags == (1u << bit)) return kNames[bit];
  QString digits;
  for (int bit = 7; bit >= 0; --bit) digits += (flags >> bit) & 1 ? '1' : '0';
  return "dirflags" + digits;
}

// Composed images are cropped to their frames; real objects are a few hundred pixels across.
constexpr int64_t kMaxImagePixels = int64_t(1) << 22;

QString DrawFailureText(const GraphicsFailure& failure) {
  const QString detail = QString::fromStdString(failure.detail);
  switch (failure.error) {
    case GraphicsError::FrameTooLarge: return QString("a frame is too large for its data (%1)").arg(detail);
    case GraphicsError::OutOfRange: return QString("a sprite lies outside the drawable range (%1)").arg(detail);
    case GraphicsError::MissingSprite: return "a sprite of the image is missing";
    default: return "Can't display the sprite!";
  }
}

// Composes one image cropped to its bounds; false with a message on failure.
bool RenderImage(IffFile& file, const DgrpImage& image, bool transparent, QRgb background, QImage& out,
                 QString& error) {
  auto fail = [&](const QString& text) {
    error = text;
    return false;
  };
  if (image.sprites.empty()) return fail("the image has no sprites");
  GraphicsFailure failure;
  const DgrpRect box = GetBounds(file, image, &failure);
  if (failure.error != GraphicsError::None) return fail(DrawFailureText(failure));
  if (box.IsEmpty()) return fail("a sprite of the image is missing");
  const int64_t w = int64_t(box.right) - box.left, h = int64_t(box.bottom) - box.top;
  if (w <= 0 || h <= 0 || w * h > kMaxImagePixels) return fail("the image is empty or too large");
  // The box's corner goes to the canvas origin; its negation must be a position too.
  const int64_t drawX = -int64_t(box.left), drawY = -int64_t(box.top);
  if (drawX > std::numeric_limits<int>::max() || drawY > std::numeric_limits<int>::max())
    return fail(QString("the image lies outside the drawable range (left %1, top %2)").arg(box.left).arg(box.top));
  SpriteCanvas canvas(int(h), int(w), 32);
  if (!canvas.Allocate(true, false)) return fail("out of memory");
  canvas.Clear(transparent ? 0 : (background & 0xFFFFFF), 255);
  canvas.drawX = int(drawX);
  canvas.drawY = int(drawY);
  if (!DrawImage(file, image, canvas, &failure)) return fail(DrawFailureText(failure));
  out = CanvasToImage(canvas, transparent);
  return true;
}

int RunRender(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption output(QStringList{"o", "output"}, "PNG file to write (with --all: the folder).", "PATH");
  QCommandLineOption all("all", "Write every image, named NN_direction_zoomZ.png.");
  QCommandLineOption background("background", "Background colour RRGGBB (default: transparent).", "RRGGBB");
  parser.addOption(output);
  parser.addOption(all);
  parser.addOption(background);
  if (auto exit =
          ParseArguments(parser, args,
                         "Composes draw-group images at 32 bits, cropped to their bounds, on a transparent or chosen "
                         "background.",
                         {{"FILE", "The IFF file."},
                          {"DGRP", "The type DGRP."},
                          {"ID", "Id of the draw group."},
                          {"IMAGE", "Index of the image (default 0).", "[IMAGE]"}},
                         3, 4))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  TypeCode type = 0;
  uint16_t id = 0;
  if (!ParseIdentity(pos[1], pos[2], type, id)) return 2;
  if (type != ResourceDgrp::kType) return Fail(QString("'%1' is not DGRP").arg(pos[1]));
  if (!parser.isSet(output)) return Fail("no output given (-o)");
  bool transparent = true;
  QRgb bg = 0;
  if (parser.isSet(background)) {
    bool ok = false;
    bg = parser.value(background).toUInt(&ok, 16);
    if (!ok || parser.value(background).size() != 6) return Fail("the background must be RRGGBB");
    transparent = false;
  }
  NamedResource resource;
  if (!OpenResource(pos[0], type, id, resource)) return 2;
  IffFile* file = resource.file.get();
  ResourceDgrp dgrp;
  if (!dgrp.Load(*file, *resource.chunk)) return Fail(QString("%1: DGRP %2 doesn't decode").arg(pos[0]).arg(id));

  QString error;
  if (!parser.isSet(all)) {
    bool ok = true;
    const int index = pos.size() > 3 ? pos[3].toInt(&ok) : 0;
    if (!ok || index < 0 || size_t(index) >= dgrp.images.size())
      return Fail(QString("the draw group has no image %1").arg(pos.value(3)));
    QImage image;
    if (!RenderImage(*file, dgrp.images[index], transparent, bg, image, error))
      return Fail(QString("image %1: %2").arg(index).arg(error));
    return WritePng(image, parser.value(output)) ? 0 : 2;
  }
  QDir dir(parser.value(output));
  if (!dir.exists() && !QDir().mkpath(dir.path()))
    return Fail(QString("%1: couldn't create the folder").arg(dir.path()));
  int failures = 0;
  QTextStream err(stderr);
  for (size_t i = 0; i < dgrp.images.size(); ++i) {
    const DgrpImage& source = dgrp.images[i];
    const QString name = QString("%1_%2_zoom%3.png")
                             .arg(i, 2, 10, QChar('0'))
                             .arg(DirectionName(source.directionFlags))
                             .arg(source.zoom);
    QImage image;
    if (!RenderImage(*file, source, transparent, bg, image, error)) {
      err << "scrivet2-cli: image " << i << ": " << error << '\n';
      ++failures;
      continue;
    }
    if (!WritePng(image, dir.filePath(name))) return 2;
  }
  return failures ? 1 : 0;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(render, "render", "Compose draw-group images into PNG files", &RunRender)

}  // namespace scrivet::cli
