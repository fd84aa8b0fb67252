#pragma once
// The temperature and fan-speed windows: their three panels are handed out in order to the
// rows the main window shows (a board with two temperature rows gets two panels), and the
// window takes the width of the panels it uses.
#include "monitor/ui/graphs/time_graph.h"

namespace veltrix::monitor {

class RowGraph : public TimeGraph {
 public:
  static constexpr int kPanels = 3;
  static constexpr int kWindowHeight = 4020;

  RowGraph(Program& program, std::string name, const std::string& titleName);

  forms::Frame fraBorder{*this, "fraBorder"};  // holds the panels and cmdExit

  // Panels to the visible rows, captioned like the rows; then AdjustScale.
  void AdjustGraphScale() override;
  // Window, border and button for `count` panels (3 or more: the full width).
  void AdjustScale(int count);
  // The index of the k-th visible value label of the main window (counted from 0), or -1.
  int GetMonitorItem(int panel);
  double ValueY(int panel, double value) override;

  // Window widths by panel count 1, 2 and 3.
  static constexpr std::array<int, 3> kWindowWidths{3600, 6975, 10335};

 protected:
  // The main window's row j: whether it is shown, its caption and its value label.
  virtual bool RowShown(int row) = 0;
  virtual std::string RowCaption(int row) = 0;
  virtual forms::Label& ValueLabel(int row) = 0;
  // The value a caption plots.
  virtual float PlotValue(const std::string& caption) = 0;
  // The value at the top of the axis.
  virtual double FullScale() const = 0;
  // The read-out of a value caption (with its unit).
  virtual std::string ReadoutText(const std::string& caption) = 0;
  // What happens without any visible row: the fan window closes itself; the temperature
  // window keeps its full width.
  virtual bool ClosesWithoutRows() const = 0;
  virtual int TitleText() const = 0;

  void DesignRows(const std::array<const char*, 5>& axis, const char* title, std::uint32_t lineColor);
  void ForEachSource(const std::function<void(int, float)>& sample) override;
  std::optional<std::string> ReadoutValue(int panel) override;
  void PanelTexts(int panel) override;
};

}  // namespace veltrix::monitor
