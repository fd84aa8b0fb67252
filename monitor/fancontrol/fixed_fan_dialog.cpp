// The fixed method's dialog: layout, texts, the two sliders that drive the fans at once, the
// two mirror timers, and Exit / close box.
#include "monitor/fancontrol/fixed_fan_dialog.h"

#include "monitor/channels/fan_output.h"
#include "monitor/fancontrol/fan_methods.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

namespace {

constexpr int kPercentPerPosition = 5;
constexpr int kPositions = 20;  // 0 stop .. 20 full speed
constexpr int kFrameHeight = 1740;

std::string Upper(std::string text) {
  for (char& ch : text) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return text;
}

struct FanFrame {
  forms::Frame& frame;
  forms::Slider& slider;
  forms::Label& stop;
  forms::Label& full;
  forms::Label& tempName;
  forms::Label& temp;
  forms::Label& tempUnit;
  forms::Label& speedName;
  forms::Label& speed;
  forms::Label& speedUnit;
  forms::AnimatedGif& picture;
};

void LayOut(const FanFrame& f, int top, const char* caption, const char* tempCaption) {
  f.frame.Move(120, top, 6360, kFrameHeight);
  f.frame.Caption = caption;
  for (forms::Control* c : std::initializer_list<forms::Control*>{&f.slider, &f.stop, &f.full, &f.tempName, &f.temp,
                                                                  &f.tempUnit, &f.speedName, &f.speed, &f.speedUnit,
                                                                  &f.picture}) {
    c->SetContainer(&f.frame);
  }
  f.stop.Move(120, 390, 660, 255);
  f.stop.Caption = "Stop";
  f.slider.Move(780, 300, 3420, 420);
  f.slider.Min = 0;
  f.slider.Max = kPositions;
  f.slider.Value = kPositions;
  f.full.Move(4260, 390, 1140, 255);
  f.full.Caption = "Full Speed";
  f.picture.Move(5520, 300, 660, 660);
  f.tempName.Move(120, 960, 2040, 255);
  f.tempName.Caption = tempCaption;
  f.temp.Move(2220, 930, 900, 315);
  f.temp.Alignment = 2;
  f.temp.BorderStyle = 1;
  f.temp.BackColor = forms::kColorGreen;
  f.tempUnit.Move(3180, 960, 480, 255);
  f.tempUnit.Caption = "C";
  f.speedName.Move(120, 1350, 2040, 255);
  f.speedName.Caption = "Current Fan Speed";
  f.speed.Move(2220, 1320, 900, 315);
  f.speed.Alignment = 2;
  f.speed.BorderStyle = 1;
  f.speed.BackColor = forms::kColorGreen;
  f.speedUnit.Move(3180, 1350, 480, 255);
  f.speedUnit.Caption = "RPM";
}

}  // namespace

frmManualFAN::frmManualFAN(Program& program) : forms::Form(program.App(), "frmManualFAN"), program_(program) {
  cmdClose.OnClick = [this] { cmdClose_Click(); };
  sldCPUFan.OnChange = [this] { sldCPUFan_Change(); };
  sldSystemFan.OnChange = [this] { sldSystemFan_Change(); };
  FixCPUFanTimer.OnTimer = [this] { FixCPUFanTimer_Timer(); };
  FixSystemFanTimer.OnTimer = [this] { FixSystemFanTimer_Timer(); };
}

frmdoctor& frmManualFAN::Main() {
  return program_.frmdoctor();
}

void frmManualFAN::InitializeComponent() {
  Caption = "Manual FAN";
  BorderStyle = 3;  // fixed dialog
  LayOut({framCPU, sldCPUFan, Label4, Label8, Label1, lblCPUTemp, Label5, Label3, lblCPUFan, Label6, AniGif1}, 120,
         "CPU Fan Control", "Current CPU Temp");
  LayOut({FramSystem, sldSystemFan, Label11, Label12, Label2, lblSystemTemp, Label9, Label7, lblSystemFAN, Label10,
          AniGif2},
         120 + kFrameHeight + 120, "System Fan Control", "Current System Temp");
  const int buttonTop = 120 + 2 * (kFrameHeight + 120) + 60;
  cmdClose.Move(2640, buttonTop, 1320, 375);
  cmdClose.Caption = "Exit";
  Move(0, 0, 6600, buttonTop + 375 + 180);
  for (forms::Timer* t : {&FixCPUFanTimer, &FixSystemFanTimer}) {
    t->Enabled = false;
    t->Interval = 1000;
  }
}

