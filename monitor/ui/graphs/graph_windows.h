#pragma once
// Where the graph windows live: each is created on first use and kept for the whole run (an
// unloaded window keeps its object, as every form does). The main window owns them.
#include "monitor/ui/graphs/frm_graph.h"
#include "monitor/ui/graphs/frm_graph1.h"
#include "monitor/ui/graphs/frm_graph2.h"
#include "monitor/ui/graphs/frm_graph3.h"

namespace veltrix::monitor {

frmGraph1& VoltageGraph(Program& program);     // "Voltage vs Time"
frmGraph& TemperatureGraph(Program& program);  // "Temp vs Time"
frmGraph2& FanSpeedGraph(Program& program);    // "Fan speed vs Time"
frmGraph3& FanTempGraph(Program& program);     // "Fan speed vs Temp"

// The window a graph-page button opens: 0 voltage, 1 temperature, 2 fan speed, 3 fan speed
// against temperature.
GraphWindow& GraphOfButton(Program& program, int button);

}  // namespace veltrix::monitor
