#include "monitor/ui/graphs/row_graph.h"

#include <utility>

namespace veltrix::monitor {

namespace {
constexpr int kPanelPitch = 3360;
}

RowGraph::RowGraph(Program& program, std::string name, const std::string& titleName)
    : TimeGraph(program, std::move(name), kPanels, 4, titleName) {}

void RowGraph::DesignRows(const std::array<const char*, 5>& axis, const char* title,
                          std::uint32_t lineColor) {
  Caption = "Graph of Monitoring Item Presentation";
  BorderStyle = 1;
  Move(0, 0, kWindowWidths[2], kWindowHeight);
  fraBorder.Move(60, 0, 10215, 3615);
  for (int k = 0; k < kPanels; ++k) {
    DesignPanel(k, 60 + k * kPanelPitch, 180, axis, lineColor);
    fraGraphData[k].SetContainer(&fraBorder);
    // Hidden until a row of the main window is handed to it.
    fraGraphData[k].Visible = false;
    QuantityTitle()[k].Caption = title;
  }
  DesignExitAndTimer(8280, 3120);
  cmdExit.SetContainer(&fraBorder);
}

void RowGraph::AdjustGraphScale() {
  int count = 0;
  for (int row = 0; row < kPanels; ++row) {
    if (!RowShown(row)) continue;
    fraGraphData[count].Visible = true;
    fraGraphData[count].Caption = RowCaption(row);
    ++count;
  }
  AdjustScale(count);
}

void RowGraph::AdjustScale(int count) {
  if (count == 0 && ClosesWithoutRows()) {
    Unload();
    return;
  }
  Height = kWindowHeight;
  fraBorder.Height = 3615;
  cmdExit.Top = 3120;
  switch (count) {
    case 1:
      Width = kWindowWidths[0];
      fraBorder.Width = 4200;
      cmdExit.Left = 1560;
      break;
    case 2:
      Width = kWindowWidths[1];
      fraBorder.Width = 6850;
      cmdExit.Left = 4920;
      break;
    default:
      Width = kWindowWidths[2];
      fraBorder.Width = 10215;
      cmdExit.Left = 8280;
      break;
  }
  RememberSize();
}

int RowGraph::GetMonitorItem(int panel) {
  int visible = 0;
  for (int row = 0; row < kPanels; ++row) {
    if (!ValueLabel(row).Visible) continue;
    if (visible == panel) return row;
    ++visible;
  }
  return -1;
}

double RowGraph::ValueY(int panel, double value) {
  const double height = imgGraph[panel].Height;
  return GraphBaseY - height / FullScale() * value;
}

void RowGraph::ForEachSource(const std::function<void(int, float)>& sample) {
  int panel = 0;
  for (int row = 0; row < kPanels; ++row) {
    if (!RowShown(row)) continue;
    sample(panel, PlotValue(ValueLabel(row).Caption));
    ++panel;
  }
}

std::optional<std::string> RowGraph::ReadoutValue(int panel) {
  const int row = GetMonitorItem(panel);
  if (row < 0) return std::nullopt;
  return ReadoutText(ValueLabel(row).Caption);
}

void RowGraph::PanelTexts(int panel) {
  SetText(QuantityTitle()[panel].Caption, TitleText());
}

}  // namespace veltrix::monitor
