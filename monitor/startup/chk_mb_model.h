#pragma once
// ChkMBModel: the main window's board check. Known boards get their label corrections; any
// other board gets the "cannot support" box and the orderly exit.
#include <functional>
#include <string>

namespace veltrix::monitor {

class Program;

// The main window's label routines the check calls (frmdoctor supplies them). Label numbers
// are element indexes of lblFanItem / lblTempItem.
struct ModelLabelActions {
  std::function<void()> ChangeLabelFan;
  std::function<void()> ChangeLabelTemp;
  std::function<void()> ExchangeCPUAndSystemTempLabel;
  std::function<void()> ChangeLabelTempForZT50;
  std::function<void(int n, const std::string& caption)> SetFanLabel;
  std::function<void(int n, const std::string& caption)> SetTempLabel;
  // The exit button's handler; empty = ExitAndEndProcess.
  std::function<void()> ExitButton;
};

// Returns true for a supported board (after its label changes). For any other board shows
// text 036 with the critical icon and title text 037, then runs the exit button's handler
// (which ends the process; false is returned only when that handler returns).
bool ChkMBModel(Program& program, const ModelLabelActions& actions);

}  // namespace veltrix::monitor
