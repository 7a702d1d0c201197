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
    QPainter p(this);
    p.fillRect(rect(), m_brush);
    if (m_pen.isValid()) {
        p.setPen(m_pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace hvx
