#pragma once
// Sprite frames as picture files: PNG written through Qt, any format Qt reads taken in. Shared by
// the SPR2 editor and the command-line tool (Qt Core and Gui only).

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "codecs/frame_size.h"
#include "graphics/spr2_pixels.h"

namespace scrivet {

enum class PictureRead { Ok, Unreadable, TooLarge };

namespace detail {

// The file's image in `format`; its size is checked before it is decoded.
inline PictureRead ReadImage(const QString& path, QImage::Format format, QImage& image) {
  QImageReader reader(path);
  reader.setAutoTransform(false);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > int(kMaxFrameSide) || size.height() > int(kMaxFrameSide)))
    return PictureRead::TooLarge;
  if (!reader.read(&image) || image.isNull()) return PictureRead::Unreadable;
  if (image.width() > int(kMaxFrameSide) || image.height() > int(kMaxFrameSide)) return PictureRead::TooLarge;
  image = image.convertToFormat(format);
  return image.isNull() ? PictureRead::Unreadable : PictureRead::Ok;
}

inline QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
  return bytes;
}

}  // namespace detail

// The colour picture of a file, red, green, blue and alpha not premultiplied; the depth is left empty.
inline PictureRead ReadColourPicture(const QString& path, RgbaPicture& out) {
  QImage image;
  const PictureRead read = detail::ReadImage(path, QImage::Format_RGBA8888, image);
  if (read != PictureRead::Ok) return read;
  out.width = image.width();
  out.height = image.height();
  out.rgba.resize(size_t(out.width) * size_t(out.height) * 4);
  out.depth.clear();
  for (int y = 0; y < out.height; ++y)
    std::copy_n(image.constScanLine(y), size_t(out.width) * 4, out.rgba.data() + size_t(y) * out.width * 4);
  return PictureRead::Ok;
}

// A depth picture's bytes, one per pixel (colour files are turned grey), and its size.
inline PictureRead ReadDepthPicture(const QString& path, int& width, int& height, std::vector<uint8_t>& depth) {
  QImage image;
  const PictureRead read = detail::ReadImage(path, QImage::Format_Grayscale8, image);
  if (read != PictureRead::Ok) return read;
  width = image.width();
  height = image.height();
  depth.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) std::copy_n(image.constScanLine(y), size_t(width), depth.data() + size_t(y) * width);
  return PictureRead::Ok;
}

// The colour picture as a PNG file's bytes (empty when encoding failed).
inline QByteArray ColourPng(const RgbaPicture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGBA8888);
  if (image.isNull()) return {};
  for (int y = 0; y < picture.height; ++y)
    std::copy_n(picture.rgba.data() + size_t(y) * picture.width * 4, size_t(picture.width) * 4, image.scanLine(y));
  return detail::Png(image);
}

// One byte per pixel (the depth picture, or any grey plane) as a greyscale PNG file's bytes.
inline QByteArray GreyPng(int width, int height, const std::vector<uint8_t>& plane) {
  QImage image(width, height, QImage::Format_Grayscale8);
  if (image.isNull() || plane.size() < size_t(width) * size_t(height)) return {};
  for (int y = 0; y < height; ++y) std::copy_n(plane.data() + size_t(y) * width, size_t(width), image.scanLine(y));
  return detail::Png(image);
}

}  // namespace scrivet
