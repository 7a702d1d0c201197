#include "resultbanks.h"

#include "shapewidget.h"
#include "switchmap.h"
#include "switchnames.h"

namespace hvx {

ResultBanks::ResultBanks(const SquareGrid &squares, const std::array<ShapeWidget *, 4> &banks, QWidget *before,
                         QWidget *after)
    : m_squares(squares)
    , m_banks(banks)
{
    // Tab stops at the banks; a square takes the focus by an arrow key or a
    // click. In the focus chain the squares follow their bank, so that Tab
    // from a square goes on to the next bank.
    QWidget *previous = before;
    for (int b = 0; b < 4; ++b) {
        m_banks[b]->setFocusPolicy(Qt::StrongFocus);
        QWidget::setTabOrder(previous, m_banks[b]);
        previous = m_banks[b];
        for (const auto &column : m_squares[b]) {
            for (ShapeWidget *square : column) {
                square->setFocusPolicy(Qt::ClickFocus);
                QWidget::setTabOrder(previous, square);
                previous = square;
            }
        }
    }
    QWidget::setTabOrder(previous, after);
}

void ResultBanks::showBank(int bank, const SwitchBank &positions)
{
    m_banks[bank - 1]->setAccessibleName(bankReading(bank, positions));
}

ShapeWidget *ResultBanks::shown(int bank, int position) const
{
    const auto &column = m_squares[bank - 1][position - 1];
    return column[0]->isHidden() ? column[1] : column[0];
}

bool ResultBanks::locate(const QWidget *w, int &bank, int &position) const
{
    for (int b = 1; b <= 4; ++b) {
        if (w == m_banks[b - 1]) {
            bank = b;
            position = 0;
            return true;
        }
        for (int p = 1; p <= 12; ++p) {
            const auto &column = m_squares[b - 1][p - 1];
            if (w == column[0] || w == column[1]) {
                bank = b;
                position = p;
                return true;
            }
        }
    }
    return false;
}

bool ResultBanks::moveFocus(QWidget *from, int key)
{
    int bank = 0;
    int position = 0;
    if (!from || !locate(from, bank, position))
        return false;
    int toBank = bank;
    int toPosition = position;
    switch (key) {
    case Qt::Key_Left:
        toPosition = position - 1; // from position 1 back to the bank itself
        break;
    case Qt::Key_Right:
        toPosition = position + 1;
        break;
    case Qt::Key_Home:
        toPosition = 1;
        break;
    case Qt::Key_End:
        toPosition = 12;
        break;
    case Qt::Key_Up:
        toBank = bank - 1;
        break;
    case Qt::Key_Down:
        toBank = bank + 1;
        break;
    default:
        return false;
    }
    // Beyond the first or last position, or to a bank not shown (S4 in
    // single output), the focus stays where it is.
    if (toBank >= 1 && toBank <= 4 && toPosition >= 0 && toPosition <= 12
        && m_banks[toBank - 1]->isVisibleTo(m_banks[toBank - 1]->window())) {
        QWidget *to = toPosition == 0 ? static_cast<QWidget *>(m_banks[toBank - 1]) : shown(toBank, toPosition);
        to->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

} // namespace hvx
