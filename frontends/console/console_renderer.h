#pragma once
// Text view of the form model for machines without a display: every visible control that
// shows text becomes one line, in reading order (top to bottom, then left to right):
//
//   frmdoctor: lblItemName(0) = Vcore
//   frmdoctor: chkEnable(0) = [x] Enable
//   frmdoctor: sldVoltage(0) = 152 (100..200)
//
// Controls that show no text (pictures, lines, timers, menus) are left out, and so are
// empty captions unless asked for.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace veltrix::console {

struct RenderOptions {
  bool includeHidden = false;  // also controls that are not effectively visible
  bool includeEmpty = false;   // also controls whose text is empty
};

class ConsoleRenderer {
 public:
  explicit ConsoleRenderer(RenderOptions options = {}) : options_(options) {}

  // What a person reads on the control, or nothing when it shows no text:
  //   label, frame, text box: the text; button "[OK]"; check box "[x] caption" ("[ ]",
  //   "[-]" grayed); option "(*) caption" / "( ) caption"; slider, up/down, progress bar
  //   "value (min..max)"; tab strip: the caption of the selected page.
  // Line breaks inside a caption become spaces, so one control is always one line.
  static std::optional<std::string> TextOf(const forms::Control& control);

  // The form's lines, "<form>: <control> = <text>", in reading order. Nothing for a form
  // that is not loaded.
  std::vector<std::string> RenderForm(const forms::Form& form) const;
  // A title line "== <form>: <caption> ==" followed by RenderForm, for every loaded and
  // visible form of the application.
  std::vector<std::string> RenderApplication(const forms::Application& app) const;
  void Print(const forms::Form& form, std::ostream& out) const;

 private:
  RenderOptions options_;
};

}  // namespace veltrix::console
