#include "announcer.h"

#include <QAccessibleWidget>

namespace hvx {

namespace {

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(QWidget *announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification)
    {
    }
};

QAccessibleInterface *announcerAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(Announcer::staticMetaObject.className()) && object && object->isWidgetType())
        return new AnnouncerAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerAccessible);
        return true;
    }();
    Q_UNUSED(installed)
    setObjectName(QStringLiteral("announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
    // Never shown on the screen, so that it does not come into view (and
    // before a screen reader) with the window or the control it belongs to:
    // only an announcement brings it.
    hide();
}

void Announcer::announce(const QString &text)
{
    if (text.isEmpty())
        return;
    setAccessibleName(text);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace hvx
