#include "switchbankpanel.h"

#include "switchnames.h"
#include "switchtoggleaccessible.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace hvx {

namespace {

// The bank's layout, as in the results window: a 227 x 81 rectangle, columns
// 17 pixels apart from x = 12, the on row at y = 24, the off row 17 below it,
// the numbers at y = 59. A position's control covers its column with a
// two-pixel margin, so that the focus and difference marks lie round it.
constexpr int BankWidth = 227;
constexpr int BankHeight = 81;
constexpr int FirstColumn = 12;
constexpr int ColumnStep = 17;
constexpr int OnRow = 24;
constexpr int RowStep = 17;
constexpr int NumberRow = 59;
constexpr int Square = 13;
constexpr int Margin = 2;

QFont bankFont()
{
    QFont f;
    f.setFamilies({ QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                    QStringLiteral("Helvetica"), QStringLiteral("DejaVu Sans") });
    f.setPixelSize(13);
    f.setBold(true);
    return f;
}

} // namespace

SwitchToggle::SwitchToggle(int bank, int position, QWidget *parent)
    : QWidget(parent)
    , m_bank(bank)
    , m_position(position)
{
    setObjectName(QStringLiteral("sw%1_S%2").arg(position).arg(bank));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("S%1 switch %2: click or press Space to turn it over").arg(bank).arg(position));
    SwitchToggleAccessible::install();
    updateAccessibleName();
}

QSize SwitchToggle::sizeHint() const { return QSize(Square + 2 * Margin, RowStep + Square + 2 * Margin); }

void SwitchToggle::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    updateAccessibleName();
    SwitchToggleAccessible::notifyToggled(this);
    update();
}

void SwitchToggle::setMarked(bool marked)
{
    if (m_marked == marked)
        return;
    m_marked = marked;
    update();
}

void SwitchToggle::updateAccessibleName() { setAccessibleName(switchPositionName(m_bank, m_position, m_on)); }

void SwitchToggle::userToggle()
{
    setOn(!m_on);
    emit toggled(this);
}

QRect SwitchToggle::squareRect() const { return QRect(Margin, Margin + (m_on ? 0 : RowStep), Square, Square); }

void SwitchToggle::paintEvent(QPaintEvent *)
{
    // Fills only, no pen: on a scaled screen a one-pixel pen covers a
    // fraction of a device pixel, leaving the square's white outside its
    // outline and the frame's right and bottom edges off the widget. The
    // outline is the whole square in black with its inside filled over it.
    QPainter p(this);
    p.fillRect(rect(), m_marked ? QColor(Qt::red) : QColor(Qt::black));
    const QRect square = squareRect();
    p.fillRect(square, Qt::black);
    p.fillRect(square.adjusted(1, 1, -1, -1), Qt::white);
    if (hasFocus())
        paintFocusFrame(p);
}

void SwitchToggle::paintFocusFrame(QPainter &painter) const
{
    // A dotted frame round the column, seen on black and on red: a dot on
    // every other pixel of each edge, the corners included.
    const QColor dot(Qt::yellow);
    const int right = width() - 1;
    const int bottom = height() - 1;
    for (int x = 0; x <= right; x += 2) {
        painter.fillRect(x, 0, 1, 1, dot);
        painter.fillRect(right - x, bottom, 1, 1, dot);
    }
    for (int y = 0; y <= bottom; y += 2) {
        painter.fillRect(0, bottom - y, 1, 1, dot);
        painter.fillRect(right, y, 1, 1, dot);
    }
}

void SwitchToggle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    userToggle();
}

void SwitchToggle::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        if (!event->isAutoRepeat())
            userToggle();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit arrowPressed(this, event->key());
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void SwitchToggle::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void SwitchToggle::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

SwitchBankPanel::SwitchBankPanel(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(BankWidth, BankHeight);
}

QLabel *SwitchBankPanel::addLabel(const QString &text, int x, int y, int width)
{
    auto *label = new QLabel(text, this);
    label->setFont(bankFont());
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    label->adjustSize();
    if (width > 0) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->resize(width, label->height());
    }
    label->move(x, y);
    return label;
}

void SwitchBankPanel::setBank(int bank)
{
    Q_ASSERT(m_bank == 0 && bank >= 1 && bank <= 4);
    m_bank = bank;
    setAccessibleName(QStringLiteral("Switch S%1").arg(bank));
    addLabel(QStringLiteral("ON"), FirstColumn, 2);
    addLabel(QStringLiteral("Switch S%1").arg(bank), FirstColumn + 61, 2);
    addLabel(QStringLiteral("DIP"), FirstColumn + 164, 4);
    for (int p = 1; p <= 12; ++p) {
        const int column = FirstColumn + ColumnStep * (p - 1);
        addLabel(QString::number(p), column + Square / 2 - 10, NumberRow, 20);
        auto *t = new SwitchToggle(bank, p, this);
        t->setGeometry(column - Margin, OnRow - Margin, Square + 2 * Margin, RowStep + Square + 2 * Margin);
        m_toggles[p - 1] = t;
    }
}

void SwitchBankPanel::paintEvent(QPaintEvent *) { QPainter(this).fillRect(rect(), Qt::black); }

} // namespace hvx
