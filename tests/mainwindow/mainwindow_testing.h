#pragma once
// Helpers shared by the main window tests: finding controls by name, working
// them as a user does, writing setup files and closing modal windows that a
// command opens.

#include "halvexmain.h"
#include "scripteddialogs.h"
#include "setupfile.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

namespace testing {

using hvx::TMainForm;

template <typename T>
T *child(QWidget &form, const QString &name)
{
    T *c = form.findChild<T *>(name);
    if (!c)
        qFatal("no control named %s", qPrintable(name));
    return c;
}

inline QComboBox *combo(QWidget &form, const QString &name) { return child<QComboBox>(form, name); }
inline QRadioButton *radio(QWidget &form, const QString &group, int index)
{
    return child<QRadioButton>(form, group + QLatin1Char('_') + QString::number(index));
}
inline QString info(QWidget &form) { return child<QLabel>(form, QStringLiteral("lInfoLabel"))->text(); }
// Shown on screen (the window itself is shown by every test).
inline bool shown(QWidget &form, const QString &name) { return child<QWidget>(form, name)->isVisible(); }

// Picks an item of a drop-down list with the keyboard, as a user does: the
// list gets the focus, Home goes to the first item and Down moves on.
inline void choose(QComboBox *cb, int index)
{
    cb->setFocus();
    if (index < 0) {
        cb->setCurrentIndex(-1); // no key clears a pick-only list
        return;
    }
    QTest::keyClick(cb, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(cb, Qt::Key_Down);
    QCOMPARE(cb->currentIndex(), index);
}

inline void click(QRadioButton *b)
{
    QVERIFY2(b->isVisible(), qPrintable(b->objectName() + QStringLiteral(" is not visible")));
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(8, b->height() / 2));
}

inline int checkedIndex(QWidget &form, const QString &group, int buttons)
{
    for (int i = 0; i < buttons; ++i)
        if (radio(form, group, i)->isChecked())
            return i;
    return -1;
}

inline QStringList captions(QWidget &form, const QString &group)
{
    return { radio(form, group, 0)->text(), radio(form, group, 1)->text() };
}

inline QString writeSetup(const QString &path, const hvx::Setup &s)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(hvx::setupFileBytes(s)) != hvx::SetupFileSize)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Watches for modal windows while an action runs: each one that comes up is
// recorded by object name and closed, so a test never blocks on it.
class ModalCloser {
public:
    ModalCloser()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                m_seen << w->objectName();
                w->close();
            }
        });
        m_timer.start();
    }
    const QStringList &seen() const { return m_seen; }

private:
    QTimer m_timer;
    QStringList m_seen;
};

inline QByteArrayList nativeNames(const QStringList &names)
{
    QByteArrayList native;
    for (const QString &name : names)
        native << QFile::encodeName(name);
    return native;
}

// The main window, shown, with every dialog answered by a script.
struct Fixture {
    explicit Fixture(const QStringList &arguments = QStringList())
        : Fixture(nativeNames(arguments))
    {
    }
    explicit Fixture(const QByteArrayList &arguments)
        : form(arguments)
    {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("main window not exposed");
    }
    hvx::ScopedDialogs dialogs; // before the form: the start-up open may ask
    TMainForm form;
    hvx::ScriptedDialogs &script() { return dialogs.scripted; }
};

} // namespace testing
