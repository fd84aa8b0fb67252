#include "frontends/qt/desktop.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <iostream>

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

constexpr const char* kMainWindow = "frmdoctor";
// How soon a notice that found the program busy tries again.
constexpr int kNoticeRetryMs = 200;

std::string MissingPicturesText(const std::string& folder, const QStringList& missing) {
  QStringList builtIn;
  QStringList absent;
  for (const QString& name : missing) (HasBuiltInPicture(name) ? builtIn : absent) << name;
  std::string text = "Pictures are missing from the program folder \"" + folder +
                     "\": " + missing.join(", ").toStdString() + ".";
  if (!builtIn.isEmpty())
    text += "\nThe program's own copies are shown for " + builtIn.join(", ").toStdString() + ".";
  if (!absent.isEmpty()) text += "\nThe others stay empty.";
  text += "\nCheck --program-dir.";
  return text;
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
                 bool dialogsForBoxes)
    : system_(system) {
  renderer_ = std::make_unique<FormRenderer>(app, programFolder);
  renderer_->SetMainForm(kMainWindow);
  // The program ends when its last window unloads, as the toolkit's programs do.
  renderer_->onAllUnloaded = [] { QCoreApplication::exit(0); };
  const QIcon icon = ProgramIcon(programFolder);
  QApplication::setWindowIcon(icon);
  shell_ = std::make_unique<QtShell>(*renderer_, icon);
  shell_->WatchPowerEvents();
  if (dialogsForBoxes) system.SetMessageBoxSink(QtMessageBoxSink());
  if (const QStringList missing = MissingProgramPictures(programFolder); !missing.isEmpty()) {
    const std::string text = MissingPicturesText(programFolder, missing);
    std::cerr << "veltrix: " << text << '\n';
    PostNotice(text, platform::vbOKOnly | platform::vbExclamation, "Warning");
  }
}

void Desktop::AfterStartup(monitor::Program& program) {
  forms::Form* main = program.MainWindowIfCreated();
  if (main == nullptr) return;
  if (!shell_->HasNotificationArea()) program.frmdoctor().Show();
  // The desktop reports no pointer resting on the tray icon, so the tip is refreshed the way
  // a hover would: now, and after every monitoring tick.
  QtShell* shell = shell_.get();
  auto& f = program.frmdoctor();
  f.AfterTick = [previous = f.AfterTick, shell] {
    if (previous) previous();
    shell->TrayMouse(platform::WM_MOUSEMOVE);
    // On the virtual clock no Qt event loop runs: what the windowing system queued for the
    // windows (shown, exposed, hidden) is taken after every tick, or it piles up.
    if (QThread::currentThread()->loopLevel() == 0 && !InsideCallback()) QCoreApplication::processEvents();
  };
  shell->TrayMouse(platform::WM_MOUSEMOVE);
  started_ = true;
  ShowNotices();
}

void Desktop::Run() {
  Exec();
}

void Desktop::Quit() {
  QCoreApplication::exit(0);
}

QStringList Desktop::SaveScreenshots(const QString& dir, QStringList* failed) const {
  return renderer_ ? renderer_->SaveScreenshots(dir, failed) : QStringList();
}

std::string ScreenshotFolderProblem(const std::string& dir) {
  const QString folder = QString::fromStdString(dir);
  if (folder.isEmpty()) return "no folder given";
  if (!QDir().mkpath(folder)) return "the folder cannot be created";
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".veltrix-XXXXXX")));
  if (!probe.open()) return "the folder is not writable (" + probe.errorString().toStdString() + ")";
  return {};
}

void Desktop::PostNotice(const std::string& text, int style, const std::string& title) {
  notices_.push_back({text, style, title});
  // Until start-up is over the notices wait for it (start-up processes events on its own).
  if (started_) ScheduleNotices(0);
}

void Desktop::ScheduleNotices(int delayMs) {
  QTimer::singleShot(delayMs, renderer_.get(), [this] {
    // Never from inside the program's own code (a handler that processes events, a box it
    // shows): only from the event loop itself.
    if (InsideCallback()) {
      ScheduleNotices(kNoticeRetryMs);
      return;
    }
    ShowNotices();
  });
}

void Desktop::ShowNotices() {
  if (showingNotices_) return;  // a box is up; the rest follow it
  showingNotices_ = true;
  while (!notices_.empty()) {
    const Notice notice = notices_.front();
    notices_.erase(notices_.begin());
    system_.MsgBox(notice.text, notice.style, notice.title);
  }
  showingNotices_ = false;
}

void Desktop::TellWhenSessionEnds() {
  system_.SetOnSessionEnded([this](std::uint32_t flags) {
    // The program ends right after this; nothing of it runs while the user reads.
    const HoldCallbacks hold;
    system_.MsgBox("The system was asked to " + platform::DescribeExitFlags(flags) +
                       ".\nThis simulated session ends here, and Veltrix closes.",
                   platform::vbOKOnly | platform::vbInformation, monitor::kAppTitle);
  });
}

}  // namespace veltrix::qt
