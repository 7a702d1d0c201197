#include "accessiblecontrols.h"

#include "announcer.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>

namespace hvx {

namespace {

// The main window's status label, by its name in the form.
const QLatin1String StatusLabelName("lInfoLabel");

// A pick-only list: named by its accessible name when it has one, else by its
// chosen item; its value and its text (which is what a screen reader reads
// out as the list's value) are the chosen item; its one child is the dropped
// list of items.
class ListAccessible
    : public QAccessibleWidget
    , public QAccessibleTextInterface {
public:
    explicit ListAccessible(QComboBox *list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        if (t == QAccessible::Name && list()->accessibleName().isEmpty())
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }

    QStringList actionNames() const override { return { showMenuAction(), pressAction() }; }
    void doAction(const QString &actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    // The text: the chosen item, read only.
    QString text(int startOffset, int endOffset) const override
    {
        const QString chosen = list()->currentText();
        if (endOffset < 0 || endOffset > chosen.size())
            endOffset = int(chosen.size());
        return startOffset >= 0 && startOffset < endOffset ? chosen.mid(startOffset, endOffset - startOffset)
                                                           : QString();
    }
    int characterCount() const override { return int(list()->currentText().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    int selectionCount() const override { return 0; }
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
};

// The status label: a notification named by its message, and not shown to a
// screen reader while it has none.
class StatusAccessible : public QAccessibleWidget {
public:
    explicit StatusAccessible(QLabel *label)
        : QAccessibleWidget(label, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return label()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (label()->text().isEmpty())
            s.invisible = true;
        return s;
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

QAccessibleInterface *controlAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox")) {
        auto *list = qobject_cast<QComboBox *>(object);
        if (list && !list->isEditable())
            return new ListAccessible(list);
    } else if (className == QLatin1String("QLabel") && object && object->objectName() == StatusLabelName) {
        if (auto *label = qobject_cast<QLabel *>(object))
            return new StatusAccessible(label);
    }
    return nullptr;
}

} // namespace

void installControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(controlAccessible);
        return true;
    }();
    Q_UNUSED(installed)
}

void announceStatus(QLabel *statusLabel)
{
    // A screen reader announces a notification when it comes into view.
    if (statusLabel->text().isEmpty())
        return;
    QAccessibleEvent shown(statusLabel, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void announceListChanges(QComboBox *list)
{
    auto *announcer = new Announcer(list);
    QObject::connect(list, &QComboBox::currentIndexChanged, announcer, [list, announcer] {
        // An open list reads its items itself, and a list the program
        // changes while the user is elsewhere says nothing.
        if (list->window()->focusWidget() == list && !list->view()->isVisible())
            announcer->announce(list->currentText());
    });
}

} // namespace hvx
