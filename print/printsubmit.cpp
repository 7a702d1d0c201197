// Sending a finished document file to a printer of the print system. The
// print system's client library is the one the toolkit's own printer support
// loads; it is reached at run time so that building needs no headers of it.

#include "printerdevice.h"

#include <QByteArray>
#include <QLibrary>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

#include <utility>
#include <vector>

namespace hvx {

namespace {

struct PrintOption {
    char *name;
    char *value;
};

using PrintFileFunction = int (*)(const char *printer, const char *fileName, const char *title, int optionCount,
                                  PrintOption *options);
using LastErrorFunction = const char *(*)();

// The printer's own options chosen in the print dialog (pairs of name and
// value), as the toolkit's print engine keeps them.
constexpr auto PrinterOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

bool SubmitPrintFile(const QPrinter &printer, const QString &fileName, const QString &title, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    QLibrary library(QStringLiteral("cups"), 2);
    if (!library.load())
        return fail(QStringLiteral("The print system's client library could not be loaded."));
    const auto printFile = reinterpret_cast<PrintFileFunction>(library.resolve("cupsPrintFile"));
    const auto lastError = reinterpret_cast<LastErrorFunction>(library.resolve("cupsLastErrorString"));
    if (!printFile)
        return fail(QStringLiteral("The print system's client library could not be used."));

    std::vector<std::pair<QByteArray, QByteArray>> options;
    auto add = [&options](const QByteArray &name, const QByteArray &value) { options.emplace_back(name, value); };
    const QPageLayout layout = printer.pageLayout();
    add("media", layout.pageSize().key().toLocal8Bit());
    const int copies = printer.copyCount();
    if (copies > 1) {
        add("copies", QByteArray::number(copies));
        if (printer.collateCopies())
            add("Collate", "True");
    }
    const bool portrait = layout.orientation() == QPageLayout::Portrait;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone:
        add("sides", "one-sided");
        break;
    case QPrinter::DuplexAuto:
        add("sides", portrait ? "two-sided-long-edge" : "two-sided-short-edge");
        break;
    case QPrinter::DuplexLongSide:
        add("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        add("sides", "two-sided-short-edge");
        break;
    }
    if (!portrait)
        add("landscape", "");
    if (QPrintEngine *engine = printer.printEngine()) {
        const QStringList own = engine->property(PrinterOptionsKey).toStringList();
        for (int i = 0; i + 1 < own.size(); i += 2)
            add(own.at(i).toLocal8Bit(), own.at(i + 1).toLocal8Bit());
    }

    std::vector<PrintOption> list;
    list.reserve(options.size());
    for (auto &option : options)
        list.push_back(PrintOption{ option.first.data(), option.second.data() });

    // A printer instance ("name/instance") prints on its printer.
    const QByteArray printerName = printer.printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    if (printerName.isEmpty())
        return fail(QStringLiteral("No printer is chosen."));
    const int job = printFile(printerName.constData(), fileName.toLocal8Bit().constData(), title.toLocal8Bit().constData(),
                              static_cast<int>(list.size()), list.empty() ? nullptr : list.data());
    if (job <= 0) {
        const QString reason = lastError ? QString::fromLocal8Bit(lastError()) : QString();
        return fail(QStringLiteral("The printer %1 did not accept the job%2").arg(QString::fromLocal8Bit(printerName),
                                                                                  reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + reason));
    }
    return true;
}

} // namespace hvx
