// Make Setup Files...: every unit's setup file written into a chosen folder
// by the rules of halvex-eval --make --update.

#include "dialogs.h"
#include "displaytext.h"
#include "plantmaker.h"
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

} // namespace

void PlantWindow::MakeSetupFiles1Click()
{
    if (m_table.rowCount() == 0) {
        showStatus(QStringLiteral("The table has no units to make."));
        return;
    }
    const QString dir = dialogs().folderName(this, QStringLiteral("Make Setup Files Into"),
                                             QFileInfo(m_table.path()).absolutePath());
    if (dir.isEmpty() || !makeInto(dir))
        return;
    for (int row = 0; row < m_table.rowCount(); ++row)
        m_model->refreshRow(row);
}

bool PlantWindow::makeInto(const QString &dir)
{
    PlantMaker maker(m_table, dir);
    QString error;
    if (!maker.open(&error)) {
        dialogs().message(this, applicationTitle(), error, DialogIcon::Error);
        return false;
    }
    QProgressDialog progress(QStringLiteral("Making the setup files..."), QStringLiteral("Cancel"), 0,
                             m_table.rowCount(), this);
    progress.setWindowTitle(applicationTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    for (int row = 0; row < m_table.rowCount(); ++row) {
        if (row % 64 == 0) {
            progress.setValue(row); // a window-modal dialog handles the events waiting
            if (progress.wasCanceled()) {
                showStatus(QStringLiteral("Make Setup Files cancelled; nothing written."));
                return false;
            }
        }
        if (!maker.addRow(row)) {
            dialogs().message(this, applicationTitle(), maker.errorString(), DialogIcon::Error);
            return false;
        }
    }
    progress.setValue(m_table.rowCount());
    if (!maker.commit()) {
        QStringList lines;
        for (const PlantProblem &p : maker.refused())
            lines << p.text();
        const QString text = lines.isEmpty()
            ? maker.errorString()
            : QStringLiteral("Nothing written: %1 in the table.\n\n%2")
                  .arg(lines.size() == 1 ? QStringLiteral("1 problem")
                                         : QStringLiteral("%1 problems").arg(lines.size()),
                       shownLines(lines));
        dialogs().message(this, applicationTitle(), text, DialogIcon::Error);
        return false;
    }
    QStringList lines = maker.listing();
    lines << QStringLiteral("unchanged: %1").arg(QLocale(QLocale::English).toString(maker.unchanged()));
    dialogs().message(this, applicationTitle(),
                      QStringLiteral("%1 written into %2.\n\n%3")
                          .arg(countOf(maker.written(), "setup file", "setup files"), QDir::toNativeSeparators(dir),
                               shownLines(lines)),
                      DialogIcon::Information);
    showStatus(QStringLiteral("%1 written into %2.")
                   .arg(countOf(maker.written(), "setup file", "setup files"), QDir::toNativeSeparators(dir)));
    return true;
}

} // namespace hvx
