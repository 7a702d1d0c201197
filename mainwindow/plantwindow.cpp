#include "plantwindow.h"

#include "accessiblecontrols.h"
#include "dialogs.h"
#include "displaytext.h"
#include "halvexmain.h"
#include "planttablemodel.h"
#include "printerdevice.h"
#include "readswitchesform.h"
#include "regularfile.h"
#include "switchform_print.h"
#include "ui_plantwindow.h"
#include "unitcomparison.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QUrl>

#include <algorithm>

namespace hvx {

namespace {

const QString PlainTitle = QStringLiteral("Plant");
// Enough of a file to tell a table's header from a setup file's signature.
constexpr qint64 HeadBytes = 64 * 1024;

// Keeps the units in which any cell holds the text, whatever its letter
// case, looked up in each row's text made once rather than cell by cell.
class UnitFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setText(const QString &text)
    {
        m_text = text.toCaseFolded();
        // One new mapping of the rows kept, rather than each row taken away in
        // turn (which moves the rows after it every time).
        invalidate();
    }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &) const override
    {
        const auto *units = static_cast<const PlantTableModel *>(sourceModel());
        return m_text.isEmpty() || units->searchText(sourceRow).contains(m_text);
    }

private:
    QString m_text;
};

QStringList tableFilters() { return { QStringLiteral("Plant Table (*.csv)"), QStringLiteral("All Files (*)") }; }

// The folder of a table's setup files, kept per user and table once chosen.
std::unique_ptr<QSettings> plantSettings()
{
    return std::make_unique<QSettings>(QStringLiteral("halvex"), QStringLiteral("halvex"));
}
QString setupFolderKey(const QString &table)
{
    return QStringLiteral("setupFolders/")
        + QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(table).absoluteFilePath()));
}

QString rememberedSetupFolder(const QString &table)
{
    const QString folder = plantSettings()->value(setupFolderKey(table)).toString();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void rememberSetupFolder(const QString &table, const QString &folder)
{
    const std::unique_ptr<QSettings> settings = plantSettings();
    if (folder == QFileInfo(table).absolutePath())
        settings->remove(setupFolderKey(table));
    else
        settings->setValue(setupFolderKey(table), folder);
}

} // namespace

PlantWindow::PlantWindow(TMainForm *mainForm)
    : QMainWindow(mainForm)
    , ui(std::make_unique<Ui::PlantWindow>())
    , m_mainForm(mainForm)
    , m_model(new PlantTableModel(this))
    , m_proxy(new UnitFilter(this))
{
    ui->setupUi(this);
    setWindowFlag(Qt::Window);
    setWindowTitle(PlainTitle);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    ui->tvUnits->setModel(m_proxy);
    // The table's own order until a header is clicked.
    ui->tvUnits->header()->setSortIndicator(-1, Qt::AscendingOrder);
    ui->tvUnits->verticalScrollBar()->setAccessibleName(QStringLiteral("Scroll the units up and down"));
    ui->tvUnits->horizontalScrollBar()->setAccessibleName(QStringLiteral("Scroll the columns left and right"));

    connect(ui->OpenPlantTable1, &QAction::triggered, this, &PlantWindow::OpenPlantTable1Click);
    connect(ui->Save1, &QAction::triggered, this, &PlantWindow::Save1Click);
    connect(ui->SaveAs1, &QAction::triggered, this, &PlantWindow::SaveAs1Click);
    connect(ui->SetupFilesFolder1, &QAction::triggered, this, &PlantWindow::SetupFilesFolder1Click);
    connect(ui->MakeSetupFiles1, &QAction::triggered, this, &PlantWindow::MakeSetupFiles1Click);
    connect(ui->PrintSheets1, &QAction::triggered, this, &PlantWindow::PrintSheets1Click);
    connect(ui->Close1, &QAction::triggered, this, &QWidget::close);
    connect(ui->Find1, &QAction::triggered, this, &PlantWindow::Find1Click);
    connect(ui->OpenUnit1, &QAction::triggered, this, &PlantWindow::OpenUnit1Click);
    connect(ui->CheckUnit1, &QAction::triggered, this, &PlantWindow::CheckUnit1Click);
    connect(ui->NextUnchecked1, &QAction::triggered, this, &PlantWindow::NextUnchecked1Click);
    connect(ui->eFilter, &QLineEdit::textChanged, this, &PlantWindow::eFilterChange);
    // Return on a unit, or a double click, as on a file in a file dialog.
    connect(ui->tvUnits, &QAbstractItemView::activated, this, &PlantWindow::OpenUnit1Click);
    showCount();
}

