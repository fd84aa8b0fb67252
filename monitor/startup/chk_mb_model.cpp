#include "monitor/startup/chk_mb_model.h"

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/exit_program.h"
#include "monitor/startup/exit_status.h"

namespace veltrix::monitor {
namespace {

void Call(const std::function<void()>& f) {
  if (f) f();
}

void SetLabel(const std::function<void(int, const std::string&)>& f, int n, Program& program, int text) {
  // A text missing from the table leaves the label's caption as it is.
  if (!f) return;
  ApplyText(program.G().LangPrefix, text, [&](const std::string& caption) { f(n, caption); });
}

}  // namespace

bool ChkMBModel(Program& program, const ModelLabelActions& a) {
  using boards::LabelOutcome;
  const auto outcome = boards::FindChkMBModelOutcome(program.G().ModelName);
  if (!outcome) {
    const std::string& lang = program.G().LangPrefix;
    program.Sys().MsgBox(Text(lang, 36).value_or(""), platform::vbCritical, Text(lang, 37).value_or(""));
    if (a.ExitButton) {
      a.ExitButton();
    } else {
      ExitAndEndProcess(program, kExitBoardRefused);
    }
    return false;
  }
  switch (*outcome) {
    case LabelOutcome::kDefaultLabels:
      break;
    case LabelOutcome::kChangeLabelFan:
      Call(a.ChangeLabelFan);
      break;
    case LabelOutcome::kChangeLabelTemp:
      Call(a.ChangeLabelTemp);
      break;
    case LabelOutcome::kChangeLabelTempThenFan:
      Call(a.ChangeLabelTemp);
      Call(a.ChangeLabelFan);
      break;
    case LabelOutcome::kExchangeCpuAndSystemTemp:
      Call(a.ExchangeCPUAndSystemTempLabel);
      break;
    case LabelOutcome::kChangeLabelFanThenTempForZT50:
      Call(a.ChangeLabelFan);
      Call(a.ChangeLabelTempForZT50);
      break;
    case LabelOutcome::kChangeLabelTempForZT50:
      Call(a.ChangeLabelTempForZT50);
      break;
    case LabelOutcome::kFan1Fan2Texts:
      SetLabel(a.SetFanLabel, 1, program, 34);
      SetLabel(a.SetFanLabel, 2, program, 27);
      break;
    case LabelOutcome::kFanThenFan1AndCpuTempTexts:
      Call(a.ChangeLabelFan);
      SetLabel(a.SetFanLabel, 1, program, 34);
      SetLabel(a.SetTempLabel, 1, program, 58);
      SetLabel(a.SetTempLabel, 2, program, 58);
      break;
    case LabelOutcome::kFanThenFan1Text:
      Call(a.ChangeLabelFan);
      SetLabel(a.SetFanLabel, 1, program, 34);
      break;
  }
  return true;
}

}  // namespace veltrix::monitor
