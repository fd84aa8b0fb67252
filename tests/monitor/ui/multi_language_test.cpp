// The main window's captions in the three languages, the board-dependent names, and the
// rule that a text missing from the table leaves the built-in caption.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "frontends/console/monitor_console.h"
#include "monitor/program.h"
#include "monitor/resources/strings.h"
#include "monitor/ui/frmdoctor.h"
#include "tests/support/sim_program.h"

namespace veltrix::monitor {
namespace {

using testsupport::SimProgram;
using testsupport::SimProgramOptions;

SimProgramOptions Locale(std::uint32_t lcid) {
  SimProgramOptions o;
  o.lcid = lcid;
  return o;
}

std::string T(const char* prefix, int suffix) {
  return Text(prefix, suffix).value_or("<missing>");
}

TEST(MultiLanguage, EnglishCaptionsAndTabs) {
  SimProgram p("ZQ52", Locale(1033));
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  const char* tabs[] = {"Graphic", "Voltage", "Temp/Fan/Chassis", "Hushwind",
                        "System",  "About",   "Monitoring",       "Setting"};
  for (int t = 0; t < 8; ++t) EXPECT_EQ(f.SSTabMain.TabCaption(t), tabs[t]) << t;
  EXPECT_EQ(f.SSTabMain.Tab, 1);
  EXPECT_EQ(f.SSTabMain.FontSize, 9);
  EXPECT_EQ(f.Check1.Caption, "Run when Window starts.");
  EXPECT_EQ(f.Check2.Caption, "Shutdown.");
  EXPECT_EQ(f.Check3.Caption, "Sampling period");
  EXPECT_EQ(f.Check4.Caption, "Starting as small icon on system tray.");
  EXPECT_EQ(f.Check5.Caption, "Save sampling data to log file.");
  EXPECT_EQ(f.cmdSave.Caption, "Save");
  EXPECT_EQ(f.cmdDefault.Caption, "Load Default");
  EXPECT_EQ(f.lblItemName[9].Caption, "CPU Fan1");
  EXPECT_EQ(f.lblItemName[10].Caption, "SYS  Fan2");
  EXPECT_EQ(f.lblItemName[11].Caption, "SYS Fan3");
  EXPECT_EQ(f.lblItemName[13].Caption, "CPU Temp");
  EXPECT_EQ(f.lblFanUnit[2].Caption, "RPM");
}

TEST(MultiLanguage, ChineseLocalesGetTheirTables) {
  for (const auto& [lcid, prefix] : {std::pair<std::uint32_t, const char*>{1028, "28"}, {2052, "52"}}) {
    SCOPED_TRACE(prefix);
    SimProgram p("ZQ52", Locale(lcid));
    ASSERT_FALSE(p.Start());
    auto& f = p.Prog().frmdoctor();
    for (int t = 0; t < 8; ++t) EXPECT_EQ(f.SSTabMain.TabCaption(t), T(prefix, 110 + t)) << t;
    EXPECT_NE(f.SSTabMain.TabCaption(1), "Voltage");
    EXPECT_EQ(f.SSTabMain.Tab, 1);
    EXPECT_EQ(f.Check1.Caption, T(prefix, 355));
    EXPECT_EQ(f.Check5.Caption, T(prefix, 351));
    EXPECT_EQ(f.cmdSave.Caption, T(prefix, 121));
    EXPECT_EQ(f.lblItemName[12].Caption, T(prefix, 48));
    EXPECT_EQ(f.lblTempItem[1].Caption.Get().empty(), false);
    // Voltage names are not translated.
    EXPECT_EQ(f.lblItemName[0].Caption, "Vcore");
  }
  // Any other locale reads English.
  SimProgram french("ZQ52", Locale(1036));
  ASSERT_FALSE(french.Start());
  EXPECT_EQ(french.Prog().frmdoctor().SSTabMain.TabCaption(6), "Monitoring");
}

// Voltage names by wiring, on both pages (the monitoring page lists them in reverse).
TEST(MultiLanguage, VoltageNamesFollowTheBoardWiring) {
  struct Case {
    const char* model;
    std::uint16_t variant;
  };
  for (const Case& c :
       {Case{"ZR41E", 1}, Case{"ZR45", 3}, Case{"ZR61", 4}, Case{"ZQ60", 5}, Case{"ZQ52", 0}}) {
    SCOPED_TRACE(c.model);
    SimProgram p(c.model, Locale(2052));
    ASSERT_FALSE(p.Start());
    ASSERT_EQ(p.G().BoardVariant, c.variant);
    auto& f = p.Prog().frmdoctor();
    for (int n = 0; n < kItemNameCount; ++n) {
      if (n < 9 || n > 15) f.lblItemName[n].Caption = "mark";
    }
    f.MultiLanguage();
    auto pair = [&f](int i) {
      return f.lblItemName[i].Caption.Get() + "|" + f.lblItemName[24 - i].Caption.Get();
    };
    switch (c.variant) {
      case 1:
        EXPECT_EQ(pair(6), "3.3Vsb|3.3Vsb");
        EXPECT_EQ(pair(5), "mark|mark");
        break;
      case 0:
      case 3:
        EXPECT_EQ(pair(6), "-5V|-5V");
        EXPECT_EQ(pair(0), "mark|mark");
        break;
      case 4: {
        const char* names[] = {"Vcore", "+2.5V", "+1.5V", "+3.3V", "+5V", "5Vsb", "+12V", "-12V"};
        for (int i = 0; i < 8; ++i) EXPECT_EQ(pair(i), std::string(names[i]) + "|" + names[i]) << i;
        EXPECT_EQ(pair(8), "mark|mark");
        break;
      }
      default:
        for (int i = 0; i < 9; ++i) EXPECT_EQ(pair(i), "mark|mark") << i;
    }
  }
}

TEST(MultiLanguage, FanNameBoardsKeepTheirSecondFanCaption) {
  for (const auto& [model, listed] : {std::pair<const char*, bool>{"ZR77", true}, {"ZQ52", false}}) {
    SCOPED_TRACE(model);
    SimProgram p(model);
    ASSERT_FALSE(p.Start());
    auto& f = p.Prog().frmdoctor();
    f.lblFanItem[1].Caption = "mark";
    f.MultiLanguage();
    EXPECT_EQ(f.lblFanItem[1].Caption, listed ? "mark" : "SYSFan2");
    EXPECT_EQ(f.lblFanItem[2].Caption, "SYSFan3");
    EXPECT_EQ(f.lblItemName[10].Caption, listed ? "SYS Fan3" : "SYS  Fan2");
    EXPECT_EQ(f.lblItemName[11].Caption, "SYS Fan3");
  }
}

// The system information page's title picture is drawn in the language's script.
TEST(MultiLanguage, TitlePictureFollowsTheLanguage) {
  for (const auto& [lcid, logo] : {std::pair<std::uint32_t, const char*>{1028, "LOGO_PRC"},
                                   {2052, "LOGO_CH"},
                                   {1033, "LOGO_ENG"},
                                   {1031, "LOGO_ENG"}}) {
    SCOPED_TRACE(lcid);
    SimProgram p("ZQ52", Locale(lcid));
    ASSERT_FALSE(p.Start());
    auto& f = p.Prog().frmdoctor();
    EXPECT_EQ(f.KorvanaLogo.Picture.Get(), logo);
    EXPECT_EQ(f.lblCPU.Caption.Get(), T(lcid == 1028 ? "28" : lcid == 2052 ? "52" : "33", 309));
  }
}

// What a console user sees: the rows and the JSON names follow the locale.
TEST(MultiLanguage, ConsoleRowsCarryTheLanguage) {
  for (const auto& [lcid, prefix] :
       {std::pair<std::uint32_t, const char*>{1028, "28"}, {2052, "52"}, {1033, "33"}}) {
    SCOPED_TRACE(prefix);
    SimProgram p("ZQ52", Locale(lcid));
    ASSERT_FALSE(p.Start());
    std::ostringstream out;
    console::MonitorConsole console(p.Prog(), out, {.json = true});
    const auto rows = console.Rows();
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[9].name, T(prefix, 26));
    EXPECT_EQ(rows[13].name, T(prefix, 18));
    EXPECT_EQ(rows[0].name, "Vcore");
    EXPECT_NE(console.JsonRecord().find("\"name\":\"" + T(prefix, 18) + "\""), std::string::npos);
  }
}

TEST(MultiLanguage, MissingTextsKeepTheBuiltInCaptions) {
  SimProgram p("ZR61");
  ASSERT_FALSE(p.Start());
  auto& f = p.Prog().frmdoctor();
  f.Check1.Caption = "built-in";
  f.SSTabMain.SetTabCaption(3, "built-in tab");
  f.lblItemName[0].Caption = "mark";
  // A language with no table: every lookup fails, the fixed voltage names still apply.
  p.G().LangPrefix = "99";
  f.MultiLanguage();
  EXPECT_EQ(f.Check1.Caption, "built-in");
  EXPECT_EQ(f.SSTabMain.TabCaption(3), "built-in tab");
  EXPECT_EQ(f.cmdSave.Caption, "Save");
  EXPECT_EQ(f.lblItemName[0].Caption, "Vcore");
  EXPECT_EQ(f.SSTabMain.Tab, 1);

  // The Simplified Chinese table lacks two texts; neither is one this window needs.
  EXPECT_FALSE(Text("52", 43));
  EXPECT_FALSE(Text("52", 106));
}

}  // namespace
}  // namespace veltrix::monitor
