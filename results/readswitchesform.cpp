#include "readswitchesform.h"

#include "announcer.h"
#include "switchbankpanel.h"
#include "ui_readswitchesform.h"
#include "unitcomparison.h"

#include <QHideEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cstdlib>

namespace hvx {

namespace {

// Nearest setups listed at most.
constexpr int ListLimit = 20;

} // namespace

ReadSwitchesForm::ReadSwitchesForm(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ReadSwitchesForm>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_announcer = new Announcer(this);
    // The summary is shown as in the results window: dark text on the window colour.
    ui->pSummary->setBackgroundRole(QPalette::Base);

    SwitchBankPanel *banks[4] = { ui->pBank_S1, ui->pBank_S2, ui->pBank_S3, ui->pBank_S4 };
    QWidget *previous = nullptr;
    for (int b = 1; b <= 4; ++b) {
        m_banks[b - 1] = banks[b - 1];
        m_banks[b - 1]->setBank(b);
        for (int p = 1; p <= 12; ++p) {
            SwitchToggle *t = m_banks[b - 1]->toggle(p);
            // Only the current position is in the tab chain; the arrow keys
            // move among the rest.
            t->setFocusPolicy(Qt::ClickFocus);
            connect(t, &SwitchToggle::toggled, this, &ReadSwitchesForm::switchToggled);
            connect(t, &SwitchToggle::arrowPressed, this, &ReadSwitchesForm::moveFocus);
            if (previous)
                setTabOrder(previous, t);
            previous = t;
        }
    }
    for (QWidget *w : { static_cast<QWidget *>(ui->lbNearest), static_cast<QWidget *>(ui->bUse),
                        static_cast<QWidget *>(ui->bCompare), static_cast<QWidget *>(ui->bAllOff),
                        static_cast<QWidget *>(ui->bClose) }) {
        setTabOrder(previous, w);
        previous = w;
    }
    setCurrentToggle(switchToggle(1, 1));
    // Nearest setups often differ only late in their summary line: rows
    // wrap rather than lose their ends.
    ui->lbNearest->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->lbNearest->setWordWrap(true);
    ui->lbNearest->setAlternatingRowColors(true);
    keepHeightsSteady();

    connect(ui->lbNearest, &QListWidget::currentRowChanged, this, &ReadSwitchesForm::lbNearestSelect);
    // A click on the row already chosen shows its marks again after a comparison.
    connect(ui->lbNearest, &QListWidget::itemClicked, this, &ReadSwitchesForm::lbNearestSelect);
    connect(ui->bUse, &QPushButton::clicked, this, &ReadSwitchesForm::bUseClick);
    connect(ui->bCompare, &QPushButton::clicked, this, &ReadSwitchesForm::bCompareClick);
    connect(ui->bAllOff, &QPushButton::clicked, this, &ReadSwitchesForm::bAllOffClick);
    connect(ui->bClose, &QPushButton::clicked, this, &ReadSwitchesForm::close);

    decodeSwitches();
}

ReadSwitchesForm::~ReadSwitchesForm() = default;

void ReadSwitchesForm::keepHeightsSteady()
{
    // The summary keeps its height whatever setup it shows, so that the list
    // above it does not move under the pointer: the Output 2 row keeps its
    // room while hidden.
    for (QWidget *w : { static_cast<QWidget *>(ui->stOutput2Label), static_cast<QWidget *>(ui->lOutput2Label) }) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    // Texts that wrap keep room for two lines. The window's minimum height
    // counts one line for a wrapping text, and a window at that height would
    // otherwise squeeze the banks under the texts below them; the output
    // lines, of one line or two, leave the summary's height as it is.
    for (QLabel *label : { ui->lIntro, ui->lHeadline, ui->lMarks, ui->lOutputLabel, ui->lOutput2Label })
        label->setMinimumHeight(2 * label->fontMetrics().lineSpacing());
}

SwitchToggle *ReadSwitchesForm::switchToggle(int bank, int position) const
{
    return m_banks[bank - 1]->toggle(position);
}

void ReadSwitchesForm::setSwitches(const SwitchMap &map)
{
    m_switches = map;
    for (int b = 1; b <= 4; ++b)
        for (int p = 1; p <= 12; ++p)
            switchToggle(b, p)->setOn(map.bank(b).isOn(p));
    decodeSwitches();
}

void ReadSwitchesForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_current)
        m_current->setFocus(Qt::OtherFocusReason);
}

