#pragma once
// The main window: the input panel, output 1 and the second output, the tool
// bar with the status label, the menu, and the file commands. The window's
// controls are the storage of the setup; setup() and applySetup() translate
// between them and an hvx::Setup.

#include "evaluation.h"
#include "setup.h"
#include "texts.h"

#include <QByteArrayList>
#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QKeyEvent;
class QSessionManager;

namespace Ui {
class TMainForm;
}

namespace hvx {

class PlantWindow;
class ReadSwitchesForm;
class TResultForm;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // arguments: the command-line arguments after the program's name, as the
    // system gives them (bytes, whatever their encoding); they name a setup
    // file that is opened while the window is created.
    explicit TMainForm(const QByteArrayList &arguments = QByteArrayList(), QWidget *parent = nullptr);
    ~TMainForm() override;

    // The selections held by the controls.
    Setup setup() const;
    // Writes every selection into the controls without running any handler
    // and without changing what is shown (except the conversion speed choice,
    // whose visibility is part of the setup). A choice at -1 leaves no button
    // of its group checked.
    void applySetup(const Setup &setup);

    // The windows created after this one. None is owned.
    void setResultForm(TResultForm *form) { m_resultForm = form; }
    void setAboutForm(QDialog *form) { m_aboutForm = form; }
    void setSplashForm(QDialog *form) { m_splashForm = form; }

    const QString &SetupFileName() const { return m_setupFileName; }
    const QString &PrintIniPath() const { return m_printIniPath; }
    bool Modified() const { return m_modified; }
    bool SaveAbandoned() const { return m_saveAbandoned; }
    const EvaluationValues &evaluationValues() const { return m_values; }

    // The unsaved-changes question: true to proceed, false to stop.
    bool AskToSaveChanges();
    // Puts a setup read off a unit into the window as a new, untitled,
    // changed setup, after the unsaved-changes question; false when the user
    // kept the setup he had.
    bool useSetup(const Setup &setup);
    // Puts a plant's unit into the window as Open does, after the
    // unsaved-changes question, named by its setup file (path); modified
    // when that file does not hold the setup. False when the user kept the
    // setup he had.
    bool useFileSetup(const Setup &setup, const QString &path, bool modified);
    // The plant window, made when first asked for; a child of this window.
    PlantWindow *plantWindow();

public slots:
    // Input panel.
    void cbInputTypeChange();
    void cbInputRangeChange();
    void cbIRVoltageChange();
    void cbIRCurrentChange();
    void cbIRCurrentTransmitterChange();
    void cbIRmilliVoltChange();
    void cbIRPot2Change();
    void cbIRPot3Change();
    void cbIRTCKJChange();
    void cbIRTCRSChange();
    void cbIRTCNEChange();
    void cbIRTCBChange();
    void cbIRTCTChange();
    void cbIRRTDChange();
    void eCustomLowChange();
    void ShowCustomEdits(const QString &rangeText);

    // Output panels.
    void cbOutputRangeChange();
    void cbOutputRange2Change();
    void rgDualOutputClick();
    void rgDualTypeClick();
    void RadioButtonClick();

    // Commands.
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Exit1Click();
    void About1Click();
    void sbShowResultsClick();
    void sbReadSwitchesClick();
    void OpenPlantTable1Click();

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    // Widens a list to its widest item when it is shown.
    void fitListToItems(QObject *watched);

private:
    // The steps of making the window, in their order.
    void setWindowFont();
    void buildToolBar();
    // The tool bar's pictures, readable on the window's background.
    void paintToolBarPictures();
    void buildLists();
    void buildChoices();
    void shortenHints();
    void setStartLayout();
    void buildTabOrder();
    void connectHandlers();
    // The menu's entries and keys made in code.
    void buildMenuCommands();
    void placeOnScreen();

    // Log-off or shut-down: the same question as closing the window.
    void commitData(QSessionManager &manager);
    // Saves the setup to path; on failure tells the user and marks the save abandoned.
    bool writeSetupFile(const QString &path);

    QComboBox *list(ListId id) const { return m_lists[static_cast<size_t>(id)]; }
    QButtonGroup *choice(ChoiceId id) const { return m_choices[static_cast<size_t>(id)]; }
    // Checks the button at index, or none when index is outside the group.
    void setChoice(ChoiceId id, int index);
    void setCaptions(ChoiceId id, const QStringList &captions);
    // The selection controls, whose signals a command blocks while it writes them.
    std::vector<QObject *> selectionControls() const;
    // Common body of the twelve range-list handlers.
    void rangeListChange(ListId id);
    // Shows the second-output panel that belongs to the dual type.
    void showDualTypePanel();

    // FormKeyDown: Alt+F1 and Alt+F2; true when the key was used.
    bool FormKeyDown(QKeyEvent *e);
    // Whether the key is that of a command the lists and edits must not take.
    bool isCommandKey(const QKeyEvent *e) const;
    // FormActivate: shows the splash screen on the first activation.
    void FormActivate();

    // Opens a setup file, named by its bytes, into the window.
    // reportOpenFailure: whether a file that cannot be opened is reported
    // (Open) or silently ignored (start-up).
    void openSetupFile(const QByteArray &nativePath, bool reportOpenFailure);
    void startupOpen(const QByteArrayList &arguments);
    void setFileTitle(const QString &path);
    // Writes a whole setup into the controls and shows the panels it needs.
    void showSetup(const Setup &setup);
    void showMessage(const QString &text);

    std::unique_ptr<Ui::TMainForm> ui;
    std::array<QComboBox *, ListCount> m_lists{};
    std::array<QButtonGroup *, ChoiceCount> m_choices{};

    QString m_setupFileName;
    // Whether m_setupFileName names the file exactly: a name that is not
    // valid in the system's encoding shows with stand-ins for some bytes,
    // and Save then asks for a name rather than write another file.
    bool m_setupFileNameExact = true;
    QString m_printIniPath;
    EvaluationValues m_values;
    bool m_modified = false;
    bool m_saveAbandoned = false;

    TResultForm *m_resultForm = nullptr;
    // Made when first asked for; a child of this window.
    ReadSwitchesForm *m_readSwitchesForm = nullptr;
    PlantWindow *m_plantWindow = nullptr;
    QPointer<QDialog> m_aboutForm;
    QPointer<QDialog> m_splashForm;
    bool m_splashDone = false;
};

} // namespace hvx
