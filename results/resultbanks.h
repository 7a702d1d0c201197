#pragma once
// The results window's banks read from the keyboard at one's own pace. Each
// bank is a stop of the Tab key, S1 to S4 in order, that reads its on
// positions ("S1: on 3, 8, 9 and 10; the others off"); inside a bank the
// arrow keys move square by square, each square reading its position ("S1
// switch 3, on"), and Up and Down go to the same position of the bank before
// or after.

#include <QString>

#include <array>

class QWidget;

namespace hvx {

class ShapeWidget;
class SwitchBank;

// The squares by bank (0 to 3), position (0 to 11) and row (0 on, 1 off).
using SquareGrid = std::array<std::array<std::array<ShapeWidget *, 2>, 12>, 4>;

class ResultBanks {
public:
    // banks: the rectangles S1 to S4. Tab runs from before through the banks
    // to after.
    ResultBanks(const SquareGrid &squares, const std::array<ShapeWidget *, 4> &banks, QWidget *before, QWidget *after);

    // The bank's reading, once its squares show the positions.
    void showBank(int bank, const SwitchBank &positions);
    // Moves the focus from a bank or square by the key; false when the key
    // is not one of the banks' or the focus is elsewhere.
    bool moveFocus(QWidget *from, int key);

private:
    // The square that shows the position (bank and position from 1).
    ShapeWidget *shown(int bank, int position) const;
    // Where the widget lies: bank and position (0 for the bank itself);
    // false when it is neither a bank nor a square.
    bool locate(const QWidget *w, int &bank, int &position) const;

    const SquareGrid &m_squares;
    std::array<ShapeWidget *, 4> m_banks;
};

} // namespace hvx