PlantWindow::~PlantWindow()
{
    // The list must not read the table while QWidget's destructor closes the
    // window after the table itself is gone.
    m_model->setTable(nullptr);
}

bool PlantWindow::holdsPlantTable(const QByteArray &nativePath)
{
    QByteArray head;
    if (!readRegularFile(nativePath, HeadBytes, &head, nullptr))
        return false;
    // The header is all that is needed; a table cut in a quoted cell is
    // still told by it.
    const qsizetype lineEnd = head.indexOf('\n');
    return PlantTable::isPlantTable(lineEnd < 0 ? head : head.left(lineEnd + 1));
}

bool PlantWindow::openTable(const QString &path)
{
    PlantTable table;
    QString error;
    if (!table.read(path, &error)) {
        dialogs().message(isVisible() ? static_cast<QWidget *>(this) : m_mainForm, applicationTitle(), error,
                          DialogIcon::Error);
        return false;
    }
    m_model->setTable(nullptr);
    m_table = std::move(table);
    m_table.setSetupFolder(rememberedSetupFolder(m_table.path()));
    m_model->setTable(&m_table);
    ui->tvUnits->header()->resizeSections(QHeaderView::ResizeToContents);
    showCount();
    showTitle();
    showTableStatus();
    if (m_proxy->rowCount() > 0)
        chooseRow(0);
    return true;
}

void PlantWindow::showTableStatus()
{
    int problems = 0;
    for (int row = 0; row < m_table.rowCount(); ++row)
        problems += m_table.row(row).usable() ? 0 : 1;
    QStringList notes{ QStringLiteral("Setup files: %1").arg(QDir::toNativeSeparators(m_table.setupFolder())) };
    for (const PlantProblem &p : m_table.tableProblems())
        notes << p.text();
    if (problems > 0)
        notes << QStringLiteral("%1 of %2 units cannot be used: the \"setup file\" column tells where the table "
                                "needs mending.")
                     .arg(problems)
                     .arg(m_table.rowCount());
    showStatus(notes.join(QLatin1Char('\n')));
}

void PlantWindow::SetupFilesFolder1Click()
{
    if (m_table.path().isEmpty())
        return;
    const QString dir = dialogs().folderName(this, QStringLiteral("Setup Files Folder"), m_table.setupFolder());
    if (dir.isEmpty())
        return;
    useSetupFolder(dir);
    showTableStatus();
}

void PlantWindow::useSetupFolder(const QString &dir)
{
    m_table.setSetupFolder(QFileInfo(dir).absoluteFilePath());
    rememberSetupFolder(m_table.path(), m_table.setupFolder());
    for (int row = 0; row < m_table.rowCount(); ++row)
        m_model->refreshRow(row);
}

int PlantWindow::chosenRow() const
{
    const QModelIndex current = ui->tvUnits->currentIndex();
    return current.isValid() ? m_proxy->mapToSource(current).row() : -1;
}

void PlantWindow::chooseRow(int proxyRow)
{
    const QModelIndex index = m_proxy->index(proxyRow, 0);
    ui->tvUnits->setCurrentIndex(index);
    ui->tvUnits->scrollTo(index);
}

void PlantWindow::showCount()
{
    const int total = m_model->rowCount();
    ui->lCount->setText(QStringLiteral("%1 of %2").arg(m_proxy->rowCount()).arg(countOf(total, "unit", "units")));
}

void PlantWindow::showStatus(const QString &text)
{
    ui->lStatus->setText(text);
    announceStatus(ui->lStatus);
}

