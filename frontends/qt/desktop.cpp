#include "frontends/qt/desktop.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdlib>

#include "frontends/qt/event_guard.h"
#include "frontends/qt/program_files.h"
#include "frontends/qt/qt_message_box.h"
#include "frontends/qt/skin.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/sim_system.h"

namespace veltrix::qt {

namespace {
int gArgc = 1;
char gArgv0[] = "veltrix";
char* gArgv[] = {gArgv0, nullptr};

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
}  // namespace

bool DisplayAvailable() {
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

std::unique_ptr<QApplication> MakeApplication() {
  auto app = std::make_unique<QApplication>(gArgc, gArgv);
  // Windows are hidden to the tray, never closed: only the program ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setPalette(skin::Palette());
  return app;
}

Desktop::~Desktop() {
  shell_.reset();
  renderer_.reset();
}

Desktop::Desktop(forms::Application& app, platform::SimSystem& system, const std::string& programFolder,
                 bool dialogsForBoxes) {
  renderer_ = std::make_unique<FormRenderer>(app, programFolder);
  // The program ends when its last window unloads, as the toolkit's programs do.
  renderer_->onAllUnloaded = [] { QCoreApplication::exit(0); };
  const QString icon = ProgramFilePath(programFolder, "veltrix.png");
  QApplication::setWindowIcon(QIcon(icon));
  shell_ = std::make_unique<QtShell>(*renderer_, icon.toStdString());
  shell_->WatchPowerEvents();
  if (dialogsForBoxes) system.SetMessageBoxSink(QtMessageBoxSink());
}

void Desktop::AfterStartup(monitor::Program& program) {
  if (!QtShell::TrayAvailable() && program.MainWindowIfCreated() != nullptr) program.frmdoctor().Show();
}

void Desktop::Run() {
  Exec();
}

void Desktop::Quit() {
  QCoreApplication::exit(0);
}

QStringList Desktop::SaveScreenshots(const QString& dir) const {
  return renderer_ ? renderer_->SaveScreenshots(dir) : QStringList();
}

}  // namespace veltrix::qt
