#include "platform/registry/hive_text.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/text/text.h"

namespace veltrix::platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kHeaderV5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kHexWrapColumn = 76;

// A parse failure carried up to ParseHive, which adds the line number.
struct Failure {
  std::string reason;
};

// Reads a quoted text starting at s[0] == '"'; only \\ and \" are escapes. Returns the
// position after the closing quote.
std::size_t ReadQuoted(std::string_view s, std::string* out, std::optional<Failure>* failure) {
  out->clear();
  for (std::size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') return i + 1;
    if (c == '\\') {
      if (i + 1 >= s.size()) break;
      char next = s[i + 1];
      if (next != '\\' && next != '"') {
        *failure = Failure{std::string("unknown escape \\") + next + " in quoted text"};
        return 0;
      }
      out->push_back(next);
      ++i;
      continue;
    }
    out->push_back(c);
  }
  *failure = Failure{"quoted text has no closing quote"};
  return 0;
}

std::optional<Failure> ParseHexBytes(std::string_view list, std::vector<std::uint8_t>* bytes) {
  bytes->clear();
  list = text::Trim(list);
  if (list.empty()) return std::nullopt;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = list.find(',', start);
    std::string_view token = text::Trim(
        list.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (token.empty() || token.size() > 2) {
      return Failure{"bad byte '" + std::string(token.substr(0, 8)) +
                     "' in hex data (expected 1 or 2 hex digits)"};
    }
    int value = 0;
    for (char c : token) {
      int digit = text::HexDigit(c);
      if (digit < 0) return Failure{"bad byte '" + std::string(token) + "' in hex data"};
      value = value * 16 + digit;
    }
    bytes->push_back(static_cast<std::uint8_t>(value));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return std::nullopt;
}

// Keys while the text is read: each keeps an index of its sub-keys by folded name, so a file
// with many sibling keys (or many sections naming one key) is read in linear time. The tree is
// turned into RegistryKey (sub-keys sorted) once at the end.
struct Node {
  std::string name;
  std::vector<std::unique_ptr<Node>> children;
  std::unordered_map<std::string, Node*> index;
  std::map<std::string, RegistryValue, CaseInsensitiveLess> values;

  Node* Child(const std::string& childName) {
    std::string folded = Folded(childName);
    auto it = index.find(folded);
    if (it != index.end()) return it->second;
    children.push_back(std::make_unique<Node>());
    Node* child = children.back().get();
    child->name = childName;
    index.emplace(std::move(folded), child);
    return child;
  }

  static std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
  }
};

void BuildKey(Node& node, RegistryKey* key) {
  key->name = std::move(node.name);
  key->values = std::move(node.values);
  key->subKeys.resize(node.children.size());
  for (std::size_t i = 0; i < node.children.size(); ++i) BuildKey(*node.children[i], &key->subKeys[i]);
  std::sort(key->subKeys.begin(), key->subKeys.end(),
            [](const RegistryKey& a, const RegistryKey& b) { return CaseInsensitiveLess{}(a.name, b.name); });
}

// Why a key path the splitter refused is not acceptable.
std::string KeyPathFailure(std::string_view path) {
  std::size_t depth = 0;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view name = path.substr(start, end - start);
    ++depth;
    if (name.size() > kMaxKeyNameLength) {
      return "key name longer than " + std::to_string(kMaxKeyNameLength) + " bytes";
    }
    for (char c : name) {
      if (static_cast<unsigned char>(c) < 0x20) return "key name holds a control character";
    }
    start = end + 1;
  }
  if (depth > kMaxKeyDepth) return "key path deeper than " + std::to_string(kMaxKeyDepth) + " keys";
  return "key path is not valid";
}

struct Parser {
  std::vector<std::string_view> lines;
  std::size_t index = 0;  // the line being read (0-based)
  Node root;
  Node* current = nullptr;

