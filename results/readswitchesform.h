#pragma once
// The window that reads a unit back: the user sets the four banks as they
// are on the unit, and the window tells at once which setup gives those
// switches, or lists the nearest setups and marks where they differ. A chosen
// setup can be put into the main window, and the unit compared with the main
// window's setup.

#include "decode.h"
#include "setup.h"
#include "switchmap.h"

#include <QDialog>

class QPushButton;

#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class ReadSwitchesForm;
}

namespace hvx {

class Announcer;
class SwitchBankPanel;
class SwitchToggle;

class ReadSwitchesForm : public QDialog {
    Q_OBJECT

public:
    explicit ReadSwitchesForm(QWidget *parent = nullptr);
    ~ReadSwitchesForm() override;

    // Where "Compare With Current Setup" gets the main window's setup.
    void setCurrentSetupSource(std::function<Setup()> source) { m_currentSetup = std::move(source); }
    // What "Use This Setup" hands the chosen setup to; it returns whether the
    // setup was taken (the user may keep the one he has).
    void setUseSetupHandler(std::function<bool(const Setup &)> handler) { m_useSetup = std::move(handler); }

    // Shows "Record", which hands the switches as set to the handler (the
    // plant window records a unit's check with it); nullptr hides it.
    void setRecordHandler(std::function<void(const SwitchMap &)> handler);

    const SwitchMap &switches() const { return m_switches; }
    void setSwitches(const SwitchMap &map);
    // The control of a position (bank 1 to 4, position 1 to 12).
    SwitchToggle *switchToggle(int bank, int position) const;
    // The setup the window shows: the exact one, or the nearest one chosen in
    // the list; nullptr when none is chosen.
    const DecodedSetup *chosenSetup() const;

public slots:
    void bUseClick();
    void bCompareClick();
    void bAllOffClick();
    void lbNearestSelect();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void switchToggled(SwitchToggle *toggle);
    void moveFocus(SwitchToggle *from, int key);
    // Fixes the heights that would otherwise follow the texts shown.
    void keepHeightsSteady();
    // The bank laid out next above (step -1) or below (step 1) a bank; the
    // bank itself when there is none.
    int bankBeside(int bank, int step) const;
    // The one position that Tab reaches; the arrow keys move it.
    void setCurrentToggle(SwitchToggle *toggle);
    // Decodes the switches and fills the headline, the list and the summary.
    void decodeSwitches();
    // The chosen setup's summary and, unless comparing, its differences.
    void showChosen();
    void compare();
    void showMarks(const std::vector<SwitchPosition> &positions);

    std::unique_ptr<Ui::ReadSwitchesForm> ui;
    SwitchBankPanel *m_banks[4] = {};
    SwitchToggle *m_current = nullptr;
    // Tells a screen reader the outcome of a toggle or of Compare.
    Announcer *m_announcer = nullptr;

    SwitchMap m_switches;
    DecodeResult m_result;
    std::vector<DecodedSetup> m_setups;
    // Set by Compare; while set, every change of the switches compares again,
    // until a setup is chosen in the list.
    bool m_comparing = false;

    std::function<Setup()> m_currentSetup;
    std::function<bool(const Setup &)> m_useSetup;
    std::function<void(const SwitchMap &)> m_record;
    QPushButton *m_bRecord = nullptr;
};

} // namespace hvx
