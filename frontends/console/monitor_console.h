#pragma once
// The monitor's readings on a terminal: after every monitoring tick, the rows a person sees on
// the monitor pages (name, value with unit, limits, status), or with JSON one object per tick
// on one line:
//
//   {"tick":1,"time":"09:00:01","model":"ZT50E","items":[{"index":0,"name":"Vcore",
//    "text":"1.71","alarm":false,"enabled":true,"present":true}, ...16 entries...],
//    "cdrom":[{"adapter":0,"target":0,"speed":52,"kbps":13364,"result":"ok"}],
//    "fancontrol":{...},"dialogs":["frmFan1"],"messages":[{"title":"Warning!!","text":"..."}]}
//
// `cdrom` is the last SET CD SPEED sent to each CD-ROM drive so far (a text line per drive).
// `fancontrol` is the fan control in force: {"enabled":true,"method":2,"cpuPercent":40,
// "systemPercent":70} (method 0 multiple level, 1 fixed, 2 smart, 3 recommended, 999 none;
// the percentages are the last outputs of the CPU fan and the system fan). `dialogs` are the
// alarm dialogs loaded at that moment, `messages` the message boxes shown since the previous
// record. The text record adds a "Hushwind" line with the same on boards with fan control.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/system/message_box.h"

namespace veltrix::monitor {
class Program;
}

namespace veltrix::console {

struct MonitorConsoleOptions {
  bool json = false;
};

// One monitored item as the main window shows it.
struct MonitorRow {
  int index = 0;
  std::string name;    // the row's caption
  std::string text;    // the status caption (value, "fan off", chassis text)
  std::string unit;    // "V", "RPM", "°C" or ""
  std::string limits;  // "1.20 .. 2.10", "> 2265", "< 60.00" or ""
  bool alarm = false;  // status background red
  bool enabled = false;
  bool present = false;
};

class MonitorConsole {
 public:
  // `boxes` is the record of message boxes shown so far (the front end's answerer keeps it);
  // nullptr = no messages are reported.
  MonitorConsole(monitor::Program& program, std::ostream& out, MonitorConsoleOptions options = {},
                 const std::vector<platform::ShownMessageBox>* boxes = nullptr);

  // Prints a record after every monitoring tick from now on (uses frmdoctor::AfterTick).
  void Attach();
  // Prints the record of the tick that just finished.
  void OnTick();

  std::vector<MonitorRow> Rows() const;
  std::vector<std::string> LoadedDialogs() const;
  // The record without a trailing newline. Both take the messages shown since the last record.
  std::string JsonRecord();
  std::string TextRecord();

 private:
  std::vector<platform::ShownMessageBox> TakeNewMessages();
  std::string FanControlJson() const;
  std::string FanControlLine() const;

  monitor::Program& program_;
  std::ostream& out_;
  MonitorConsoleOptions options_;
  const std::vector<platform::ShownMessageBox>* boxes_;
  std::size_t boxesReported_ = 0;
};

}  // namespace veltrix::console
