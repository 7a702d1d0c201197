#include "visibilityaction.h"

#include <QEvent>
#include <QWidget>

namespace hvx {

VisibilityAction::VisibilityAction(const QString &text, QWidget *target, QObject *parent)
    : QAction(text, parent)
    , m_target(target)
{
    setCheckable(true);
    setChecked(!target->isHidden());
    target->installEventFilter(this);
    connect(this, &QAction::triggered, this, &VisibilityAction::toggleTarget);
}

void VisibilityAction::toggleTarget()
{
    // The part's own state decides, not the check mark, which the trigger
    // has already turned over.
    if (m_target)
        m_target->setVisible(m_target->isHidden());
}

bool VisibilityAction::eventFilter(QObject *watched, QEvent *event)
{
    // These arrive whenever the part is shown or hidden, also while its
    // window is not on the screen.
    if (watched == m_target && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        setChecked(!m_target->isHidden());
    return QAction::eventFilter(watched, event);
}

} // namespace hvx
