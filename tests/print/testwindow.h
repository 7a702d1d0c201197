#pragma once
// A small window of our own to print: white, with a caption, black frames
// carrying white squares, and a panel holding a button.

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace printtest {

inline void setWindowColour(QWidget *w, const QColor &colour)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

// A filled rectangle: a line, a bank or a square.
inline QFrame *addBlock(QWidget *parent, const QRect &geometry, const QColor &colour, const char *name = nullptr)
{
    auto *block = new QFrame(parent);
    block->setGeometry(geometry);
    setWindowColour(block, colour);
    if (name)
        block->setObjectName(QString::fromLatin1(name));
    return block;
}

class TestWindow : public QWidget {
public:
    // withText: a caption label and a push button (antialiased text brings
    // many colours); without, the window holds black and white only.
    explicit TestWindow(bool withText = true)
    {
        resize(300, 200);
        setWindowColour(this, Qt::white);
        addBlock(this, QRect(0, 0, 300, 2), Qt::black);
        addBlock(this, QRect(0, 198, 300, 2), Qt::black);
        // Two banks of four columns; a square in the upper row is "on".
        for (int bank = 0; bank < 2; ++bank) {
            QFrame *b = addBlock(this, QRect(20 + bank * 140, 60, 120, 60), Qt::black);
            for (int column = 0; column < 4; ++column) {
                const bool on = (column + bank) % 2 == 0;
                addBlock(b, QRect(10 + column * 28, on ? 10 : 35, 13, 13), Qt::white);
            }
        }
        if (withText) {
            auto *caption = new QLabel(QStringLiteral("Switch settings"), this);
            caption->setGeometry(20, 20, 200, 20);
            auto *panel = new QFrame(this);
            panel->setGeometry(20, 140, 260, 50);
            panel->setFrameShape(QFrame::Panel);
            panel->setFrameShadow(QFrame::Raised);
            auto *button = new QPushButton(QStringLiteral("Print"), panel);
            button->setGeometry(10, 10, 70, 25);
        }
    }
};

} // namespace printtest
