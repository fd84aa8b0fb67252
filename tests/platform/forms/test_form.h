#pragma once
// A small form used by the form-runtime tests: one of each control the program relies on,
// handlers that count, and a recording observer.
#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace veltrix::forms::testing {

class RecordingObserver : public FormObserver {
 public:
  void FormLoaded(Form& form) override { events.push_back("loaded " + form.Name()); }
  void FormUnloaded(Form& form) override { events.push_back("unloaded " + form.Name()); }
  void PropertyChanged(Control& control, Prop prop) override {
    events.push_back(control.FullName() + "." + std::to_string(static_cast<int>(prop)));
  }
  void PopupMenu(Form& form, Menu& menu) override {
    events.push_back("popup " + form.Name() + " " + menu.Name());
    if (choice != nullptr) choice->UserClick();
  }
  std::size_t Count(const std::string& prefix) const {
    std::size_t n = 0;
    for (const auto& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  std::vector<std::string> events;
  Menu* choice = nullptr;
};

class TestForm : public Form {
 public:
  explicit TestForm(Application& app, std::string name = "frmTest") : Form(app, std::move(name)) {
    chkA.OnClick = [this] { log.push_back("chkA_Click"); };
    for (int i = 0; i < 3; ++i) {
      optTop[i].OnClick = [this, i] { log.push_back("optTop_Click " + std::to_string(i)); };
      optFrame[i].OnClick = [this, i] { log.push_back("optFrame_Click " + std::to_string(i)); };
    }
    optPage0.OnClick = [this] { log.push_back("optPage0_Click"); };
    optPage1.OnClick = [this] { log.push_back("optPage1_Click"); };
    lblA.OnChange = [this] { log.push_back("lblA_Change"); };
    txtA.OnChange = [this] { log.push_back("txtA_Change"); };
    updA.OnChange = [this] { log.push_back("updA_Change " + std::to_string(updA.Value)); };
    sldA.OnChange = [this] { log.push_back("sldA_Change " + std::to_string(sldA.Value)); };
    prbA.OnChange = [this] { log.push_back("prbA_Change " + std::to_string(prbA.Value)); };
    cmdA.OnClick = [this] { log.push_back("cmdA_Click"); };
    tabMain.OnTabClick = [this](int previous) {
      log.push_back("tabMain_Click " + std::to_string(previous) + "->" + std::to_string(tabMain.Tab));
    };
    mnuExit.OnClick = [this] { log.push_back("mnuExit_Click"); };
    Timer1.OnTimer = [this] { log.push_back("Timer1_Timer"); };
  }

  Label lblA{*this, "lblA"};
  CheckBox chkA{*this, "chkA"};
  ControlArray<OptionButton> optTop{*this, "optTop", 3};
  Frame fraGroup{*this, "fraGroup"};
  ControlArray<OptionButton> optFrame{*this, "optFrame", 3};
  TabStrip tabMain{*this, "tabMain"};
  OptionButton optPage0{*this, "optPage0"};
  OptionButton optPage1{*this, "optPage1"};
  Label lblOnPage1{*this, "lblOnPage1"};
  TextBox txtA{*this, "txtA"};
  UpDown updA{*this, "updA"};
  Slider sldA{*this, "sldA"};
  ProgressBar prbA{*this, "prbA"};
  CommandButton cmdA{*this, "cmdA"};
  PictureBox picA{*this, "picA"};
  Menu mnuPopup{*this, "mnuPopup"};
  Menu mnuExit{*this, "mnuExit"};
  Timer Timer1{*this, "Timer1"};

  std::vector<std::string> log;
  int loadCount = 0;
  int cancelQuery = 0;
  int cancelUnload = 0;
  int lastUnloadMode = -1;
  bool unloadInLoad = false;

 protected:
  void InitializeComponent() override {
    Caption = "Test";
    lblA.Caption = "design";
    lblA.Move(120, 240, 1000, 255);
    chkA.Value = 1;  // must raise nothing at design time
    optTop[0].Value = true;
    for (int i = 0; i < 3; ++i) optFrame[i].SetContainer(&fraGroup);
    optFrame[1].Value = true;
    tabMain.Tabs = 2;
    optPage0.SetContainer(&tabMain, 0);
    optPage1.SetContainer(&tabMain, 1);
    lblOnPage1.SetContainer(&tabMain, 1);
    optPage0.Value = true;
    optPage1.Value = true;  // another page, another group
    // Value before range, as design-time files may list them.
    sldA.Value = 50;
    sldA.Max = 100;
    updA.Min = 1;
    updA.Max = 5;
    updA.Value = 3;
    mnuPopup.Visible = false;
    mnuExit.SetContainer(&mnuPopup);
    Timer1.Interval = 100;
    Timer1.Enabled = false;
  }
  void Form_Load() override {
    ++loadCount;
    log.push_back("Form_Load");
    if (unloadInLoad) Unload();
  }
  void Form_QueryUnload(int& cancel, int mode) override {
    log.push_back("Form_QueryUnload");
    lastUnloadMode = mode;
    cancel = cancelQuery;
  }
  void Form_Unload(int& cancel) override {
    log.push_back("Form_Unload");
    cancel = cancelUnload;
  }
};

}  // namespace veltrix::forms::testing
