#pragma once
// Colours the program chooses itself, kept readable on the window they are
// drawn on, whatever the desktop's theme: a colour that stands out from a
// light window too little is darkened, and on a dark window lightened, in
// its own hue, until its contrast ratio reaches the least allowed.

#include <QColor>
#include <QPixmap>

namespace hvx {

// The least contrast ratio of a text or a picture's lines against its
// background.
constexpr double LeastContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same lightness) to 21
// (black on white), from their relative luminances.
double contrastRatio(const QColor &a, const QColor &b);

// The colour itself when it stands out enough from background, else the
// nearest colour of its hue that does.
QColor readableOn(const QColor &colour, const QColor &background);

// A picture (XPM image data) with its dark colours, which draw its lines,
// made readable on background; its light colours stay.
QPixmap readablePicture(const char *const *xpm, const QColor &background);

} // namespace hvx
