#pragma once
// A filled rectangle with an optional one-pixel outline: the black lines and
// bank rectangles of the switch diagram and the white rocker squares. A
// screen reader is shown only the shapes that carry an accessible name.

#include <QColor>
#include <QWidget>

namespace hvx {

class ShapeWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor)
    Q_PROPERTY(QColor penColor READ penColor WRITE setPenColor)

public:
    explicit ShapeWidget(QWidget *parent = nullptr);

    QColor brushColor() const { return m_brush; }
    void setBrushColor(const QColor &color);
    // The outline colour; an invalid colour draws no outline.
    QColor penColor() const { return m_pen; }
    void setPenColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What a shape without an outline is filled with.
    QColor fillColor() const;

    QColor m_brush = Qt::black;
    QColor m_pen;
};

} // namespace hvx
