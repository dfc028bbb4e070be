#pragma once
// The words for a number box that refused its text. Every editor's range checks end here, so the
// user sees one message style, that of the platform's standard dialog validation.

#include <QString>

#include "edit/number_field.h"

class QWidget;

namespace scrivet {

class Platform;

// "Please enter an integer between MIN and MAX." (or without the range when there is none).
QString NumberRefusalText(const NumberParse& parse);
// "Please enter a number." for a box of real numbers that does not hold one.
QString RealRefusalText();

// True when the box was accepted; otherwise shows the refusal (caption "Scrivet 2", warning icon)
// and returns false, so the dialog stays open with the old value.
bool AcceptNumber(Platform& platform, QWidget* parent, const NumberParse& parse);

}  // namespace scrivet
