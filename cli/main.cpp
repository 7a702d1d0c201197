// halvex-eval: evaluates setup files from the command line.
//
// The commands and their options are one table (commandtable.h); main only
// readies the process and the application object.

#include "commandtable.h"
#include "pdfoutput.h"
#include "reportoutput.h"

#include <QCoreApplication>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A closed standard descriptor is taken by the next file the program opens;
// a report or a message would then go into that file. Each closed one is kept
// taken by /dev/null opened the other way round, so that using it still fails
// as it would have.
void keepStandardDescriptorsTaken()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int guard = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
        if (guard >= 0 && guard != fd) {
            ::dup2(guard, fd);
            ::close(guard);
        }
    }
}

// Qt's own warnings (such as that of a missing runtime folder, given to root)
// are not the tool's messages: standard error carries only those.
void keepQtMessagesOff(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        hvx::writeError(message);
}

} // namespace

int main(int argc, char *argv[])
{
    keepStandardDescriptorsTaken();
    qInstallMessageHandler(keepQtMessagesOff);
    const std::unique_ptr<QCoreApplication> app(hvx::newEvalApplication(argc, argv,
                                                                        hvx::pdfOutputRequested(argc, argv)));
    // The arguments as bytes (the application object may have taken its own).
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return hvx::runCommandLine(arguments);
}
