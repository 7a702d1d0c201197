#pragma once
// The plant window: a plant's table of units, found by typing, put one at a
// time into the main window, and checked in the field against what is read
// off each unit, the checks saved back into the table.

#include "planttable.h"

#include <QMainWindow>

#include <memory>

class QSortFilterProxyModel;

namespace Ui {
class PlantWindow;
}

namespace hvx {

class PlantTableModel;
class ReadSwitchesForm;
class TMainForm;

class PlantWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit PlantWindow(TMainForm *mainForm);
    ~PlantWindow() override;

    // Whether the file at nativePath holds a plant's table rather than
    // anything else (a setup file, whatever its name).
    static bool holdsPlantTable(const QByteArray &nativePath);

    // Reads the table at path into the window. False, told in a message box,
    // when it cannot be read; the window keeps what it showed.
    bool openTable(const QString &path);
    const PlantTable &table() const { return m_table; }
    // The table row of the unit chosen in the list; -1 when none.
    int chosenRow() const;

public slots:
    void OpenPlantTable1Click();
    void Save1Click();
    void SaveAs1Click();
    void SetupFilesFolder1Click();
    void MakeSetupFiles1Click();
    void PrintSheets1Click();
    void Find1Click();
    void OpenUnit1Click();
    void CheckUnit1Click();
    void NextUnchecked1Click();
    void eFilterChange(const QString &text);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    // Unsaved checks: Yes saves, No drops them, Cancel stops. True to go on.
    bool askToSaveChecks();
    bool writeTable(const QString &path);
    void chooseRow(int proxyRow);
    // The table rows to print, in list order: those chosen when more than
    // one is, else every row shown.
    QList<int> rowsToPrint() const;
    // Makes every row's file into dir with the progress shown; false when
    // cancelled or refused (told). Nothing is written then.
    bool makeInto(const QString &dir);
    // Takes dir as the folder of the table's setup files, remembered for
    // the table, and shows each unit's file as it stands there.
    void useSetupFolder(const QString &dir);
    // "Setup files: /plant/setups" with the table's problems below it.
    void showTableStatus();
    void recordCheck(const SwitchMap &read);
    void showCount();
    void showStatus(const QString &text);
    void showTitle();
    // The chosen row when it has a setup; else -1, with the reason shown.
    int chosenUsableRow();

    std::unique_ptr<Ui::PlantWindow> ui;
    TMainForm *m_mainForm;
    PlantTable m_table;
    PlantTableModel *m_model;
    QSortFilterProxyModel *m_proxy;
    ReadSwitchesForm *m_readSwitches = nullptr;
    int m_checkingRow = -1;
    bool m_saveAbandoned = false;
};

} // namespace hvx
