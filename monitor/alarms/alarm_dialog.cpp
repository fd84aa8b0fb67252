// The sensor alarm dialogs: layout, texts and the three buttons.
#include "monitor/alarms/alarm_dialog.h"

#include <algorithm>
#include <array>

#include "monitor/alarms/beep_settings.h"
#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/startup/shutdown.h"
#include "monitor/ui/frmdoctor.h"

namespace veltrix::monitor {
namespace {

constexpr std::array<std::string_view, kItemCount> kFormNames{
    "frmVcoreA", "frmV25",  "frmV33",  "frmVp5",  "frmVp12",  "frmVn12",  "frmVn5",   "frmVsb",
    "frmVbat",   "frmFan1", "frmFan2", "frmFan3", "frmTemp1", "frmTemp2", "frmTemp3", "frmCaseOpen"};

// What each dialog says when its language has no text for the message (design-time texts).
constexpr std::array<std::string_view, kChassisItem> kBuiltInMessages{
    "Your Vcore voltage exceed the limits.",      "Your 2.5V voltage exceed the limits.",
    "Your +3.3V voltage exceed the limits.",      "Your +5V voltage exceed the limits.",
    "Your +12V voltage exceed the limits.",       "Your -12V voltage exceed the limits.",
    "Your -5V voltage exceed the limits.",        "Your 5Vsb voltage exceed the limits.",
    "Your Vbat voltage exceed the limits.",       "Your CPU FAN Speed exceed the limits.",
    "Your Fan 2 Speed exceed the limits.",        "Your Fan 3 Speed exceed the limits.",
    "Your system temperature exceed the limits.", "Your CPU temperature exceed the limits.",
    "Your CPU Kernal temp exceed the limits."};

bool InList(boards::NameList list, const std::string& model) {
  return std::find(list.begin(), list.end(), model) != list.end();
}

std::string MessageLabelName(int item) {
  return item <= 1 ? "lblWarning" : "Label2";
}

}  // namespace

std::string_view AlarmFormName(int item) {
  if (item < 0 || item >= kItemCount) return {};
  return kFormNames[static_cast<std::size_t>(item)];
}

AlarmDialog::AlarmDialog(Program& program, int item)
    : forms::Form(program.App(), std::string(AlarmFormName(item))),
      Message(*this, MessageLabelName(item)),
      program_(program),
      item_(item) {
  for (int i = 0; i < 3; ++i) Command[i].OnClick = [this, i] { Command_Click(i); };
}

frmdoctor& AlarmDialog::Main() const {
  return program_.frmdoctor();
}

void AlarmDialog::InitializeComponent() {
  // A small fixed dialog, 4920 x 2760 twips: heading, message, three buttons with a hint
  // under each.
  BorderStyle = 3;
  const bool shortTitle = item_ == 1 || item_ == 7 || item_ == 8;  // frmV25, frmVsb, frmVbat
  Caption = shortTitle ? "Warning!!!" : "Warning !!!";
  Width = 4920;
  Height = 2760;
  Label1.Move(240, 120, 4320, 360);
  Label1.FontSize = 12;
  Label1.FontBold = true;
  Label1.ForeColor = forms::kColorRed;
  Label1.Caption = "Warning!";
  Message.Move(240, 540, 4320, 540);
  Message.FontSize = 10;
  Message.Caption = BuiltInMessage();
  static constexpr std::array<const char*, 3> kButtons{"Ignore", "Disable", "Shut Down"};
  static constexpr std::array<const char*, 3> kTips{"Ignore this Warning Message.",
                                                    "No more monitor this item", "Exit Windows"};
  for (int i = 0; i < 3; ++i) {
    const int left = 240 + i * 1500;
    Command[i].Move(left, 1200, 1320, 375);
    Command[i].Caption = kButtons[static_cast<std::size_t>(i)];
    Tip[i].Move(left, 1650, 1380, 600);
    Tip[i].FontSize = 8;
    Tip[i].Caption = kTips[static_cast<std::size_t>(i)];
  }
}

std::string AlarmDialog::BuiltInMessage() const {
  return std::string(kBuiltInMessages.at(static_cast<std::size_t>(item_)));
}

std::optional<int> AlarmDialog::MessageTextId() const {
  const Globals& g = program_.G();
  const int variant = g.BoardVariant;
  const std::string& model = g.ModelName;
  // Variant 4 boards carry other rails on the +3.3V .. 5Vsb inputs; variants 1 and 2 put
  // 3.3Vsb on the -5V input.
  switch (item_) {
    case 0:
      return 98;
    case 1:
      return 99;
    case 2:
      return variant == 4 ? 108 : 96;
    case 3:
      return variant == 4 ? 96 : 103;
    case 4:
      return variant == 4 ? 103 : 102;
    case 5:
      return variant == 4 ? 104 : 100;
    case 6:
      return variant == 1 || variant == 2 ? 107 : variant == 4 ? 102 : 101;
    case 7:
      return variant == 4 ? 100 : 104;
    case 8:
      return 97;
    case 9:
      return 90;
    case 10:
      return InList(boards::FanLabelListA(), model) ? 92 : 91;
    case 11:
      if (InList(boards::FanLabelListB(), model)) return std::nullopt;
      return InList(boards::FanLabelListC(), model) ? 91 : 93;
    case 12:
      return InList(boards::Zt50AlarmList(), model) ? 95 : 94;
    case 13:
      return InList(boards::Zt50AlarmList(), model) ? 94 : 95;
    case 14:
      return 106;
    default:
      return std::nullopt;
  }
}

void AlarmDialog::Form_Load() {
  // Each text is set on its own: a text missing from the language leaves the built-in one.
  const std::string& prefix = program_.G().LangPrefix;
  ApplyText(prefix, 70, [this](const std::string& s) { Caption = s; });
  ApplyText(prefix, 71, [this](const std::string& s) { Label1.Caption = s; });
  if (const std::optional<int> id = MessageTextId()) {
    ApplyText(prefix, *id, [this](const std::string& s) { Message.Caption = s; });
  }
  for (int i = 0; i < 3; ++i) {
    ApplyText(prefix, 73 + i, [this, i](const std::string& s) { Command[i].Caption = s; });
    ApplyText(prefix, 77 + i, [this, i](const std::string& s) { Tip[i].Caption = s; });
  }
  // With "Shutdown." ticked the first dialog that opens takes the system down.
  ShutdownIfEnabled(program_);
}

void AlarmDialog::Command_Click(int index) {
  switch (index) {
    case kIgnoreButton:
      Ignore();
      break;
    case kDisableButton:
      Disable();
      break;
    case kShutDownButton:
      ShutDownSystem(program_);
      break;  // the dialog stays open
    default:
      break;
  }
}

void AlarmDialog::Ignore() {
  Main().WarnCount[item_] = 0;
  Unload();
}

void AlarmDialog::Disable() {
  frmdoctor& main = Main();
  const int item = item_;  // a plain copy: this window may be unloaded below
  main.WEnable[item] = 0;
  main.RefreshItemRows();
  main.SavedWEnable[item] = main.WEnable[item];
  // As if the user unticked the item's Enable box: its click handling closes the item's
  // alarm, which unloads this very window while we are still in its handler. Only members
  // of the object (never its controls' values) are used from here on.
  main.chkEnable[item].Value = 0;
  main.ChkBeep[item].Visible = false;
  ClearItemBeepBit(program_, item);
  Unload();
}

}  // namespace veltrix::monitor
