// A picture box's drawing: lines kept in the model so every front end can paint them.
#include <algorithm>
#include <utility>

#include "platform/forms/control.h"

namespace veltrix::forms {

PictureBox::PictureBox(Form& owner, std::string name, int index)
    : Control(owner, std::move(name), ControlType::PictureBox, index) {}

void PictureBox::DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color) {
  lines_.push_back(DrawnLine{x1, y1, x2, y2, color, DrawWidth, DrawStyle, AutoRedraw});
  Notify(Prop::Drawing);
}

void PictureBox::Cls() {
  if (lines_.empty()) return;
  lines_.clear();
  ++erasures_;
  Notify(Prop::Drawing);
}

void PictureBox::Repaint() {
  const auto lost =
      std::remove_if(lines_.begin(), lines_.end(), [](const DrawnLine& l) { return !l.persistent; });
  if (lost == lines_.end()) return;
  lines_.erase(lost, lines_.end());
  ++erasures_;
  Notify(Prop::Drawing);
}

void PictureBox::ResetToDesign() {
  Control::ResetToDesign();
  if (!lines_.empty()) ++erasures_;
  lines_.clear();
}

}  // namespace veltrix::forms
