#include "monitor/ui/graphs/frm_graph2.h"

#include "monitor/channels/number_format.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_values.h"

namespace veltrix::monitor {

frmGraph2::frmGraph2(Program& program)
    : RowGraph(program, "frmGraph2", "lblFanSpeed"),
      lblFanSpeed(QuantityTitle()),
      Line1(Segments(0)),
      Line2(Segments(1)),
      Line3(Segments(2)) {}

void frmGraph2::InitializeComponent() {
  DesignRows({"0", "2000", "4000", "6000", "8000"}, "Speed", forms::Rgb(90, 200, 130));
}

bool frmGraph2::RowShown(int row) {
  return Main().prbFanSpeed[row].Visible;
}

std::string frmGraph2::RowCaption(int row) {
  return Main().lblFanItem[row].Caption;
}

forms::Label& frmGraph2::ValueLabel(int row) {
  return Main().lblFanSpeed[row];
}

float frmGraph2::PlotValue(const std::string& caption) {
  return graphs::IsNumericText(caption) ? static_cast<float>(CaptionValue(caption)) : 0.0F;
}

std::string frmGraph2::ReadoutText(const std::string& caption) {
  return graphs::IsNumericText(caption) ? caption + " RPM" : caption;
}

}  // namespace veltrix::monitor
