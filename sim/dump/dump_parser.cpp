#include <cctype>
#include <charconv>
#include "platform/files/safe_file.h"
#include "platform/text/text.h"
#include "sim/dump/register_dump.h"
#include "sim/text/tokens.h"

namespace veltrix::sim {
namespace {

constexpr std::size_t kMaxTables = 64;

bool IsBlank(std::string_view s) {
  for (char c : s)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// "0x295", "0295", "295" (isadump takes C integer syntax; decimal only without a leading 0x
// would be ambiguous, and nobody dumps ports in decimal, so hex is assumed).
std::optional<unsigned> ParseNumber(std::string_view s) {
  if (!s.empty() && s.back() == ':') s.remove_suffix(1);
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  unsigned v = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (s.empty() || ec != std::errc() || ptr != s.data() + s.size() || v > 0xFFFF) return std::nullopt;
  return v;
}

bool IsColumnHeader(const std::vector<std::string_view>& t) {
  if (t.size() != 16 && t.size() != 17) return false;
  static constexpr char kDigits[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    if (t[i].size() != 1 || std::tolower(static_cast<unsigned char>(t[i][0])) != kDigits[i]) return false;
  }
  return t.size() == 16 || t[16] == "0123456789abcdef" || t[16] == "0123456789ABCDEF";
}

// A row label "00:" .. "f0:"; returns the row number 0..15.
std::optional<int> RowLabel(std::string_view line) {
  if (line.size() < 3 || line[2] != ':') return std::nullopt;
  int hi = text::HexDigit(line[0]);
  if (hi < 0 || line[1] != '0') return std::nullopt;
  return hi;
}

struct Pending {
  std::uint16_t addressPort = 0;
  std::uint16_t dataPort = 0;
  std::optional<int> bank;
};

class Parser {
 public:
  Parser(std::string_view text, std::string_view fileName) : text_(text), fileName_(fileName) {}

  DumpParseResult Run() {
    if (text_.size() > kMaxDumpFileBytes) return Fail(1, "file too large for a register dump");
    RegisterDump dump;
    dump.fileName = std::string(fileName_);
    std::optional<DumpTable> table;
    int nextRow = 0;
    int lineNo = 0;
    std::size_t pos = 0;
    auto finishTable = [&]() -> std::optional<std::string> {
      if (!table) return std::nullopt;
      if (nextRow != 16 && nextRow != 8)
        return "table starting at line " + std::to_string(table->line) + " has " + std::to_string(nextRow) +
               " rows, expected 16 (or 8 from a busy chip)";
      table->rows = nextRow;
      dump.tables.push_back(*table);
      table.reset();
      pending_ = Pending{};
      return std::nullopt;
    };
    while (pos < text_.size()) {
      std::size_t end = text_.find('\n', pos);
      if (end == std::string_view::npos) end = text_.size();
      std::string_view line = text_.substr(pos, end - pos);
      pos = end + 1;
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      for (char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
          return Fail(lineNo, "control character in line");
      }
      std::string_view trimmed = text::Trim(line);

      if (auto row = RowLabel(trimmed)) {
        if (!table) return Fail(lineNo, "register row before the column header");
        if (*row != nextRow) {
          return Fail(lineNo, "row " + std::string(trimmed.substr(0, 2)) + " out of order, expected " +
                                  "0123456789abcdef"[nextRow] + "0");
        }
        if (auto err = ParseRow(trimmed.substr(3), *row, *table)) return Fail(lineNo, *err);
        ++nextRow;
        if (nextRow == 16) {
          if (auto err = finishTable()) return Fail(lineNo, *err);
        }
        continue;
      }
      // Any other line ends a short (8-row) table.
      if (table && nextRow > 0) {
        if (auto err = finishTable()) return Fail(lineNo, *err);
      }
      if (IsBlank(line) || trimmed.front() == '#') continue;
      auto tokens = Tokens(trimmed);
      if (IsColumnHeader(tokens)) {
        if (table) return Fail(lineNo, "column header repeated before any register row");
        if (dump.tables.size() >= kMaxTables) return Fail(lineNo, "too many tables in one file");
        table.emplace();
        table->line = lineNo;
        table->addressPort = pending_.addressPort;
        table->dataPort = pending_.dataPort;
        table->bank = pending_.bank;
        nextRow = 0;
        continue;
      }
      if (auto err = ParseAnnotation(tokens, trimmed)) return Fail(lineNo, *err);
    }
    if (table) {
      if (nextRow == 0) return Fail(lineNo, "column header without register rows");
      if (auto err = finishTable()) return Fail(lineNo, *err);
    }
    if (dump.tables.empty()) return Fail(lineNo == 0 ? 1 : lineNo, "no register table found");
    DumpParseResult r;
    r.dump = std::move(dump);
    return r;
  }

 private:
  DumpParseResult Fail(int line, const std::string& reason) const {
    DumpParseResult r;
    r.error = std::string(fileName_) + ":" + std::to_string(line) + ": " + reason;
    return r;
  }

  // 16 cells of two hex digits or "XX", each preceded by blanks, then an optional ASCII column.
  static std::optional<std::string> ParseRow(std::string_view rest, int row, DumpTable& table) {
    std::size_t i = 0;
    for (int col = 0; col < 16; ++col) {
      std::size_t blanks = 0;
      while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i, ++blanks;
      if (i >= rest.size()) return "row has " + std::to_string(col) + " cells, expected 16";
      if (blanks == 0) return "cells must be separated by blanks";
      if (i + 2 > rest.size() || (i + 2 < rest.size() && rest[i + 2] != ' ' && rest[i + 2] != '\t'))
        return "bad cell '" +
               std::string(text::Trim(rest.substr(i, std::min<std::size_t>(4, rest.size() - i)))) + "'";
      char a = rest[i], b = rest[i + 1];
      if ((a == 'X' || a == 'x') && (b == 'X' || b == 'x')) {
        table.cells[static_cast<std::size_t>(row) * 16 + static_cast<std::size_t>(col)] = std::nullopt;
      } else {
        int hi = text::HexDigit(a), lo = text::HexDigit(b);
        if (hi < 0 || lo < 0) return "bad cell '" + std::string(rest.substr(i, 2)) + "'";
        table.cells[static_cast<std::size_t>(row) * 16 + static_cast<std::size_t>(col)] = static_cast<std::uint8_t>(hi * 16 + lo);
      }
      i += 2;
    }
    // What follows is the ASCII rendering of the row (i2cdump style): up to 16 characters after
    // at least one blank. Its characters may be blanks themselves, so it is not tokenised.
    std::string_view tail = rest.substr(i);
    if (IsBlank(tail)) return std::nullopt;
    if (tail.front() != ' ' && tail.front() != '\t') return "text glued to the last cell";
    std::string_view ascii = text::Trim(tail);
    if (ascii.size() > 16) return "more than 16 cells in row";
    return std::nullopt;
  }

  // The tool's own lines that people paste along with the table.
  std::optional<std::string> ParseAnnotation(const std::vector<std::string_view>& t, std::string_view line) {
    if (t[0] == "isadump" || (t[0].size() > 8 && t[0].substr(t[0].size() - 8) == "/isadump")) {
      std::vector<unsigned> numbers;
      for (std::size_t i = 1; i < t.size(); ++i) {
        std::string_view a = t[i];
        if (a == "-W" || a == "-L") return std::string("word and double-word dumps are not supported");
        if (a == "-k") {
          ++i;  // the key sequence
          continue;
        }
        if (!a.empty() && a[0] == '-') continue;  // -y, -f
        auto v = ParseNumber(a);
        if (!v) return "bad number '" + std::string(a) + "' in isadump command";
        numbers.push_back(*v);
      }
      if (numbers.size() < 2 || numbers.size() > 4)
        return std::string("isadump command needs ADDRREG DATAREG [BANK [BANKREG]]");
      pending_.addressPort = static_cast<std::uint16_t>(numbers[0]);
      pending_.dataPort = static_cast<std::uint16_t>(numbers[1]);
      if (numbers.size() >= 3) {
        if (numbers[2] > 0xFF) return std::string("bank number out of range");
        pending_.bank = static_cast<int>(numbers[2]);
      }
      return std::nullopt;
    }
    if (line.rfind("WARNING! Running this program", 0) == 0 || line.rfind("Continue?", 0) == 0)
      return std::nullopt;
    // "I will probe address register 0x295 and data register 0x296."
    if (line.rfind("I will probe address register ", 0) == 0 && t.size() == 10) {
      auto a = ParseNumber(t[5]);
      std::string_view d = t[9];
      if (!d.empty() && d.back() == '.') d.remove_suffix(1);
      auto b = ParseNumber(d);
      if (!a || !b) return std::string("bad port in probe line");
      pending_.addressPort = static_cast<std::uint16_t>(*a);
      pending_.dataPort = static_cast<std::uint16_t>(*b);
      return std::nullopt;
    }
    // "Probing bank 2 using bank register 0x4e."
    if (line.rfind("Probing bank ", 0) == 0 && t.size() >= 3) {
      auto bank = ParseNumber(t[2]);
      if (!bank || *bank > 0xFF) return std::string("bad bank number in probe line");
      pending_.bank = static_cast<int>(*bank);
      return std::nullopt;
    }
    std::string shown(line.substr(0, 40));
    return "unexpected text '" + shown + "'";
  }

  std::string_view text_;
  std::string_view fileName_;
  Pending pending_;
};

}  // namespace

DumpParseResult ParseRegisterDump(std::string_view text, std::string_view fileName) {
  return Parser(text, fileName).Run();
}

DumpParseResult LoadRegisterDumpFile(const std::string& path) {
  platform::files::ReadResult read = platform::files::ReadRegularFile(path, kMaxDumpFileBytes);
  if (!read.text) {
    DumpParseResult r;
    r.error = path + ":0: cannot read the file (" + read.problem.Because() + ")";
    return r;
  }
  return ParseRegisterDump(*read.text, path);
}

}  // namespace veltrix::sim
