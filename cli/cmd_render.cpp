// render FILE DGRP ID [IMAGE] -o out.png | --all -o FOLDER: compose draw-group images into PNG files.

#include <QDir>
#include <QImage>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "codecs/resource_dgrp.h"
#include "editors/picture_file.h"

namespace scrivet::cli {
namespace {

bool WritePng(const QImage& image, const QString& path) {
  QString error;
  if (SavePng(image, path, error)) return true;
  Fail(QString("%1: %2").arg(path, error));
  return false;
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
    if (!ComposePicture(*file, dgrp.images[index], transparent, bg, image, error))
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
    if (!ComposePicture(*file, source, transparent, bg, image, error)) {
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
