#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include "platform/files/safe_file.h"
#include "sim/scenario/scenario.h"
#include "sim/text/tokens.h"

namespace veltrix::sim {
namespace {

constexpr double kMaxTimeMs = 366.0 * 24 * 3600 * 1000;  // a year of simulated time is plenty
constexpr std::size_t kMaxLineLength = 4096;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool ParseDouble(std::string_view s, double& out) {
  if (s.empty()) return false;
  if (s.front() == '+') s.remove_prefix(1);
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(out);
}

bool ParseInt(std::string_view s, int& out) {
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && ec == std::errc() && ptr == s.data() + s.size();
}

bool ParseHexByte(std::string_view s, std::uint8_t& out) {
  if (s.size() < 3 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
  s.remove_prefix(2);
  unsigned v = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  if (ec != std::errc() || ptr != s.data() + s.size() || v > 0xFF) return false;
  out = static_cast<std::uint8_t>(v);
  return true;
}

constexpr int kMaxAspiAdapters = 15;
constexpr double kMaxDriveDelayMs = 10.0 * 60 * 1000;

// "1:0" -> adapter 1, target 0.
bool ParseDriveAddress(std::string_view s, int& adapter, int& target) {
  const std::size_t colon = s.find(':');
  if (colon == std::string_view::npos) return false;
  return ParseInt(s.substr(0, colon), adapter) && ParseInt(s.substr(colon + 1), target) && adapter >= 0 &&
         adapter < kMaxAspiAdapters && target >= 0 && target <= 7;
}

// "10s", "1.5s", "500ms", "2m".
bool ParseTime(std::string_view s, double& ms) {
  double scale = 0.0;
  std::string_view num;
  if (s.size() > 2 && s.substr(s.size() - 2) == "ms") {
    scale = 1.0, num = s.substr(0, s.size() - 2);
  } else if (s.size() > 1 && s.back() == 's') {
    scale = 1000.0, num = s.substr(0, s.size() - 1);
  } else if (s.size() > 1 && s.back() == 'm') {
    scale = 60000.0, num = s.substr(0, s.size() - 1);
  } else {
    return false;
  }
  double v = 0.0;
  if (!ParseDouble(num, v) || v < 0.0) return false;
  ms = v * scale;
  return ms <= kMaxTimeMs;
}

// Parses the command part of one line (after "at TIME") into ev; returns a reason on failure.
std::optional<std::string> ParseCommand(const std::vector<std::string_view>& t, ScenarioEvent& ev) {
  const std::string verb = Lower(t[0]);
  const std::size_t n = t.size();
  auto need = [&](std::size_t count, const char* usage) -> std::optional<std::string> {
    if (n != count) return std::string("expected '") + usage + "'";
    return std::nullopt;
  };
  if (verb == "fan") {
    if (n < 3) return "expected 'fan NAME stop|fail|run|rpm N'";
    ev.target = std::string(t[1]);
    const std::string what = Lower(t[2]);
    if (what == "stop" || what == "fail" || what == "run") {
      if (auto e = need(3, "fan NAME stop|fail|run")) return e;
      ev.action = what == "stop"   ? ScenarioAction::kFanStop
                  : what == "fail" ? ScenarioAction::kFanFail
                                   : ScenarioAction::kFanRun;
      return std::nullopt;
    }
    if (what == "rpm") {
      if (auto e = need(4, "fan NAME rpm N")) return e;
      if (!ParseDouble(t[3], ev.value) || ev.value < 0.0 || ev.value > 30000.0)
        return "fan speed must be a number of RPM from 0 to 30000";
      ev.action = ScenarioAction::kFanRpm;
      return std::nullopt;
    }
    return "unknown fan action '" + std::string(t[2]) + "' (stop, fail, run or rpm N)";
  }
  if (verb == "rail") {
    if (auto e = need(3, "rail NAME VOLTS|nominal")) return e;
    ev.target = std::string(t[1]);
    if (Lower(t[2]) == "nominal") {
      ev.action = ScenarioAction::kRailNominal;
      return std::nullopt;
    }
    std::string_view v = t[2];
    if (!v.empty() && (v.back() == 'V' || v.back() == 'v')) v.remove_suffix(1);
    if (!ParseDouble(v, ev.value) || std::fabs(ev.value) > 30.0)
      return "rail value must be volts from -30 to 30 or 'nominal'";
    ev.action = ScenarioAction::kRailSet;
    return std::nullopt;
  }
  if (verb == "case") {
    if (auto e = need(2, "case open|close")) return e;
    const std::string what = Lower(t[1]);
    if (what == "open" || what == "opened") {
      ev.action = ScenarioAction::kCaseOpen;
    } else if (what == "close" || what == "closed") {
      ev.action = ScenarioAction::kCaseClose;
    } else {
      return "expected 'case open' or 'case close'";
    }
    return std::nullopt;
  }
  if (verb == "load") {
    if (auto e = need(2, "load PERCENT")) return e;
    std::string_view v = t[1];
    if (!v.empty() && v.back() == '%') v.remove_suffix(1);
    if (!ParseDouble(v, ev.value) || ev.value < 0.0 || ev.value > 100.0)
      return "load must be 0 to 100 percent";
    ev.action = ScenarioAction::kLoad;
    return std::nullopt;
  }
  if (verb == "temp") {
    if (auto e = need(3, "temp NAME CELSIUS|auto")) return e;
    ev.target = std::string(t[1]);
    if (Lower(t[2]) == "auto") {
      ev.action = ScenarioAction::kTempAuto;
      return std::nullopt;
    }
    std::string_view v = t[2];
    if (!v.empty() && (v.back() == 'C' || v.back() == 'c')) v.remove_suffix(1);
    if (!ParseDouble(v, ev.value) || ev.value < -55.0 || ev.value > 150.0)
      return "temperature must be -55 to 150 degrees or 'auto'";
    ev.action = ScenarioAction::kTempSet;
    return std::nullopt;
  }
  if (verb == "garbage") {
    // garbage reg 0xRR 0xVV [bank N]  |  garbage off reg 0xRR [bank N]
    std::size_t i = 1;
    bool off = n > 1 && Lower(t[1]) == "off";
    if (off) ++i;
    if (i >= n || Lower(t[i]) != "reg")
      return "expected 'garbage reg 0xRR 0xVV [bank N]' or 'garbage off reg 0xRR'";
    ++i;
    if (i >= n || !ParseHexByte(t[i], ev.reg) || ev.reg > 0x7F) return "register must be hex 0x00 to 0x7f";
    ++i;
    if (!off) {
      if (i >= n || !ParseHexByte(t[i], ev.byte)) return "garbage value must be a hex byte like 0xff";
      ++i;
    }
    if (i < n) {
      if (Lower(t[i]) != "bank" || i + 2 != n || !ParseInt(t[i + 1], ev.bank) || ev.bank < 0 || ev.bank > 7)
        return "expected 'bank N' (0 to 7) at the end";
    }
    ev.action = off ? ScenarioAction::kGarbageClear : ScenarioAction::kGarbage;
    return std::nullopt;
  }
  if (verb == "aspi") {
    const std::string what = n > 1 ? Lower(t[1]) : "";
    if (what == "none") {
      if (auto e = need(2, "aspi none")) return e;
      ev.action = ScenarioAction::kAspiNone;
      return std::nullopt;
    }
    if (what == "adapters") {
      if (auto e = need(3, "aspi adapters N")) return e;
      int count = 0;
      if (!ParseInt(t[2], count) || count < 0 || count > kMaxAspiAdapters)
        return "the number of host adapters must be 0 to " + std::to_string(kMaxAspiAdapters);
      ev.value = count;
      ev.action = ScenarioAction::kAspiAdapters;
      return std::nullopt;
    }
    return "expected 'aspi none' or 'aspi adapters N'";
  }
  if (verb == "drive") {
    if (n < 3) return "expected 'drive A:T cdrom|disk|tape|type N|slow TIME|hang|check|ok|remove'";
    if (!ParseDriveAddress(t[1], ev.aspiAdapter, ev.aspiTarget))
      return "drive address must be ADAPTER:TARGET with adapter 0 to " +
             std::to_string(kMaxAspiAdapters - 1) + " and target 0 to 7 (e.g. 1:0)";
    const std::string what = Lower(t[2]);
    static constexpr std::pair<const char*, int> kTypes[] = {{"disk", 0x00}, {"tape", 0x01}, {"cdrom", 0x05}};
    for (const auto& [name, type] : kTypes) {
      if (what == name) {
        if (auto e = need(3, "drive A:T cdrom|disk|tape")) return e;
        ev.value = type;
        ev.action = ScenarioAction::kDriveAdd;
        return std::nullopt;
      }
    }
    if (what == "type") {
      if (auto e = need(4, "drive A:T type N")) return e;
      int type = 0;
      if (!ParseInt(t[3], type) || type < 0 || type > 0x1F) return "device type must be 0 to 31";
      ev.value = type;
      ev.action = ScenarioAction::kDriveAdd;
      return std::nullopt;
    }
    if (what == "slow") {
      if (auto e = need(4, "drive A:T slow TIME")) return e;
      if (!ParseTime(t[3], ev.value) || ev.value > kMaxDriveDelayMs)
        return "the delay must be a time up to 10m (e.g. 800ms, 3s)";
      ev.action = ScenarioAction::kDriveSlow;
      return std::nullopt;
    }
    static constexpr std::pair<const char*, ScenarioAction> kStates[] = {
        {"hang", ScenarioAction::kDriveHang},
        {"check", ScenarioAction::kDriveCheck},
        {"ok", ScenarioAction::kDriveOk},
        {"remove", ScenarioAction::kDriveRemove}};
    for (const auto& [name, action] : kStates) {
      if (what == name) {
        if (auto e = need(3, "drive A:T hang|check|ok|remove")) return e;
        ev.action = action;
        return std::nullopt;
      }
    }
    return "unknown drive action '" + std::string(t[2]) +
           "' (cdrom, disk, tape, type N, slow TIME, hang, check, ok or remove)";
  }
  if (verb == "suspend" || verb == "resume") {
    if (n != 1) return "'" + verb + "' takes no arguments";
    ev.action = verb == "suspend" ? ScenarioAction::kSuspend : ScenarioAction::kResume;
    return std::nullopt;
  }
  return "unknown event '" + std::string(t[0]) + "'";
}

}  // namespace

ScenarioParseResult ParseScenario(std::string_view text, std::string_view fileName) {
  Scenario result;
  result.fileName = std::string(fileName);
  int lineNo = 0;
  std::size_t pos = 0;
  auto fail = [&](const std::string& reason) {
    ScenarioParseResult r;
    r.error = std::string(fileName) + ":" + std::to_string(lineNo) + ": " + reason;
    return r;
  };
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineLength) return fail("line too long");
    if (std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    for (char c : line) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return fail("control character in line");
    }
    auto tokens = Tokens(line);
    if (tokens.empty()) {
      if (end == text.size()) break;
      continue;
    }
    if (Lower(tokens[0]) != "at" || tokens.size() < 3) return fail("expected 'at TIME EVENT ...'");
    ScenarioEvent ev;
    ev.line = lineNo;
    if (!ParseTime(tokens[1], ev.atMs))
      return fail("bad time '" + std::string(tokens[1]) + "' (use e.g. 10s, 1.5s, 500ms, 2m)");
    std::vector<std::string_view> cmd(tokens.begin() + 2, tokens.end());
    if (auto reason = ParseCommand(cmd, ev)) return fail(*reason);
    result.events.push_back(std::move(ev));
    if (end == text.size()) break;
  }
  std::stable_sort(result.events.begin(), result.events.end(),
                   [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.atMs < b.atMs; });
  ScenarioParseResult r;
  r.scenario = std::move(result);
  return r;
}