void frmManualFAN::MultiLanguage() {
  const std::string& lang = program_.G().LangPrefix;
  auto text = [&lang](int suffix, auto& target) {
    ApplyText(lang, suffix, [&target](const std::string& s) { target = s; });
  };
  text(383, Caption);
  text(410, framCPU.Caption);
  text(411, Label4.Caption);
  text(412, Label8.Caption);
  text(413, Label1.Caption);
  text(414, Label5.Caption);
  text(415, Label3.Caption);
  text(14, Label6.Caption);
  text(416, FramSystem.Caption);
  text(411, Label11.Caption);
  text(412, Label12.Caption);
  text(417, Label2.Caption);
  text(414, Label9.Caption);
  text(415, Label7.Caption);
  text(14, Label10.Caption);
  text(74, cmdClose.Caption);
}

void frmManualFAN::Form_Load() {
  MultiLanguage();
  ReadFixControl(program_);
  SetFanSpeed(program_, 0, static_cast<std::int16_t>(sldCPUFan.Value * kPercentPerPosition));
  SetFanSpeed(program_, 1, static_cast<std::int16_t>(sldSystemFan.Value * kPercentPerPosition));
  SetInitFanAnimation();
  // The main fan timer keeps running: it rewrites both outputs every second.
}

void frmManualFAN::Form_QueryUnload(int& /*cancel*/, int unloadMode) {
  if (unloadMode == vbFormControlMenu) ExitFixFanMode();
}

void frmManualFAN::RecordFixControl() {
  frmdoctor& main = Main();
  main.FixCPUFanSpeed = sldCPUFan.Value * kPercentPerPosition;
  main.FixSystemFanSpeed = sldSystemFan.Value * kPercentPerPosition;
  main.CpuFanPercent = FixFanShownOff(program_, 0, false) ? 0 : static_cast<std::int16_t>(main.FixCPUFanSpeed);
  main.SystemFanPercent =
      FixFanShownOff(program_, 1, false) ? 0 : static_cast<std::int16_t>(main.FixSystemFanSpeed);
}

void frmManualFAN::SetInitFanAnimation() {
  frmdoctor& main = Main();
  SetFanAnimation(program_, AniGif1, main.lblFanSpeed[0].Visible ? main.CpuFanPercent : std::int16_t{0});
  SetFanAnimation(program_, AniGif2, main.lblFanSpeed[1].Visible ? main.SystemFanPercent : std::int16_t{0});
}

void frmManualFAN::ExitFixFanMode() {
  Main().FanDialogOpen = false;
  RecordFixControl();
  FixCPUFanTimer.Enabled = false;
  FixSystemFanTimer.Enabled = false;
  Main().FanTimer.Enabled = true;
  Unload();
}

void frmManualFAN::cmdClose_Click() {
  ExitFixFanMode();
}

void frmManualFAN::SliderMoved(int fan, forms::Slider& slider, forms::AnimatedGif& picture, forms::Label& speed) {
  frmdoctor& main = Main();
  const std::int16_t& percent = fan == 0 ? main.CpuFanPercent : main.SystemFanPercent;
  if (!main.lblFanSpeed[fan].Visible) {
    SetFanAnimation(program_, picture, 0);  // the board has no such fan row
    return;
  }
  if (Upper(main.lblFanSpeed[fan].Caption) == "FAN OFF") {
    SetFanAnimation(program_, picture, percent);
    return;
  }
  SetFanSpeed(program_, static_cast<std::int16_t>(fan), static_cast<std::int16_t>(slider.Value * kPercentPerPosition));
  RecordFixControl();
  SetFanAnimation(program_, picture, percent);
  if (percent == 0) speed.Caption = "fan stop";
}

void frmManualFAN::sldCPUFan_Change() {
  SliderMoved(0, sldCPUFan, AniGif1, lblCPUFan);
}

void frmManualFAN::sldSystemFan_Change() {
  SliderMoved(1, sldSystemFan, AniGif2, lblSystemFAN);
}

void frmManualFAN::Mirror(int fan, int tempItem, forms::Label& temp, forms::Label& speed,
                          forms::AnimatedGif& picture) {
  frmdoctor& main = Main();
  temp.Caption = main.lblStatusT[tempItem].Caption;
  temp.BackColor = main.lblStatusT[tempItem].BackColor;
  speed.Caption = main.lblFanSpeed[fan].Visible ? main.lblFanSpeed[fan].Caption.Get() : std::string();
  speed.BackColor = main.lblFanSpeed[fan].BackColor;
  SetFanAnimation(program_, picture, fan == 0 ? main.CpuFanPercent : main.SystemFanPercent);
}

void frmManualFAN::FixCPUFanTimer_Timer() {
  Mirror(0, Main().CpuFanTempItem(), lblCPUTemp, lblCPUFan, AniGif1);
}

void frmManualFAN::FixSystemFanTimer_Timer() {
  Mirror(1, 0, lblSystemTemp, lblSystemFAN, AniGif2);
}

}  // namespace veltrix::monitor
