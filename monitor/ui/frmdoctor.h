#pragma once
// frmdoctor: the main window. It holds every control of its eight pages and all monitoring
// state the program keeps for its whole run (item flags, channel records, fan-control state).
//
// Item indexes (16): 0..8 voltages, 9..11 fans (fan j = item 9 + j), 12..14 temperatures
// (temperature k = item 12 + k), 15 chassis intrusion.
//
// The routines of each subsystem are members defined in that subsystem's folder:
// monitor/channels (monitoring cycle, voltages, temperatures, fans, limits, fan output),
// monitor/alarms (warnings, dialogs, beeps, chassis, log), monitor/settings, monitor/ui.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;

inline constexpr int kItemCount = 16;
inline constexpr int kVoltageCount = 9;
inline constexpr int kFanCount = 3;
inline constexpr int kTempCount = 3;
inline constexpr int kFirstFanItem = 9;
inline constexpr int kFirstTempItem = 12;
inline constexpr int kChassisItem = 15;
// Captions of the monitoring-configuration page share lblItemName with the voltage page:
// elements 0..8 are the voltage rows, 9..15 the other items, 24 - i the voltage item i.
inline constexpr int kItemNameCount = 25;

// FanControlMethod values.
inline constexpr std::int32_t kFanMethodMultiLevel = 0;
inline constexpr std::int32_t kFanMethodFixed = 1;
inline constexpr std::int32_t kFanMethodSmart = 2;
inline constexpr std::int32_t kFanMethodRecommended = 3;
inline constexpr std::int32_t kFanMethodNone = 999;

// One voltage channel: gauge ends and warning window in volts, Factor in volts per count.
struct VoltageChannelRecord {
  float LoBound = 0.0F;
  float HiBound = 0.0F;
  float LoLimit = 0.0F;
  float HiLimit = 0.0F;
  float Factor = 0.0F;
};
// One fan channel: the clock divisor of the RPM formula and the limit count (a fan is too
// slow when its count exceeds the limit).
struct FanChannelRecord {
  std::int16_t Fan_Divisor = 0;
  std::int16_t Fan_Limit = 0;
};
// One temperature channel, degrees Celsius.
struct TempChannelRecord {
  float Temp_LoLimit = 0.0F;
  float Temp_HiLimit = 0.0F;
};

using ItemFlags = std::array<std::uint8_t, kItemCount>;

class frmdoctor : public forms::Form {
  template <typename T>
  using Array = forms::ControlArray<T>;

 public:
  explicit frmdoctor(Program& program);
  Program& Prog() { return program_; }

  // ==== window frame ============================================================================
  forms::Image ImageTitle{*this, "ImageTitle"};
  forms::TabStrip SSTabMain{*this, "SSTabMain"};
  forms::CommandButton cmdSave{*this, "cmdSave"};
  forms::CommandButton cmdDefault{*this, "cmdDefault"};
  forms::Timer Timer1{*this, "Timer1"};      // the monitoring cycle
  forms::Timer Timer3{*this, "Timer3"};      // settings-page housekeeping, 500 ms
  forms::Timer FanTimer{*this, "FanTimer"};  // the fan-control method in force, 1000 ms

  // ==== page 1 "Voltage" ========================================================================
  Array<forms::Label> lblItemName{*this, "lblItemName", kItemNameCount};
  Array<forms::UpDown> updLoLimit{*this, "updLoLimit", kVoltageCount};
  Array<forms::Label> LblLoLimit{*this, "LblLoLimit", kVoltageCount};
  Array<forms::Label> lblLoBound{*this, "lblLoBound", kVoltageCount};
  Array<forms::Slider> SldVoltage{*this, "SldVoltage", kVoltageCount};
  Array<forms::Label> lblHiBound{*this, "lblHiBound", kVoltageCount};
  Array<forms::Label> LblHiLimit{*this, "LblHiLimit", kVoltageCount};
  Array<forms::UpDown> updHiLimit{*this, "updHiLimit", kVoltageCount};
  Array<forms::Label> lblStatusV{*this, "lblStatusV", kVoltageCount};
  Array<forms::Label> lblV{*this, "lblV", kVoltageCount};
  Array<forms::Label> lblVoltHeading{*this, "lblVoltHeading", 4};
  forms::LineControl LineN5V{*this, "LineN5V"};  // strikes out the -5V row on boards without it

