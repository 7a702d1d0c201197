#pragma once
// A menu entry that shows or hides a part of a window, checked while that
// part is shown, whatever else shows or hides it (a key, a command, a file).

#include <QAction>
#include <QPointer>

namespace hvx {

class VisibilityAction : public QAction {
    Q_OBJECT

public:
    // text: the entry's caption; target: the part it shows and hides. The
    // entry is a child of parent.
    VisibilityAction(const QString &text, QWidget *target, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void toggleTarget();

    QPointer<QWidget> m_target;
};

} // namespace hvx
