#pragma once
// Composed canvases as Qt images, and PNG files written safely (through a temporary file that
// replaces the target only once complete). Shared by the editors and the command-line tool; needs
// Qt Core and Gui only.

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <filesystem>

#include "core/stream.h"
#include "editors/qt_text.h"
#include "graphics/draw_group.h"
#include "graphics/preview.h"

namespace scrivet {

// A composed canvas (32 bits, with mask): drawn on black and transparent, the colour plane with
// the mask as premultiplied alpha; on a chosen background, opaque.
inline QImage CanvasPicture(const SpriteCanvas& canvas, bool transparent) {
  QImage image(canvas.width, canvas.height, transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  if (image.isNull()) return image;
  auto* bits = reinterpret_cast<uint32_t*>(image.bits());
  const size_t stride = size_t(image.bytesPerLine()) / 4;
  const bool ok = transparent ? CanvasToPremultipliedArgb(canvas, bits, stride)
                              : CanvasToRgb32(canvas, CanvasPlane::Color, bits, stride);
  return ok ? image : QImage();
}

// Why a composition failed, in words (the draw group's export and the render command).
inline QString ComposeFailureText(const GraphicsFailure& failure) {
  const QString detail = QString::fromStdString(failure.detail);
  switch (failure.error) {
    case GraphicsError::FrameTooLarge: return QString("a frame is too large for its data (%1)").arg(detail);
    case GraphicsError::OutOfRange: return QString("a sprite lies outside the drawable range (%1)").arg(detail);
    case GraphicsError::MissingSprite: return QStringLiteral("a sprite of the image is missing");
    case GraphicsError::EmptyImage: return QString("the image is empty (%1)").arg(detail);
    case GraphicsError::ImageTooLarge: return QString("the image is too large (%1)").arg(detail);
    default: return QStringLiteral("Can't display the sprite!");
  }
}

// One draw-group image composed and cropped to its bounds, transparent or on `background`; false
// with the reason in words on failure.
inline bool ComposePicture(IffFile& file, const DgrpImage& image, bool transparent, QRgb background, QImage& out,
                           QString& error) {
  SpriteCanvas canvas;
  GraphicsFailure failure;
  if (!ComposeCropped(file, image, transparent ? 0 : (background & 0xFFFFFF), canvas, &failure)) {
    error = ComposeFailureText(failure);
    return false;
  }
  out = CanvasPicture(canvas, transparent);
  return true;
}

// False with the reason in `error` when the image cannot be encoded or the file written; the old
// file is then untouched.
inline bool SavePng(const QImage& image, const QString& path, QString& error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    error = QStringLiteral("couldn't encode the PNG");
    return false;
  }
#ifdef _WIN32
  const std::filesystem::path target(path.toStdWString());
#else
  const std::filesystem::path target(QFile::encodeName(path).toStdString());
#endif
  CoreFailure reason;
  if (SaveFileAtomically(
          target, [&](Stream& out) { return out.Write(bytes.constData(), size_t(bytes.size())); }, &reason))
    return true;
  error = CoreErrorText(reason);
  return false;
}

}  // namespace scrivet