  // ==== page 2 "Temp/Fan/Chassis" ===============================================================
  forms::Frame fraFanSpeed{*this, "fraFanSpeed"};
  forms::Label lblFanLimit{*this, "lblFanLimit"};  // heading of the low-limit column
  forms::Label lblUnit{*this, "lblUnit"};          // heading of the unit column
  Array<forms::Label> lblFanItem{*this, "lblFanItem", kFanCount};
  Array<forms::UpDown> updFanLoLimit{*this, "updFanLoLimit", kFanCount};
  Array<forms::Label> lblFanLoLimit{*this, "lblFanLoLimit", kFanCount};
  Array<forms::ProgressBar> prbFanSpeed{*this, "prbFanSpeed", kFanCount};
  Array<forms::Label> lblFanSpeed{*this, "lblFanSpeed", kFanCount};
  Array<forms::Label> lblFanUnit{*this, "lblFanUnit", kFanCount};
  forms::AnimatedGif AniGif1{*this, "AniGif1"};  // the CPU fan, animated at its drive level

  forms::Frame fraTemperature{*this, "fraTemperature"};
  Array<forms::Label> lblTempItem{*this, "lblTempItem", kTempCount};
  Array<forms::UpDown> updTempLoLimit{*this, "updTempLoLimit", kTempCount};
  Array<forms::Label> lblTempLoLimit{*this, "lblTempLoLimit", kTempCount};
  Array<forms::Label> lblTempLoBound{*this, "lblTempLoBound", kTempCount};
  Array<forms::Slider> sldTemp{*this, "sldTemp", kTempCount};
  Array<forms::Label> lblTempHiBound{*this, "lblTempHiBound", kTempCount};
  Array<forms::Label> lblTempHiLimit{*this, "lblTempHiLimit", kTempCount};
  Array<forms::UpDown> updTempHiLimit{*this, "updTempHiLimit", kTempCount};
  Array<forms::Label> lblStatusT{*this, "lblStatusT", kTempCount};
  Array<forms::Label> lblT{*this, "lblT", kTempCount};
  Array<forms::PictureBox> picTemp{*this, "picTemp", kTempCount};    // thermometer, 0..100 °C
  Array<forms::PictureBox> picThumb{*this, "picThumb", kTempCount};  // the reading on it
  forms::LineControl LineTemp{*this, "LineTemp"};                    // the high limit on it

  forms::Frame Frame2{*this, "Frame2"};  // the chassis-intrusion frame
  forms::OptionButton optCaseOpened{*this, "optCaseOpened"};
  forms::Label lblCaseOpen{*this, "lblCaseOpen"};

  // ==== page 6 "Monitoring" (Monitoring Config.) ================================================
  forms::Frame fraMonitorConfig{*this, "fraMonitorConfig"};
  Array<forms::Label> lblItemHeader{*this, "lblItemHeader", 2};  // "Item" over each column of names
  Array<forms::Label> lblConfigHeading{*this, "lblConfigHeading", 4};
  Array<forms::CheckBox> chkEnable{*this, "chkEnable", kItemCount};
  Array<forms::CheckBox> ChkBeep{*this, "ChkBeep", kItemCount};

  // ==== page 7 "Setting" ========================================================================
  forms::Frame fraSetting{*this, "fraSetting"};
  forms::CheckBox Check1{*this, "Check1"};  // run when Windows starts
  forms::CheckBox Check2{*this, "Check2"};  // shut down when an alarm dialog opens
  forms::CheckBox Check3{*this, "Check3"};  // use the sampling period slider
  forms::CheckBox Check4{*this, "Check4"};  // start as a tray icon
  forms::CheckBox Check5{*this, "Check5"};  // save sampling data to the log file
  forms::Slider SldInterval{*this, "SldInterval"};
  forms::Label LblSec{*this, "LblSec"};                      // "Sec." beside the slider
  forms::CommandButton cmdDeleteLog{*this, "cmdDeleteLog"};  // "Clear Log", beside Check5

  // ==== page 3 "Hushwind": fan speed control ===================================================
  forms::Label Label8{*this, "Label8"};                    // page title: "Hushwind" or "Veltrix III"
  forms::Image imgHushwindLogo{*this, "imgHushwindLogo"};  // the feature's fan picture
  forms::CheckBox chkEnableFanControl{*this, "chkEnableFanControl"};
  forms::Frame framFanControl{*this, "framFanControl"};
  Array<forms::OptionButton> rFANMethod{*this, "rFANMethod", 4};       // indexed by FanControlMethod
  Array<forms::CommandButton> btnMethodSet{*this, "btnMethodSet", 3};  // "Setting" of methods 0..2
  Array<forms::CommandButton> cmdSelect{*this, "cmdSelect", 2};        // 0 "OK", 1 "Cancel"
  forms::Label lblCurrentControlMethod{*this, "lblCurrentControlMethod"};
  forms::TextBox txtCurrentControlMethod{*this, "txtCurrentControlMethod"};
  forms::Label lblHushwindMessage{*this, "lblHushwindMessage"};  // boards without fan control

