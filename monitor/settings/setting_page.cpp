// The handlers of the "Setting" and "Monitoring" pages, the tab strip, and the two buttons
// under every page: "Save" and "Load Default".
#include <initializer_list>

#include "monitor/alarms/alarm_windows.h"
#include "monitor/alarms/data_log.h"
#include "monitor/channels/fan_output.h"
#include "monitor/chip/superio.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/settings/general_settings.h"
#include "monitor/startup/frm_init.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

namespace {

// Timer1's interval while "Load Default" shows the splash: short, so the first tick after the
// reset closes it soon.
constexpr int kSplashIntervalMs = 800;
// The chip needs this long after monitoring restarts before the first fan count is valid.
constexpr int kMonitorSettleMs = 500;

}  // namespace

void frmdoctor::WireSettingEvents() {
  Check3.OnClick = [this] { Check3_Click(); };
  Check5.OnClick = [this] { Check5_Click(); };
  SldInterval.OnChange = [this] { SldInterval_Change(); };
  for (int i = 0; i < kItemCount; ++i) {
    ChkBeep[i].OnClick = [this, i] { ChkBeep_Click(i); };
    chkEnable[i].OnClick = [this, i] { chkEnable_Click(i); };
  }
  SSTabMain.OnTabClick = [this](int previousTab) { SSTabMain_Click(previousTab); };
  cmdSave.OnClick = [this] { cmdSave_Click(); };
  cmdDefault.OnClick = [this] { cmdDefault_Click(); };
}

void frmdoctor::Check3_Click() {
  if (Check3.Value == 0) Timer1.Interval = kUnsampledIntervalMs;
}

void frmdoctor::Check5_Click() {
  if (Check5.Value == 1) WriteLogTitle(program_);
}

void frmdoctor::SldInterval_Change() {
  // Takes effect at once; stored only by "Save".
  if (const auto period = PollingPeriodTable(SldInterval.Value, PollingColumn::kMoved))
    Timer1.Interval = *period;
}

void frmdoctor::ChkBeep_Click(int i) {
  WBeep[i] = ChkBeep[i].Value == 1 ? 1 : 0;
  ApplyBeepSettings();
}

void frmdoctor::chkEnable_Click(int i) {
  // While the rows are being set up (start-up, "Load Default") the boxes only mirror the
  // flags being installed; taking them back as edits would re-enable items that the store
  // has switched off.
  if (LimitsReady == 0) return;
  const bool on = chkEnable[i].Value == 1;
  if (on && ItemBeepCapable[i] == 1) ChkBeep[i].Visible = true;
  if (!on) {
    ChkBeep[i].Visible = false;
    CloseWarning(static_cast<std::int16_t>(i));
  }
  WEnable[i] = on ? 1 : 0;
  RefreshItemRows();
  ApplyBeepSettings();
}

void frmdoctor::SSTabMain_Click(int /*previousTab*/) {
  const int tab = SSTabMain.Tab;
  if (tab == layout::kPageHushwind) {
    DisplayMonitorItems();
    FanControlFunction();
    ReadFanControl();
    ShowCurrentFanControlMethod();
  } else if (tab == layout::kPageMonitoring) {
    DisplayMonitorItems();
  }
}

void frmdoctor::cmdSave_Click() {
  auto& reg = program_.Reg();
  // One durable write for the whole page; a store that cannot keep it undoes all of it.
  reg.BeginBatch();
  SaveLimitStore();
  SaveGeneralSettings();
  SaveFANControlSetting();
  SaveCDROMControlToReg();
  if (reg.EndBatch() != platform::ERROR_SUCCESS) {
    program_.Sys().MsgBox("Save setting failed !", platform::vbOKOnly | platform::vbCritical, "Error");
    return;
  }
  program_.Sys().MsgBox("Save completed !", platform::vbOKOnly | platform::vbInformation, "Message");
}

void frmdoctor::cmdDefault_Click() {
  UnloadAlarmDialogs(program_);

  // Fan stop detection starts over, as at start-up: a fan that is stopped now alarms.
  for (int j = 0; j < kFanCount; ++j) {
    FanStopLatch[j] = 0;
    LastFanCount[j] = 0;
  }

  const int interval = Timer1.Interval;
  Timer1.Interval = kSplashIntervalMs;
  program_.frmInit().Show();

  SetFanSpeed(program_, 0, 100);
  SetFanSpeed(program_, 1, 100);
  if (program_.G().ChipFamily == kChipFamilyIte) SetFanSpeed(program_, 2, 100);
  CpuFanPercent = 100;
  SystemFanPercent = 100;

  // CD-ROM speed control off (the slider is disabled first, so nothing is sent), slider at
  // the "High Speed" end.
  chkControlCDROMSpeed.Value = 0;
  SldRotationSpeed.Value = kCdromSliderMax;
  DefaultFanControlStatus();
  DefaultFixControl(program_);
  DefaultMultipleControl(program_);
  DefaultSmartFan(program_);

  // The channel set-up of start-up, from the built-in limits instead of the stored ones.
  FanDialogOpen = false;
  Timer1.Enabled = false;
  LimitsReady = 0;
  StopMonitoring(program_);
  LoadLimitDefaults();
  ShowBoardItems();
  RefreshItemRows();
  init_Voltage_items();
  Init_Fan_Items();
  Init_Temp_Items();
  HideDisabledChassisRow();
  ApplyBeepSettings();
  StartMonitoring(program_);
  App().Sched().Sleep(kMonitorSettleMs);
  ProcessCPUFanFirst();
  LimitsReady = -1;

  Timer1.Enabled = true;
  Timer1.Interval = interval;

  SldInterval.Value = 1;
  for (forms::CheckBox* box : {&Check1, &Check2, &Check3, &Check4, &Check5}) box->Value = 0;

  updTempHiLimit_Change(0);
  updTempHiLimit_Change(1);
  if (ItemPresent[kFirstTempItem + 2] == 1) updTempHiLimit_Change(2);

  ShowCurrentFanControlMethod();
  // Nothing is written: the defaults become the stored settings only with "Save".
}

}  // namespace veltrix::monitor
