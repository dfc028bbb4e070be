#include "editors/field_messages.h"

#include "editors/platform.h"

namespace scrivet {

QString NumberRefusalText(const NumberParse& parse) {
  if (parse.min > parse.max) return QStringLiteral("Please enter an integer.");
  return QStringLiteral("Please enter an integer between %1 and %2.").arg(parse.min).arg(parse.max);
}

QString RealRefusalText() { return QStringLiteral("Please enter a number."); }

bool AcceptNumber(Platform& platform, QWidget* parent, const NumberParse& parse) {
  if (parse.ok()) return true;
  platform.Warn(parent, NumberRefusalText(parse));
  return false;
}

}  // namespace scrivet