  // ==== page 3 "Hushwind": CD-ROM rotation speed ================================================
  forms::CheckBox chkControlCDROMSpeed{*this, "chkControlCDROMSpeed"};
  forms::Label lblLowSpeed{*this, "lblLowSpeed"};
  forms::Label lblHighSpeed{*this, "lblHighSpeed"};
  forms::Slider SldRotationSpeed{*this, "SldRotationSpeed"};  // 0..26; the drives get 2 × position
  // Their handlers and store (monitor/fancontrol/cdrom_control.cpp); the scan itself is
  // ModuleASPI's (monitor/fancontrol/cdrom_speed.h).
  void chkControlCDROMSpeed_Click();
  void SldRotationSpeed_Change();
  void LoadCDROMControlSetting();
  void SaveCDROMControlToReg();
  // The fan timer's CD-ROM step: while the box is checked, the slider's speed to every drive.
  void CdromSpeedTick();

  // ==== page 4 "System" (monitor/ui/frmdoctor_layout_system.cpp) ===============================
  forms::Image KorvanaLogo{*this, "KorvanaLogo"};  // the page's title picture, by language
  // Captions of the rows, set by MultiLanguage.
  forms::Label lblUser{*this, "lblUser"};
  forms::Label lblCPU{*this, "lblCPU"};
  forms::Label lblMemory{*this, "lblMemory"};
  forms::Label lblModelName{*this, "lblModelName"};
  forms::Label lblOS{*this, "lblOS"};
  forms::Label lblOSVersion{*this, "lblOSVersion"};
  forms::Label lblBIOSVersion{*this, "lblBIOSVersion"};
  forms::Label lblBIOSDate{*this, "lblBIOSDate"};
  forms::Label lblCountry{*this, "lblCountry"};
  forms::Label lblIO{*this, "lblIO"};
  // Values of the rows, written by FillSystemInformation (monitor/startup/system_information.h).
  forms::Label lblUser_{*this, "lblUser_"};
  forms::Label lblCPU_{*this, "lblCPU_"};
  forms::Label lblMemory_{*this, "lblMemory_"};
  forms::Label lblModelName_{*this, "lblModelName_"};
  forms::Label lblOS_{*this, "lblOS_"};
  forms::Label lblOSVersion_{*this, "lblOSVersion_"};
  forms::Label lblBIOSVersion_{*this, "lblBIOSVersion_"};
  forms::Label lblBIOSDate_{*this, "lblBIOSDate_"};
  forms::Label lblCountry_{*this, "lblCountry_"};
  forms::Label lblIO_{*this, "lblIO_"};

  // ==== page 0 "Graphic": the graph windows (monitor/ui/graphs) ================================
  forms::Frame fraGraphSetting{*this, "fraGraphSetting"};
  Array<forms::Label> lblGraphSetting{*this, "lblGraphSetting", 4};  // what each button opens
  Array<forms::CommandButton> btnGraphSet{*this, "btnGraphSet", 4};  // "Show"
  // 0..2 restart a time graph empty; 3 restarts the fan-against-temperature graph when it is
  // on screen, otherwise only shows it.
  void btnGraphSet_Click(int index);
  // The graph windows, created on first use (monitor/ui/graphs/graph_windows.h).
  struct GraphWindows;
  std::shared_ptr<GraphWindows> graphWindows;

  // ==== page 5 "About" (monitor/ui/frmdoctor_layout_about.cpp) =================================
  forms::Frame frmTitle{*this, "frmTitle"};  // the product's name, over version, date and systems
  forms::Label lblVersion{*this, "lblVersion"};
  forms::Label lblRelease{*this, "lblRelease"};
  forms::Label lblSupport{*this, "lblSupport"};
  forms::Label lblPS{*this, "lblPS"};
  forms::TextBox AboutText{*this, "AboutText"};  // the readme, filled by LoadAboutText

