// The yardstick for the start-up benchmark: a bare main window of the same
// size as the program's, shown as early as Qt allows.

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(624, 420);
    window.show();
    return app.exec();
}
