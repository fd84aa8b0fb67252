#pragma once
// Message boxes leave the program through a sink the front end provides (a real dialog, a
// console line, a test script). ScriptedAnswers is the sink for tests and the console's
// --answer option: it answers from a queue or a fixed default and records every box.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrix::platform {

// Receives the text, the style (MsgBoxStyle bits) and the title; returns the button pressed.
using MessageBoxSink = std::function<int(const std::string& text, int style, const std::string& title)>;

// What the user means, independent of which buttons a box has.
enum class Answer { kOk, kYes, kNo, kCancel };

// "ok", "yes", "no", "cancel" (any case); nullopt for anything else.
std::optional<Answer> ParseAnswer(std::string_view word);

// The button a box of this style returns for the answer. A box with only OK always
// returns vbOK; "yes" presses OK or Yes, a negative answer (no/cancel) presses No or Cancel,
// whichever the box has. "ok" presses OK only: a question without an OK button gets its
// negative button, as if nobody had answered.
int ButtonForAnswer(int style, Answer answer);

// The button pressed when nobody answers: OK on an OK-only box, otherwise the negative
// button (No or Cancel), so an unanswered question never triggers an action.
int SafeDefaultButton(int style);

// The button set of a style ("OK", "OK/Cancel", "Yes/No", ...), for printing boxes.
std::string ButtonsText(int style);

struct ShownMessageBox {
  std::string text;
  int style = 0;
  std::string title;
  int result = 0;  // the button that was returned
};

class ScriptedAnswers {
 public:
  ScriptedAnswers() = default;
  explicit ScriptedAnswers(Answer fixedDefault) : default_(fixedDefault) {}

  // Answers used once each, in order, before the default applies.
  void Queue(Answer answer) { queue_.push_back(answer); }
  void SetDefault(std::optional<Answer> answer) { default_ = answer; }

  int Respond(const std::string& text, int style, const std::string& title);
  // A sink that forwards to this object (which must outlive the sink).
  MessageBoxSink Sink();

  const std::vector<ShownMessageBox>& Shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }
  // Number of boxes shown whose text equals the given text.
  int CountWithText(std::string_view text) const;

 private:
  std::deque<Answer> queue_;
  std::optional<Answer> default_;
  std::vector<ShownMessageBox> shown_;
};

}  // namespace veltrix::platform