  // ==== monitoring state (channels) =============================================================
  ItemFlags WEnable{};
  ItemFlags WErr1{};
  ItemFlags WErr3{};
  ItemFlags WBeep{};
  ItemFlags ItemPresent{};
  ItemFlags ItemBeepCapable{};
  ItemFlags SavedWEnable{};
  ItemFlags SavedWBeep{};
  std::array<VoltageChannelRecord, kVoltageCount> VoltageChannel{};
  std::array<FanChannelRecord, kFanCount> FanChannel{};
  std::array<TempChannelRecord, kTempCount> TempChannel{};

  std::array<std::uint8_t, 4> LastFanCount{};  // 0 until a fan is read: a first stop alarms
  std::array<std::int16_t, 4> FanStopLatch{};  // -1: a stop not yet reported
  std::int16_t FanLimitReady = -1;             // 0 while Init_Fan_Items writes a spin value
  std::int16_t LimitsReady = 0;                // 0 while the rows are being set up
  std::int16_t AllTempPath = 0;                // -1 once ProcessAllTemperature has run

  // ==== channels: monitoring cycle ==============================================================
  void Timer1_Timer();
  void Timer3_Timer();
  void Check_Config();
  void RefreshItemRows();
  void ShowBoardItems();
  void HideDisabledChassisRow();
  void DisplayMonitorItems();
  // Called at the end of every monitoring tick (front ends print the readings from it).
  std::function<void()> AfterTick;

  // ==== channels: voltages ======================================================================
  void ProcessVoltage();
  void MappingWinbondVoltageSetting();
  void MappingITEVoltageTable_1();
  void MappingITEVoltageTable_2();
  void MappingITEVoltageTable_3();
  void MappingITEVoltageTable_4();
  float CalRealNegVoltage(std::int16_t item, std::int16_t count);
  std::int16_t TransVoltageToLimitReg(std::int16_t item, float volts);
  void init_Voltage_items();
  void init_Voltage_items_For_Winbond_SuperIO();
  void init_Voltage_items_For_Dravel_With_SDRAM();
  void init_Voltage_items_For_Korvana_With_DDR();
  void init_Voltage_items_For_Dravel_With_DDR_UPDATED();
  // Whether voltage item i of this board is a negative rail (volts by formula, not Factor).
  bool IsNegativeRail(int item) const;

  // ==== channels: temperatures ==================================================================
  void ChkModuleTemperature();
  void ProcessAllTemperature();
  void ProcessTemperatureCPU2_Sys1_Pin();
  void ProcessTemperatureCPU3_Sys1_Pin();
  void Init_Temp_Items();
  void Init_Temp_Items_For_Winbond(int k);
  void Init_Temp_Items_For_ITE(int k);
  void Update_Temp_For_ITE(int k);
  void Update_Temp_For_Winbond(int k);
  void MoveTempThumb(int k, double degrees);
  void MoveTempLine(int k, double degrees);
  void ChangeLabelTemp();
  void ChangeLabelTempForZT50();
  void ExchangeCPUAndSystemTempLabel();

  // ==== channels: fans ==========================================================================
  void Init_Fan_Items();
  void ProcessFan();
  bool FanStop(int fan, std::uint8_t output);
  void SetProgressForFanSpeed(int fan, std::uint8_t count);
  void ProcessCPUFanFirst();
  void ChangeLabelFan();
  void ProcessFanForDisableFanMethod(int fan, std::uint8_t count, std::uint8_t output);
  void ProcessFanForMultiMethod(int fan, std::uint8_t count);
  void ProcessFanForFixMethod(int fan, std::uint8_t count);
  void ProcessFanForRecommendedMethod(int fan, std::uint8_t count);
  // The speed the count gives, unless it is 8000 RPM or more (counting noise at low output).
  void ShowCountedSpeed(int fan, std::uint8_t count);
  void SetFanAnimation(int percent);  // AniGif1 of this window
  // RPM of a fan count with the channel's divisor; 0 when the count or divisor is 0.
  double FanRpm(int fan, std::uint8_t count) const;

  // ==== channels: limit store and limit editing =================================================
  void BuildBoardItemTable();
  void LoadLimitStore();
  void LoadLimitDefaults();
  void SaveLimitStore();
  void updHiLimit_Change(int i);
  void updLoLimit_Change(int i);
  void updTempHiLimit_Change(int k);
  void updTempLoLimit_Change(int k);
  void updFanLoLimit_Change(int j);
  // The model-specific "60.00" presets of lblTempHiLimit and the gauge positions they give.
  void ApplyTempCaptionPresets();

