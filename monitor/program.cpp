#include "monitor/program.h"

#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/startup/frm_init.h"

// The main window is built by its own subsystem; until it is part of the tree, start-up
// reaches it only through ProgramHooks::LoadMainWindow.
#if __has_include("monitor/ui/frmdoctor.h")
#include "monitor/ui/frmdoctor.h"
#define VELTRIX_HAVE_FRMDOCTOR 1
#endif

namespace veltrix::monitor {

Program::Program(Services services) : services_(services) {
#ifdef VELTRIX_HAVE_FRMDOCTOR
  InstallChannelHooks(*this);  // board items, limit store, beeps and fan output of the main window
#endif
}

Program::~Program() {
  // The main window's controls may refer to secondary windows' state; it goes first.
  frmdoctor_.reset();
  frmInit_.reset();
}

CdromSpeedState& Program::Cdrom() {
  if (!cdrom_) cdrom_ = std::make_unique<CdromSpeedState>();
  return *cdrom_;
}

void Program::NoteMonitoringTick() {
  ++monitoringTicks_;
  if (OnMonitoringTick) OnMonitoringTick(monitoringTicks_);
}

#ifdef VELTRIX_HAVE_FRMDOCTOR
monitor::frmdoctor& Program::frmdoctor() {
  if (!frmdoctor_) frmdoctor_ = std::make_unique<monitor::frmdoctor>(*this);
  return static_cast<monitor::frmdoctor&>(*frmdoctor_);
}
#endif

bool Program::MainWindowBuilt() {
#ifdef VELTRIX_HAVE_FRMDOCTOR
  return true;
#else
  return false;
#endif
}

void Program::LoadMainWindowHidden() {
#ifdef VELTRIX_HAVE_FRMDOCTOR
  frmdoctor().Load();
  frmdoctor().Hide();
#else
  if (hooks_.LoadMainWindow) hooks_.LoadMainWindow();
#endif
}

forms::Form* Program::MainWindowIfCreated() {
  return frmdoctor_.get();
}

monitor::frmInit& Program::frmInit() {
  if (!frmInit_) frmInit_ = std::make_unique<monitor::frmInit>(*this);
  return static_cast<monitor::frmInit&>(*frmInit_);
}

}  // namespace veltrix::monitor
