// The main window's input panel and output panels: which controls each input
// type and output mode shows, the burnout captions and the unsaved-changes
// flag that every selection sets.

#include "halvexmain.h"

#include "halvexmain_p.h"
#include "ui_halvexmain.h"

#include <QButtonGroup>
#include <QComboBox>

namespace hvx {

using mainwindow::TypeRangeList;
using mainwindow::TypeRangeLists;

void TMainForm::cbInputTypeChange()
{
    m_modified = true;
    ui->lInfoLabel->clear();
    const InputTypeInfo *type = inputTypeInfo(ui->cbInputType->currentIndex());
    // Linearisation for every temperature input, cold junction compensation
    // for the thermocouples, the wiring for the resistance thermometers.
    const bool thermocouple = type && type->family == InputFamily::Thermocouple;
    const bool rtd = type && type->family == InputFamily::Rtd;
    ui->rgLinearisation->setVisible(thermocouple || rtd);
    ui->rgColdJunction->setVisible(thermocouple);
    ui->rgRTDType->setVisible(rtd);
    ui->cbInputRange->hide();
    for (const TypeRangeList &range : TypeRangeLists)
        list(range.list)->hide();
    if (type) {
        QComboBox *rangeList = list(type->rangeList);
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
    case DualTypeChoice::Analog:
        ui->pOutput2->show();
        ui->pTripOutput2->hide();
        ui->pFreqOutput2->hide();
        break;
    case DualTypeChoice::TripRelay:
        ui->pOutput2->hide();
        ui->pTripOutput2->show();
        ui->pFreqOutput2->hide();
        break;
    case DualTypeChoice::Frequency:
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
    if (choice(ChoiceId::rgDualOutput)->checkedId() == DualOutputChoice::Dual) {
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

} // namespace hvx
