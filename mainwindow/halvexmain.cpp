#include "halvexmain.h"

#include "ui_halvexmain.h"

#include "dialogs.h"
#include "printoptions.h"
#include "setupfile.h"
#include "switchform.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>
#include <vector>

// Resources of a static library must be registered by name, outside any namespace.
static void initMainWindowResources() { Q_INIT_RESOURCE(halvexmain); }

using hvx::ChoiceId;
using hvx::ListId;
namespace Texts = hvx::Texts;

namespace {

const QString PlainTitle = QStringLiteral("Halvex Switch Setup");

QStringList openFilters()
{
    // "All Files" lists every file, also those without an extension.
    return { QStringLiteral("Halvex File (*.hvx)"), QStringLiteral("All Files (*)") };
}

QStringList saveFilters() { return { QStringLiteral("Halvex File (*.hvx)") }; }

const QString DefaultExtension = QStringLiteral("hvx");

// The least width of the status label.
constexpr int InfoLabelWidth = 297;

// The twelve range lists of the input types, in the order the window hides them.
constexpr ListId TypeRangeLists[] = {
    ListId::cbIRVoltage, ListId::cbIRCurrent, ListId::cbIRCurrentTransmitter, ListId::cbIRmilliVolt,
    ListId::cbIRPot2,    ListId::cbIRPot3,    ListId::cbIRTCKJ,               ListId::cbIRTCRS,
    ListId::cbIRTCNE,    ListId::cbIRTCB,     ListId::cbIRTCT,                ListId::cbIRRTD,
};

// Blocks the signals of a set of objects while the program itself writes the
// controls, so that no handler runs half-way through a command.
class SignalBlock {
public:
    template <typename Range>
    explicit SignalBlock(const Range &objects)
    {
        m_blockers.reserve(objects.size());
        for (QObject *o : objects)
            m_blockers.emplace_back(o);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

template <typename T>
T *requireChild(QObject *parent, const QString &name)
{
    T *child = parent->findChild<T *>(name);
    if (!child)
        throw std::logic_error("main window form lacks control " + name.toStdString());
    return child;
}

} // namespace

TMainForm::TMainForm(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TMainForm>())
{
    initMainWindowResources();
    ui->setupUi(this);

    // The panels are laid out for a narrow sans-serif face at 8 points; the
    // first of these that is installed is used.
    QFont windowFont = font();
    windowFont.setFamilies({ QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                             QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans Condensed") });
    setFont(windowFont);

    QFont infoFont = ui->lInfoLabel->font();
    infoFont.setBold(true);
    infoFont.setPixelSize(16);
    ui->lInfoLabel->setFont(infoFont);
    // The status label keeps its place but reaches to the end of the tool
    // bar, so that the longest message shows whole.
    ui->CoolBar1->installEventFilter(this);

    for (int i = 0; i < hvx::ListCount; ++i) {
        const ListId id = ListId(i);
        QComboBox *cb = requireChild<QComboBox>(this, Texts::name(id));
        cb->addItems(Texts::items(id));
        cb->setCurrentIndex(-1);
        // Drop the list below the box with its own number of rows: styles
        // that show a pick-only list as a menu ignore the row count and show
        // every item.
        cb->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        m_lists[static_cast<size_t>(i)] = cb;
    }
    buildChoices();

    // A hint may carry a long part after a "|"; only the short part shows.
    for (QWidget *w : findChildren<QWidget *>()) {
        const QString tip = w->toolTip();
        if (tip.contains(QLatin1Char('|')))
            w->setToolTip(tip.section(QLatin1Char('|'), 0, 0));
    }

    setStartLayout();
    buildTabOrder();
    connectHandlers();

    // Fit the window around its panels and centre it on the screen.
    resize(minimumSizeHint().expandedTo(QSize(624, 0)));
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());

    // Creation of the window: a fresh setup, the printing options file next
    // to the program, then a setup file named on the command line.
    m_modified = false;
    m_printIniPath = hvx::DefaultPrintIniPath();
    startupOpen(arguments);
}

TMainForm::~TMainForm() = default;

void TMainForm::buildChoices()
{
    for (int i = 0; i < hvx::ChoiceCount; ++i) {
        const ChoiceId id = ChoiceId(i);
        QGroupBox *box = requireChild<QGroupBox>(this, Texts::name(id));
        box->setTitle(Texts::caption(id));
        auto *layout = new QVBoxLayout(box);
        layout->setContentsMargins(3, 0, 1, 1);
        layout->setSpacing(0);
        auto *group = new QButtonGroup(this);
        group->setObjectName(Texts::name(id) + QStringLiteral("Buttons"));
        const QStringList &items = Texts::items(id);
        for (int k = 0; k < items.size(); ++k) {
            auto *button = new QRadioButton(items.at(k), box);
            button->setObjectName(Texts::name(id) + QLatin1Char('_') + QString::number(k));
            button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
            layout->addWidget(button);
            group->addButton(button, k);
        }
        group->button(0)->setChecked(true);
        m_choices[static_cast<size_t>(i)] = group;
    }
}

void TMainForm::buildTabOrder()
{
    std::vector<QWidget *> order;
    auto addList = [&](ListId id) { order.push_back(list(id)); };
    auto addChoice = [&](ChoiceId id) {
        for (QAbstractButton *b : choice(id)->buttons())
            order.push_back(b);
    };
    addList(ListId::cbInputType);
    addChoice(ChoiceId::rgConversionSpeed);
    addChoice(ChoiceId::rgLinearisation);
    addChoice(ChoiceId::rgColdJunction);
    addChoice(ChoiceId::rgRTDType);
    addList(ListId::cbInputRange);
    for (ListId id : TypeRangeLists)
        addList(id);
    order.push_back(ui->eCustomLow);
    order.push_back(ui->eCustomHigh);
    addList(ListId::cbOutputRange);
    addChoice(ChoiceId::rgBurnout);
    addChoice(ChoiceId::rgInversion);
    addChoice(ChoiceId::rgButtonIsolation);
    addChoice(ChoiceId::rgDualOutput);
    addChoice(ChoiceId::rgSquareRoot);
    addList(ListId::cbOutputRange2);
    addChoice(ChoiceId::rgBurnout2);
    addChoice(ChoiceId::rgInversion2);
    addChoice(ChoiceId::rgSquareRoot2);
    addList(ListId::cbTripOutput);
    addChoice(ChoiceId::rgTripBurnout);
    addChoice(ChoiceId::rgTripLEDstate);
    addChoice(ChoiceId::rgTripRelativeTo);
    addList(ListId::cbFreqOutputRange);
    addChoice(ChoiceId::rgFreqBurnout);
    addChoice(ChoiceId::rgDualType);
    for (size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TMainForm::connectHandlers()
{
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm::commitData);

    auto onChange = [this](ListId id, void (TMainForm::*handler)()) {
        connect(list(id), &QComboBox::currentIndexChanged, this, handler);
    };
    onChange(ListId::cbInputType, &TMainForm::cbInputTypeChange);
    onChange(ListId::cbInputRange, &TMainForm::cbInputRangeChange);
    onChange(ListId::cbIRVoltage, &TMainForm::cbIRVoltageChange);
    onChange(ListId::cbIRCurrent, &TMainForm::cbIRCurrentChange);
    onChange(ListId::cbIRCurrentTransmitter, &TMainForm::cbIRCurrentTransmitterChange);
    onChange(ListId::cbIRmilliVolt, &TMainForm::cbIRmilliVoltChange);
    onChange(ListId::cbIRPot2, &TMainForm::cbIRPot2Change);
    onChange(ListId::cbIRPot3, &TMainForm::cbIRPot3Change);
    onChange(ListId::cbIRTCKJ, &TMainForm::cbIRTCKJChange);
    onChange(ListId::cbIRTCRS, &TMainForm::cbIRTCRSChange);
    onChange(ListId::cbIRTCNE, &TMainForm::cbIRTCNEChange);
    onChange(ListId::cbIRTCB, &TMainForm::cbIRTCBChange);
    onChange(ListId::cbIRTCT, &TMainForm::cbIRTCTChange);
    onChange(ListId::cbIRRTD, &TMainForm::cbIRRTDChange);
    onChange(ListId::cbOutputRange, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbTripOutput, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbFreqOutputRange, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbOutputRange2, &TMainForm::cbOutputRange2Change);
    connect(ui->eCustomLow, &QLineEdit::textChanged, this, &TMainForm::eCustomLowChange);
    connect(ui->eCustomHigh, &QLineEdit::textChanged, this, &TMainForm::eCustomLowChange);

    // A choice's click handler runs when the user picks another button.
    for (int i = 0; i < hvx::ChoiceCount; ++i) {
        const ChoiceId id = ChoiceId(i);
        void (TMainForm::*handler)() = &TMainForm::RadioButtonClick;
        if (id == ChoiceId::rgDualOutput)
            handler = &TMainForm::rgDualOutputClick;
        else if (id == ChoiceId::rgDualType)
            handler = &TMainForm::rgDualTypeClick;
        connect(choice(id), &QButtonGroup::idToggled, this, [this, handler](int, bool checked) {
            if (checked)
                (this->*handler)();
        });
    }

    connect(ui->New1, &QAction::triggered, this, &TMainForm::New1Click);
    connect(ui->Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(ui->Save1, &QAction::triggered, this, &TMainForm::Save1Click);
    connect(ui->SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);
    connect(ui->Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(ui->Evaluate2, &QAction::triggered, this, &TMainForm::sbShowResultsClick);
    connect(ui->About1, &QAction::triggered, this, &TMainForm::About1Click);
    connect(ui->sbNew, &QToolButton::clicked, this, &TMainForm::New1Click);
    connect(ui->sbOpen, &QToolButton::clicked, this, &TMainForm::Open1Click);
    connect(ui->sbSave, &QToolButton::clicked, this, &TMainForm::Save1Click);
    connect(ui->sbShowResults, &QToolButton::clicked, this, &TMainForm::sbShowResultsClick);

    // The keyboard commands work while a list or a custom edit has the focus.
    for (QComboBox *cb : m_lists)
        cb->installEventFilter(this);
    ui->eCustomLow->installEventFilter(this);
    ui->eCustomHigh->installEventFilter(this);
}

void TMainForm::setStartLayout()
{
    ui->rgConversionSpeed->hide();
    ui->rgLinearisation->hide();
    ui->rgColdJunction->hide();
    ui->rgRTDType->hide();
    for (ListId id : TypeRangeLists)
        list(id)->hide();
    ui->lCustomLow->hide();
    ui->lCustomHigh->hide();
    ui->eCustomLow->hide();
    ui->eCustomHigh->hide();
    ui->pOutput2->hide();
    ui->pTripOutput2->hide();
    ui->pFreqOutput2->hide();
    ui->rgDualType->hide();
    ui->pDualType->hide();
}

// ---------------------------------------------------------------------------
// Setup <-> controls

hvx::Setup TMainForm::setup() const
{
    hvx::Setup s;
    for (int i = 0; i < hvx::ListCount; ++i)
        s.list(ListId(i)) = m_lists[static_cast<size_t>(i)]->currentIndex();
    for (int i = 0; i < hvx::ChoiceCount; ++i)
        s.choice(ChoiceId(i)) = m_choices[static_cast<size_t>(i)]->checkedId();
    s.eCustomLow = ui->eCustomLow->text();
    s.eCustomHigh = ui->eCustomHigh->text();
    s.conversionSpeedShown = !ui->rgConversionSpeed->isHidden();
    return s;
}

void TMainForm::setChoice(ChoiceId id, int index)
{
    QButtonGroup *group = choice(id);
    if (QAbstractButton *b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    // No button chosen: an exclusive group cannot uncheck its last button.
    group->setExclusive(false);
    for (QAbstractButton *b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

void TMainForm::applySetup(const hvx::Setup &s)
{
    std::vector<QObject *> quiet(m_lists.begin(), m_lists.end());
    quiet.insert(quiet.end(), m_choices.begin(), m_choices.end());
    quiet.push_back(ui->eCustomLow);
    quiet.push_back(ui->eCustomHigh);
    const SignalBlock block(quiet);

    for (int i = 0; i < hvx::ListCount; ++i) {
        QComboBox *cb = m_lists[static_cast<size_t>(i)];
        const int index = s.list(ListId(i));
        cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : -1);
    }
    for (int i = 0; i < hvx::ChoiceCount; ++i)
        setChoice(ChoiceId(i), s.choice(ChoiceId(i)));
    ui->eCustomLow->setText(s.eCustomLow);
    ui->eCustomHigh->setText(s.eCustomHigh);
    ui->rgConversionSpeed->setVisible(s.conversionSpeedShown);
}

void TMainForm::setCaptions(ChoiceId id, const QStringList &captions)
{
    const QList<QAbstractButton *> buttons = choice(id)->buttons();
    for (int k = 0; k < buttons.size() && k < captions.size(); ++k)
        buttons.at(k)->setText(captions.at(k));
}

// ---------------------------------------------------------------------------
// Input panel

void TMainForm::cbInputTypeChange()
{
    m_modified = true;
    ui->lInfoLabel->clear();
    const int t = ui->cbInputType->currentIndex();
    ui->rgLinearisation->setVisible(t > 5);
    if (t <= 5) {
        ui->rgColdJunction->hide();
        ui->rgRTDType->hide();
    } else if (t <= 13) {
        ui->rgRTDType->hide();
        ui->rgColdJunction->show();
    } else {
        ui->rgRTDType->show();
        ui->rgColdJunction->hide();
    }
    ui->cbInputRange->hide();
    for (ListId id : TypeRangeLists)
        list(id)->hide();
    if (t >= 0 && t < hvx::InputTypeCount) {
        QComboBox *rangeList = list(hvx::rangeListFor(t));
        rangeList->show();
        ShowCustomEdits(rangeList->currentText());
    } else {
        ui->cbInputRange->show();
    }
}

void TMainForm::cbInputRangeChange() { m_modified = true; }

void TMainForm::rangeListChange(ListId id)
{
    m_modified = true;
    ui->lInfoLabel->clear();
    ShowCustomEdits(list(id)->currentText());
}

void TMainForm::cbIRVoltageChange() { rangeListChange(ListId::cbIRVoltage); }
void TMainForm::cbIRCurrentChange() { rangeListChange(ListId::cbIRCurrent); }
void TMainForm::cbIRCurrentTransmitterChange() { rangeListChange(ListId::cbIRCurrentTransmitter); }
void TMainForm::cbIRmilliVoltChange() { rangeListChange(ListId::cbIRmilliVolt); }
void TMainForm::cbIRPot2Change() { rangeListChange(ListId::cbIRPot2); }
void TMainForm::cbIRPot3Change() { rangeListChange(ListId::cbIRPot3); }
void TMainForm::cbIRTCKJChange() { rangeListChange(ListId::cbIRTCKJ); }
void TMainForm::cbIRTCRSChange() { rangeListChange(ListId::cbIRTCRS); }
void TMainForm::cbIRTCNEChange() { rangeListChange(ListId::cbIRTCNE); }
void TMainForm::cbIRTCBChange() { rangeListChange(ListId::cbIRTCB); }
void TMainForm::cbIRTCTChange() { rangeListChange(ListId::cbIRTCT); }
void TMainForm::cbIRRTDChange() { rangeListChange(ListId::cbIRRTD); }

void TMainForm::eCustomLowChange()
{
    m_modified = true;
    ui->lInfoLabel->clear();
}

void TMainForm::ShowCustomEdits(const QString &rangeText)
{
    const bool custom = rangeText == Texts::customItem();
    ui->lCustomLow->setVisible(custom);
    ui->lCustomHigh->setVisible(custom);
    ui->eCustomLow->setVisible(custom);
    ui->eCustomHigh->setVisible(custom);
}

// ---------------------------------------------------------------------------
// Output panels

void TMainForm::cbOutputRangeChange()
{
    m_modified = true;
    ui->lInfoLabel->clear();
    setCaptions(ChoiceId::rgBurnout, Texts::burnoutCaptions(ui->cbOutputRange->currentIndex()));
}

void TMainForm::cbOutputRange2Change()
{
    m_modified = true;
    ui->lInfoLabel->clear();
    setCaptions(ChoiceId::rgBurnout2, Texts::burnoutCaptions(ui->cbOutputRange2->currentIndex()));
}

void TMainForm::showDualTypePanel()
{
    switch (choice(ChoiceId::rgDualType)->checkedId()) {
    case 0:
        ui->pOutput2->show();
        ui->pTripOutput2->hide();
        ui->pFreqOutput2->hide();
        break;
    case 1:
        ui->pOutput2->hide();
        ui->pTripOutput2->show();
        ui->pFreqOutput2->hide();
        break;
    case 2:
        ui->pOutput2->hide();
        ui->pTripOutput2->hide();
        ui->pFreqOutput2->show();
        break;
    default:
        break;
    }
}

void TMainForm::rgDualOutputClick()
{
    m_modified = true;
    if (choice(ChoiceId::rgDualOutput)->checkedId() == 1) {
        ui->rgDualType->show();
        ui->rgSquareRoot->hide();
        showDualTypePanel();
    } else {
        ui->rgDualType->hide();
        ui->rgSquareRoot->show();
        ui->pTripOutput2->hide();
        ui->pFreqOutput2->hide();
        ui->pOutput2->hide();
        ui->lInfoLabel->clear();
    }
}

void TMainForm::rgDualTypeClick()
{
    m_modified = true;
    ui->lInfoLabel->clear();
    showDualTypePanel();
}

void TMainForm::RadioButtonClick() { m_modified = true; }

// ---------------------------------------------------------------------------
// Commands

void TMainForm::New1Click()
{
    if (!AskToSaveChanges())
        return;
    m_values.map.clear();

    std::vector<QObject *> quiet(m_lists.begin(), m_lists.end());
    quiet.insert(quiet.end(), m_choices.begin(), m_choices.end());
    quiet.push_back(ui->eCustomLow);
    quiet.push_back(ui->eCustomHigh);
    const SignalBlock block(quiet);

    for (ListId id : TypeRangeLists)
        list(id)->hide();
    ui->cbInputRange->show();
    ui->cbInputType->setCurrentIndex(-1);
    ui->cbInputRange->setCurrentIndex(-1);
    for (ListId id : TypeRangeLists)
        list(id)->setCurrentIndex(-1);

    ui->rgLinearisation->hide();
    ui->rgColdJunction->hide();
    ui->rgRTDType->hide();
    ui->rgConversionSpeed->hide();
    for (ChoiceId id : { ChoiceId::rgConversionSpeed, ChoiceId::rgLinearisation, ChoiceId::rgRTDType,
                         ChoiceId::rgColdJunction })
        setChoice(id, 0);

    ui->rgSquareRoot->show();
    for (ChoiceId id : { ChoiceId::rgBurnout, ChoiceId::rgInversion, ChoiceId::rgButtonIsolation,
                         ChoiceId::rgDualOutput, ChoiceId::rgSquareRoot, ChoiceId::rgBurnout2,
                         ChoiceId::rgInversion2, ChoiceId::rgSquareRoot2, ChoiceId::rgTripBurnout,
                         ChoiceId::rgTripLEDstate, ChoiceId::rgTripRelativeTo, ChoiceId::rgFreqBurnout,
                         ChoiceId::rgDualType })
        setChoice(id, 0);
    ui->rgDualType->hide(); // single output again

    for (ListId id : { ListId::cbOutputRange, ListId::cbOutputRange2, ListId::cbTripOutput, ListId::cbFreqOutputRange })
        list(id)->setCurrentIndex(-1);

    ui->lCustomLow->hide();
    ui->lCustomHigh->hide();
    ui->eCustomLow->hide();
    ui->eCustomHigh->hide();
    ui->eCustomLow->clear();
    ui->eCustomHigh->clear();

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
    const QString text = m_setupFileName.isEmpty()
        ? QStringLiteral("Switch setup has changed - Save changes ?")
        : m_setupFileName + QStringLiteral(" has changed - Save changes ?");
    switch (hvx::dialogs().question(this, QStringLiteral("Confirm"), text, hvx::DialogIcon::Question)) {
    case hvx::DialogAnswer::Yes:
        m_saveAbandoned = false;
        if (m_setupFileName.isEmpty())
            SaveAs1Click();
        else
            Save1Click();
        return !m_saveAbandoned;
    case hvx::DialogAnswer::No:
        return true;
    case hvx::DialogAnswer::Cancel:
        break;
    }
    return false;
}

void TMainForm::showMessage(const QString &text)
{
    hvx::dialogs().message(this, hvx::ApplicationTitle(), text, hvx::DialogIcon::None);
}

void TMainForm::setFileTitle(const QString &path)
{
    // A title shows "[*]" only when written twice; a single one would be
    // taken for the unsaved-changes mark and vanish from the path.
    QString shownPath = path;
    shownPath.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(PlainTitle + QStringLiteral(" - ") + shownPath);
}

bool TMainForm::openSetupFile(const QString &path, bool reportOpenFailure)
{
    // A file that is too short to hold a whole setup is no setup file either.
    hvx::Setup loaded = setup();
    switch (hvx::LoadSetupFile(path, loaded)) {
    case hvx::LoadStatus::CannotOpen:
        if (reportOpenFailure)
            showMessage(hvx::FileMessages::couldNotBeOpened(path));
        return false;
    case hvx::LoadStatus::NotSetupFile:
        showMessage(hvx::FileMessages::notASetupFile(path));
        return false;
    case hvx::LoadStatus::Ok:
        break;
    }

    applySetup(loaded);
    cbInputTypeChange();
    cbOutputRangeChange();
    rgDualOutputClick();
    cbOutputRange2Change();
    m_setupFileName = path;
    setFileTitle(path);
    m_modified = false;
    return true;
}

void TMainForm::startupOpen(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return;
    // A path with blanks that arrived unquoted in several pieces is joined again.
    openSetupFile(arguments.join(QLatin1Char(' ')), false);
}

void TMainForm::Open1Click()
{
    if (!AskToSaveChanges())
        return;
    const QString path = hvx::dialogs().openFileName(this, openFilters(), DefaultExtension);
    if (path.isEmpty())
        return;
    openSetupFile(path, true);
}

void TMainForm::Save1Click()
{
    if (m_setupFileName.isEmpty()) {
        SaveAs1Click();
        return;
    }
    writeSetupFile(m_setupFileName);
}

bool TMainForm::writeSetupFile(const QString &path)
{
    // Written beside the old file and put in its place only when complete.
    if (!hvx::SaveSetupFile(path, setup())) {
        showMessage(hvx::FileMessages::couldNotBeSaved());
        m_saveAbandoned = true;
        return false;
    }
    m_modified = false;
    return true;
}

void TMainForm::SaveAs1Click()
{
    for (;;) {
        const QString path = hvx::dialogs().saveFileName(this, saveFilters(), DefaultExtension, m_setupFileName);
        if (path.isEmpty()) {
            m_saveAbandoned = true;
            return;
        }
        if (QFileInfo::exists(path)) {
            const hvx::DialogAnswer answer = hvx::dialogs().question(
                this, QStringLiteral("Warning"), path + QStringLiteral(" already exists. Overwrite it?"),
                hvx::DialogIcon::Warning);
            if (answer == hvx::DialogAnswer::No)
                continue;
            if (answer == hvx::DialogAnswer::Cancel) {
                m_saveAbandoned = true;
                return;
            }
        }
        if (!writeSetupFile(path))
            return;
        m_setupFileName = path;
        setFileTitle(path);
        return;
    }
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::closeEvent(QCloseEvent *e)
{
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
    const hvx::EvaluationOutcome outcome = hvx::Evaluate(setup(), m_values);
    ui->lInfoLabel->setText(outcome.status);
    if (outcome.focus == hvx::FocusTarget::CustomLow)
        ui->eCustomLow->setFocus(Qt::OtherFocusReason);
    else if (outcome.focus == hvx::FocusTarget::CustomHigh)
        ui->eCustomHigh->setFocus(Qt::OtherFocusReason);
    if (outcome.completed && m_resultForm)
        m_resultForm->ShowResults(setup(), m_values, m_setupFileName);
}

// ---------------------------------------------------------------------------
// Keys and activation

bool TMainForm::FormKeyDown(QKeyEvent *e)
{
    if (!(e->modifiers() & Qt::AltModifier))
        return false;
    if (e->key() == Qt::Key_F1) {
        About1Click();
        return true;
    }
    if (e->key() == Qt::Key_F2) {
        ui->rgConversionSpeed->setVisible(ui->rgConversionSpeed->isHidden());
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == ui->CoolBar1 && e->type() == QEvent::Resize) {
        QRect place = ui->lInfoLabel->geometry();
        place.setRight(std::max(place.left() + InfoLabelWidth, ui->CoolBar1->contentsRect().right()) - 1);
        ui->lInfoLabel->setGeometry(place);
    }
    if (e->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent *>(e)))
        return true;
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::keyPressEvent(QKeyEvent *e)
{
    // Keys that a choice or a button let pass do not reach the commands; only
    // the window itself, holding the focus, does.
    QWidget *focus = focusWidget();
    if ((!focus || focus == this) && FormKeyDown(e))
        return;
    QMainWindow::keyPressEvent(e);
}

void TMainForm::FormActivate()
{
    if (m_splashDone || !m_splashForm)
        return;
    m_splashDone = true;
    // Shown once the activation has been handled, in front of this window.
    QTimer::singleShot(0, this, [this] {
        if (m_splashForm)
            m_splashForm->exec();
    });
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(e);
}
