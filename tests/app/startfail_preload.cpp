// Loaded before the program (LD_PRELOAD) to make its start-up fail: the
// program asks for its arguments while it makes its windows, and here that
// throws. The message box the failure brings up is answered at once; its
// text goes to the standard error output as "message: TEXT".

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

QStringList QCoreApplication::arguments()
{
    auto *poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    poll->start(10);
    throw std::runtime_error("windows could not be made");
}
