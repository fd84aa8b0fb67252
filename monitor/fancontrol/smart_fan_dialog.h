#pragma once
// frmSmartFAN: the smart method's two target temperatures. Each arrow press moves a target by
// half a degree and takes effect at once. While the dialog is open the main window's fan
// timer rests and SmartFanTimer steps the method every second; any way of closing the dialog
// hands the method back to the main fan timer.
#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;
class frmdoctor;

class frmSmartFAN : public forms::Form {
 public:
  explicit frmSmartFAN(Program& program);

  forms::Label Label1{*this, "Label1"};  // heading over the two targets
  forms::Label Label3{*this, "Label3"};  // "CPU"
  forms::Label lblCPUDefault{*this, "lblCPUDefault"};
  forms::UpDown udCPURange{*this, "udCPURange"};
  forms::Label Label4{*this, "Label4"};  // "System"
  forms::Label lblSystemDefault{*this, "lblSystemDefault"};
  forms::UpDown udSystemRange{*this, "udSystemRange"};
  forms::CommandButton cmdOK{*this, "cmdOK"};  // "Close"
  forms::Timer SmartFanTimer{*this, "SmartFanTimer"};

  // The two labels' texts become the targets.
  void RecordSmartControl();
  // Fan alarms back, the main fan timer on, this dialog's timer off, the dialog unloaded.
  void ExitSmartFanMode();

  void cmdOK_Click();
  void SmartFanTimer_Timer();

 protected:
  void InitializeComponent() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  frmdoctor& Main();
  // An arrow press on a target: down while above 0, up while below 100, by 0.5.
  void StepTarget(forms::Label& target, int direction);

  Program& program_;
  bool exiting_ = false;
};

}  // namespace veltrix::monitor