  // ==== alarms, chassis and log (monitor/alarms) ================================================
  std::array<std::int16_t, kItemCount> WarnCount{};
  void ShowWarning(std::int16_t index);
  void CloseWarning(std::int16_t index);
  void ApplyBeepSettings();
  // The alarm dialogs, the chassis dialog and the log's writer, created on first use
  // (monitor/alarms/alarm_windows.h).
  struct AlarmWindows;
  std::shared_ptr<AlarmWindows> alarmWindows;

  // ==== fan control (monitor/fancontrol) =======================================================
  // True when ModelName is one of the boards with fan speed control.
  bool CheckSupportFANControl();
  bool FanControlEnabled = false;
  std::int32_t FanControlMethod = kFanMethodNone;
  std::int16_t CpuFanPercent = 100;            // last output of fan 0 in percent (display, animation)
  std::int16_t SystemFanPercent = 100;         // the same for fan 1
  bool FanDialogOpen = false;                  // a method's dialog is in use: no fan alarms
  bool FirstFanSelect = true;                  // the start-up "OK" shows no message
  std::array<std::int16_t, 3> FullSpeedRpm{};  // each fan at full output; 0 = not measured
  // Fixed method: the two outputs in percent (multiples of 5).
  std::int32_t FixCPUFanSpeed = 100;
  std::int32_t FixSystemFanSpeed = 100;
  // Multiple-level method: six thresholds (°C, ascending) and their outputs (percent) per fan.
  std::array<float, 6> MultiCPUFanTemp{25.0F, 30.0F, 35.0F, 40.0F, 45.0F, 50.0F};
  std::array<std::int32_t, 6> MultiCPUFanSpeed{100, 100, 100, 100, 100, 100};
  std::array<float, 6> MultiSystemFanTemp{25.0F, 30.0F, 35.0F, 40.0F, 45.0F, 50.0F};
  std::array<std::int32_t, 6> MultiSystemFanSpeed{100, 100, 100, 100, 100, 100};
  // Smart method: target temperatures (°C), current outputs (percent), the temperatures of the
  // last adjustment and the ticks since then (it adjusts every sixth call).
  float SmartCPUFanDefault = 0.0F;
  float SmartSystemFanDefault = 0.0F;
  std::int16_t SmartCpuPercent = 0;
  std::int16_t SmartSystemPercent = 0;
  float LastCpuTemp = 0.0F;
  float LastSystemTemp = 0.0F;
  std::int32_t SmartTickCount = 6;

  // The page and the dispatch (fan_control_page.cpp, fan_dispatch.cpp).
  void CheckSupportFanControlFromModel();
  void FanControlFunction();
  void ReadFanControl();
  void RecordFanControl();
  void DefaultFanControlStatus();
  void ShowCurrentFanControlMethod();
  void CloseAllFanControlMenu();
  void chkEnableFanControl_Click();
  void rFANMethod_Click(int i);
  void btnMethodSet_Click(int i);
  void cmdSelect_Click(int i);
  void FanTimer_Timer();
  void FanControlCentral(std::int32_t method);
  void MultiFanControl();  // one step of the multiple-level method from the stored curves
  void SmartFanControl();  // one step of the smart method
  // Persistence in the FANControl key (fan_control_store.cpp).
  void LoadFANControlSetting();
  void LoadFanControlFromReg();
  void SaveFANControlSetting();
  void SaveFanControlToReg();
  // A temperature as the fan methods read it: the caption of lblStatusT(k) as a number.
  float TemperatureOf(int k) const;
  // The temperature item the CPU fan follows: the third one on boards that have it (unless
  // every temperature is read by the all-temperature routine), else the CPU temperature.
  int CpuFanTempItem() const;
  // The fan-control dialogs, created on first use (monitor/fancontrol/fan_windows.h).
  struct FanWindows;
  std::shared_ptr<FanWindows> fanWindows;

