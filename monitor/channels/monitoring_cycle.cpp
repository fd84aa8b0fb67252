// The monitoring tick, the housekeeping tick and the routines that bring the rows of the
// monitor pages in line with the item flags.
#include "monitor/alarms/chassis.h"
#include "monitor/alarms/data_log.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

void frmdoctor::Timer1_Timer() {
  ProcessVoltage();
  ProcessFan();
  ChkModuleTemperature();
  monitor::ChkModuleCaseOpen(program_);
  RefreshItemRows();
  if (program_.G().ChipFamily == kChipFamilyWinbond) {
    // Reading the interrupt-status registers clears them so the chip's beep can trip again.
    SelectBank(program_, winbond::kBeepControl2.bank);
    ReadMonitorRegister(program_, winbond::kInterruptStatus1);
    ReadMonitorRegister(program_, winbond::kInterruptStatus2);
    const std::uint8_t beep = ReadMonitorRegister(program_, winbond::kBeepControl2.reg);
    WriteMonitorRegister(program_, winbond::kBeepControl2.reg,
                         static_cast<std::uint8_t>(beep | winbond::kGlobalBeepEnable));
  }
  program_.frmInit().Unload();  // the splash stays up until the first readings are shown
  if (Check5.Value == 1) monitor::WriteLogData(program_);
  program_.NoteMonitoringTick();
  if (AfterTick) AfterTick();
}

void frmdoctor::Timer3_Timer() {
  Check_Config();
  ApplySettingState();
}

void frmdoctor::Check_Config() {
  const int tab = SSTabMain.Tab;
  if (tab == 0 || tab == 4 || tab == 5) {
    cmdSave.Enabled = false;
    cmdDefault.Enabled = false;
  } else if (tab >= 1 && tab <= 7) {
    cmdSave.Enabled = true;
    cmdDefault.Enabled = true;
  }
}

void frmdoctor::RefreshItemRows() {
  for (int i = 0; i < kVoltageCount; ++i) {
    const bool on = WEnable[i] == 1;
    lblItemName[i].Enabled = on;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &updLoLimit[i], &LblLoLimit[i], &lblLoBound[i], &SldVoltage[i], &lblHiBound[i], &LblHiLimit[i],
             &updHiLimit[i], &lblStatusV[i], &lblV[i]}) {
      c->Visible = on;
    }
    chkEnable[i].Value = on ? 1 : 0;
  }
  for (int j = 0; j < kFanCount; ++j) {
    const bool on = WEnable[kFirstFanItem + j] == 1;
    lblFanItem[j].Enabled = on;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &updFanLoLimit[j], &lblFanLoLimit[j], &prbFanSpeed[j], &lblFanSpeed[j], &lblFanUnit[j]}) {
      c->Visible = on;
    }
  }
  for (int k = 0; k < kTempCount; ++k) {
    const bool on = WEnable[kFirstTempItem + k] == 1;
    lblTempItem[k].Enabled = on;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &lblTempLoLimit[k], &lblTempLoBound[k], &sldTemp[k], &lblTempHiBound[k], &lblTempHiLimit[k],
             &updTempHiLimit[k], &lblStatusT[k], &lblT[k], &picTemp[k], &picThumb[k]}) {
      c->Visible = on;
    }
  }
  const bool chassis = WEnable[kChassisItem] == 1;
  optCaseOpened.Visible = chassis;
  lblCaseOpen.Visible = chassis;
}

void frmdoctor::ShowBoardItems() {
  for (int i = 0; i < kVoltageCount; ++i) {
    const bool present = ItemPresent[i] == 1;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &updLoLimit[i], &LblLoLimit[i], &lblLoBound[i], &SldVoltage[i], &lblHiBound[i], &LblHiLimit[i],
             &updHiLimit[i], &lblStatusV[i], &lblV[i]}) {
      c->Visible = present;
    }
  }
  for (int j = 0; j < kFanCount; ++j) {
    const bool present = ItemPresent[kFirstFanItem + j] == 1;
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&lblFanItem[j], &updFanLoLimit[j], &lblFanLoLimit[j],
                                                &prbFanSpeed[j], &lblFanSpeed[j], &lblFanUnit[j]}) {
      c->Visible = present;
    }
  }
  for (int k = 0; k < kTempCount; ++k) {
    const bool present = ItemPresent[kFirstTempItem + k] == 1;
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &lblTempItem[k], &lblTempLoLimit[k], &lblTempLoBound[k], &sldTemp[k], &lblTempHiBound[k],
             &lblTempHiLimit[k], &updTempHiLimit[k], &lblStatusT[k], &lblT[k]}) {
      c->Visible = present;
    }
  }
  optCaseOpened.Visible = ItemPresent[kChassisItem] == 1;
  lblCaseOpen.Visible = ItemPresent[kChassisItem] == 1;
  for (int l = 0; l < kItemCount; ++l) {
    if (ItemPresent[l] == 1) {
      chkEnable[l].Enabled = true;
      chkEnable[l].Value = 1;
      ChkBeep[l].Visible = true;
      ChkBeep[l].Value = WBeep[l] == 1 ? 1 : 0;
      ChkBeep[l].Enabled = true;
    } else {
      chkEnable[l].Enabled = false;
      chkEnable[l].Value = 0;
      ChkBeep[l].Enabled = false;
      ChkBeep[l].Value = 0;
    }
  }
  if (FanControlMethod != kFanMethodNone) {
    for (int l = kFirstFanItem; l < kFirstFanItem + kFanCount; ++l) ChkBeep[l].Enabled = false;
  }
}

void frmdoctor::HideDisabledChassisRow() {
  if (WEnable[kChassisItem] == 0) {
    optCaseOpened.Visible = false;
    lblCaseOpen.Visible = false;
  }
}

void frmdoctor::DisplayMonitorItems() {
  for (int i = 0; i < kItemCount; ++i) {
    SavedWEnable[i] = WEnable[i];
    SavedWBeep[i] = WBeep[i];
    chkEnable[i].Value = WEnable[i] == 1 ? 1 : 0;
    ChkBeep[i].Value = WBeep[i] == 1 ? 1 : 0;
    if (ItemPresent[i] == 1) {
      lblItemName[i].Visible = true;
      chkEnable[i].Visible = true;
      ChkBeep[i].Visible = chkEnable[i].Value == 1 && ItemBeepCapable[i] == 1;
    } else {
      lblItemName[i].Visible = false;
      chkEnable[i].Visible = false;
      ChkBeep[i].Visible = false;
    }
  }
}

}  // namespace veltrix::monitor
