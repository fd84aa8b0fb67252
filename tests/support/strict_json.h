#pragma once
// A strict JSON checker for tests: the whole text must be exactly one JSON value (RFC 8259
// grammar, no extensions) in well-formed UTF-8. Returns an empty string when it is, else where
// and why it is not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrix::testsupport {

class StrictJson {
 public:
  static std::string Check(std::string_view text) {
    StrictJson j(text);
    j.Whitespace();
    if (!j.Value()) return j.error_;
    j.Whitespace();
    if (j.pos_ != text.size()) return j.Fail("trailing text"), j.error_;
    return {};
  }

 private:
  explicit StrictJson(std::string_view s) : s_(s) {}

  bool Fail(const char* why) {
    if (error_.empty()) error_ = std::string(why) + " at byte " + std::to_string(pos_);
    return false;
  }
  bool More() const { return pos_ < s_.size(); }
  unsigned char At() const { return static_cast<unsigned char>(s_[pos_]); }
  void Whitespace() {
    while (More() && (At() == ' ' || At() == '\t' || At() == '\n' || At() == '\r')) ++pos_;
  }
  bool Literal(std::string_view word) {
    if (s_.substr(pos_, word.size()) != word) return Fail("bad literal");
    pos_ += word.size();
    return true;
  }
  bool Value() {
    if (!More()) return Fail("value expected");
    switch (At()) {
      case '{': return Object();
      case '[': return Array();
      case '"': return String();
      case 't': return Literal("true");
      case 'f': return Literal("false");
      case 'n': return Literal("null");
      default: return Number();
    }
  }
  bool Object() {
    ++pos_;
    Whitespace();
    if (More() && At() == '}') return ++pos_, true;
    for (;;) {
      Whitespace();
      if (!More() || At() != '"') return Fail("member name expected");
      if (!String()) return false;
      Whitespace();
      if (!More() || At() != ':') return Fail("':' expected");
      ++pos_;
      Whitespace();
      if (!Value()) return false;
      Whitespace();
      if (More() && At() == ',') {
        ++pos_;
        continue;
      }
      if (More() && At() == '}') return ++pos_, true;
      return Fail("',' or '}' expected");
    }
  }
  bool Array() {
    ++pos_;
    Whitespace();
    if (More() && At() == ']') return ++pos_, true;
    for (;;) {
      Whitespace();
      if (!Value()) return false;
      Whitespace();
      if (More() && At() == ',') {
        ++pos_;
        continue;
      }
      if (More() && At() == ']') return ++pos_, true;
      return Fail("',' or ']' expected");
    }
  }
  bool Digits() {
    const std::size_t start = pos_;
    while (More() && At() >= '0' && At() <= '9') ++pos_;
    return pos_ > start;
  }
  bool Number() {
    if (More() && At() == '-') ++pos_;
    if (More() && At() == '0') {
      ++pos_;
    } else if (!Digits()) {
      return Fail("number expected");
    }
    if (More() && At() == '.') {
      ++pos_;
      if (!Digits()) return Fail("digits expected after '.'");
    }
    if (More() && (At() == 'e' || At() == 'E')) {
      ++pos_;
      if (More() && (At() == '+' || At() == '-')) ++pos_;
      if (!Digits()) return Fail("exponent expected");
    }
    return true;
  }
  bool Utf8() {
    const unsigned char lead = At();
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return Fail("invalid UTF-8 lead byte");
    }
    if (pos_ + length > s_.size()) return Fail("UTF-8 sequence cut short");
    for (std::size_t i = 1; i < length; ++i) {
      const auto b = static_cast<unsigned char>(s_[pos_ + i]);
      const unsigned char lo = i == 1 ? low : 0x80, hi = i == 1 ? high : 0xBF;
      if (b < lo || b > hi) return Fail("invalid UTF-8 continuation");
    }
    pos_ += length;
    return true;
  }
  bool String() {
    ++pos_;
    while (More()) {
      const unsigned char c = At();
      if (c == '"') return ++pos_, true;
      if (c < 0x20) return Fail("unescaped control character");
      if (c == '\\') {
        ++pos_;
        if (!More()) break;
        const char e = static_cast<char>(At());
        if (e == 'u') {
          for (int i = 1; i <= 4; ++i) {
            if (pos_ + i >= s_.size() || std::string_view("0123456789abcdefABCDEF").find(s_[pos_ + i]) ==
                                             std::string_view::npos) {
              return Fail("bad \\u escape");
            }
          }
          pos_ += 5;
        } else if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
          ++pos_;
        } else {
          return Fail("bad escape");
        }
        continue;
      }
      if (c >= 0x80) {
        if (!Utf8()) return false;
        continue;
      }
      ++pos_;
    }
    return Fail("string not closed");
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  std::string error_;
};

}  // namespace veltrix::testsupport
