#include "switchform.h"

#include "displaytext.h"
#include "halvexversion.h"
#include "resultbanks.h"
#include "shapewidget.h"
#include "summary.h"
#include "switchexplanation.h"
#include "switchnames.h"
#include "ui_switchform.h"

#include <QContextMenuEvent>
#include <QDate>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QScreen>

namespace hvx {

namespace {

// The window is laid out for these faces; where they are missing, the nearest
// sans-serif faces of similar width stand in for them.
void registerFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList narrowSans = { QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                     QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
                                     QStringLiteral("DejaVu Sans") };
    for (const char *family : { "MS Sans Serif", "System" })
        if (QFont::substitutes(QString::fromLatin1(family)).isEmpty())
            QFont::insertSubstitutions(QString::fromLatin1(family), narrowSans);
}

QFont pixelFont(const QString &family, int pixels, bool bold)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Makes the label at least as large as its text, keeping where the text
// starts: the faces that stand in for the window's own are taller, and on a
// scaled screen their glyphs round to a slightly different size again.
void growToText(QLabel *label)
{
    const QSize need = label->sizeHint();
    QRect g = label->geometry();
    if (need.height() > g.height())
        g.setHeight(need.height());
    const int extra = need.width() - g.width();
    if (extra > 0) {
        if (label->alignment() & Qt::AlignHCenter)
            g.adjust(-extra / 2, 0, extra - extra / 2, 0);
        else
            g.setWidth(need.width());
    }
    label->setGeometry(g);
}

} // namespace

TResultForm::TResultForm(const QString &printIniPath, QWidget *parent, const QString &fallbackPath)
    : QDialog(parent)
    , m_optionsFile(printIniPath, fallbackPath)
{
    FormCreate();
}

void TResultForm::ensureControls()
{
    if (m_ui)
        return;
    m_ui = std::make_unique<Ui::TResultForm>();
    registerFontSubstitutes();
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(false);

    // The header is drawn in the window colour on the button-face panel.
    m_ui->pLabelPanel->setBackgroundRole(QPalette::Base);
    applyFonts();
    m_ui->Label4->setText(QStringLiteral("Version " HALVEX_VERSION));
    // The summaries and the file name hold the user's texts and paths: shown
    // as they are, never read as markup.
    for (QLabel *label :
         { m_ui->lInputLabel1, m_ui->lInputLabel2, m_ui->lOutputLabel, m_ui->lOutput2Label, m_ui->lFileName }) {
        label->setTextFormat(Qt::PlainText);
    }
    // The labels are fitted to their texts when first needed (fitTexts).

    collectSquares();
    m_banks = std::make_unique<ResultBanks>(m_squares,
                                            std::array<ShapeWidget *, 4>{ m_ui->r_S1, m_ui->r_S2, m_ui->r_S3,
                                                                          m_ui->Shape1 },
                                            m_ui->bClose, m_ui->bPrint);

    connect(m_ui->bClose, &QPushButton::clicked, this, &TResultForm::bCloseClick);
    connect(m_ui->bPrint, &QPushButton::clicked, this, &TResultForm::bPrintClick);
    addPrintOptionsEntry(this, m_ui->pPrintOptions);

    // The check boxes take the options as last read or set.
    setPrintOptions(m_options);
}

void TResultForm::collectSquares()
{
    // The squares come straight from the form's members, so that a square
    // missing from the form stops the build instead of a later evaluation.
#define HVX_COLUMN(p, b) \
    { \
        { \
            m_ui->r##p##on_S##b, m_ui->r##p##off_S##b \
        } \
    }
#define HVX_BANK(b) \
    { \
        { \
            HVX_COLUMN(1, b), HVX_COLUMN(2, b), HVX_COLUMN(3, b), HVX_COLUMN(4, b), HVX_COLUMN(5, b), \
                HVX_COLUMN(6, b), HVX_COLUMN(7, b), HVX_COLUMN(8, b), HVX_COLUMN(9, b), HVX_COLUMN(10, b), \
                HVX_COLUMN(11, b), HVX_COLUMN(12, b) \
        } \
    }
    m_squares = { { HVX_BANK(1), HVX_BANK(2), HVX_BANK(3), HVX_BANK(4) } };
#undef HVX_BANK
#undef HVX_COLUMN

    // A screen reader reads each square the window shows as the position it
    // stands for; the lines and rectangles of the drawing have no name and so
    // stay hidden from it (ShapeWidget).
    for (int b = 1; b <= 4; ++b) {
        for (int p = 1; p <= 12; ++p) {
            m_squares[b - 1][p - 1][0]->setAccessibleName(switchPositionName(b, p, true));
            m_squares[b - 1][p - 1][1]->setAccessibleName(switchPositionName(b, p, false));
        }
    }
}

