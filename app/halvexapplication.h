#pragma once
// The application object: its title and icon, and the last line of defence
// for errors that escape an event handler.

#include <QApplication>
#include <QIcon>

namespace hvx {

// The program's icon, 16 x 16 and 32 x 32.
QIcon programIcon();

// The name of the program's desktop entry without ".desktop", which is also
// its AppStream id.
inline QString desktopFileId() { return QStringLiteral("com.halvex.switchsetup"); }

class HalvexApplication : public QApplication {
    Q_OBJECT

public:
    // Sets the application's name ("Halvex"), its desktop entry, the
    // program's icon and style.
    HalvexApplication(int &argc, char **argv);

    // Delivers an event; an exception that escapes its handler is shown in a
    // message box with its text and the program goes on.
    bool notify(QObject *receiver, QEvent *event) override;

private:
    void reportError(const QString &text);
};

} // namespace hvx
