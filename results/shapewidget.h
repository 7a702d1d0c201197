#pragma once
// A filled rectangle with an optional one-pixel outline: the black lines and
// bank rectangles of the switch diagram and the white rocker squares. A
// screen reader is shown only the shapes that carry an accessible name. A
// shape that has the keyboard focus (a bank or a square of the results
// window) shows it in the highlight colour: a square filled with it, a larger
// shape framed by it.

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
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // What a shape without an outline is filled with.
    QColor fillColor() const;

    QColor m_brush = Qt::black;
    QColor m_pen;
};

} // namespace hvx
