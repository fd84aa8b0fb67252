#include "platform/system/message_box.h"

#include <algorithm>
#include <cctype>

#include "platform/system/system.h"

namespace veltrix::platform {
namespace {

// The low nibble of a style selects the button set.
enum ButtonSet {
  kOkOnly = 0,
  kOkCancel = 1,
  kAbortRetryIgnore = 2,
  kYesNoCancel = 3,
  kYesNo = 4,
  kRetryCancel = 5
};

constexpr int kAbort = 3, kRetry = 4, kIgnore = 5;

bool IsAffirmative(Answer a) {
  return a == Answer::kOk || a == Answer::kYes;
}

}  // namespace

std::optional<Answer> ParseAnswer(std::string_view word) {
  std::string lower;
  for (char c : word) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "ok") return Answer::kOk;
  if (lower == "yes") return Answer::kYes;
  if (lower == "no") return Answer::kNo;
  if (lower == "cancel") return Answer::kCancel;
  return std::nullopt;
}

int ButtonForAnswer(int style, Answer answer) {
  const int buttons = style & 0x0F;
  // "ok" acknowledges boxes that have an OK button; it never says Yes to a question.
  if (answer == Answer::kOk && buttons != kOkOnly && buttons != kOkCancel) return SafeDefaultButton(style);
  bool yes = IsAffirmative(answer);
  switch (buttons) {
    case kOkCancel:
      return yes ? vbOK : vbCancel;
    case kAbortRetryIgnore:
      return yes ? kRetry : kAbort;
    case kYesNoCancel:
      if (answer == Answer::kCancel) return vbCancel;
      return yes ? vbYes : vbNo;
    case kYesNo:
      return yes ? vbYes : vbNo;
    case kRetryCancel:
      return yes ? kRetry : vbCancel;
    default:
      return vbOK;
  }
}

int SafeDefaultButton(int style) {
  switch (style & 0x0F) {
    case kOkCancel:
    case kRetryCancel:
    case kYesNoCancel:
      return vbCancel;
    case kAbortRetryIgnore:
      return kIgnore;
    case kYesNo:
      return vbNo;
    default:
      return vbOK;
  }
}

std::string ButtonsText(int style) {
  switch (style & 0x0F) {
    case kOkCancel:
      return "OK/Cancel";
    case kAbortRetryIgnore:
      return "Abort/Retry/Ignore";
    case kYesNoCancel:
      return "Yes/No/Cancel";
    case kYesNo:
      return "Yes/No";
    case kRetryCancel:
      return "Retry/Cancel";
    default:
      return "OK";
  }
}

int ScriptedAnswers::Respond(const std::string& text, int style, const std::string& title) {
  int result;
  if (!queue_.empty()) {
    result = ButtonForAnswer(style, queue_.front());
    queue_.pop_front();
  } else if (default_) {
    result = ButtonForAnswer(style, *default_);
  } else {
    result = SafeDefaultButton(style);
  }
  shown_.push_back({text, style, title, result});
  return result;
}

MessageBoxSink ScriptedAnswers::Sink() {
  return [this](const std::string& text, int style, const std::string& title) {
    return Respond(text, style, title);
  };
}

int ScriptedAnswers::CountWithText(std::string_view text) const {
  return static_cast<int>(
      std::count_if(shown_.begin(), shown_.end(), [&](const ShownMessageBox& b) { return b.text == text; }));
}

}  // namespace veltrix::platform
