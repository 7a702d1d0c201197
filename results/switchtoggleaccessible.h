#pragma once
// How a switch the user sets reaches a screen reader: as a check box, checked
// while the switch is on, that the reader can turn over.

#include <QAccessibleWidget>

namespace hvx {

class SwitchToggle;

class SwitchToggleAccessible : public QAccessibleWidget {
public:
    explicit SwitchToggleAccessible(SwitchToggle *toggle);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    // Makes switches reach screen readers through this class; called by each
    // switch, does its work once.
    static void install();
    // Tells screen readers that the switch was turned over.
    static void notifyToggled(SwitchToggle *toggle);

private:
    SwitchToggle *toggle() const;
};

} // namespace hvx
