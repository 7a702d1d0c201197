// The main window: its controls built from the model's lists and choices, the
// handlers connected, and the translation between the controls and a Setup.

#include "halvexmain.h"

#include "accessiblecontrols.h"
#include "halvexmain_p.h"
#include "printoptions.h"
#include "readablecolours.h"
#include "ui_halvexmain.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>
#include <utility>
#include <vector>

namespace hvx {

using mainwindow::SignalBlock;
using mainwindow::TypeRangeList;
using mainwindow::TypeRangeLists;

namespace {

// The tool bar's pictures, compiled in as the image data they are.
#include "icons/new.xpm"
#include "icons/open.xpm"
#include "icons/readswitches.xpm"
#include "icons/save.xpm"
#include "icons/switches.xpm"

template <typename T>
T *requireChild(QObject *parent, const QString &name)
{
    T *child = parent->findChild<T *>(name);
    if (!child)
        throw std::logic_error("main window form lacks control " + name.toStdString());
    return child;
}

// Tab into a group of choices lands on its chosen button, or on the first
// when none is chosen; the others take the focus by a click or the arrow
// keys, so that the next Tab leaves the group.
void tabToChosenButton(const QButtonGroup *group)
{
    const QList<QAbstractButton *> buttons = group->buttons();
    const QAbstractButton *target = group->checkedButton() ? group->checkedButton() : buttons.value(0);
    for (QAbstractButton *b : buttons)
        b->setFocusPolicy(b == target ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

TMainForm::TMainForm(const QByteArrayList &arguments, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TMainForm>())
{
    setWindowFont();
    installControlAccessibility();
    ui->setupUi(this);
    buildToolBar();
    buildLists();
    buildChoices();
    shortenHints();
    setStartLayout();
    buildTabOrder();
    connectHandlers();
    buildMenuCommands();
    placeOnScreen();

    // Creation of the window: a fresh setup, the printing options file next
    // to the program, then a setup file named on the command line.
    m_modified = false;
    m_printIniPath = defaultPrintIniPath();
    startupOpen(arguments);
}

TMainForm::~TMainForm() = default;

void TMainForm::setWindowFont()
{
    // The panels are laid out for a narrow sans-serif face at 8 points; the
    // first of these that is installed is used. The window has it before its
    // controls are made, so that each control is made with it (rather than
    // made with the default face and then told of the change).
    QFont windowFont = font();
    windowFont.setPointSize(8);
    windowFont.setFamilies({ QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                             QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans Condensed") });
    setFont(windowFont);
}

void TMainForm::buildToolBar()
{
    paintToolBarPictures();

    QFont infoFont = ui->lInfoLabel->font();
    infoFont.setBold(true);
    infoFont.setPixelSize(16);
    ui->lInfoLabel->setFont(infoFont);
    ui->lInfoLabel->setTextFormat(Qt::PlainText); // messages are never read as markup
    // The status label keeps its place but reaches to the end of the tool
    // bar, so that the longest message shows whole.
    ui->CoolBar1->installEventFilter(this);
}

void TMainForm::paintToolBarPictures()
{
    // The pictures' lines are dark: on a dark window they are lightened.
    const std::pair<QToolButton *, const char *const *> pictures[] = {
        { ui->sbNew, new_xpm },
        { ui->sbOpen, open_xpm },
        { ui->sbSave, save_xpm },
        { ui->sbShowResults, switches_xpm },
        { ui->sbReadSwitches, readswitches_xpm },
    };
    const QColor background = palette().color(backgroundRole());
    for (const auto &[button, xpm] : pictures)
        button->setIcon(QIcon(readablePicture(xpm, background)));
}

void TMainForm::buildLists()
{
    for (int i = 0; i < ListCount; ++i) {
        const ListId id = ListId(i);
        QComboBox *cb = requireChild<QComboBox>(this, Texts::name(id));
        cb->addItems(Texts::items(id));
        cb->setCurrentIndex(-1);
        // Its width comes when it is shown (fitListToItems): measuring every
        // item of the lists the start does not show would delay the window.
        m_lists[static_cast<size_t>(i)] = cb;
    }
}

void TMainForm::shortenHints()
{
    // A hint may carry a long part after a "|"; only the short part shows.
    for (QWidget *w : findChildren<QWidget *>()) {
        const QString tip = w->toolTip();
        if (tip.contains(QLatin1Char('|')))
            w->setToolTip(tip.section(QLatin1Char('|'), 0, 0));
    }
}

void TMainForm::placeOnScreen()
{
    // Fit the window around its panels and centre it on the screen.
    resize(minimumSizeHint().expandedTo(QSize(624, 0)));
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

void TMainForm::buildChoices()
{
    for (int i = 0; i < ChoiceCount; ++i) {
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
        tabToChosenButton(group);
        // The buttons' own signals, unlike the group's, also come while a
        // command writes the choices.
        for (QAbstractButton *b : group->buttons())
            connect(b, &QAbstractButton::toggled, this, [group] { tabToChosenButton(group); });
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
    for (const TypeRangeList &range : TypeRangeLists)
        addList(range.list);
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
    for (const TypeRangeList &range : TypeRangeLists)
        onChange(range.list, range.change);
    onChange(ListId::cbOutputRange, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbTripOutput, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbFreqOutputRange, &TMainForm::cbOutputRangeChange);
    onChange(ListId::cbOutputRange2, &TMainForm::cbOutputRange2Change);
    connect(ui->eCustomLow, &QLineEdit::textChanged, this, &TMainForm::eCustomLowChange);
    connect(ui->eCustomHigh, &QLineEdit::textChanged, this, &TMainForm::eCustomLowChange);
    for (QLineEdit *edit : { ui->eCustomLow, ui->eCustomHigh })
        connect(edit, &QLineEdit::textEdited, this, [edit] { mainwindow::keepTypingLimit(edit); });

    // A choice's click handler runs when the user picks another button.
    for (int i = 0; i < ChoiceCount; ++i) {
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
    connect(ui->OpenPlantTable1, &QAction::triggered, this, &TMainForm::OpenPlantTable1Click);
    connect(ui->Save1, &QAction::triggered, this, &TMainForm::Save1Click);
    connect(ui->SaveAs1, &QAction::triggered, this, &TMainForm::SaveAs1Click);
    connect(ui->Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);
    connect(ui->Evaluate2, &QAction::triggered, this, &TMainForm::sbShowResultsClick);
    connect(ui->ReadSwitches1, &QAction::triggered, this, &TMainForm::sbReadSwitchesClick);
    connect(ui->About1, &QAction::triggered, this, &TMainForm::About1Click);
    connect(ui->sbNew, &QToolButton::clicked, this, &TMainForm::New1Click);
    connect(ui->sbOpen, &QToolButton::clicked, this, &TMainForm::Open1Click);
    connect(ui->sbSave, &QToolButton::clicked, this, &TMainForm::Save1Click);
    connect(ui->sbShowResults, &QToolButton::clicked, this, &TMainForm::sbShowResultsClick);
    connect(ui->sbReadSwitches, &QToolButton::clicked, this, &TMainForm::sbReadSwitchesClick);

    // The keyboard commands work while a list or a custom edit has the focus.
    for (QComboBox *cb : m_lists) {
        cb->installEventFilter(this);
        announceListChanges(cb);
    }
    ui->eCustomLow->installEventFilter(this);
    ui->eCustomHigh->installEventFilter(this);
}

void TMainForm::setStartLayout()
{
    ui->rgConversionSpeed->hide();
    ui->rgLinearisation->hide();
    ui->rgColdJunction->hide();
    ui->rgRTDType->hide();
    for (const TypeRangeList &range : TypeRangeLists)
        list(range.list)->hide();
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

Setup TMainForm::setup() const
{
    Setup s;
    for (int i = 0; i < ListCount; ++i)
        s.list(ListId(i)) = m_lists[static_cast<size_t>(i)]->currentIndex();
    for (int i = 0; i < ChoiceCount; ++i)
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

std::vector<QObject *> TMainForm::selectionControls() const
{
    std::vector<QObject *> controls(m_lists.begin(), m_lists.end());
    controls.insert(controls.end(), m_choices.begin(), m_choices.end());
    controls.push_back(ui->eCustomLow);
    controls.push_back(ui->eCustomHigh);
    return controls;
}

void TMainForm::applySetup(const Setup &s)
{
    const SignalBlock block(selectionControls());

    for (int i = 0; i < ListCount; ++i) {
        QComboBox *cb = m_lists[static_cast<size_t>(i)];
        const int index = s.list(ListId(i));
        cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : -1);
    }
    for (int i = 0; i < ChoiceCount; ++i)
        setChoice(ChoiceId(i), s.choice(ChoiceId(i)));
    mainwindow::setCustomText(ui->eCustomLow, s.eCustomLow);
    mainwindow::setCustomText(ui->eCustomHigh, s.eCustomHigh);
    ui->rgConversionSpeed->setVisible(s.conversionSpeedShown);
}

void TMainForm::setCaptions(ChoiceId id, const QStringList &captions)
{
    const QList<QAbstractButton *> buttons = choice(id)->buttons();
    for (int k = 0; k < buttons.size() && k < captions.size(); ++k)
        buttons.at(k)->setText(captions.at(k));
}

void TMainForm::fitListToItems(QObject *watched)
{
    // Closed, the list shows its widest item whole, whatever the face.
    if (auto *cb = qobject_cast<QComboBox *>(watched)) {
        const int needed = cb->sizeHint().width();
        if (needed > cb->width())
            cb->resize(needed, cb->height());
    }
}

} // namespace hvx