void ReadSwitchesForm::hideEvent(QHideEvent *event)
{
    // A dialog shown again is centred over its parent unless it was placed;
    // placed where it is now, it reopens where the user left it.
    if (!event->spontaneous())
        move(pos());
    QDialog::hideEvent(event);
}

void ReadSwitchesForm::switchToggled(SwitchToggle *toggle)
{
    SwitchBank &bank = m_switches.bank(toggle->bank());
    if (toggle->isOn())
        bank.turnOn(toggle->position());
    else
        bank.turnOff(toggle->position());
    setCurrentToggle(toggle);
    decodeSwitches();
    // The status after each toggle (with the setup when the unit matches
    // one), and while comparing the comparison's.
    QStringList status = { ui->lHeadline->text() };
    if (status.first().endsWith(QLatin1Char(':'))) {
        for (const QLabel *line : { ui->lInputLabel1, ui->lInputLabel2, ui->lOutputLabel, ui->lOutput2Label })
            if (!line->isHidden() && !line->text().isEmpty())
                status << line->text();
    }
    if (m_comparing)
        status << ui->lMarks->text();
    m_announcer->announce(status.join(QLatin1Char(' ')));
}

void ReadSwitchesForm::setCurrentToggle(SwitchToggle *toggle)
{
    if (m_current && m_current != toggle)
        m_current->setFocusPolicy(Qt::ClickFocus);
    m_current = toggle;
    m_current->setFocusPolicy(Qt::StrongFocus);
}

void ReadSwitchesForm::moveFocus(SwitchToggle *from, int key)
{
    // Left and Right run through the positions S1.1 to S4.12 in order; Up
    // and Down go to the same position of the bank laid out above or below
    // (the banks are staggered as on the sheet: S3, S4, S2, S1 from the top).
    int bank = from->bank();
    int position = from->position();
    switch (key) {
    case Qt::Key_Left:
        if (position > 1)
            --position;
        else if (bank > 1)
            --bank, position = 12;
        break;
    case Qt::Key_Right:
        if (position < 12)
            ++position;
        else if (bank < 4)
            ++bank, position = 1;
        break;
    case Qt::Key_Up:
        bank = bankBeside(bank, -1);
        break;
    case Qt::Key_Down:
        bank = bankBeside(bank, 1);
        break;
    }
    SwitchToggle *to = switchToggle(bank, position);
    setCurrentToggle(to);
    to->setFocus(Qt::OtherFocusReason);
}

int ReadSwitchesForm::bankBeside(int bank, int step) const
{
    const int top = m_banks[bank - 1]->y();
    int found = bank;
    for (int b = 1; b <= 4; ++b) {
        const int y = m_banks[b - 1]->y();
        const bool beyond = step < 0 ? y < top : y > top;
        if (beyond && (found == bank || std::abs(y - top) < std::abs(m_banks[found - 1]->y() - top)))
            found = b;
    }
    return found;
}

void ReadSwitchesForm::decodeSwitches()
{
    const SwitchDecoder &decoder = SwitchDecoder::instance();
    m_result = decoder.decode(m_switches);
    m_setups = decoder.list(m_result, m_switches, ListLimit);
    ui->lHeadline->setText(decodeHeadline(m_result, int(m_setups.size())));

    // The list keeps its place, so that the window does not change its
    // layout while the user sets switches.
    ui->lNearest->setText(m_result.exact() ? QStringLiteral("Setups that give these switches:")
                                           : QStringLiteral("Nearest setups (switches that differ, summary):"));
    {
        const QSignalBlocker block(ui->lbNearest);
        ui->lbNearest->clear();
        for (const DecodedSetup &d : m_setups) {
            const int n = int(d.differs.size());
            const QString differs = n == 0
                ? QStringLiteral("exact")
                : QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("differs") : QStringLiteral("differ"));
            auto *item = new QListWidgetItem(differs + QStringLiteral(" - ") + decodedSummaryLine(d.setup));
            item->setToolTip(decodedSummary(d.setup).join(QLatin1Char('\n')));
            ui->lbNearest->addItem(item);
        }
        ui->lbNearest->setCurrentRow(m_setups.empty() ? -1 : 0);
    }
    showChosen();
}

