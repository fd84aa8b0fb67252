// The smart method's dialog: two targets with arrows, a Close button, and the timer that runs
// the method while the dialog is open.
#include "monitor/fancontrol/smart_fan_dialog.h"

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {
constexpr float kStep = 0.5F;
constexpr float kLowest = 0.0F;
constexpr float kHighest = 100.0F;
// From this CPU temperature on, both fans run at full output whatever the method says.
constexpr float kOverrideCelsius = 55.0F;
}  // namespace

frmSmartFAN::frmSmartFAN(Program& program) : forms::Form(program.App(), "frmSmartFAN"), program_(program) {
  cmdOK.OnClick = [this] { cmdOK_Click(); };
  udCPURange.OnUpClick = [this] { StepTarget(lblCPUDefault, +1); };
  udCPURange.OnDownClick = [this] { StepTarget(lblCPUDefault, -1); };
  udSystemRange.OnUpClick = [this] { StepTarget(lblSystemDefault, +1); };
  udSystemRange.OnDownClick = [this] { StepTarget(lblSystemDefault, -1); };
  SmartFanTimer.OnTimer = [this] { SmartFanTimer_Timer(); };
}

frmdoctor& frmSmartFAN::Main() {
  return program_.frmdoctor();
}

void frmSmartFAN::InitializeComponent() {
  Caption = "Smart FAN";
  BorderStyle = 3;  // fixed dialog
  Move(0, 0, 3960, 2340);
  Label1.Move(240, 150, 3480, 285);
  Label1.Caption = "Target temperature (\xC2\xB0"
                   "C)";
  Label1.FontBold = true;
  const struct {
    forms::Label& name;
    forms::Label& value;
    forms::UpDown& arrows;
    const char* caption;
    int top;
  } rows[] = {{Label3, lblCPUDefault, udCPURange, "CPU", 600}, {Label4, lblSystemDefault, udSystemRange, "System", 1080}};
  for (const auto& row : rows) {
    row.name.Move(360, row.top + 45, 1200, 285);
    row.name.Caption = row.caption;
    row.value.Move(1680, row.top, 900, 375);
    row.value.Caption = "0.0";
    row.value.Alignment = 1;
    row.value.BorderStyle = 1;
    row.value.BackColor = forms::kColorWhite;
    row.arrows.Move(2580, row.top, 255, 375);
    // The arrows act on the label beside them; their own value is never used.
    row.arrows.Min = 0;
    row.arrows.Max = 10;
    row.arrows.Value = 5;
  }
  cmdOK.Move(1320, 1680, 1200, 375);
  cmdOK.Caption = "Close";
  SmartFanTimer.Enabled = false;
  SmartFanTimer.Interval = 1000;
}

void frmSmartFAN::Form_Load() {
  exiting_ = false;
  Main().FanTimer.Enabled = false;
  ReadSmartControl(program_);
}

void frmSmartFAN::Form_Unload(int& /*cancel*/) {
  ExitSmartFanMode();
}

void frmSmartFAN::RecordSmartControl() {
  const char separator = program_.Sys().DecimalSeparator();
  if (const auto cpu = TextNumber(lblCPUDefault.Caption.Get(), separator)) Main().SmartCPUFanDefault = *cpu;
  if (const auto system = TextNumber(lblSystemDefault.Caption.Get(), separator))
    Main().SmartSystemFanDefault = *system;
}

void frmSmartFAN::ExitSmartFanMode() {
  // Once per closing: Close unloads the dialog, and the unload comes back here.
  if (exiting_) return;
  exiting_ = true;
  Main().FanDialogOpen = false;
  Main().FanTimer.Enabled = true;
  SmartFanTimer.Enabled = false;
  Unload();
}

void frmSmartFAN::cmdOK_Click() {
  ExitSmartFanMode();
}

void frmSmartFAN::StepTarget(forms::Label& target, int direction) {
  const auto shown = TextNumber(target.Caption.Get(), program_.Sys().DecimalSeparator());
  if (!shown) return;
  if (direction < 0 && *shown > kLowest) target.Caption = Format1(*shown - kStep);
  if (direction > 0 && *shown < kHighest) target.Caption = Format1(*shown + kStep);
  RecordSmartControl();
}

void frmSmartFAN::SmartFanTimer_Timer() {
  frmdoctor& main = Main();
  if (main.TemperatureOf(1) >= kOverrideCelsius) {
    SetFanSpeed(program_, 0, 100);
    SetFanSpeed(program_, 1, 100);
    main.CpuFanPercent = 100;
    main.SystemFanPercent = 100;
    return;
  }
  main.FanControlCentral(kFanMethodSmart);
}

}  // namespace veltrix::monitor
