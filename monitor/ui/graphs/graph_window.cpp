#include "monitor/ui/graphs/graph_window.h"

#include <utility>

#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_values.h"

namespace veltrix::monitor {

GraphWindow::GraphWindow(Program& program, std::string name)
    : forms::Form(program.App(), std::move(name)), program_(program) {}

frmdoctor& GraphWindow::Main() {
  return program_.frmdoctor();
}

std::string GraphWindow::CurrentTimeText() {
  return graphs::TimeText(program_.Sys().Now());
}

void GraphWindow::SetText(forms::StringProperty& caption, int suffix) {
  ApplyText(program_.G().LangPrefix, suffix, [&caption](const std::string& text) { caption = text; });
}

void GraphWindow::RememberSize() {
  savedWidth_ = Width;
  savedHeight_ = Height;
}

void GraphWindow::Form_Resize() {
  if (Loading || WindowState == 1) return;
  Height = savedHeight_;
  Width = savedWidth_;
}

}  // namespace veltrix::monitor
