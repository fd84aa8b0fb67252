#pragma once
// The alarm dialogs: one small modeless window per monitored item, each with the buttons
// Ignore, Disable and Shut Down and a hint beside each button. All fifteen sensor dialogs
// are the one class AlarmDialog, parameterised by item; AlarmForm<Item> only fixes the item
// so the program can create each window on first use (Program::FormSlot). The chassis
// dialog frmCaseOpen (case_open_dialog.h) derives from the same class.
//
// Item -> window: 0 frmVcoreA, 1 frmV25, 2 frmV33, 3 frmVp5, 4 frmVp12, 5 frmVn12, 6 frmVn5,
// 7 frmVsb, 8 frmVbat, 9 frmFan1, 10 frmFan2, 11 frmFan3, 12 frmTemp1, 13 frmTemp2,
// 14 frmTemp3, 15 frmCaseOpen.
#include <optional>
#include <string>
#include <string_view>

#include "platform/forms/forms.h"

namespace veltrix::monitor {

class Program;
class frmdoctor;

// The window name of an item's dialog ("frmVcoreA" ... "frmCaseOpen"); empty outside 0..15.
std::string_view AlarmFormName(int item);

// Buttons of every alarm dialog, by element index of the Command array.
inline constexpr int kIgnoreButton = 0;
inline constexpr int kDisableButton = 1;
inline constexpr int kShutDownButton = 2;

class AlarmDialog : public forms::Form {
 public:
  AlarmDialog(Program& program, int item);

  int Item() const { return item_; }
  Program& Prog() const { return program_; }
  frmdoctor& Main() const;

  forms::Label Label1{*this, "Label1"};  // the heading
  forms::Label Message;                  // "lblWarning" on frmVcoreA and frmV25, "Label2" elsewhere
  forms::ControlArray<forms::CommandButton> Command{*this, "Command", 3};
  forms::ControlArray<forms::Label> Tip{*this, "Tip", 3};

  // A click on Ignore (0), Disable (1) or Shut Down (2).
  virtual void Command_Click(int index);

  // The text the message label shows when the language has a text for it; nullopt keeps
  // the built-in text (frmFan3 on the boards of fan-label list B).
  virtual std::optional<int> MessageTextId() const;
  // The message label's built-in (design-time) text.
  virtual std::string BuiltInMessage() const;

 protected:
  void InitializeComponent() override;
  // Texts of the current language, then the unattended shut-down when it is enabled.
  void Form_Load() override;

 private:
  void Ignore();
  void Disable();

  Program& program_;
  int item_;
};

// A dialog bound to its item, so each window has a type the program can create on demand.
template <int ItemIndex>
class AlarmForm final : public AlarmDialog {
 public:
  explicit AlarmForm(Program& program) : AlarmDialog(program, ItemIndex) {}
};

using frmVcoreA = AlarmForm<0>;
using frmV25 = AlarmForm<1>;
using frmV33 = AlarmForm<2>;
using frmVp5 = AlarmForm<3>;
using frmVp12 = AlarmForm<4>;
using frmVn12 = AlarmForm<5>;
using frmVn5 = AlarmForm<6>;
using frmVsb = AlarmForm<7>;
using frmVbat = AlarmForm<8>;
using frmFan1 = AlarmForm<9>;
using frmFan2 = AlarmForm<10>;
using frmFan3 = AlarmForm<11>;
using frmTemp1 = AlarmForm<12>;
using frmTemp2 = AlarmForm<13>;
using frmTemp3 = AlarmForm<14>;

}  // namespace veltrix::monitor