TResultForm::~TResultForm()
{
    // Gone while still open (the program ends under it): the options are
    // stored as on every close.
    if (isVisible())
        FormCloseQuery();
}

void TResultForm::fitTexts()
{
    ensureControls();
    if (m_textsFitted)
        return;
    m_textsFitted = true;
    for (QLabel *label : findChildren<QLabel *>())
        growToText(label);
    // The print options panel lays out its check boxes below their group
    // titles and grows to hold them.
    ui().pPrintOptions->resize(ui().pPrintOptions->size().expandedTo(ui().pPrintOptions->sizeHint()));
}

void TResultForm::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QDialog::setVisible(visible);
}

void TResultForm::showEvent(QShowEvent *event)
{
    fitTexts();
    QDialog::showEvent(event);
}

void TResultForm::applyFonts()
{
    const QString sansSerif = QStringLiteral("MS Sans Serif");
    ui().Label3->setFont(pixelFont(sansSerif, 16, true));
    ui().Label4->setFont(pixelFont(sansSerif, 15, true));
    ui().lFileName->setFont(pixelFont(sansSerif, 13, false));

    // The bank texts: white bold system font on the black rectangles.
    const QFont bankFont = pixelFont(QStringLiteral("System"), 13, true);
    const QStringList prefixes = { QStringLiteral("lOn_S"), QStringLiteral("lTitle_S"), QStringLiteral("lDip_S"),
                                   QStringLiteral("lNum") };
    for (QLabel *label : findChildren<QLabel *>()) {
        const QString name = label->objectName();
        for (const QString &prefix : prefixes) {
            if (name.startsWith(prefix)) {
                label->setFont(bankFont);
                QPalette pal = label->palette();
                pal.setColor(QPalette::WindowText, Qt::white);
                label->setPalette(pal);
                break;
            }
        }
    }
}

ShapeWidget *TResultForm::onSquare(int bank, int position) const
{
    return m_squares.at(bank - 1).at(position - 1).at(0);
}

ShapeWidget *TResultForm::offSquare(int bank, int position) const
{
    return m_squares.at(bank - 1).at(position - 1).at(1);
}

void TResultForm::showBank(int bank, const SwitchBank &positions)
{
    for (int p = 1; p <= 12; ++p) {
        const bool on = positions.isOn(p);
        onSquare(bank, p)->setVisible(on);
        offSquare(bank, p)->setVisible(!on);
    }
    m_banks->showBank(bank, positions);
}

// Each shown square tells what sets its position, as its tool tip and its
// accessible description ("S1 switch 5, on: Linearisation off").
void TResultForm::explainSquares(const Setup &setup)
{
    for (const SwitchExplanation &e : explainSwitches(setup).positions) {
        ShapeWidget *shown = e.on ? onSquare(e.bank, e.position) : offSquare(e.bank, e.position);
        ShapeWidget *hidden = e.on ? offSquare(e.bank, e.position) : onSquare(e.bank, e.position);
        shown->setToolTip(e.text());
        shown->setAccessibleDescription(e.text());
        hidden->setToolTip(QString());
        hidden->setAccessibleDescription(QString());
    }
}

void TResultForm::setSummaryText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize(); // the labels grow with their text
}

// The plant's columns go on the summary's free line: below output 1 in single
// output, in smaller type below output 2 in dual output.
void TResultForm::showPlantColumns(const QString &text, bool dual)
{
    if (!m_plantColumns && text.isEmpty())
        return;
    if (!m_plantColumns) {
        m_plantColumns = new QLabel(ui().pLabelPanel);
        m_plantColumns->setObjectName(QStringLiteral("lPlantColumns"));
    }
    QFont font = ui().lOutputLabel->font();
    font.setBold(false);
    font.setPixelSize(dual ? 10 : 12);
    m_plantColumns->setFont(font);
    m_plantColumns->move(ui().stOutput2Label->x(), dual ? 69 : ui().stOutput2Label->y());
    setSummaryText(m_plantColumns, displayText(text));
    m_plantColumns->setVisible(!text.isEmpty());
}

