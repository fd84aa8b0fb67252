// The multiple-level method's dialog: its layout, its life (the main fan timer rests while it
// is open), OK / Cancel / close box, and the timer that runs the method from the live controls.
#include "monitor/fancontrol/multi_fan_dialog.h"

#include "monitor/channels/fan_output.h"
#include "monitor/channels/number_format.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr int kFrameTop = 120;
constexpr int kFrameWidth = 4080;
constexpr int kFirstRow = 600;
constexpr int kRowHeight = 420;
constexpr int kPercentPerPosition = 5;
constexpr float kOverrideCelsius = 55.0F;

std::string Tooltip(const forms::Slider& slider) {
  return BlankSignedNumber(static_cast<double>(slider.Value) / slider.Max * 100.0) + "%";
}

}  // namespace

frmMultiFAN::frmMultiFAN(Program& program) : forms::Form(program.App(), "frmMultiFAN"), program_(program) {
  WireCurve(CpuCurve());
  WireCurve(SystemCurve());
  btnOK.OnClick = [this] { btnOK_Click(); };
  btnCancel.OnClick = [this] { btnCancel_Click(); };
  MultiFanTimer.OnTimer = [this] { MultiFanTimer_Timer(); };
}

frmdoctor& frmMultiFAN::Main() {
  return program_.frmdoctor();
}

frmMultiFAN::Curve frmMultiFAN::CpuCurve() {
  frmdoctor& main = Main();
  return {textCPUTemp, udCPUTemp, sldCPUFanSpeed, main.MultiCPUFanTemp, main.MultiCPUFanSpeed,
          "The CPU temperature("};
}

frmMultiFAN::Curve frmMultiFAN::SystemCurve() {
  frmdoctor& main = Main();
  return {textSystemTemp, udSystemTemp, sldSystemFanSpeed, main.MultiSystemFanTemp, main.MultiSystemFanSpeed,
          "The system temperature("};
}

void frmMultiFAN::WireCurve(const Curve& c) {
  // The handlers look the curve up again: the arrays are this form's, the stored values the
  // main window's.
  const bool cpu = &c.text == &textCPUTemp;
  for (int i = 0; i < kPoints; ++i) {
    c.slider[i].OnChange = [this, cpu, i] { Slider_Change(cpu ? CpuCurve() : SystemCurve(), i); };
    c.text[i].OnChange = [this, cpu, i] { Text_Change(cpu ? CpuCurve() : SystemCurve(), i); };
    c.text[i].OnLostFocus = [this, cpu, i] { Text_LostFocus(cpu ? CpuCurve() : SystemCurve(), i); };
    c.arrows[i].OnUpClick = [this, cpu, i] { Arrow_UpClick(cpu ? CpuCurve() : SystemCurve(), i); };
    c.arrows[i].OnDownClick = [this, cpu, i] { Arrow_DownClick(cpu ? CpuCurve() : SystemCurve(), i); };
  }
}

void frmMultiFAN::InitializeComponent() {
  Caption = "Multiple Set FAN";
  BorderStyle = 3;  // fixed dialog
  Move(0, 0, 9360, 4860);
  for (int i = 0; i < kPoints; ++i) {
    lblStep[i].Move(120, kFrameTop + kFirstRow + i * kRowHeight + 45, 780, 285);
    lblStep[i].Caption = "Step" + std::to_string(i + 1);
    lblStep[i].FontBold = true;
  }
  LayOutCurve(fraCPUFan, lblCPUTempHeading, lblCPUStop, lblCPUFull, CpuCurve(), "CPU Fan", 960);
  LayOutCurve(fraSystemFan, lblSystemTempHeading, lblSystemStop, lblSystemFull, SystemCurve(), "System Fan",
              960 + kFrameWidth + 120);

  const int readingTop = kFrameTop + kFirstRow + kPoints * kRowHeight + 240;
  fraCPUTemp.Move(960, readingTop, kFrameWidth, 660);
  fraCPUTemp.Caption = "Current CPU Tempuratrue :";
  fraSystemTemp.Move(960 + kFrameWidth + 120, readingTop, kFrameWidth, 660);
  fraSystemTemp.Caption = "Current System Tempurature :";
  for (forms::Label* reading : {&lblCPUTemp, &lblSystemTemp}) {
    reading->SetContainer(reading == &lblCPUTemp ? &fraCPUTemp : &fraSystemTemp);
    reading->Move(240, 255, 900, 315);
    reading->Caption = "0.0";
    reading->Alignment = 2;
    reading->BorderStyle = 1;
    reading->BackColor = forms::kColorGreen;
  }

  const int buttonTop = readingTop + 780;
  btnOK.Move(9360 - 2 * 1320 - 120, buttonTop, 1200, 375);
  btnOK.Caption = "OK";
  btnCancel.Move(9360 - 1320, buttonTop, 1200, 375);
  btnCancel.Caption = "Cancel";
  Height = buttonTop + 375 + 180;

  MultiFanTimer.Enabled = false;
  MultiFanTimer.Interval = 1000;
}

