#include "monitor/program.h"

#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/startup/frm_init.h"
#include "monitor/startup/last_resort_restore.h"

#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {

Program::Program(Services services) : services_(services) {}

Program::~Program() {
  // The main window's controls may refer to secondary windows' state; it goes first.
  frmdoctor_.reset();
  frmInit_.reset();
}

void Program::NoteFanOutputChanged(int fan) {
  const auto bit = static_cast<std::uint8_t>(1U << fan);
  if ((fanOutputsChanged_ & bit) != 0) return;
  fanOutputsChanged_ = static_cast<std::uint8_t>(fanOutputsChanged_ | bit);
  RefreshLastResort(*this);
}

CdromSpeedState& Program::Cdrom() {
  if (!cdrom_) cdrom_ = std::make_unique<CdromSpeedState>();
  return *cdrom_;
}

void Program::NoteMonitoringTick() {
  ++monitoringTicks_;
  if (OnMonitoringTick) OnMonitoringTick(monitoringTicks_);
}

monitor::frmdoctor& Program::frmdoctor() {
  if (!frmdoctor_) frmdoctor_ = std::make_unique<monitor::frmdoctor>(*this);
  return static_cast<monitor::frmdoctor&>(*frmdoctor_);
}

void Program::LoadMainWindowHidden() {
  frmdoctor().Load();
  frmdoctor().Hide();
}

forms::Form* Program::MainWindowIfCreated() {
  return frmdoctor_.get();
}

monitor::frmInit& Program::frmInit() {
  if (!frmInit_) frmInit_ = std::make_unique<monitor::frmInit>(*this);
  return static_cast<monitor::frmInit&>(*frmInit_);
}

}  // namespace veltrix::monitor
