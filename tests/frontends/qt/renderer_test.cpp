// The desktop front end on real (offscreen) windows: a small form and the real main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTemporaryDir>

#include "frontends/qt/control_widgets.h"
#include "frontends/qt/form_renderer.h"
#include "frontends/qt/program_files.h"
#include "frontends/qt/qt_message_box.h"
#include "frontends/qt/qt_scheduler.h"
#include "monitor/program.h"
#include "monitor/startup/tray_window.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/shell.h"
#include "tests/frontends/qt/main_window_on_sim.h"
#include "tests/frontends/qt/popup_clicker.h"
#include "tests/support/sim_program.h"

namespace veltrix::qt {
namespace {

// The QApplication exists only once the tests run (listing them needs no display).
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};
[[maybe_unused]] auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void Click(QWidget* w, QPoint at = {}) {
  if (at.isNull()) at = w->rect().center();
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

class TestForm : public forms::Form {
 public:
  explicit TestForm(forms::Application& app) : forms::Form(app, "frmTest") {}
  forms::Label lblA{*this, "lblA"};
  forms::CheckBox chkA{*this, "chkA"};
  forms::UpDown updA{*this, "updA"};
  forms::Slider sldA{*this, "sldA"};
  forms::TextBox txtA{*this, "txtA"};
  forms::TabStrip tabs{*this, "tabs"};
  forms::Label onPage1{*this, "onPage1"};
  int clicks = 0;

 protected:
  void InitializeComponent() override {
    Caption = "Test";
    Move(0, 0, 6000, 4500);
    lblA.Move(150, 150, 1500, 300);
    lblA.Caption = "first";
    chkA.Move(150, 600, 1500, 300);
    chkA.Caption = "check";
    chkA.OnClick = [this] { ++clicks; };
    updA.Move(1800, 600, 255, 375);
    updA.Min = 0;
    updA.Max = 5;
    sldA.Move(150, 1050, 3000, 400);
    sldA.Max = 100;
    txtA.Move(150, 1500, 1500, 300);
    tabs.Move(150, 1950, 5000, 2000);
    tabs.Tabs = 2;
    tabs.SetTabCaption(0, "One");
    tabs.SetTabCaption(1, "Two");
    onPage1.SetContainer(&tabs, 1);
    onPage1.Move(150, 600, 1500, 300);
    onPage1.Caption = "page two";
  }
};

TEST(QtRenderer, WindowsFollowTheModelAndInputReachesIt) {
  forms::VirtualScheduler sched;
  forms::Application app(sched);
  TestForm form(app);
  FormRenderer renderer(app, "/nonexistent");
  form.Show();
  QWidget* window = renderer.WindowOf(form);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->size(), QSize(400, 300));
  EXPECT_EQ(window->windowTitle(), "Test");

  auto* label = qobject_cast<QLabel*>(renderer.WidgetOf(form.lblA));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->geometry(), QRect(10, 10, 100, 20));
  form.lblA.Caption = "second";
  EXPECT_EQ(label->text(), "second");
  form.lblA.Visible = false;
  EXPECT_FALSE(label->isVisible());

  auto* check = qobject_cast<QCheckBox*>(renderer.WidgetOf(form.chkA));
  Click(check);
  EXPECT_EQ(form.chkA.Value, 1);
  EXPECT_EQ(form.clicks, 1);
  form.chkA.Value = 0;
  EXPECT_EQ(check->checkState(), Qt::Unchecked);
  form.chkA.Enabled = false;
  Click(check);
  EXPECT_EQ(form.chkA.Value, 0) << "a disabled control takes no input";

  QWidget* arrows = renderer.WidgetOf(form.updA);
  Click(arrows, QPoint(arrows->width() / 2, 2));
  Click(arrows, QPoint(arrows->width() / 2, 2));
  EXPECT_EQ(form.updA.Value, 2);
  Click(arrows, QPoint(arrows->width() / 2, arrows->height() - 2));
  EXPECT_EQ(form.updA.Value, 1);

  auto* gauge = static_cast<GaugeWidget*>(renderer.WidgetOf(form.sldA));
  Click(gauge, QPoint(gauge->width() - 1, gauge->height() / 2));
  EXPECT_EQ(form.sldA.Value, 100);
  form.sldA.Enabled = false;
  EXPECT_TRUE(gauge->isVisible()) << "a disabled gauge still shows";

  auto* edit = qobject_cast<QLineEdit*>(renderer.WidgetOf(form.txtA));
  edit->setFocus();
  edit->insert("abc");  // typed text: textEdited
  EXPECT_EQ(form.txtA.Text.Get(), "abc");
  form.txtA.Text = "model";
  EXPECT_EQ(edit->text(), "model");

  QWidget* page1 = renderer.WidgetOf(form.onPage1);
  EXPECT_FALSE(page1->isVisible());
  auto* bar = renderer.WidgetOf(form.tabs)->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->tabText(1), "Two");
  Click(bar, bar->tabRect(1).center());
  EXPECT_EQ(form.tabs.Tab, 1);
  EXPECT_TRUE(page1->isVisible());
  form.tabs.Tab = 0;
  EXPECT_FALSE(page1->isVisible());

  form.Unload();
  EXPECT_EQ(renderer.WindowOf(form), nullptr);
}

