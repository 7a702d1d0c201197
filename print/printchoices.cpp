#include "printchoices.h"

#include <QList>
#include <QPair>

#include <algorithm>

namespace hvx {

namespace {

// Options by name, in the order first given; a later value replaces an
// earlier one of the same name.
class OptionList {
public:
    void set(const QString &name, const QString &value)
    {
        for (auto &option : m_options) {
            if (option.first == name) {
                option.second = value;
                return;
            }
        }
        m_options.append({ name, value });
    }
    QStringList arguments() const
    {
        QStringList list;
        for (const auto &option : m_options)
            list << option.first + QLatin1Char('=') + option.second;
        return list;
    }

private:
    QList<QPair<QString, QString>> m_options;
};

QString sides(QPrinter::DuplexMode duplex)
{
    switch (duplex) {
    case QPrinter::DuplexNone:
        return QStringLiteral("one-sided");
    case QPrinter::DuplexLongSide:
        return QStringLiteral("two-sided-long-edge");
    case QPrinter::DuplexShortSide:
        return QStringLiteral("two-sided-short-edge");
    case QPrinter::DuplexAuto:
        break;
    }
    return QString(); // the printer's own default
}

} // namespace

PrintRequest printRequest(const PrintChoices &choices)
{
    PrintRequest request;
    // An instance prints on its queue, with the options kept for it.
    request.queue = choices.printerName.section(QLatin1Char('/'), 0, 0);
    request.instance = choices.printerName.section(QLatin1Char('/'), 1);

    OptionList options;
    if (!choices.paper.isEmpty())
        options.set(QStringLiteral("media"), choices.paper);
    if (choices.landscape)
        options.set(QStringLiteral("orientation-requested"), QStringLiteral("4"));
    if (choices.copies > 1) {
        options.set(QStringLiteral("copies"), QString::number(choices.copies));
        options.set(QStringLiteral("multiple-document-handling"),
                    choices.collate ? QStringLiteral("separate-documents-collated-copies")
                                    : QStringLiteral("separate-documents-uncollated-copies"));
        options.set(QStringLiteral("Collate"), choices.collate ? QStringLiteral("True") : QStringLiteral("False"));
    }
    const QString side = sides(choices.duplex);
    if (!side.isEmpty())
        options.set(QStringLiteral("sides"), side);
    options.set(QStringLiteral("print-color-mode"),
                choices.grayscale ? QStringLiteral("monochrome") : QStringLiteral("color"));
    if (choices.lastPageFirst)
        options.set(QStringLiteral("outputorder"), QStringLiteral("reverse"));
    if (choices.fromPage > 0)
        options.set(QStringLiteral("page-ranges"),
                    QStringLiteral("%1-%2").arg(choices.fromPage).arg(std::max(choices.fromPage, choices.toPage)));

    // The dialog's own list comes last: it holds the choices made for this
    // printer in particular. A name the helper could not tell from its value
    // (empty, or holding '=') is no option.
    for (int i = 0; i + 1 < choices.systemOptions.size(); i += 2) {
        const QString &name = choices.systemOptions.at(i);
        if (!name.isEmpty() && !name.contains(QLatin1Char('=')))
            options.set(name, choices.systemOptions.at(i + 1));
    }
    request.options = options.arguments();
    return request;
}

} // namespace hvx