void PlantWindow::showTitle()
{
    const QString path = m_table.path();
    setWindowTitle(path.isEmpty() ? PlainTitle
                                  : PlainTitle + QStringLiteral(" - ") + path + (m_table.isModified() ? "*" : ""));
}

void PlantWindow::OpenPlantTable1Click()
{
    if (!askToSaveChecks())
        return;
    QWidget *parent = isVisible() ? static_cast<QWidget *>(this) : m_mainForm;
    const QString path = dialogs().openFileName(parent, tableFilters(), QStringLiteral("csv"));
    if (path.isEmpty() || !openTable(path))
        return;
    show();
    raise();
    activateWindow();
}

void PlantWindow::Find1Click()
{
    ui->eFilter->setFocus(Qt::ShortcutFocusReason);
    ui->eFilter->selectAll();
}

void PlantWindow::eFilterChange(const QString &text)
{
    static_cast<UnitFilter *>(m_proxy)->setText(text);
    showCount();
    if (!ui->tvUnits->currentIndex().isValid() && m_proxy->rowCount() > 0)
        chooseRow(0);
}

int PlantWindow::chosenUsableRow()
{
    const int row = chosenRow();
    if (row < 0) {
        showStatus(QStringLiteral("Choose a unit in the list first."));
        return -1;
    }
    if (!m_table.row(row).usable()) {
        showStatus(m_table.row(row).problems.front().text());
        return -1;
    }
    return row;
}

void PlantWindow::OpenUnit1Click()
{
    const int row = chosenUsableRow();
    if (row < 0)
        return;
    const bool holdsIt = m_table.fileState(row) == PlantFileState::Made;
    if (!m_mainForm->useFileSetup(m_table.row(row).setup, m_table.setupFilePath(row), !holdsIt))
        return;
    m_mainForm->raise();
    m_mainForm->activateWindow();
}

void PlantWindow::CheckUnit1Click()
{
    const int row = chosenUsableRow();
    if (row < 0)
        return;
    m_checkingRow = row;
    if (!m_readSwitches) {
        m_readSwitches = new ReadSwitchesForm(this);
        // "Compare" compares with the unit's own setup, not the main window's.
        m_readSwitches->setCurrentSetupSource([this] { return m_table.row(m_checkingRow).setup; });
        m_readSwitches->setRecordHandler([this](const SwitchMap &read) { recordCheck(read); });
    }
    m_readSwitches->setSwitches(m_table.readSwitches(row));
    m_readSwitches->setWindowTitle(QStringLiteral("Read Switches - ") + m_table.row(row).fileName);
    m_readSwitches->show();
    m_readSwitches->raise();
    m_readSwitches->activateWindow();
}

void PlantWindow::recordCheck(const SwitchMap &read)
{
    const int row = m_checkingRow;
    if (row < 0 || row >= m_table.rowCount())
        return;
    const UnitComparison c = compareUnitWithSetup(read, m_table.row(row).setup);
    m_table.record(row, read, c, QDateTime::currentDateTime());
    m_model->refreshRow(row);
    showTitle();
    m_readSwitches->close();
    showStatus(QStringLiteral("%1: %2 (recorded)")
                   .arg(m_table.row(row).fileName,
                        c.differs.empty() ? plantCheckText(PlantCheck::Match)
                                          : m_table.cell(row, QStringLiteral("check"))));
    activateWindow();
    ui->tvUnits->setFocus(Qt::OtherFocusReason);
}

void PlantWindow::NextUnchecked1Click()
{
    const int rows = m_proxy->rowCount();
    const QModelIndex current = ui->tvUnits->currentIndex();
    const int from = current.isValid() ? current.row() : -1;
    for (int step = 1; step <= rows; ++step) {
        const int proxyRow = (from + step) % rows;
        const PlantCheck check = m_table.check(m_proxy->mapToSource(m_proxy->index(proxyRow, 0)).row());
        if (check == PlantCheck::NothingYet || check == PlantCheck::NotRead) {
            chooseRow(proxyRow);
            return;
        }
    }
    showStatus(QStringLiteral("Every unit shown is checked."));
}