ScenarioParseResult LoadScenarioFile(const std::string& path) {
  platform::files::ReadResult read = platform::files::ReadRegularFile(path, kMaxScenarioFileBytes);
  if (!read.text) {
    ScenarioParseResult r;
    r.error = path + ": cannot read (" + read.problem.Because() + ")";
    return r;
  }
  return ParseScenario(*read.text, path);
}

std::string_view ScenarioActionName(ScenarioAction action) {
  switch (action) {
    case ScenarioAction::kFanStop:
      return "fan stop";
    case ScenarioAction::kFanFail:
      return "fan fail";
    case ScenarioAction::kFanRun:
      return "fan run";
    case ScenarioAction::kFanRpm:
      return "fan rpm";
    case ScenarioAction::kRailSet:
      return "rail";
    case ScenarioAction::kRailNominal:
      return "rail nominal";
    case ScenarioAction::kCaseOpen:
      return "case open";
    case ScenarioAction::kCaseClose:
      return "case close";
    case ScenarioAction::kLoad:
      return "load";
    case ScenarioAction::kTempSet:
      return "temp";
    case ScenarioAction::kTempAuto:
      return "temp auto";
    case ScenarioAction::kGarbage:
      return "garbage";
    case ScenarioAction::kGarbageClear:
      return "garbage off";
    case ScenarioAction::kSuspend:
      return "suspend";
    case ScenarioAction::kResume:
      return "resume";
    case ScenarioAction::kAspiNone:
      return "aspi none";
    case ScenarioAction::kAspiAdapters:
      return "aspi adapters";
    case ScenarioAction::kDriveAdd:
      return "drive";
    case ScenarioAction::kDriveSlow:
      return "drive slow";
    case ScenarioAction::kDriveHang:
      return "drive hang";
    case ScenarioAction::kDriveCheck:
      return "drive check";
    case ScenarioAction::kDriveOk:
      return "drive ok";
    case ScenarioAction::kDriveRemove:
      return "drive remove";
  }
  return "?";
}

}  // namespace veltrix::sim
