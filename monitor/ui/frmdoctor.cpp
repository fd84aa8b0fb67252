// The main window: construction, event wiring and its load sequence.
#include "monitor/ui/frmdoctor.h"

#include "monitor/alarms/data_log.h"
#include "monitor/boards/board_tables.h"
#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/startup/about_text.h"
#include "monitor/startup/chk_mb_model.h"
#include "monitor/startup/system_information.h"

namespace veltrix::monitor {

frmdoctor::frmdoctor(Program& program) : forms::Form(program.App(), "frmdoctor"), program_(program) {
  WireChannelEvents();
  WireAlarmEvents();
  WireSettingEvents();
  WireGraphEvents();
  WireTrayWindowEvents();
  WireCdromEvents();
  WireFanControlEvents();
}

void frmdoctor::WireChannelEvents() {
  Timer1.OnTimer = [this] { Timer1_Timer(); };
  Timer3.OnTimer = [this] { Timer3_Timer(); };
  for (int i = 0; i < kVoltageCount; ++i) {
    updHiLimit[i].OnChange = [this, i] { updHiLimit_Change(i); };
    updLoLimit[i].OnChange = [this, i] { updLoLimit_Change(i); };
  }
  for (int k = 0; k < kTempCount; ++k) {
    updTempHiLimit[k].OnChange = [this, k] { updTempHiLimit_Change(k); };
    updTempLoLimit[k].OnChange = [this, k] { updTempLoLimit_Change(k); };
    lblStatusT[k].OnChange = [this, k] { MoveTempThumb(k, CaptionValue(lblStatusT[k].Caption.Get())); };
  }
  for (int j = 0; j < kFanCount; ++j) {
    updFanLoLimit[j].OnChange = [this, j] { updFanLoLimit_Change(j); };
  }
}

void frmdoctor::Form_Load() {
  auto& g = program_.G();

  // Per-fan stop detection starts clean: no fan was seen stopped, so a fan that is dead from
  // power-on alarms on the first tick. The temperature path is not known yet.
  for (int j = 0; j < kFanCount; ++j) {
    FanStopLatch[j] = 0;
    LastFanCount[j] = 0;
  }
  AllTempPath = 0;
  FirstFanSelect = true;

  const std::string family = g.ModelName.substr(0, 2);
  if (family == "ZT" || family == "ZV") Check3.Enabled = false;

  Width = 8280;
  Height = 6540;
  ImageTitle.Height = 795;
  ImageTitle.Width = 8250;
  for (int k = 0; k < kTempCount; ++k) sldTemp[k].Height = 400;
  for (int i = 0; i < kVoltageCount; ++i) SldVoltage[i].Height = 400;

  Load_Proc();

  // Fan control and CD-ROM state, then the page's "OK" once, silently: it starts the chosen
  // method or puts every fan at full output.
  LoadFANControlSetting();
  ReadFanControl();
  RecordFanControl();
  LoadCDROMControlSetting();
  FanTimer.Enabled = true;
  SmartTickCount = 6;  // the smart method adjusts on its first call
  FanDialogOpen = false;
  cmdSelect_Click(0);

  if (Check5.Value == 1) WriteLogTitle(program_);

  LimitsReady = 0;
  for (int k = 0; k < kTempCount; ++k) updTempLoLimit[k].Visible = false;
  StopMonitoring(program_);
  if (g.ModelName == boards::Zv50Model() || g.ChipId == kChipW83697HF) LineN5V.Visible = true;

  ShowBoardItems();
  RefreshItemRows();

  init_Voltage_items();
  Init_Fan_Items();
  Init_Temp_Items();
  ApplyTempCaptionPresets();
  ProcessCPUFanFirst();

  Timer1.Enabled = true;
  LimitsReady = -1;
  StartMonitoring(program_);

  MultiLanguage();
  ModelLabelActions actions;
  actions.ChangeLabelFan = [this] { ChangeLabelFan(); };
  actions.ChangeLabelTemp = [this] { ChangeLabelTemp(); };
  actions.ExchangeCPUAndSystemTempLabel = [this] { ExchangeCPUAndSystemTempLabel(); };
  actions.ChangeLabelTempForZT50 = [this] { ChangeLabelTempForZT50(); };
  actions.SetFanLabel = [this](int n, const std::string& caption) { lblFanItem[n].Caption = caption; };
  actions.SetTempLabel = [this](int n, const std::string& caption) { lblTempItem[n].Caption = caption; };
  ChkMBModel(program_, actions);
  LoadGeneralSettings();
  CheckFirstTime();
  FillSystemInformation(program_);
  LoadAboutText(program_);

  updTempHiLimit_Change(0);
  updTempHiLimit_Change(1);
  if (WEnable[kFirstTempItem + 2] == 1) updTempHiLimit_Change(2);

  CheckSupportFanControlFromModel();
  SetFanAnimation(CpuFanPercent);
}

}  // namespace veltrix::monitor
