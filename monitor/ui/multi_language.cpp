// Captions of the main window in the language chosen at start-up. Every text is looked up
// on its own; a text the table lacks leaves that control's built-in caption, and the next
// assignment goes on. A few controls live on pages built by other parts of the window and
// are reached by name, so a page that is not there yet simply keeps its built-in texts.
#include <array>
#include <string>
#include <string_view>

#include "monitor/boards/board_tables.h"
#include "monitor/program.h"
#include "monitor/resources/logos.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"
#include "monitor/ui/frmdoctor_layout.h"

namespace veltrix::monitor {

namespace {

// The caption (or text) of any control that shows one. False for a control without one.
bool SetCaption(forms::Control& control, const std::string& text) {
  if (auto* label = dynamic_cast<forms::Label*>(&control)) {
    label->Caption = text;
  } else if (auto* box = dynamic_cast<forms::CheckBox*>(&control)) {
    box->Caption = text;
  } else if (auto* option = dynamic_cast<forms::OptionButton*>(&control)) {
    option->Caption = text;
  } else if (auto* button = dynamic_cast<forms::CommandButton*>(&control)) {
    button->Caption = text;
  } else if (auto* frame = dynamic_cast<forms::Frame*>(&control)) {
    frame->Caption = text;
  } else if (auto* menu = dynamic_cast<forms::Menu*>(&control)) {
    menu->Caption = text;
  } else {
    return false;
  }
  return true;
}

// Voltage names of the boards whose inputs are wired as +1.5V/+3.3V/+5V/5Vsb/+12V/-12V.
constexpr std::array<std::string_view, 8> kVariant4VoltageNames{"Vcore", "+2.5V", "+1.5V", "+3.3V",
                                                                "+5V",   "5Vsb",  "+12V",  "-12V"};

}  // namespace

void frmdoctor::MultiLanguage() {
  const Globals& g = program_.G();
  const std::string& lang = g.LangPrefix;

  auto text = [&lang](forms::Control& control, int suffix) {
    ApplyText(lang, suffix, [&control](const std::string& s) { SetCaption(control, s); });
  };

  // Voltage names follow the board's wiring and are the same in every language. Voltage
  // item i is named in lblItemName(i) on the voltage page and lblItemName(24 - i) on the
  // monitoring page.
  auto voltageName = [this](int item, std::string_view name) {
    lblItemName[item].Caption = std::string(name);
    lblItemName[kItemNameCount - 1 - item].Caption = std::string(name);
  };
  switch (g.BoardVariant) {
    case 1:
    case 2:
      voltageName(6, "3.3Vsb");
      break;
    case 0:
    case 3:
      voltageName(6, "-5V");
      break;
    case 4:
      for (int i = 0; i < static_cast<int>(kVariant4VoltageNames.size()); ++i) {
        voltageName(i, kVariant4VoltageNames[static_cast<std::size_t>(i)]);
      }
      break;
    default:  // variant 5 keeps the built-in names
      break;
  }

  // Each page is selected while its caption is set; the window opens on the voltage page.
  SSTabMain.FontSize = 9;
  for (int tab = 0; tab < 8; ++tab) {
    SSTabMain.Tab = tab;
    ApplyText(lang, 110 + tab, [this, tab](const std::string& s) { SSTabMain.SetTabCaption(tab, s); });
  }
  SSTabMain.Tab = layout::kPageVoltage;

  // Monitor pages.
  text(fraFanSpeed, 11);
  text(fraTemperature, 12);
  for (int j = 0; j < kFanCount; ++j) text(lblFanUnit[j], 14 + j);
  for (int k = 0; k < kTempCount; ++k) text(lblTempItem[k], 17 + k);
  text(lblFanLimit, 20);
  text(lblVoltHeading[0], 21);  // low limit
  text(lblVoltHeading[1], 13);  // over the gauges: "Voltage"
  text(lblVoltHeading[2], 22);  // high limit
  text(lblVoltHeading[3], 23);  // status
  text(lblUnit, 24);
  text(lblCaseOpen, 25);
  text(lblFanItem[0], 26);
  // Three boards keep their own caption for the second fan row, and the monitoring page
  // calls that fan "SYS Fan3".
  const bool fanNameBoard = boards::InFanNameList(g.ModelName);
  if (!fanNameBoard) text(lblFanItem[1], 27);
  text(lblFanItem[2], 28);
  for (int k = 0; k < kTempCount; ++k) text(lblT[k], 29 + k);
  text(Frame2, 32);

  // Menus.
  text(IconMenuRestore, 56);
  text(IconMenuExit, 57);

  // About page.
  text(lblPS, 130);
  text(frmTitle, 61);
  text(lblVersion, 62);
  text(lblRelease, 59);
  text(lblSupport, 64);

  // Settings page.
  text(Check1, 355);
  text(Check2, 354);
  text(Check3, 353);
  text(Check4, 352);
  text(Check5, 351);
  text(LblSec, 358);

  // System information page, with its title picture in the language's script.
  text(lblUser, 315);
  text(lblCPU, 309);
  text(lblMemory, 316);
  text(lblModelName, 310);
  text(lblOS, 311);
  text(lblOSVersion, 312);
  text(lblBIOSVersion, 313);
  text(lblBIOSDate, 314);
  text(lblCountry, 317);
  text(lblIO, 318);
  {
    const std::string_view name = LogoNameForLanguage(g.LanguageId);
    // A picture missing from the program leaves the title empty.
    KorvanaLogo.Picture = LogoBitmap(name).empty() ? std::string() : std::string(name);
  }

  // Monitoring configuration page.
  text(fraMonitorConfig, 39);
  text(lblItemHeader[0], 41);
  text(lblItemHeader[1], 41);
  text(lblConfigHeading[0], 42);  // enable
  text(lblConfigHeading[2], 42);
  text(lblConfigHeading[1], 44);  // beep
  text(lblConfigHeading[3], 44);
  text(lblItemName[kFirstFanItem], 45);
  text(lblItemName[kFirstFanItem + 1], fanNameBoard ? 47 : 46);
  text(lblItemName[kFirstFanItem + 2], 47);
  for (int k = 0; k < kTempCount; ++k) text(lblItemName[kFirstTempItem + k], 48 + k);

  // Fan control page.
  text(chkEnableFanControl, 380);
  text(framFanControl, 381);
  for (int m = 0; m < 4; ++m) text(rFANMethod[m], 382 + m);
  for (int b = 0; b < 3; ++b) text(btnMethodSet[b], 386);
  text(cmdSelect[0], 390);
  text(cmdSelect[1], 391);
  text(lblCurrentControlMethod, 388);
  text(chkControlCDROMSpeed, 392);
  text(lblLowSpeed, 393);
  text(lblHighSpeed, 394);

  // Graph page.
  for (int n = 0; n < 4; ++n) text(lblGraphSetting[n], 395 + n);
  for (int n = 0; n < 4; ++n) text(btnGraphSet[n], 399);

  // Buttons under every page.
  text(cmdSave, 121);
  text(cmdDefault, 122);
  text(cmdExit, 123);
  text(cmdDeleteLog, 124);
  text(fraGraphSetting, 389);
}

}  // namespace veltrix::monitor