QList<int> PlantWindow::rowsToPrint() const
{
    QModelIndexList chosen = ui->tvUnits->selectionModel()->selectedRows();
    QList<int> proxyRows;
    if (chosen.size() > 1) {
        for (const QModelIndex &index : chosen)
            proxyRows << index.row();
        std::sort(proxyRows.begin(), proxyRows.end());
    } else {
        for (int row = 0; row < m_proxy->rowCount(); ++row)
            proxyRows << row;
    }
    QList<int> rows;
    for (int proxyRow : proxyRows)
        rows << m_proxy->mapToSource(m_proxy->index(proxyRow, 0)).row();
    return rows;
}

void PlantWindow::PrintSheets1Click()
{
    QList<ResultSheet> sheets;
    int leftOut = 0;
    for (int row : rowsToPrint()) {
        if (m_table.row(row).usable())
            sheets << m_table.sheet(row);
        else
            ++leftOut;
    }
    if (sheets.isEmpty()) {
        showStatus(QStringLiteral("No unit shown has a sheet to print."));
        return;
    }
    QPrinter *chosen = choosePrinter(this);
    if (!chosen)
        return;
    QPrinter &printer = *chosen;
    QString error;
    // The print dialog's PDF choice gets the sheets --pdf --table writes, their
    // text drawn as text (found and copied in a reader) rather than as images.
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    if (toPdf ? !saveResultSheetsPdf(printer.outputFileName(), sheets, &error)
              : !printResultSheets(printer, sheets, &error, PrintOptions(), true)) {
        dialogs().message(this, applicationTitle(), error, DialogIcon::None);
        return;
    }
    showStatus(QStringLiteral("%1 printed%2.")
                   .arg(countOf(sheets.size(), "sheet", "sheets"),
                        leftOut == 0
                            ? QString()
                            : QStringLiteral("; %1 with problems left out").arg(countOf(leftOut, "unit", "units"))));
}

bool PlantWindow::askToSaveChecks()
{
    if (!m_table.isModified())
        return true;
    const QString text = m_table.path() + QStringLiteral(" has checks that are not saved - Save changes ?");
    switch (dialogs().question(this, QStringLiteral("Confirm"), text, DialogIcon::Question)) {
    case DialogAnswer::Yes:
        m_saveAbandoned = false;
        Save1Click();
        return !m_saveAbandoned;
    case DialogAnswer::No:
        return true;
    case DialogAnswer::Cancel:
        break;
    }
    return false;
}

void PlantWindow::Save1Click()
{
    if (m_table.path().isEmpty())
        return;
    if (m_table.changedOnDisk()) {
        // Someone else saved the table (a colleague in a spreadsheet): never
        // write over their changes without the user choosing to.
        const QString text = m_table.path()
            + QStringLiteral(" was changed on disk since it was opened; saving would lose those changes. "
                             "Save the checks under another name?");
        if (dialogs().question(this, QStringLiteral("Warning"), text, DialogIcon::Warning) == DialogAnswer::Yes)
            SaveAs1Click();
        else
            m_saveAbandoned = true;
        return;
    }
    writeTable(m_table.path());
}

void PlantWindow::SaveAs1Click()
{
    const QString path = chooseSaveName(this, tableFilters(), QStringLiteral("csv"), m_table.path());
    if (path.isEmpty())
        m_saveAbandoned = true;
    else
        writeTable(path);
}

bool PlantWindow::writeTable(const QString &path)
{
    QString error;
    if (!m_table.saveAs(path, &error)) {
        dialogs().message(this, applicationTitle(), error, DialogIcon::Error);
        m_saveAbandoned = true;
        return false;
    }
    showTitle();
    showStatus(QStringLiteral("Saved %1.").arg(path));
    return true;
}

void PlantWindow::closeEvent(QCloseEvent *e)
{
    if (askToSaveChecks())
        e->accept();
    else
        e->ignore();
}

} // namespace hvx
