#include "shapewidget.h"

#include <QPainter>

namespace hvx {

ShapeWidget::ShapeWidget(QWidget *parent)
    : QWidget(parent)
{
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
        p.fillRect(rect(), m_pen.isValid() ? m_pen : m_brush);
    }
}

} // namespace hvx
