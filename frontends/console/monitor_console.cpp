#include "frontends/console/monitor_console.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "frontends/console/json_text.h"
#include "monitor/fancontrol/cdrom_speed.h"
#include "monitor/program.h"
#include "monitor/ui/frmdoctor.h"
#include "platform/system/sim_system.h"

namespace veltrix::console {

namespace {

// Alarm dialogs by item.
constexpr const char* kDialogs[monitor::kItemCount] = {
    "frmVcoreA", "frmV25",  "frmV33",  "frmVp5",  "frmVp12",  "frmVn12",  "frmVn5",   "frmVsb",
    "frmVbat",   "frmFan1", "frmFan2", "frmFan3", "frmTemp1", "frmTemp2", "frmTemp3", "frmCaseOpen"};

bool IsRed(const forms::Control& c) {
  return c.BackColor == forms::kColorRed;
}

// Terminal width of UTF-8 text: CJK ideographs, kana, hangul and full-width forms take two
// columns, everything else one (continuation bytes do not count).
std::size_t Width(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
    if (i + len > text.size()) len = 1;
    char32_t cp = len == 1 ? b : (b & (0x7F >> len));
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    const bool wide = (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
                      (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
                      (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
                      (cp >= 0xFFE0 && cp <= 0xFFE6);
    n += wide ? 2 : 1;
    i += len;
  }
  return n;
}

std::string Pad(const std::string& text, std::size_t width) {
  const std::size_t w = Width(text);
  return w >= width ? text + ' ' : text + std::string(width - w, ' ');  // columns never touch
}

std::string PadLeft(const std::string& text, std::size_t width) {
  const std::size_t w = Width(text);
  return w >= width ? text : std::string(width - w, ' ') + text;
}

// The last SET CD SPEED sent to each drive: what the program asked for (v, v × 257 kB/s)
// and how the drive answered.
std::string CdromJson(monitor::Program& program) {
  std::string json = "[";
  for (const monitor::CdromDriveSpeed& d : program.Cdrom().drives) {
    if (json.size() > 1) json += ',';
    json += "{\"adapter\":" + std::to_string(d.adapter) + ",\"target\":" + std::to_string(d.target) +
            ",\"speed\":" + std::to_string(d.speed) + ",\"kbps\":" + std::to_string(d.speed * 257) +
            ",\"result\":" + JsonString(std::string(monitor::CdSpeedResultName(d.result))) + "}";
  }
  return json + "]";
}

std::string CdromLine(const monitor::CdromDriveSpeed& d) {
  const std::string name = "CD-ROM " + std::to_string(d.adapter) + ":" + std::to_string(d.target);
  return Pad(name, 20) + "speed " + std::to_string(d.speed) + " (" + std::to_string(d.speed * 257) + " kB/s)  " +
         std::string(monitor::CdSpeedResultName(d.result));
}

// The caption the window shows beside temperature row k. Some boards move a row without its
// caption (two rows trade places, or a row takes the place of one the board lacks), so the
// caption at the row's height names it.
std::string TempRowName(const monitor::frmdoctor& w, int k) {
  int nearest = k;
  int distance = -1;
  for (int j = 0; j < monitor::kTempCount; ++j) {
    if (!w.lblTempItem[j].Visible) continue;
    const int d = std::abs(w.lblTempItem[j].Top - w.lblStatusT[k].Top);
    if (distance < 0 || d < distance) {
      nearest = j;
      distance = d;
    }
  }
  return w.lblTempItem[nearest].Caption;
}

}  // namespace

MonitorConsole::MonitorConsole(monitor::Program& program, std::ostream& out, MonitorConsoleOptions options,
                               const std::vector<platform::ShownMessageBox>* boxes)
    : program_(program), out_(out), options_(options), boxes_(boxes) {}

void MonitorConsole::Attach() {
  program_.frmdoctor().AfterTick = [this] { OnTick(); };
  // An alarm's shut-down ends the simulated session (the program ends at once): say so, since
  // no tick record follows.
  if (auto* sim = dynamic_cast<platform::SimSystem*>(&program_.Sys())) {
    sim->SetOnSessionEnded([this](std::uint32_t flags) {
      const std::string what = platform::DescribeExitFlags(flags);
      if (options_.json) {
        out_ << "{\"event\":\"session-ended\",\"action\":" << JsonString(what) << "}\n";
      } else {
        out_ << "-- the system was asked to " << what << ": the simulated session ends here --\n";
      }
      out_.flush();
    });
  }
}

void MonitorConsole::OnTick() {
  out_ << (options_.json ? JsonRecord() : TextRecord()) << '\n';
  out_.flush();
}

std::vector<MonitorRow> MonitorConsole::Rows() const {
  auto& w = program_.frmdoctor();
  std::vector<MonitorRow> rows;
  rows.reserve(monitor::kItemCount);
  for (int i = 0; i < monitor::kItemCount; ++i) {
    MonitorRow r;
    r.index = i;
    r.enabled = w.WEnable[i] == 1;
    r.present = w.ItemPresent[i] == 1;
    if (i < monitor::kFirstFanItem) {
      r.name = w.lblItemName[i].Caption;
      r.text = w.lblStatusV[i].Caption;
      r.unit = w.lblV[i].Caption;
      r.limits = w.LblLoLimit[i].Caption + " .. " + w.LblHiLimit[i].Caption;
      r.alarm = IsRed(w.lblStatusV[i]);
    } else if (i < monitor::kFirstTempItem) {
      const int j = i - monitor::kFirstFanItem;
      r.name = w.lblFanItem[j].Caption;
      r.text = w.lblFanSpeed[j].Caption;
      r.unit = w.lblFanUnit[j].Caption;
      r.limits = "> " + w.lblFanLoLimit[j].Caption;
      r.alarm = IsRed(w.lblFanSpeed[j]);
    } else if (i < monitor::kChassisItem) {
      const int k = i - monitor::kFirstTempItem;
      r.name = TempRowName(w, k);
      r.text = w.lblStatusT[k].Caption;
      r.unit = w.lblT[k].Caption;
      r.limits = "< " + w.lblTempHiLimit[k].Caption;
      r.alarm = IsRed(w.lblStatusT[k]);
    } else {
      r.name = w.lblItemName[monitor::kChassisItem].Caption;  // the lamp on the page has no caption
      r.text = w.lblCaseOpen.Caption;
      // The chassis row has no red label: it is in alarm while the case is reported open.
      r.alarm = r.enabled && w.optCaseOpened.Value;
    }
    rows.push_back(std::move(r));
  }
  return rows;
}

std::vector<std::string> MonitorConsole::LoadedDialogs() const {
  std::vector<std::string> loaded;
  for (const char* name : kDialogs) {
    const forms::Form* form = program_.App().FindForm(name);
    if (form != nullptr && form->IsLoaded()) loaded.emplace_back(name);
  }
  return loaded;
}

std::vector<platform::ShownMessageBox> MonitorConsole::TakeNewMessages() {
  std::vector<platform::ShownMessageBox> fresh;
  if (boxes_ == nullptr) return fresh;
  if (boxesReported_ > boxes_->size()) boxesReported_ = 0;  // the record was cleared
  fresh.assign(boxes_->begin() + static_cast<std::ptrdiff_t>(boxesReported_), boxes_->end());
  boxesReported_ = boxes_->size();
  return fresh;
}

std::string MonitorConsole::JsonRecord() {
  const platform::LocalTime now = program_.Sys().Now();
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour % 100, now.minute % 100, now.second % 100);
  std::string json = "{\"tick\":" + std::to_string(program_.MonitoringTicks()) +
                     ",\"time\":" + JsonString(time) + ",\"model\":" + JsonString(program_.G().ModelName) +
                     ",\"items\":[";
  bool first = true;
  for (const MonitorRow& r : Rows()) {
    if (!first) json += ',';
    first = false;
    json += "{\"index\":" + std::to_string(r.index) + ",\"name\":" + JsonString(r.name) +
            ",\"text\":" + JsonString(r.text) + ",\"alarm\":" + (r.alarm ? "true" : "false") +
            ",\"enabled\":" + (r.enabled ? "true" : "false") +
            ",\"present\":" + (r.present ? "true" : "false") + "}";
  }
  json += "],\"cdrom\":" + CdromJson(program_) + ",\"fancontrol\":" + FanControlJson() + ",\"dialogs\":[";
  first = true;
  for (const std::string& d : LoadedDialogs()) {
    if (!first) json += ',';
    first = false;
    json += JsonString(d);
  }
  json += "],\"messages\":[";
  first = true;
  for (const platform::ShownMessageBox& box : TakeNewMessages()) {
    if (!first) json += ',';
    first = false;
    json += "{\"title\":" + JsonString(box.title) + ",\"text\":" + JsonString(box.text) + "}";
  }
  json += "]}";
  return json;
}

std::string MonitorConsole::FanControlJson() const {
  const auto& w = program_.frmdoctor();
  return "{\"enabled\":" + std::string(w.FanControlEnabled ? "true" : "false") +
         ",\"method\":" + std::to_string(w.FanControlMethod) + ",\"cpuPercent\":" + std::to_string(w.CpuFanPercent) +
         ",\"systemPercent\":" + std::to_string(w.SystemFanPercent) + "}";
}

std::string MonitorConsole::FanControlLine() const {
  const auto& w = program_.frmdoctor();
  std::string method = "off";
  if (w.FanControlEnabled) {
    const bool known = w.FanControlMethod >= 0 && w.FanControlMethod < w.rFANMethod.Count();
    method = known ? w.rFANMethod[w.FanControlMethod].Caption.Get() : std::string("no method");
  }
  return Pad("Hushwind", 20) + Pad(method, 30) + "CPU fan " + std::to_string(w.CpuFanPercent) + " %, system fan " +
         std::to_string(w.SystemFanPercent) + " %";
}

std::string MonitorConsole::TextRecord() {
  const platform::LocalTime now = program_.Sys().Now();
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour % 100, now.minute % 100, now.second % 100);
  std::ostringstream s;
  s << "-- tick " << program_.MonitoringTicks() << "  " << time << "  " << program_.G().ModelName << " --";
  for (const MonitorRow& r : Rows()) {
    if (!r.present) continue;  // rows the board does not have are hidden on the window too
    s << "\n  " << Pad(r.name, 20);
    if (!r.enabled) {
      s << "(not monitored)";
      continue;
    }
    if (r.index == monitor::kChassisItem) {
      // The chassis row has a sentence instead of a value, unit and limits.
      s << Pad(r.text, 36);
    } else {
      s << PadLeft(r.text, 9) << ' ' << Pad(r.unit, 4)
        << Pad(r.limits.empty() ? "" : "[" + r.limits + "]", 22);
    }
    s << (r.alarm ? "ALARM" : "ok");
  }
  if (program_.frmdoctor().CheckSupportFANControl()) s << "\n  " << FanControlLine();
  for (const monitor::CdromDriveSpeed& d : program_.Cdrom().drives) s << "\n  " << CdromLine(d);
  for (const std::string& d : LoadedDialogs()) s << "\n  dialog: " << d;
  for (const platform::ShownMessageBox& box : TakeNewMessages()) {
    s << "\n  message: [" << box.title << "] " << box.text;
  }
  return s.str();
}

}  // namespace veltrix::console