  std::optional<Failure> Section(std::string_view line) {
    if (line.back() != ']') return Failure{"a key section must end with ']'"};
    std::string_view inner = line.substr(1, line.size() - 2);
    if (!inner.empty() && inner.front() == '-')
      return Failure{"key deletion entries ([-...]) are not supported"};
    std::string_view rootName = inner.substr(0, inner.find('\\'));
    if (!text::EqualsIgnoreCase(rootName, kRootKeyName)) {
      return Failure{"only HKEY_LOCAL_MACHINE keys can be stored, found '" +
                     std::string(rootName.substr(0, 40)) + "'"};
    }
    std::string_view rest = inner.substr(rootName.size());
    if (!rest.empty()) rest.remove_prefix(1);
    std::vector<std::string> names;
    long rc = SplitKeyPath(rest, &names);
    if (rc == ERROR_BAD_PATHNAME) return Failure{"key path has an empty key name"};
    if (rc != ERROR_SUCCESS) return Failure{KeyPathFailure(rest)};
    current = &root;
    for (const std::string& name : names) current = current->Child(name);
    return std::nullopt;
  }

  std::optional<Failure> Value(std::string_view line) {
    if (current == nullptr) return Failure{"a value line comes before any key section"};
    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else {
      std::optional<Failure> failure;
      pos = ReadQuoted(line, &name, &failure);
      if (failure) return failure;
      if (name.size() > kMaxValueNameLength)
        return Failure{"value name longer than " + std::to_string(kMaxValueNameLength) + " bytes"};
      if (!IsValidValueName(name)) return Failure{"value name holds a control character"};
    }
    std::string_view rest = text::Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return Failure{"expected '=' after the value name"};
    rest = text::Trim(rest.substr(1));

    RegistryValue value;
    if (!rest.empty() && rest.front() == '"') {
      std::string text;
      std::optional<Failure> failure;
      std::size_t end = ReadQuoted(rest, &text, &failure);
      if (failure) return failure;
      if (!text::Trim(rest.substr(end)).empty()) return Failure{"unexpected text after the quoted value"};
      value.type = REG_SZ;
      value.data.assign(text.begin(), text.end());
      value.data.push_back(0);
    } else if (text::StartsWithIgnoreCase(rest, "dword:")) {
      std::string_view digits = rest.substr(6);
      if (digits.empty() || digits.size() > 8) return Failure{"a dword needs 1 to 8 hex digits"};
      std::uint32_t number = 0;
      for (char c : digits) {
        int digit = text::HexDigit(c);
        if (digit < 0) return Failure{"a dword needs 1 to 8 hex digits"};
        number = number * 16 + static_cast<std::uint32_t>(digit);
      }
      value.type = REG_DWORD;
      for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    } else if (text::StartsWithIgnoreCase(rest, "hex")) {
      if (auto failure = HexValue(rest.substr(3), &value)) return failure;
    } else if (rest == "-") {
      return Failure{"value deletion entries (=-) are not supported"};
    } else {
      return Failure{"value data must be quoted text, dword:, hex: or hex(n):"};
    }
    auto it = current->values.find(name);
    if (it != current->values.end()) {
      it->second = std::move(value);
    } else {
      current->values.emplace(std::move(name), std::move(value));
    }
    return std::nullopt;
  }

