#pragma once
// What every graph window shares: it belongs to one program and plots what the main window
// shows, it keeps the size it opened with (a resize snaps back unless the window is minimised
// or still loading), and it stamps its time labels from the program's clock.
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;
class frmdoctor;

class GraphWindow : public forms::Form {
 public:
  GraphWindow(Program& program, std::string name);

  // Time of opening, "HH:mm:ss".
  std::string StartTimeText;
  // Set while the form loads: resizing is not handled meanwhile.
  bool Loading = false;

  int SavedWidth() const { return savedWidth_; }
  int SavedHeight() const { return savedHeight_; }

 protected:
  Program& Prog() { return program_; }
  // The main window whose captions the graphs read.
  frmdoctor& Main();
  // The current time of day, "HH:mm:ss".
  std::string CurrentTimeText();
  // The size the window returns to when it is resized.
  void RememberSize();
  void Form_Resize() override;
  // Text `suffix` of the language chosen at start-up into `caption`; a text the table lacks
  // leaves the built-in caption.
  void SetText(forms::StringProperty& caption, int suffix);

 private:
  Program& program_;
  int savedWidth_ = 0;
  int savedHeight_ = 0;
};

}  // namespace veltrix::monitor
