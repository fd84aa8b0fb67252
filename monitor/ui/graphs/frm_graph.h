#pragma once
// frmGraph: "Temp vs Time", one panel per temperature row the main window shows, 0..100 °C.
#include "monitor/ui/graphs/row_graph.h"

namespace veltrix::monitor {

class frmGraph : public RowGraph {
 public:
  explicit frmGraph(Program& program);

  forms::ControlArray<forms::Label>& lblTemp;  // "Temp"
  forms::ControlArray<forms::LineControl>& Line1;
  forms::ControlArray<forms::LineControl>& Line2;
  forms::ControlArray<forms::LineControl>& Line3;

 protected:
  void InitializeComponent() override;
  bool RowShown(int row) override;
  std::string RowCaption(int row) override;
  forms::Label& ValueLabel(int row) override;
  float PlotValue(const std::string& caption) override;
  double FullScale() const override { return 100.0; }
  std::string ReadoutText(const std::string& caption) override { return caption + " C"; }
  bool ClosesWithoutRows() const override { return false; }
  int TitleText() const override { return 402; }
};

}  // namespace veltrix::monitor
