// Make Setup Files...: every unit's setup file written into the table's
// setup files folder by the plant's own rules, as halvex-eval --make --update
// writes them, from the table as it is on disk.

#include "dialogs.h"
#include "displaytext.h"
#include "plantmake.h"
#include "planttablemodel.h"
#include "plantwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>

namespace hvx {

namespace {

// Lines shown in one box; the rest are counted.
constexpr int ShownLines = 100;

QString shownLines(const QStringList &lines)
{
    QStringList shown = lines.mid(0, ShownLines);
    if (lines.size() > ShownLines)
        shown << QStringLiteral("... and %1 more").arg(QLocale(QLocale::English).toString(lines.size() - ShownLines));
    return shown.join(QLatin1Char('\n'));
}

// What the folder told, each a sentence, then an empty line; empty when
// nothing.
QString folderNotes(const MakeOutcome &outcome)
{
    QString text;
    for (const QString &note : outcome.folderNotes)
        text += note + QStringLiteral(".\n");
    return text.isEmpty() ? text : text + QLatin1Char('\n');
}

// What a refused or failed run says, in one box.
QString failureText(const MakeOutcome &outcome, const ProblemList &problems)
{
    if (problems.count() == 0)
        return outcome.error.isEmpty() ? QStringLiteral("Nothing written.")
                                       : QStringLiteral("Nothing written: %1.").arg(outcome.error);
    return QStringLiteral("Nothing written: %1 in the table.\n\n%2")
        .arg(problems.count() == 1 ? QStringLiteral("1 problem") : QStringLiteral("%1 problems").arg(problems.count()),
             problems.text());
}

} // namespace

void PlantWindow::MakeSetupFiles1Click()
{
    if (m_table.rowCount() == 0) {
        showStatus(QStringLiteral("The table has no units to make."));
        return;
    }
    const QString dir = dialogs().folderName(this, QStringLiteral("Make Setup Files Into"), m_table.setupFolder());
    if (dir.isEmpty())
        return;
    // The folder made into is the table's setup files folder from then on.
    if (makeInto(dir))
        useSetupFolder(dir);
}

bool PlantWindow::makeInto(const QString &dir)
{
    QProgressDialog progress(QStringLiteral("Making the setup files..."), QStringLiteral("Cancel"), 0,
                             m_table.rowCount(), this);
    progress.setWindowTitle(applicationTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto step = [&progress](qsizetype done, qsizetype total) {
        progress.setMaximum(int(total));
        progress.setValue(int(done)); // a window-modal dialog handles the events waiting
        return !progress.wasCanceled();
    };
    MakeOptions options;
    options.update = true;
    ProblemList problems(ShownLines);
    // The folder is locked only inside makePlant: no box waits while it is.
    const MakeOutcome outcome = makePlant(m_table.path(), dir, options, problems, step);
    progress.reset();
    switch (outcome.status) {
    case MakeOutcome::Status::Made:
        break;
    case MakeOutcome::Status::Cancelled:
        showStatus(QStringLiteral("Make Setup Files cancelled; nothing written."));
        return false;
    case MakeOutcome::Status::CannotRead:
    case MakeOutcome::Status::NotATable:
    case MakeOutcome::Status::Refused:
    case MakeOutcome::Status::NotWritten:
        dialogs().message(this, applicationTitle(), folderNotes(outcome) + failureText(outcome, problems),
                          DialogIcon::Error);
        return false;
    }
    QStringList lines = outcome.listing;
    if (!outcome.folderNotes.isEmpty())
        lines.prepend(folderNotes(outcome).trimmed());
    lines << QStringLiteral("unchanged: %1").arg(QLocale(QLocale::English).toString(outcome.unchanged));
    const QString written = QStringLiteral("%1 written into %2.")
                                .arg(countOf(outcome.written, "setup file", "setup files"),
                                     QDir::toNativeSeparators(dir));
    dialogs().message(this, applicationTitle(), written + QStringLiteral("\n\n") + shownLines(lines),
                      DialogIcon::Information);
    return true;
}

} // namespace hvx