void TResultForm::FillResults(const Setup &setup, const EvaluationValues &values, const QString &setupFileName,
                              const QString &plantColumns)
{
    fitTexts();
    const bool dual = setup.isDualOutput();

    showBank(1, values.map.S1);
    showBank(2, values.map.S2);
    showBank(3, values.map.S3);
    // In single output bank S4 is hidden and keeps its earlier states.
    if (dual)
        showBank(4, values.map.S4);
    explainSquares(setup);

    ui().pSwitch4->setVisible(dual);
    // A second output without a summary (a dual type a damaged file left
    // unset) shows no "Output 2:" line, as in single output.
    const std::optional<QString> output2 = output2Summary(setup);
    ui().lOutput2Label->setVisible(output2.has_value());
    ui().stOutput2Label->setVisible(output2.has_value());

    // A custom text from a damaged file may hold line breaks and other
    // control characters: they are shown as escapes.
    const InputSummary input = BuildInputSummary(setup, values.RangeIndex);
    setSummaryText(ui().lInputLabel1, displayText(input.line1));
    setSummaryText(ui().lInputLabel2, displayText(input.line2));

    setSummaryText(ui().lOutputLabel, displayText(output1Summary(setup)));
    // Without a second-output summary the hidden label keeps its earlier text.
    if (output2)
        setSummaryText(ui().lOutput2Label, displayText(*output2));

    setSummaryText(ui().lInfoPanelDate, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));

    ui().pPrintOptions->hide();

    setSummaryText(ui().lFileName, displayPath(ShortenFileName(setupFileName)));
    showPlantColumns(plantColumns, dual && output2.has_value());
}

void TResultForm::ShowResults(const Setup &setup, const EvaluationValues &values, const QString &setupFileName)
{
    FillResults(setup, values, setupFileName);
    centreOnScreen();
    ui().bClose->setFocus();
    exec();
}

void TResultForm::centreOnScreen()
{
    // Placed in the centre of the screen the first time; afterwards where the
    // user left it.
    if (testAttribute(Qt::WA_Moved))
        return;
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    move(frame.topLeft());
}

PrintOptions TResultForm::printOptions() const
{
    if (!m_ui)
        return m_options;
    PrintOptions o;
    o.useDDB = ui().CheckBoxUseDDB->isChecked();
    o.form24Bit = ui().CheckBox24BitFormOutput->isChecked();
    o.winStretch = ui().CheckBoxWinStretch->isChecked();
    o.compress = ui().CheckBoxCompress->isChecked();
    return o;
}

void TResultForm::setPrintOptions(const PrintOptions &options)
{
    m_options = options;
    if (!m_ui)
        return;
    ui().CheckBoxUseDDB->setChecked(options.useDDB);
    ui().CheckBox24BitFormOutput->setChecked(options.form24Bit);
    ui().CheckBoxWinStretch->setChecked(options.winStretch);
    ui().CheckBoxCompress->setChecked(options.compress);
}

void TResultForm::FormCreate()
{
    // Values the file does not hold keep the check boxes' design states.
    PrintOptions options = printOptions();
    if (m_optionsFile.read(options))
        setPrintOptions(options);
}

void TResultForm::FormCloseQuery()
{
    // Failing to store the options is not reported; the window always closes.
    m_optionsFile.write(printOptions());
}

void TResultForm::done(int result)
{
    // Every way of closing the dialog ("Back", the frame's close button, a
    // session end) ends here.
    FormCloseQuery();
    QDialog::done(result);
}

void TResultForm::bCloseClick() { close(); }

bool TResultForm::FormKeyDown(QKeyEvent *event)
{
    if (event->key() != Qt::Key_F7 || !(event->modifiers() & Qt::AltModifier))
        return false;
    ensureControls();
    ui().pPrintOptions->setVisible(!ui().pPrintOptions->isVisible());
    return true;
}

void TResultForm::showContextMenu()
{
    QWidget *target = focusWidget() ? focusWidget() : this;
    const QPoint centre = target->rect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, centre, target->mapToGlobal(centre));
    QCoreApplication::sendEvent(target, &menu);
}

bool TResultForm::event(QEvent *event)
{
    // A context menu asked for from the keyboard opens with its first entry
    // chosen, so that a screen reader reads it out.
    if (event->type() == QEvent::ContextMenu && !actions().isEmpty()) {
        const auto *asked = static_cast<QContextMenuEvent *>(event);
        if (asked->reason() == QContextMenuEvent::Keyboard) {
            QMenu entries(this);
            entries.addActions(actions());
            entries.setActiveAction(actions().constFirst());
            entries.exec(asked->globalPos());
            return true;
        }
    }
    return QDialog::event(event);
}

void TResultForm::keyPressEvent(QKeyEvent *event)
{
    // Key presses the buttons and check boxes do not use arrive here.
    if (FormKeyDown(event) || (m_banks && m_banks->moveFocus(focusWidget(), event->key()))) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape goes back, as "Back" does.
        bCloseClick();
        return;
    case Qt::Key_F10:
        if (event->modifiers() == Qt::ShiftModifier) {
            showContextMenu();
            return;
        }
        break;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        // No default button: Enter acts only through the button that has the
        // focus, which handles it itself.
        event->ignore();
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(event);
}

} // namespace hvx
