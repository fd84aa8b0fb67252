#include "monitor/ui/graphs/frm_graph.h"

#include "monitor/channels/number_format.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

frmGraph::frmGraph(Program& program)
    : RowGraph(program, "frmGraph", "lblTemp"),
      lblTemp(QuantityTitle()),
      Line1(Segments(0)),
      Line2(Segments(1)),
      Line3(Segments(2)) {}

void frmGraph::InitializeComponent() {
  DesignRows({"0", "25", "50", "75", "100"}, "Temp", forms::Rgb(240, 160, 60));
}

bool frmGraph::RowShown(int row) {
  return Main().sldTemp[row].Visible;
}

std::string frmGraph::RowCaption(int row) {
  return Main().lblTempItem[row].Caption;
}

forms::Label& frmGraph::ValueLabel(int row) {
  return Main().lblStatusT[row];
}

float frmGraph::PlotValue(const std::string& caption) {
  return static_cast<float>(CaptionValue(caption));
}

}  // namespace veltrix::monitor
