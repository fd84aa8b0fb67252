// The graph page of the main window: its four "Show" buttons open the graph windows.
#include <memory>

#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/graphs/graph_windows.h"

namespace veltrix::monitor {

struct frmdoctor::GraphWindows {
  std::unique_ptr<frmGraph1> voltage;
  std::unique_ptr<frmGraph> temperature;
  std::unique_ptr<frmGraph2> fanSpeed;
  std::unique_ptr<frmGraph3> fanTemp;
};

namespace {

frmdoctor::GraphWindows& Windows(Program& program) {
  frmdoctor& main = program.frmdoctor();
  if (!main.graphWindows) main.graphWindows = std::make_shared<frmdoctor::GraphWindows>();
  return *main.graphWindows;
}

}  // namespace

frmGraph1& VoltageGraph(Program& program) {
  return program.FormSlot(Windows(program).voltage);
}

frmGraph& TemperatureGraph(Program& program) {
  return program.FormSlot(Windows(program).temperature);
}

frmGraph2& FanSpeedGraph(Program& program) {
  return program.FormSlot(Windows(program).fanSpeed);
}

frmGraph3& FanTempGraph(Program& program) {
  return program.FormSlot(Windows(program).fanTemp);
}

GraphWindow& GraphOfButton(Program& program, int button) {
  switch (button) {
    case 0:
      return VoltageGraph(program);
    case 1:
      return TemperatureGraph(program);
    case 2:
      return FanSpeedGraph(program);
    default:
      return FanTempGraph(program);
  }
}

void frmdoctor::WireGraphEvents() {
  for (int n = 0; n < btnGraphSet.Count(); ++n) btnGraphSet[n].OnClick = [this, n] { btnGraphSet_Click(n); };
}

void frmdoctor::btnGraphSet_Click(int index) {
  GraphWindow& window = GraphOfButton(program_, index);
  // The time graphs restart empty; the fan-against-temperature window restarts only when it is
  // on screen (a hidden one is merely shown again).
  const bool restart = index == 3 ? window.Visible.Get() : window.IsLoaded();
  if (restart) window.Unload();
  window.Load();
  // A window that closed itself while loading (a board without fan rows has no fan graph)
  // is not shown.
  if (window.IsLoaded()) window.Show();
}

}  // namespace veltrix::monitor