const DecodedSetup *ReadSwitchesForm::chosenSetup() const
{
    const int row = ui->lbNearest->currentRow();
    return row >= 0 && row < int(m_setups.size()) ? &m_setups[size_t(row)] : nullptr;
}

void ReadSwitchesForm::lbNearestSelect()
{
    m_comparing = false;
    showChosen();
}

void ReadSwitchesForm::showChosen()
{
    const DecodedSetup *chosen = chosenSetup();
    const QStringList lines = chosen ? decodedSummary(chosen->setup) : QStringList();
    QLabel *labels[] = { ui->lInputLabel1, ui->lInputLabel2, ui->lOutputLabel, ui->lOutput2Label };
    for (int k = 0; k < 4; ++k)
        labels[k]->setText(k < lines.size() ? lines.at(k) : QString());
    // Output 2 only when the setup has a second output.
    ui->stOutput2Label->setVisible(lines.size() > 3);
    ui->lOutput2Label->setVisible(lines.size() > 3);
    ui->bUse->setEnabled(chosen != nullptr);

    if (m_comparing) {
        compare();
        return;
    }
    const std::vector<SwitchPosition> none;
    const std::vector<SwitchPosition> &differs = chosen ? chosen->differs : none;
    showMarks(differs);
    ui->lMarks->setText(differs.empty() ? QString()
                                        : QStringLiteral("Marked in red: the switches that are the other way in the "
                                                         "chosen setup (%1).")
                                              .arg(positionNames(differs)));
}

void ReadSwitchesForm::showMarks(const std::vector<SwitchPosition> &positions)
{
    for (int b = 1; b <= 4; ++b)
        for (int p = 1; p <= 12; ++p)
            switchToggle(b, p)->setMarked(std::find(positions.begin(), positions.end(), SwitchPosition{ b, p })
                                          != positions.end());
}

void ReadSwitchesForm::compare()
{
    if (!m_currentSetup)
        return;
    const UnitComparison c = compareUnitWithSetup(m_switches, m_currentSetup());
    showMarks(c.differs);
    ui->lMarks->setText(c.message);
}

void ReadSwitchesForm::bCompareClick()
{
    m_comparing = true;
    compare();
    m_announcer->announce(ui->lMarks->text());
}

void ReadSwitchesForm::bUseClick()
{
    const DecodedSetup *chosen = chosenSetup();
    if (!chosen || !m_useSetup)
        return;
    const Setup setup = chosen->setup;
    if (!m_useSetup(setup))
        return;
    // The main window holds another setup now: marks and message follow it
    // (a comparison now compares with the setup just put there).
    showChosen();
    const QString marks = ui->lMarks->text();
    ui->lMarks->setText(QStringLiteral("The setup is now in the main window.")
                        + (marks.isEmpty() ? QString() : QLatin1Char(' ') + marks));
}

void ReadSwitchesForm::setRecordHandler(std::function<void(const SwitchMap &)> handler)
{
    m_record = std::move(handler);
    if (!m_bRecord) {
        m_bRecord = new QPushButton(QStringLiteral("&Record"), this);
        m_bRecord->setObjectName(QStringLiteral("bRecord"));
        m_bRecord->setToolTip(QStringLiteral("Record the switches as set as what was read off the unit"));
        m_bRecord->setAutoDefault(false);
        ui->ButtonsLayout->insertWidget(0, m_bRecord);
        setTabOrder(ui->lbNearest, m_bRecord);
        setTabOrder(m_bRecord, ui->bUse);
        connect(m_bRecord, &QPushButton::clicked, this, [this] {
            if (m_record)
                m_record(m_switches);
        });
    }
    m_bRecord->setVisible(bool(m_record));
}

void ReadSwitchesForm::bAllOffClick() { setSwitches(SwitchMap()); }

} // namespace hvx
