#pragma once
// frmMultiFAN: the two six-point curves of the multiple-level method. Per fan a frame with a
// threshold text box (°C) and its arrows and an output slider (0..20, 5 % a position) for
// each point, the step names beside the rows, the current temperatures below. The dialog
// keeps every curve ordered: sliders snap to their neighbours, a threshold that is not a
// number is replaced, and one that breaks the order is corrected when its box loses focus.
// While it is open the main fan timer rests and MultiFanTimer runs the method from the live
// controls, so edits act before they are recorded. OK and the close box record the edits,
// Cancel drops them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;
class frmdoctor;

class frmMultiFAN : public forms::Form {
  template <typename T>
  using Array = forms::ControlArray<T>;

 public:
  static constexpr int kPoints = 6;
  static constexpr int kSliderMax = 20;  // positions; 5 % each

  explicit frmMultiFAN(Program& program);

  Array<forms::Label> lblStep{*this, "lblStep", kPoints};  // "Step1" .. "Step6"
  forms::Frame fraCPUFan{*this, "fraCPUFan"};
  forms::Label lblCPUTempHeading{*this, "lblCPUTempHeading"};
  forms::Label lblCPUStop{*this, "lblCPUStop"};
  forms::Label lblCPUFull{*this, "lblCPUFull"};
  Array<forms::TextBox> textCPUTemp{*this, "textCPUTemp", kPoints};
  Array<forms::UpDown> udCPUTemp{*this, "udCPUTemp", kPoints};
  Array<forms::Slider> sldCPUFanSpeed{*this, "sldCPUFanSpeed", kPoints};
  forms::Frame fraSystemFan{*this, "fraSystemFan"};
  forms::Label lblSystemTempHeading{*this, "lblSystemTempHeading"};
  forms::Label lblSystemStop{*this, "lblSystemStop"};
  forms::Label lblSystemFull{*this, "lblSystemFull"};
  Array<forms::TextBox> textSystemTemp{*this, "textSystemTemp", kPoints};
  Array<forms::UpDown> udSystemTemp{*this, "udSystemTemp", kPoints};
  Array<forms::Slider> sldSystemFanSpeed{*this, "sldSystemFanSpeed", kPoints};
  forms::Frame fraCPUTemp{*this, "fraCPUTemp"};
  forms::Label lblCPUTemp{*this, "lblCPUTemp"};
  forms::Frame fraSystemTemp{*this, "fraSystemTemp"};
  forms::Label lblSystemTemp{*this, "lblSystemTemp"};
  forms::CommandButton btnOK{*this, "btnOK"};
  forms::CommandButton btnCancel{*this, "btnCancel"};
  forms::Timer MultiFanTimer{*this, "MultiFanTimer"};

  // The stored curves into the controls (ReadMultipleControl).
  void ShowCurves();
  // The controls into the stored curves.
  void RecordMultipleControl();
  // One step of the method from the texts and sliders as they are now.
  void MultiFanControlCentral();
  // Records the edits, hands the method back to the main fan timer and unloads.
  void ExitMultiFanMode();

  void btnOK_Click();
  void btnCancel_Click();
  void MultiFanTimer_Timer();

  // One curve's controls and stored values, so both fans share every handler.
  struct Curve {
    Array<forms::TextBox>& text;
    Array<forms::UpDown>& arrows;
    Array<forms::Slider>& slider;
    std::array<float, kPoints>& thresholds;
    std::array<std::int32_t, kPoints>& outputs;
    const char* who;  // "The CPU temperature(" / "The system temperature("
  };
  Curve CpuCurve();
  Curve SystemCurve();

  // The edit rules (multi_fan_edits.cpp).
  void Slider_Change(const Curve& c, int i);
  void Text_Change(const Curve& c, int i);
  void Text_LostFocus(const Curve& c, int i);
  void Arrow_UpClick(const Curve& c, int i);
  void Arrow_DownClick(const Curve& c, int i);

 protected:
  void InitializeComponent() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;

 private:
  frmdoctor& Main();
  void WireCurve(const Curve& c);
  void LayOutCurve(forms::Frame& frame, forms::Label& heading, forms::Label& stop, forms::Label& full,
                   const Curve& c, const char* caption, int left);
  // The thresholds and outputs the controls show now; a text that is not a number counts as
  // its stored threshold.
  std::array<float, kPoints> LiveThresholds(const Curve& c);
  std::array<std::int32_t, kPoints> LiveOutputs(const Curve& c);
  // The number a threshold box holds, or nothing.
  std::optional<float> Threshold(const Curve& c, int i);
  std::string StepName(int i);

  Program& program_;
  bool showing_ = false;  // ShowCurves is filling the controls: no edit rules
};

}  // namespace veltrix::monitor
