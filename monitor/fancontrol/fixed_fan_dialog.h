#pragma once
// frmManualFAN: the fixed method's two outputs, one slider per fan (0..20, 5 % a position).
// Moving a slider drives its fan at once; the main fan timer keeps running and rewrites both
// outputs every second. Two timers mirror each fan's temperature and speed from the main
// window and animate its fan picture. Exit and the close box record the sliders.
#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;
class frmdoctor;

class frmManualFAN : public forms::Form {
 public:
  explicit frmManualFAN(Program& program);

  forms::Frame framCPU{*this, "framCPU"};
  forms::Slider sldCPUFan{*this, "sldCPUFan"};
  forms::Label Label4{*this, "Label4"};  // "Stop"
  forms::Label Label8{*this, "Label8"};  // "Full Speed"
  forms::Label Label1{*this, "Label1"};  // "Current CPU Temp"
  forms::Label lblCPUTemp{*this, "lblCPUTemp"};
  forms::Label Label5{*this, "Label5"};  // "C"
  forms::Label Label3{*this, "Label3"};  // "Current Fan Speed"
  forms::Label lblCPUFan{*this, "lblCPUFan"};
  forms::Label Label6{*this, "Label6"};  // "RPM"
  forms::AnimatedGif AniGif1{*this, "AniGif1"};

  forms::Frame FramSystem{*this, "FramSystem"};
  forms::Slider sldSystemFan{*this, "sldSystemFan"};
  forms::Label Label11{*this, "Label11"};  // "Stop"
  forms::Label Label12{*this, "Label12"};  // "Full Speed"
  forms::Label Label2{*this, "Label2"};    // "Current System Temp"
  forms::Label lblSystemTemp{*this, "lblSystemTemp"};
  forms::Label Label9{*this, "Label9"};  // "C"
  forms::Label Label7{*this, "Label7"};  // "Current Fan Speed"
  forms::Label lblSystemFAN{*this, "lblSystemFAN"};
  forms::Label Label10{*this, "Label10"};  // "RPM"
  forms::AnimatedGif AniGif2{*this, "AniGif2"};

  forms::CommandButton cmdClose{*this, "cmdClose"};  // "Exit"
  forms::Timer FixCPUFanTimer{*this, "FixCPUFanTimer"};
  forms::Timer FixSystemFanTimer{*this, "FixSystemFanTimer"};

  // The sliders become the two outputs (and the fans' percentages, as ReadFixControl).
  void RecordFixControl();
  // Each fan picture at its fan's percentage, or still when the board has no such fan row.
  void SetInitFanAnimation();
  // Captions in the language chosen at start-up.
  void MultiLanguage();
  // Records the sliders, hands fan alarms back, stops the mirrors and unloads.
  void ExitFixFanMode();

  void cmdClose_Click();
  void sldCPUFan_Change();
  void sldSystemFan_Change();
  void FixCPUFanTimer_Timer();
  void FixSystemFanTimer_Timer();

 protected:
  void InitializeComponent() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;

 private:
  frmdoctor& Main();
  void SliderMoved(int fan, forms::Slider& slider, forms::AnimatedGif& picture, forms::Label& speed);
  void Mirror(int fan, int tempItem, forms::Label& temp, forms::Label& speed, forms::AnimatedGif& picture);

  Program& program_;
};

}  // namespace veltrix::monitor
