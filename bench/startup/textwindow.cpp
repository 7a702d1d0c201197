// The floor for the start-up benchmark: the smallest Qt main window that
// shows text, as any real window does (a menu, a label and an edit box), of
// the same size as the program's. Unlike the bare window it loads fonts and
// lays out text before it is shown.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("text"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("E&xit"), &app, &QApplication::quit);
    auto *central = new QWidget(&window);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(new QLabel(QStringLiteral("Input type"), central));
    layout->addWidget(new QLineEdit(QStringLiteral("0 to 10 V"), central));
    layout->addStretch();
    window.setCentralWidget(central);
    window.resize(624, 420);
    window.show();
    return app.exec();
}
