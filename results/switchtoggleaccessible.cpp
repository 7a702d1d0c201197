#include "switchtoggleaccessible.h"

#include "switchbankpanel.h"

namespace hvx {

namespace {

QAccessibleInterface *switchToggleAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(SwitchToggle::staticMetaObject.className()))
        if (auto *toggle = qobject_cast<SwitchToggle *>(object))
            return new SwitchToggleAccessible(toggle);
    return nullptr;
}

} // namespace

SwitchToggleAccessible::SwitchToggleAccessible(SwitchToggle *toggle)
    : QAccessibleWidget(toggle, QAccessible::CheckBox)
{
}

SwitchToggle *SwitchToggleAccessible::toggle() const { return static_cast<SwitchToggle *>(widget()); }

QAccessible::State SwitchToggleAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = toggle()->isOn();
    return s;
}

QStringList SwitchToggleAccessible::actionNames() const { return { toggleAction() }; }

void SwitchToggleAccessible::doAction(const QString &actionName)
{
    // As a click would: the window learns of it and follows.
    if (actionName == toggleAction() && toggle()->isEnabled())
        toggle()->userToggle();
}

QStringList SwitchToggleAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == toggleAction())
        return { QStringLiteral("Space") };
    return {};
}

void SwitchToggleAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(switchToggleAccessible);
        return true;
    }();
    Q_UNUSED(installed)
}

void SwitchToggleAccessible::notifyToggled(SwitchToggle *toggle)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(toggle, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace hvx
