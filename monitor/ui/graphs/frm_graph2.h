#pragma once
// frmGraph2: "Fan speed vs Time", one panel per fan row the main window shows, 0..8000 RPM.
// A stopped fan (its row shows a word instead of a number) plots 0. A board without any
// visible fan row gets no fan graph: the window closes itself while it loads.
#include "monitor/ui/graphs/row_graph.h"

namespace veltrix::monitor {

class frmGraph2 : public RowGraph {
 public:
  explicit frmGraph2(Program& program);

  forms::ControlArray<forms::Label>& lblFanSpeed;  // "Speed"
  forms::ControlArray<forms::LineControl>& Line1;
  forms::ControlArray<forms::LineControl>& Line2;
  forms::ControlArray<forms::LineControl>& Line3;

 protected:
  void InitializeComponent() override;
  bool RowShown(int row) override;
  std::string RowCaption(int row) override;
  forms::Label& ValueLabel(int row) override;
  float PlotValue(const std::string& caption) override;
  double FullScale() const override { return 8000.0; }
  // "4821 RPM"; a word such as "fan stop" stands alone.
  std::string ReadoutText(const std::string& caption) override;
  bool ClosesWithoutRows() const override { return true; }
  int TitleText() const override { return 403; }
};

}  // namespace veltrix::monitor