void frmMultiFAN::LayOutCurve(forms::Frame& frame, forms::Label& heading, forms::Label& stop, forms::Label& full,
                              const Curve& c, const char* caption, int left) {
  frame.Move(left, kFrameTop, kFrameWidth, kFirstRow + kPoints * kRowHeight + 60);
  frame.Caption = caption;
  for (forms::Label* l : {&heading, &stop, &full}) l->SetContainer(&frame);
  heading.Move(120, 300, 900, 255);
  heading.Caption = "\xC2\xB0"
                    "C";
  heading.Alignment = 2;
  stop.Move(1140, 300, 1200, 255);
  stop.Caption = "Stop";
  full.Move(2760, 300, 1200, 255);
  full.Caption = "Full Speed";
  full.Alignment = 1;
  for (int i = 0; i < kPoints; ++i) {
    const int top = kFirstRow + i * kRowHeight;
    c.text[i].SetContainer(&frame);
    c.text[i].Move(120, top, 660, 330);
    c.text[i].MaxLength = 5;
    c.arrows[i].SetContainer(&frame);
    c.arrows[i].Move(780, top, 240, 330);
    // The arrows act on the text beside them; their own value is never used.
    c.arrows[i].Min = 0;
    c.arrows[i].Max = 10;
    c.arrows[i].Value = 5;
    c.slider[i].SetContainer(&frame);
    c.slider[i].Move(1140, top - 15, 2820, 360);
    c.slider[i].Min = 0;
    c.slider[i].Max = kSliderMax;
    c.slider[i].Value = kSliderMax;
    c.slider[i].ToolTipText = " 100%";
  }
}

void frmMultiFAN::Form_Load() {
  Main().FanTimer.Enabled = false;
  ShowCurves();
}

void frmMultiFAN::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  // The close box keeps the edits; an unload by the program does nothing more.
  if (unloadMode == vbFormControlMenu) ExitMultiFanMode();
}

void frmMultiFAN::ShowCurves() {
  // The stored curves are ordered already; the snap rules would fight a half-filled dialog.
  showing_ = true;
  for (const Curve& c : {CpuCurve(), SystemCurve()}) {
    for (int i = 0; i < kPoints; ++i) {
      const auto p = static_cast<std::size_t>(i);
      c.text[i].Text = Format1(c.thresholds[p]);
      c.slider[i].Value = c.outputs[p] / kPercentPerPosition;
      c.slider[i].ToolTipText = Tooltip(c.slider[i]);
    }
  }
  showing_ = false;
}

std::optional<float> frmMultiFAN::Threshold(const Curve& c, int i) {
  return TextNumber(c.text[i].Text.Get(), program_.Sys().DecimalSeparator());
}

std::array<float, frmMultiFAN::kPoints> frmMultiFAN::LiveThresholds(const Curve& c) {
  std::array<float, kPoints> t{};
  for (int i = 0; i < kPoints; ++i) {
    const auto p = static_cast<std::size_t>(i);
    t[p] = Threshold(c, i).value_or(c.thresholds[p]);
  }
  return t;
}

std::array<std::int32_t, frmMultiFAN::kPoints> frmMultiFAN::LiveOutputs(const Curve& c) {
  std::array<std::int32_t, kPoints> o{};
  for (int i = 0; i < kPoints; ++i) o[static_cast<std::size_t>(i)] = c.slider[i].Value * kPercentPerPosition;
  return o;
}

void frmMultiFAN::RecordMultipleControl() {
  for (const Curve& c : {CpuCurve(), SystemCurve()}) {
    c.thresholds = LiveThresholds(c);
    c.outputs = LiveOutputs(c);
  }
}

void frmMultiFAN::MultiFanControlCentral() {
  const Curve cpu = CpuCurve();
  const Curve system = SystemCurve();
  ApplyMultiLevelStep(program_, LiveThresholds(cpu), LiveOutputs(cpu), LiveThresholds(system), LiveOutputs(system));
}

void frmMultiFAN::ExitMultiFanMode() {
  Main().FanDialogOpen = false;
  RecordMultipleControl();
  MultiFanTimer.Enabled = false;
  Main().FanTimer.Enabled = true;
  Unload();
}

void frmMultiFAN::btnOK_Click() {
  ExitMultiFanMode();
}

void frmMultiFAN::btnCancel_Click() {
  Main().FanDialogOpen = false;
  Main().FanTimer.Enabled = true;
  Unload();
}

void frmMultiFAN::MultiFanTimer_Timer() {
  frmdoctor& main = Main();
  const int cpuSource = main.CpuFanTempItem();
  lblCPUTemp.Caption = main.lblStatusT[cpuSource].Caption;
  lblCPUTemp.BackColor = main.lblStatusT[cpuSource].BackColor;
  lblSystemTemp.Caption = main.lblStatusT[0].Caption;
  lblSystemTemp.BackColor = main.lblStatusT[0].BackColor;
  if (main.TemperatureOf(1) >= kOverrideCelsius) {
    SetFanSpeed(program_, 0, 100);
    SetFanSpeed(program_, 1, 100);
    main.CpuFanPercent = 100;
    main.SystemFanPercent = 100;
    return;
  }
  MultiFanControlCentral();
}

std::string frmMultiFAN::StepName(int i) {
  std::string name = lblStep[i].Caption;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  while (!name.empty() && name.front() == ' ') name.erase(0, 1);
  return name;
}

}  // namespace veltrix::monitor
