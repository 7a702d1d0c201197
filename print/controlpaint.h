#pragma once
// Control image painting: a control, with or without its children, painted
// into the band being printed.

#include <QRect>

class QObject;
class QPainter;
class QWidget;

namespace hvx {

// Kinds of control are told apart by class name on the toolkit's class chain
// (the class itself and every base class).
bool InheritsFromClassName(const QObject *control, const char *className);
// A control that holds other controls or takes the keyboard focus, as
// opposed to the labels, lines and shapes that only draw on their parent.
bool isWindowedControl(const QWidget *control);
// Paints the control with its visible children at (x, y) of the painter's
// current origin; region, in the control's coordinates, limits the painting
// (an empty region paints the whole control).
void PaintControlTree(QWidget *control, QPainter *painter, int x, int y, const QRect &region = QRect());
// Paints the control itself, without its children, at the painter's origin.
void PaintControlImage(QWidget *control, QPainter *painter, const QRect &region = QRect());

} // namespace hvx
