#pragma once
// A switch bank that the user sets: drawn as the results window draws a bank
// (a black rectangle with "ON", the bank's name, "DIP" and the numbers 1 to
// 12, a white square in the upper row for on and in the lower row for off),
// with each position a control of its own that a click or the Space key
// turns over.

#include <QWidget>

class QLabel;
class QPainter;

namespace hvx {

// One position: its column of the bank, the square in the on or off row.
class SwitchToggle : public QWidget {
    Q_OBJECT

public:
    SwitchToggle(int bank, int position, QWidget *parent = nullptr);

    int bank() const { return m_bank; }
    int position() const { return m_position; }
    bool isOn() const { return m_on; }
    // Sets the state without telling anyone (no toggled signal).
    void setOn(bool on);
    // A marked column is drawn on red: the switch is the other way round in
    // the setup it is compared with.
    bool isMarked() const { return m_marked; }
    void setMarked(bool marked);
    // The square that shows the state: in the upper row when on, the lower
    // when off; its outermost pixels are its outline.
    QRect squareRect() const;

    QSize sizeHint() const override;

signals:
    // The user turned the switch over.
    void toggled(hvx::SwitchToggle *toggle);
    // The user pressed an arrow key on it (Qt::Key_Left ... Qt::Key_Down).
    void arrowPressed(hvx::SwitchToggle *toggle, int key);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Screen readers see the switch as a check box and may turn it over.
    friend class SwitchToggleAccessible;

    void paintFocusFrame(QPainter &painter) const;
    void userToggle();
    void updateAccessibleName();

    int m_bank;
    int m_position;
    bool m_on = false;
    bool m_marked = false;
};

// The bank S1 to S4 with its twelve positions.
class SwitchBankPanel : public QWidget {
    Q_OBJECT

public:
    explicit SwitchBankPanel(QWidget *parent = nullptr);

    // Makes the bank's labels and positions; called once, before use.
    void setBank(int bank);
    int bank() const { return m_bank; }
    // Position 1 to 12.
    SwitchToggle *toggle(int position) const { return m_toggles[position - 1]; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *addLabel(const QString &text, int x, int y, int width = -1);

    int m_bank = 0;
    SwitchToggle *m_toggles[12] = {};
};

} // namespace hvx