  // After "hex": either ":" (binary) or "(n):" with the type number in hex.
  std::optional<Failure> HexValue(std::string_view rest, RegistryValue* value) {
    value->type = REG_BINARY;
    if (!rest.empty() && rest.front() == '(') {
      std::size_t close = rest.find(')');
      std::string_view digits = rest.substr(1, close == std::string_view::npos ? 0 : close - 1);
      if (close == std::string_view::npos || digits.empty() || digits.size() > 8) {
        return Failure{"bad type number in hex(n)"};
      }
      std::uint32_t type = 0;
      for (char c : digits) {
        int digit = text::HexDigit(c);
        if (digit < 0) return Failure{"bad type number in hex(n)"};
        type = type * 16 + static_cast<std::uint32_t>(digit);
      }
      value->type = type;
      rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Failure{"expected ':' after hex"};
    // A trailing backslash continues the byte list on the next line. Each piece is appended
    // once, so a long wrapped value costs time in proportion to its length.
    std::string joined;
    std::string_view piece = text::Trim(rest.substr(1));
    while (!piece.empty() && piece.back() == '\\') {
      joined += piece.substr(0, piece.size() - 1);
      if (index + 1 >= lines.size()) return Failure{"hex data continues past the end of the file"};
      ++index;
      piece = text::Trim(lines[index]);
    }
    joined += piece;
    return ParseHexBytes(joined, &value->data);
  }
};

bool IsQuotableString(const std::vector<std::uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  std::size_t n = data.size() - 1;
  for (std::size_t i = 0; i < n;) {
    std::uint8_t b = data[i];
    if (b < 0x20 || b == 0x7F) return false;
    std::size_t extra = 0;
    if (b < 0x80) {
      extra = 0;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
    } else {
      return false;
    }
    if (i + extra >= n) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((data[i + k] & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

void AppendQuoted(std::string* out, std::string_view text) {
  out->push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"') out->push_back('\\');
    out->push_back(c);
  }
  out->push_back('"');
}

void AppendHex(std::string* out, std::string_view prefix, const std::vector<std::uint8_t>& data) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::size_t lineStart = out->size();
  *out += prefix;
  for (std::size_t i = 0; i < data.size(); ++i) {
    out->push_back(kDigits[data[i] >> 4]);
    out->push_back(kDigits[data[i] & 0xF]);
    if (i + 1 < data.size()) {
      out->push_back(',');
      if (out->size() - lineStart >= kHexWrapColumn) {
        *out += "\\\n  ";
        lineStart = out->size() - 2;
      }
    }
  }
}

void AppendValue(std::string* out, const std::string& name, const RegistryValue& value) {
  std::string line;
  if (name.empty()) {
    line = "@";
  } else {
    AppendQuoted(&line, name);
  }
  line += '=';
  const auto& data = value.data;
  if (value.type == REG_DWORD && data.size() == 4) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint32_t number =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    line += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) line.push_back(kDigits[(number >> shift) & 0xF]);
  } else if (value.type == REG_SZ && IsQuotableString(data)) {
    AppendQuoted(&line, std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
  } else {
    std::string prefix = "hex";
    if (value.type != REG_BINARY) {
      static constexpr char kDigits[] = "0123456789abcdef";
      std::string digits;
      std::uint32_t type = value.type;
      do {
        digits.insert(digits.begin(), kDigits[type & 0xF]);
        type >>= 4;
      } while (type != 0);
      prefix += "(" + digits + ")";
    }
    prefix += ':';
    AppendHex(&line, prefix, data);
  }
  *out += line;
  *out += '\n';
}

// A key gets a section when it holds values or has no sub-keys; a key in between is made again
// by its sub-keys' sections. So the text grows with the keys' paths once each, never with the
// square of a deep path. `path` is one buffer, extended and cut back on the way.
void AppendKey(std::string* out, const RegistryKey& key, std::string* path, bool isRoot) {
  if (!key.values.empty() || (!isRoot && key.subKeys.empty())) {
    *out += "\n[";
    *out += *path;
    *out += "]\n";
    for (const auto& [name, value] : key.values) AppendValue(out, name, value);
  }
  for (const RegistryKey& sub : key.subKeys) {
    const std::size_t length = path->size();
    *path += '\\';
    *path += sub.name;
    AppendKey(out, sub, path, false);
    path->resize(length);
  }
}

}  // namespace

HiveParseResult ParseHive(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  Parser parser;
  parser.root.name = std::string(kRootKeyName);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    parser.lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  bool headerSeen = false;
  for (parser.index = 0; parser.index < parser.lines.size(); ++parser.index) {
    std::string_view line = text::Trim(parser.lines[parser.index]);
    if (line.empty() || line.front() == ';') continue;
    std::optional<Failure> failure;
    if (!headerSeen) {
      if (line == kHeader || line == kHeaderV5) {
        headerSeen = true;
        continue;
      }
      failure = Failure{"expected the REGEDIT4 header"};
    } else if (line.front() == '[') {
      failure = parser.Section(line);
    } else if (line.front() == '"' || line.front() == '@') {
      failure = parser.Value(line);
    } else {
      failure = Failure{"expected a [key] section or a \"name\"=value line"};
    }
    if (failure) {
      HiveParseResult result;
      result.root.name = std::string(kRootKeyName);
      // The line being read when it failed: for continued hex data, the faulty continuation.
      result.error = HiveParseError{parser.index + 1, std::move(failure->reason)};
      return result;
    }
  }
  HiveParseResult result;
  BuildKey(parser.root, &result.root);
  return result;
}

std::string FormatHive(const RegistryKey& root) {
  std::string out(kHeader);
  out += '\n';
  std::string path(kRootKeyName);
  AppendKey(&out, root, &path, true);
  return out;
}

}  // namespace veltrix::platform
