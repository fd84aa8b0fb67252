#pragma once
// Where the three fan-control dialogs live: each is created on first use and kept for the
// whole run (an unloaded window keeps its object, as every form does). The main window owns
// them.
namespace veltrix::monitor {

class Program;
class frmSmartFAN;
class frmMultiFAN;
class frmManualFAN;

frmSmartFAN& SmartFanDialog(Program& program);
frmMultiFAN& MultiFanDialog(Program& program);
frmManualFAN& ManualFanDialog(Program& program);

// The dialog when it is loaded, else nullptr (never creates a window).
frmSmartFAN* LoadedSmartFanDialog(Program& program);
frmMultiFAN* LoadedMultiFanDialog(Program& program);
frmManualFAN* LoadedManualFanDialog(Program& program);

}  // namespace veltrix::monitor
