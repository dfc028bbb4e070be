#pragma once
// Why drawing failed. The texts the user sees are chosen by the application and the command-line
// tool; the graphics code names the reason and what it concerns.

#include <string>
#include <utility>

namespace scrivet {

enum class GraphicsError {
  None,
  MissingSprite,  // a sprite the image names is missing, does not decode or has no such frame
  FrameTooLarge,  // past the side limit or larger than its stream can account for
  OutOfRange,     // an offset or box whose coordinates do not fit the drawing arithmetic
  CannotDraw,     // no usable palette or canvas, an allocation failed, or the stream is invalid
  // Composing a whole image at its own size (a picture file):
  EmptyImage,     // the image has no sprites, or none with pixels
  ImageTooLarge,  // the image's box holds more pixels than a picture is allowed
};

struct GraphicsFailure {
  GraphicsError error = GraphicsError::None;
  std::string detail;  // which sprite and frame, and the sizes or offsets concerned
};

// Fills *failure when the caller asked for it; returns false so that failing paths can end with it.
inline bool ReportFailure(GraphicsFailure* failure, GraphicsError error, std::string detail = {}) {
  if (failure) *failure = {error, std::move(detail)};
  return false;
}

}  // namespace scrivet
