// Control image painting: a control, with or without its children, painted
// into the band being printed.

#include "controlpaint.h"

#include <QPainter>
#include <QWidget>

#include <cstring>

namespace hvx {

bool InheritsFromClassName(const QObject *control, const char *className)
{
    if (!control || !className)
        return false;
    for (const QMetaObject *mo = control->metaObject(); mo; mo = mo->superClass())
        if (std::strcmp(mo->className(), className) == 0)
            return true;
    return false;
}

bool isWindowedControl(const QWidget *control)
{
    if (!control)
        return false;
    if (control->focusPolicy() != Qt::NoFocus)
        return true;
    return !control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).isEmpty();
}

void PaintControlTree(QWidget *control, QPainter *painter, int x, int y, const QRect &region)
{
    if (!control || !painter)
        return;
    const QRect area = region.isEmpty() ? control->rect() : region.intersected(control->rect());
    if (area.isEmpty())
        return;
    painter->save();
    control->render(painter, QPoint(x, y) + area.topLeft(), QRegion(area),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter->restore();
}

void PaintControlImage(QWidget *control, QPainter *painter, const QRect &region)
{
    if (!control || !painter)
        return;
    const QRect area = region.isEmpty() ? control->rect() : region.intersected(control->rect());
    if (area.isEmpty())
        return;
    control->render(painter, area.topLeft(), QRegion(area), QWidget::DrawWindowBackground);
}

} // namespace hvx