TEST(QtScheduler, TimersFireOnTheEventLoopWithoutOverlapOrBacklog) {
  QtScheduler sched;
  forms::Application app(sched);
  TestForm form(app);
  forms::Timer timer(form, "Timer1");
  int fired = 0;
  timer.OnTimer = [&] {
    ++fired;
    if (fired == 1) sched.Sleep(120);  // falls behind by several periods
  };
  form.Load();
  timer.Interval = 30;  // after Load: loading resets controls to their design state
  EXPECT_EQ(sched.ArmedCount(), 1u);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 200) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  // First tick at 30 ms blocks until 150 ms; then one tick (no burst), then every 30 ms.
  EXPECT_GE(fired, 2);
  EXPECT_LE(fired, 4);
  form.Unload();
  EXPECT_EQ(sched.ArmedCount(), 0u);
}

TEST(QtMessageBox, StyleGivesButtonsIconAndTitle) {
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  auto sink = QtMessageBoxSink([&](QMessageBox& box) {
    title = box.windowTitle();
    icon = box.icon();
    EXPECT_TRUE(box.standardButtons() & QMessageBox::Yes);
    return QMessageBox::No;
  });
  EXPECT_EQ(sink("Shut down?", platform::vbYesNo | platform::vbQuestion, "Veltrix III"), platform::vbNo);
  EXPECT_EQ(title, "Veltrix III");
  EXPECT_EQ(icon, QMessageBox::Question);
  auto ok = QtMessageBoxSink([](QMessageBox&) { return QMessageBox::Yes; });  // not on the box
  EXPECT_EQ(ok("x", platform::vbOKOnly | platform::vbCritical, "Error"), platform::vbOK);
  EXPECT_EQ(ProgramFilePath("/opt/v", "/opt/v\\GIF\\fan0.gif"), "/opt/v/GIF/fan0.gif");
  EXPECT_EQ(ProgramFilePath("/opt/v", "\\GIF\\fan1.gif"), "/opt/v/GIF/fan1.gif");
}

TEST(QtMainWindow, RealMainWindowOnTheSimulator) {
  MainWindowOnSim run("ZT70");
  ASSERT_TRUE(run.started);
  auto& sim = run.sim;
  auto& shell = run.shell;
  auto& renderer = *run.renderer;
  auto& main = run.main();
  QWidget* window = renderer.WindowOf(main);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->size(), QSize(552, 436));
  sim.AdvanceMs(3000);

  // The model's readings reach the widgets.
  auto* status = qobject_cast<QLabel*>(renderer.WidgetOf(main.lblStatusV[0]));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text().toStdString(), main.lblStatusV[0].Caption.Get());

  // The tray menu pops up (a real QMenu::exec) with the entries; choosing Show shows the
  // window once the menu has closed.
  main.Hide();
  QStringList entries;
  ClickNextPopupEntry("Show", &entries);
  sim.Run([&] { shell.SendMessageA(shell.WindowHandle("frmdoctor"), 0x200, 0, 0x205); });
  EXPECT_EQ(entries, (QStringList{"Show", "Exit"}));
  QApplication::processEvents();
  EXPECT_TRUE(main.Visible);
  EXPECT_TRUE(window->isVisible());

  QTemporaryDir dir;
  const QStringList shots = renderer.SaveScreenshots(QString(VELTRIX_BINARY_DIR) + "/screenshots");
  EXPECT_TRUE(shots.contains(QString(VELTRIX_BINARY_DIR) + "/screenshots/frmdoctor.png"));

  // The minimise picture hides the window into the tray.
  Click(renderer.WidgetOf(main.picMin));
  EXPECT_FALSE(main.Visible);
  EXPECT_FALSE(window->isVisible());
}

// The System and About pages: the values appear on their page only, and the readme sits in a
// read-only box that keeps its lines.
TEST(QtMainWindow, SystemAndAboutPages) {
  MainWindowOnSim run("ZT70");
  ASSERT_TRUE(run.started);
  auto& renderer = *run.renderer;
  auto& main = run.main();

  auto* cpu = qobject_cast<QLabel*>(renderer.WidgetOf(main.lblCPU_));
  ASSERT_NE(cpu, nullptr);
  EXPECT_EQ(cpu->text().toStdString(), main.lblCPU_.Caption.Get());
  EXPECT_FALSE(cpu->isVisible());
  main.SSTabMain.UserSelectTab(4);
  QApplication::processEvents();
  EXPECT_TRUE(cpu->isVisible());
  EXPECT_TRUE(renderer.WidgetOf(main.KorvanaLogo)->isVisible());
  EXPECT_FALSE(qobject_cast<QLabel*>(renderer.WidgetOf(main.KorvanaLogo))->pixmap().isNull());

  auto* about = qobject_cast<QPlainTextEdit*>(renderer.WidgetOf(main.AboutText));
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->isVisible());
  main.SSTabMain.UserSelectTab(5);
  QApplication::processEvents();
  EXPECT_TRUE(about->isVisible());
  EXPECT_FALSE(cpu->isVisible());
  EXPECT_TRUE(about->isReadOnly());
  main.AboutText.Text = "first\r\nsecond";
  EXPECT_EQ(about->toPlainText(), "first\nsecond");
  EXPECT_EQ(about->document()->blockCount(), 2);
}

}  // namespace
}  // namespace veltrix::qt
