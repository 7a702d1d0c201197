#include "shapewidget.h"

#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace hvx {

namespace {

// A shape with an accessible name shows something a screen reader must say
// (a switch square: "S2 switch 5, on"), and is read as text. A shape without
// one is a line or a rectangle of the drawing: it tells the reader that it is
// not shown, so that the reader passes over it.
class ShapeAccessible : public QAccessibleWidget {
public:
    explicit ShapeAccessible(QWidget *shape)
        : QAccessibleWidget(shape, QAccessible::StaticText)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (isDecoration())
            s.invisible = true;
        return s;
    }

    QAccessible::Role role() const override { return isDecoration() ? QAccessible::Graphic : QAccessible::StaticText; }

private:
    bool isDecoration() const { return widget()->accessibleName().isEmpty(); }
};

QAccessibleInterface *shapeAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(ShapeWidget::staticMetaObject.className()) && object && object->isWidgetType())
        return new ShapeAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

ShapeWidget::ShapeWidget(QWidget *parent)
    : QWidget(parent)
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(shapeAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled)
    // The shape covers its whole rectangle; nothing beneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ShapeWidget::setBrushColor(const QColor &color)
{
    m_brush = color;
    update();
}

void ShapeWidget::setPenColor(const QColor &color)
{
    m_pen = color;
    update();
}

namespace {

// Lines this close in lightness to what they lie on are lost in it.
constexpr int LeastLightnessStep = 96;

} // namespace

QColor ShapeWidget::fillColor() const
{
    // A line is drawn in its own colour where that stands out from the
    // background beneath it (always on paper and on a light desktop); on a
    // dark desktop a black line would vanish, and it takes the colour of the
    // window's text instead. Larger shapes keep their colours: what they hold
    // is drawn for them.
    const bool line = std::min(width(), height()) <= 2;
    const QWidget *below = parentWidget();
    if (!line || m_pen.isValid() || !below)
        return m_brush;
    const QColor background = below->palette().color(below->backgroundRole());
    if (std::abs(background.lightness() - m_brush.lightness()) >= LeastLightnessStep)
        return m_brush;
    return palette().color(QPalette::WindowText);
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    // Fills only, no pen: a one-pixel pen covers a fraction of a device pixel
    // on a scaled screen and leaves the brush showing outside the outline.
    // The outline is the whole rectangle in the pen colour with the inside
    // filled over it, so nothing but the outline reaches the edge.
    QPainter p(this);
    if (m_pen.isValid() && width() > 2 && height() > 2) {
        p.fillRect(rect(), m_pen);
        p.fillRect(rect().adjusted(1, 1, -1, -1), m_brush);
    } else {
        p.fillRect(rect(), m_pen.isValid() ? m_pen : fillColor());
    }
    if (hasFocus()) {
        const QColor mark = palette().color(QPalette::Highlight);
        if (m_pen.isValid()) {
            p.fillRect(rect().adjusted(2, 2, -2, -2), mark);
        } else {
            const QRect r = rect();
            p.fillRect(r.left(), r.top(), r.width(), 2, mark);
            p.fillRect(r.left(), r.bottom() - 1, r.width(), 2, mark);
            p.fillRect(r.left(), r.top(), 2, r.height(), mark);
            p.fillRect(r.right() - 1, r.top(), 2, r.height(), mark);
        }
    }
}

void ShapeWidget::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void ShapeWidget::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

} // namespace hvx
