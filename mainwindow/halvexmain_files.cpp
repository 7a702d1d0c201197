// The main window's commands: New, Open, Save, Save As, Exit, About,
// Evaluate and Read Switches, the unsaved-changes question and the start-up
// open.

#include "halvexmain.h"

#include "accessiblecontrols.h"
#include "dialogs.h"
#include "halvexmain_p.h"
#include "plantwindow.h"
#include "readswitchesform.h"
#include "setupfile.h"
#include "switchform.h"
#include "ui_halvexmain.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSessionManager>
#include <QTimer>

namespace hvx {

using mainwindow::SignalBlock;
using mainwindow::TypeRangeList;
using mainwindow::TypeRangeLists;

namespace {

const QString PlainTitle = QStringLiteral("Halvex Switch Setup");

QStringList openFilters()
{
    // "All Files" lists every file, also those without an extension.
    return { QStringLiteral("Halvex File (*.hvx)"), QStringLiteral("All Files (*)") };
}

QStringList saveFilters() { return { QStringLiteral("Halvex File (*.hvx)") }; }

const QString DefaultExtension = QStringLiteral("hvx");

} // namespace

void TMainForm::New1Click()
{
    if (!AskToSaveChanges())
        return;
    m_values.map.clear();

    const SignalBlock block(selectionControls());

    for (const TypeRangeList &range : TypeRangeLists)
        list(range.list)->hide();
    ui->cbInputRange->show();
    ui->cbInputType->setCurrentIndex(-1);
    ui->cbInputRange->setCurrentIndex(-1);
    for (const TypeRangeList &range : TypeRangeLists)
        list(range.list)->setCurrentIndex(-1);

    ui->rgLinearisation->hide();
    ui->rgColdJunction->hide();
    ui->rgRTDType->hide();
    ui->rgConversionSpeed->hide();
    for (ChoiceId id :
         { ChoiceId::rgConversionSpeed, ChoiceId::rgLinearisation, ChoiceId::rgRTDType, ChoiceId::rgColdJunction })
        setChoice(id, 0);

    ui->rgSquareRoot->show();
    for (ChoiceId id : { ChoiceId::rgBurnout, ChoiceId::rgInversion, ChoiceId::rgButtonIsolation,
                         ChoiceId::rgDualOutput, ChoiceId::rgSquareRoot, ChoiceId::rgBurnout2, ChoiceId::rgInversion2,
                         ChoiceId::rgSquareRoot2, ChoiceId::rgTripBurnout, ChoiceId::rgTripLEDstate,
                         ChoiceId::rgTripRelativeTo, ChoiceId::rgFreqBurnout, ChoiceId::rgDualType })
        setChoice(id, 0);
    ui->rgDualType->hide(); // single output again

    for (ListId id : { ListId::cbOutputRange, ListId::cbOutputRange2, ListId::cbTripOutput, ListId::cbFreqOutputRange })
        list(id)->setCurrentIndex(-1);

    ui->lCustomLow->hide();
    ui->lCustomHigh->hide();
    ui->eCustomLow->hide();
    ui->eCustomHigh->hide();
    mainwindow::setCustomText(ui->eCustomLow, QString());
    mainwindow::setCustomText(ui->eCustomHigh, QString());

    ui->pOutput2->hide();
    ui->pTripOutput2->hide();
    ui->pFreqOutput2->hide();
    ui->lInfoLabel->clear();
    setCaptions(ChoiceId::rgBurnout, Texts::newBurnoutCaptions());
    setCaptions(ChoiceId::rgBurnout2, Texts::newBurnoutCaptions());
    setWindowTitle(PlainTitle);
    m_setupFileName.clear();
    m_modified = false;
}

bool TMainForm::AskToSaveChanges()
{
    if (!m_modified)
        return true;
    const QString text = m_setupFileName.isEmpty() ? QStringLiteral("Switch setup has changed - Save changes ?")
                                                   : m_setupFileName + QStringLiteral(" has changed - Save changes ?");
    switch (dialogs().question(this, QStringLiteral("Confirm"), text, DialogIcon::Question)) {
    case DialogAnswer::Yes:
        m_saveAbandoned = false;
        if (m_setupFileName.isEmpty())
            SaveAs1Click();
        else
            Save1Click();
        return !m_saveAbandoned;
    case DialogAnswer::No:
        return true;
    case DialogAnswer::Cancel:
        break;
    }
    return false;
}

void TMainForm::showMessage(const QString &text)
{
    dialogs().message(this, applicationTitle(), text, DialogIcon::None);
}

void TMainForm::setFileTitle(const QString &path)
{
    // A title shows "[*]" only when written twice; a single one would be
    // taken for the unsaved-changes mark and vanish from the path.
    QString shownPath = path;
    shownPath.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(PlainTitle + QStringLiteral(" - ") + shownPath);
}

void TMainForm::openSetupFile(const QByteArray &nativePath, bool reportOpenFailure)
{
    // The file is opened by its bytes; the text shows them, with a stand-in
    // for each byte that the system's encoding does not give a character.
    const QString path = QFile::decodeName(nativePath);
    // A file that is too short to hold a whole setup is no setup file either.
    Setup loaded = setup();
    switch (loadSetupFileNative(nativePath, loaded)) {
    case LoadStatus::CannotOpen:
        if (reportOpenFailure)
            showMessage(FileMessages::couldNotBeOpened(path));
        return;
    case LoadStatus::NotSetupFile:
        showMessage(FileMessages::notASetupFile(path));
        return;
    case LoadStatus::Ok:
        break;
    }

    showSetup(loaded);
    m_setupFileName = path;
    m_setupFileNameExact = QFile::encodeName(path) == nativePath;
    setFileTitle(path);
    m_modified = false;
}

void TMainForm::showSetup(const Setup &s)
{
    Setup shown = s;
    // A setup with a conversion speed other than "Normal" shows the choice:
    // a setting that changes the switches is never hidden from the user.
    if (shown.rgConversionSpeed != 0)
        shown.conversionSpeedShown = true;
    applySetup(shown);
    cbInputTypeChange();
    cbOutputRangeChange();
    rgDualOutputClick();
    cbOutputRange2Change();
}

bool TMainForm::useSetup(const Setup &s)
{
    if (!AskToSaveChanges())
        return false;
    showSetup(s);
    m_setupFileName.clear();
    setWindowTitle(PlainTitle);
    m_modified = true;
    return true;
}

bool TMainForm::useFileSetup(const Setup &s, const QString &path, bool modified)
{
    if (!AskToSaveChanges())
        return false;
    showSetup(s);
    m_setupFileName = path;
    m_setupFileNameExact = true;
    setFileTitle(path);
    m_modified = modified;
    return true;
}

void TMainForm::startupOpen(const QByteArrayList &arguments)
{
    if (arguments.isEmpty())
        return;
    // A path with blanks that arrived unquoted in several pieces is joined again.
    const QByteArray path = arguments.join(' ');
    // A plant's table opens in the plant window; anything else as a setup
    // file, as it always did.
    if (PlantWindow::holdsPlantTable(path)) {
        plantWindow()->openTable(QFile::decodeName(path));
        QTimer::singleShot(0, m_plantWindow, &QWidget::show);
        return;
    }
    openSetupFile(path, false);
}

PlantWindow *TMainForm::plantWindow()
{
    if (!m_plantWindow)
        m_plantWindow = new PlantWindow(this);
    return m_plantWindow;
}

void TMainForm::OpenPlantTable1Click() { plantWindow()->OpenPlantTable1Click(); }

void TMainForm::Open1Click()
{
    if (!AskToSaveChanges())
        return;
    const QString path = dialogs().openFileName(this, openFilters(), DefaultExtension);
    if (path.isEmpty())
        return;
    openSetupFile(QFile::encodeName(path), true);
}

void TMainForm::Save1Click()
{
    if (m_setupFileName.isEmpty() || !m_setupFileNameExact) {
        SaveAs1Click();
        return;
    }
    writeSetupFile(m_setupFileName);
}

bool TMainForm::writeSetupFile(const QString &path)
{
    // Written beside the old file and put in its place only when complete.
    if (!saveSetupFile(path, setup())) {
        showMessage(FileMessages::couldNotBeSaved());
        m_saveAbandoned = true;
        return false;
    }
    m_modified = false;
    return true;
}

void TMainForm::SaveAs1Click()
{
    const QString path = chooseSaveName(this, saveFilters(), DefaultExtension, m_setupFileName);
    if (path.isEmpty()) {
        m_saveAbandoned = true;
        return;
    }
    if (!writeSetupFile(path))
        return;
    m_setupFileName = path;
    m_setupFileNameExact = true;
    setFileTitle(path);
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::closeEvent(QCloseEvent *e)
{
    // The plant window goes with this one: checks it holds unsaved are asked
    // about first.
    if (m_plantWindow && !m_plantWindow->close()) {
        e->ignore();
        return;
    }
    if (AskToSaveChanges())
        e->accept();
    else
        e->ignore();
}

void TMainForm::commitData(QSessionManager &manager)
{
    // Unsaved changes at log-off: ask as when the window is closed, and stop
    // the log-off when the user cancels or the save did not happen.
    if (!m_modified || !manager.allowsInteraction())
        return;
    const bool proceed = AskToSaveChanges();
    manager.release();
    if (!proceed)
        manager.cancel();
}

void TMainForm::About1Click()
{
    if (m_aboutForm)
        m_aboutForm->exec();
}

void TMainForm::sbShowResultsClick()
{
    const EvaluationOutcome outcome = Evaluate(setup(), m_values);
    ui->lInfoLabel->setText(outcome.status);
    announceStatus(ui->lInfoLabel);
    if (outcome.focus == FocusTarget::CustomLow)
        ui->eCustomLow->setFocus(Qt::OtherFocusReason);
    else if (outcome.focus == FocusTarget::CustomHigh)
        ui->eCustomHigh->setFocus(Qt::OtherFocusReason);
    if (outcome.completed && m_resultForm)
        m_resultForm->ShowResults(setup(), m_values, m_setupFileName);
}

void TMainForm::sbReadSwitchesClick()
{
    // One window for the whole run, so that switches set in it stay when it
    // is closed and opened again. It starts with every switch off: the unit is
    // read afresh, and the switches of an earlier evaluation may belong to a
    // setup the window no longer holds.
    if (!m_readSwitchesForm) {
        m_readSwitchesForm = new ReadSwitchesForm(this);
        m_readSwitchesForm->setCurrentSetupSource([this] { return setup(); });
        m_readSwitchesForm->setUseSetupHandler([this](const Setup &s) { return useSetup(s); });
    }
    m_readSwitchesForm->show();
    m_readSwitchesForm->raise();
    m_readSwitchesForm->activateWindow();
}

} // namespace hvx