  // ==== settings and language (monitor/settings, monitor/ui/multi_language.cpp) ================
  // The settings store and the "Setting" page.
  void LoadGeneralSettings();
  void SaveGeneralSettings();
  void CheckFirstTime();
  void ApplySettingState();  // Timer3's settings step
  // Hides the window to the tray; minimises it where the desktop has no tray.
  void HideMainWindow();
  bool NoTrayExplained = false;  // the user was told why the window is on the task bar
  // Handlers of the settings and monitoring-configuration pages and of the tab strip.
  void Check3_Click();
  void Check5_Click();
  void SldInterval_Change();
  void ChkBeep_Click(int i);
  void chkEnable_Click(int i);
  void SSTabMain_Click(int previousTab);
  void cmdSave_Click();
  void cmdDefault_Click();
  // Captions of the main window in the chosen language.
  void MultiLanguage();
  // The sampling-period scale under SldInterval, one caption per position (seconds).
  Array<forms::Label> lblIntervalScale{*this, "lblIntervalScale", 10};
  void WireSettingEvents();  // called by the constructor

  // ==== tray and window (monitor/startup/tray_window.cpp) =======================================
  forms::CommandButton cmdExit{*this, "cmdExit"};
  forms::PictureBox picMin{*this, "picMin"};    // skin button: hide to the tray
  forms::PictureBox picExit{*this, "picExit"};  // skin button: exit
  forms::Menu mnuView{*this, "mnuView"};        // the tray menu (hidden top-level menu)
  forms::Menu mnuShow{*this, "mnuShow"};
  forms::Menu mnuExit{*this, "mnuExit"};
  forms::Menu iconMenu{*this, "iconMenu"};
  forms::Menu IconMenuRestore{*this, "IconMenuRestore"};
  forms::Menu IconMenuExit{*this, "IconMenuExit"};
  std::int32_t PrevWindowProc = 0;   // the window procedure Load_Proc replaced
  std::int32_t WindowProcValue = 0;  // WindowProc as registered with the shell (once)
  void Load_Proc();
  void Unload_Proc();
  // Screen pixels inside ImageTitle (strictly), for the title-bar hit test.
  bool IsInImage(std::int16_t x, std::int16_t y);
  // Design-time state of the window buttons and the tray menus (set once, kept by every Load).
  void DesignTrayWindowControls();
  // The exit buttons, the tray menu's entries, the minimise picture and the window procedure
  // (monitor/startup/tray_window.cpp); called by the constructor.
  void WireTrayWindowEvents();
  // Closed from the desktop (window manager, Alt+F4): ExitProgram first.
  void Form_QueryUnload(int& cancel, int unloadMode) override;
  void Form_Unload(int& cancel) override;  // Unload_Proc

 protected:
  void InitializeComponent() override;
  void Form_Load() override;

 private:
  // Layout of each page (frmdoctor_layout_*.cpp).
  void LayoutFrame();
  void LayoutVoltagePage();
  void LayoutTempFanPage();
  void LayoutMonitoringPage();
  void LayoutSettingPage();
  void LayoutGraphicPage();
  void LayoutSystemPage();
  void LayoutAboutPage();
  void LayoutCdromControls();  // page 3, below the fan-control controls
  void WireCdromEvents();
  void LayoutHushwindPage();
  void WireChannelEvents();
  void WireFanControlEvents();  // monitor/fancontrol/fan_control_page.cpp
  void WireAlarmEvents();       // monitor/alarms/alarm_windows.cpp
  void WireGraphEvents();       // monitor/ui/graphs/graph_page.cpp

  // Shared pieces of the voltage routines (voltage.cpp).
  void SampleVoltage(int item, std::uint8_t count, bool negative);
  void JudgeVoltage(int item, int count);
  void SetUpVoltageRows();
  void SetUpVoltageRow(int item, bool negative);
  void WriteVoltageLimits(int item, int hiCount, int loCount);
  void OpenUnusedVoltageLimits();
  // Shared reading of the three temperature routines (temperature.cpp).
  enum class TempRule { kWindow, kCaption };
  void ProcessTemperatures(bool allTemperatureRules);
  void InitTempRow(int k, int scale, bool winbond);
  TempRule TempRuleOf(int k) const;               // how row k is judged on this board
  int TempSensorOf(int k) const;                  // the chip temperature (0..2) row k is read from
  int TempUnitsPerDegree(int k) const;            // 2 for Winbond temperatures 1 and 2, else 1
  int CalibratedTempUnits(int k, int raw) const;  // the reading row k shows for a raw value
  // The chip's own temperature limits (temperature_limits.cpp).
  void WriteTempLimitsToChip();
  int JudgedTempTop(int k) const;
  int RawTempAtMost(int k, int units) const;
  std::array<bool, kTempCount> tempChipLowIsHigh_{};  // the last edit set both limits of the row

  Program& program_;
};

}  // namespace veltrix::monitor
