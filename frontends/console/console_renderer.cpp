// Turns forms into lines of text (format in console_renderer.h).
#include "frontends/console/console_renderer.h"

#include <algorithm>

namespace veltrix::console {
namespace {

using forms::ControlType;

std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return text;
}

std::string RangeText(const forms::RangeControl& r) {
  return std::to_string(r.Value.Get()) + " (" + std::to_string(r.Min.Get()) + ".." +
         std::to_string(r.Max.Get()) + ")";
}

// Position on the form: containers' offsets add up (frames, pictures and tab strips hold
// their controls in their own coordinates).
std::pair<long, long> FormPosition(const forms::Control& control) {
  long top = 0;
  long left = 0;
  for (const forms::Control* c = &control; c != nullptr; c = c->Container()) {
    top += c->Top;
    left += c->Left;
  }
  return {top, left};
}

}  // namespace

std::optional<std::string> ConsoleRenderer::TextOf(const forms::Control& control) {
  switch (control.Type()) {
    case ControlType::Label:
      return OneLine(static_cast<const forms::Label&>(control).Caption);
    case ControlType::Frame:
      return OneLine(static_cast<const forms::Frame&>(control).Caption);
    case ControlType::TextBox:
      return OneLine(static_cast<const forms::TextBox&>(control).Text);
    case ControlType::CommandButton:
      return "[" + OneLine(static_cast<const forms::CommandButton&>(control).Caption) + "]";
    case ControlType::CheckBox: {
      const auto& check = static_cast<const forms::CheckBox&>(control);
      const char* box = check.Value == 1 ? "[x] " : check.Value == 2 ? "[-] " : "[ ] ";
      return box + OneLine(check.Caption);
    }
    case ControlType::OptionButton: {
      const auto& option = static_cast<const forms::OptionButton&>(control);
      return (option.Value ? "(*) " : "( ) ") + OneLine(option.Caption);
    }
    case ControlType::Slider:
    case ControlType::UpDown:
    case ControlType::ProgressBar:
      return RangeText(static_cast<const forms::RangeControl&>(control));
    case ControlType::TabStrip: {
      const auto& strip = static_cast<const forms::TabStrip&>(control);
      return OneLine(strip.TabCaption(strip.Tab));
    }
    default:
      return std::nullopt;
  }
}

std::vector<std::string> ConsoleRenderer::RenderForm(const forms::Form& form) const {
  std::vector<std::string> lines;
  if (!form.IsLoaded()) return lines;
  std::vector<const forms::Control*> shown;
  for (const forms::Control* c : form.Controls()) {
    if (options_.includeHidden || c->EffectivelyVisible()) shown.push_back(c);
  }
  std::stable_sort(shown.begin(), shown.end(), [](const forms::Control* a, const forms::Control* b) {
    return FormPosition(*a) < FormPosition(*b);
  });
  for (const forms::Control* c : shown) {
    const auto text = TextOf(*c);
    if (!text || (text->empty() && !options_.includeEmpty)) continue;
    lines.push_back(form.Name() + ": " + c->FullName() + " = " + *text);
  }
  return lines;
}

std::vector<std::string> ConsoleRenderer::RenderApplication(const forms::Application& app) const {
  std::vector<std::string> lines;
  for (const forms::Form* form : app.Forms()) {
    if (!form->IsLoaded() || !form->Visible) continue;
    lines.push_back("== " + form->Name() + ": " + OneLine(form->Caption) + " ==");
    for (auto& line : RenderForm(*form)) lines.push_back(std::move(line));
  }
  return lines;
}

void ConsoleRenderer::Print(const forms::Form& form, std::ostream& out) const {
  for (const auto& line : RenderForm(form)) out << line << '\n';
}

}  // namespace veltrix::console
