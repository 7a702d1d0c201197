#pragma once
// Something said to a screen reader once, where the focus does not move:
// the new item of a list changed with the arrow keys, the outcome of a
// command. An announcer is a notification that is never on the screen; each
// announcement names it anew and tells the screen reader that it came into
// view, and the reader reads a notification out as it appears.

#include <QString>
#include <QWidget>

namespace hvx {

class Announcer : public QWidget {
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent);

    // Says text (nothing when it is empty).
    void announce(const QString &text);
    // What was said last.
    QString text() const { return accessibleName(); }

    QSize sizeHint() const override { return QSize(0, 0); }
};

} // namespace hvx
