// frmCaseOpen: the chassis-intrusion dialog and its speaker signal.
#include "monitor/alarms/case_open_dialog.h"

#include "monitor/alarms/chassis.h"
#include "monitor/boards/board_tables.h"
#include "monitor/chip/superio.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/shutdown.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

// The 8254 timer: channel-2 data port, control-word port, and the control word for channel 2,
// low byte then high byte, mode 3 (square wave), binary counting.
constexpr std::uint16_t kTimer2DataPort = 0x42;
constexpr std::uint16_t kTimerControlPort = 0x43;
constexpr std::uint8_t kTimer2SquareWave = 0xB6;

}  // namespace

frmCaseOpen::frmCaseOpen(Program& program) : AlarmDialog(program, kChassisItem) {
  Timer1.OnTimer = [this] { Timer1_Timer(); };
}

void frmCaseOpen::InitializeComponent() {
  AlarmDialog::InitializeComponent();
  Timer1.Interval = kToneIntervalMs;
  Timer1.Enabled = true;
}

std::string frmCaseOpen::BuiltInMessage() const {
  return "Your PC Case has been opened.";
}

std::optional<int> frmCaseOpen::MessageTextId() const {
  return 105;
}

void frmCaseOpen::Form_Load() {
  toggle_ = 0;
  ApplyText(Prog().G().LangPrefix, 65, [this](const std::string& s) { Main().lblCaseOpen.Caption = s; });
  AlarmDialog::Form_Load();  // texts, then the unattended shut-down when it is enabled
}

void frmCaseOpen::Form_Unload(int& /*cancel*/) {
  SpeakerOff(Prog());
  // Whatever the hardware says now; the next tick reads the flag again.
  ApplyText(Prog().G().LangPrefix, 66, [this](const std::string& s) { Main().lblCaseOpen.Caption = s; });
}

void frmCaseOpen::Timer1_Timer() {
  if (Main().WBeep[kChassisItem] == 0) {
    SpeakerOff(Prog());
    return;
  }
  if (toggle_ == 0) {
    BeepMyselfLo();
    toggle_ = 1;
  } else {
    BeepMyselfHi();
    toggle_ = 0;
  }
}

void frmCaseOpen::BeepMyselfHi() {
  Beep(kHighToneDivisor);
}

void frmCaseOpen::BeepMyselfLo() {
  Beep(kLowToneDivisor);
}

void frmCaseOpen::Beep(std::uint16_t divisor) {
  platform::PortIo& port = Prog().Port();
  // Timer-2 gate and speaker data on, then a new count for channel 2.
  const std::uint8_t control = port.InPortB(kSystemControlPort);
  port.OutPortB(kSystemControlPort, static_cast<std::uint8_t>(control | 0x03));
  port.OutPortB(kTimerControlPort, kTimer2SquareWave);
  port.OutPortB(kTimer2DataPort, static_cast<std::uint8_t>(divisor & 0xFF));
  port.OutPortB(kTimer2DataPort, static_cast<std::uint8_t>(divisor >> 8));
}

void frmCaseOpen::Command_Click(int index) {
  Program& program = Prog();
  const std::string& model = program.G().ModelName;
  switch (index) {
    case kIgnoreButton:
      // WarnCount stays: the next tick reads the cleared flag as closed and resets it.
      ClearChassisFlag(program, boards::IgnoreClearFor(model));
      SpeakerOff(program);
      Unload();
      break;
    case kDisableButton: {
      frmdoctor& main = Main();
      ClearChassisFlag(program, boards::DisableClearFor(model));
      main.WEnable[kChassisItem] = 0;
      main.RefreshItemRows();
      SpeakerOff(program);
      Unload();
      break;
    }
    case kShutDownButton:
      ShutDownSystem(program);
      break;  // the dialog and its tones stay
    default:
      break;
  }
}

}  // namespace veltrix::monitor
