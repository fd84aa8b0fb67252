#pragma once
// A control property: reads like a plain value, and every assignment that changes the
// value tells the owning control, which notifies observers and raises the control's own
// events (Click, Change) the way the windowing toolkit does.
//
// Rules:
// - Assigning a value equal to the current one changes nothing and raises nothing.
// - Integer properties pass through the owner's CoerceInt first (a range control clamps its
//   value there), so observers and handlers only ever see the stored value.
// - Assigning one property to another copies the value: lblA.Caption = lblB.Caption.
// - Comparisons (==, !=, <, <=, >, >=) work against plain values and other properties.
#include <compare>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace veltrix::forms {

// Identifies which property changed, for observers (the front ends mirror by it).
enum class Prop : std::uint8_t {
  Caption,
  Text,
  Value,
  Min,
  Max,
  SelStart,
  SelLength,
  Visible,
  Enabled,
  Left,
  Top,
  Width,
  Height,
  ToolTipText,
  BackColor,
  ForeColor,
  FontSize,
  FontBold,
  Picture,
  Stretch,
  X1,
  Y1,
  X2,
  Y2,
  BorderColor,
  BorderWidth,
  Interval,
  Tab,
  Tabs,
  TabCaption,
  Checked,
  Alignment,
  BorderStyle,
  Locked,
  MaxLength,
  Drawing,  // a picture box's persistent drawing changed (lines added or cleared)
  Container,
  Playing,  // an animated picture started or stopped
  Increment,
  WindowState,
  AutoRedraw,
  DrawWidth,
  FillColor,
  FillStyle,
  DrawStyle,
  MultiLine,
};

class PropertyBase {
 public:
  // Back to the value the property was constructed with, silently (design-time state).
  virtual void Reset() = 0;

 protected:
  ~PropertyBase() = default;
};

class PropertyOwner {
 public:
  // Called after a property's value changed.
  virtual void PropertyChanged(Prop prop) = 0;
  // Every property registers with its owner when constructed, so the owner can reset them.
  virtual void RegisterProperty(PropertyBase* property) = 0;
  // Lets the owner adjust an integer before it is compared and stored (range clamping).
  virtual int CoerceInt(Prop /*prop*/, int value) { return value; }

 protected:
  ~PropertyOwner() = default;
};

template <typename T>
class Property;

template <typename T>
inline constexpr bool kIsProperty = false;
template <typename T>
inline constexpr bool kIsProperty<Property<T>> = true;

template <typename T>
class Property final : public PropertyBase {
 public:
  Property(PropertyOwner* owner, Prop id, T initial = T{})
      : owner_(owner), id_(id), initial_(initial), value_(std::move(initial)) {
    owner_->RegisterProperty(this);
  }
  Property(const Property&) = delete;

  // Assigning a value equal to the current one changes nothing and raises nothing.
  Property& operator=(T value) {
    if constexpr (std::is_same_v<T, int>) value = owner_->CoerceInt(id_, value);
    if (value == value_) return *this;
    value_ = std::move(value);
    owner_->PropertyChanged(id_);
    return *this;
  }
  // Copies the other property's value (with the usual change rules), not its identity.
  Property& operator=(const Property& other) { return *this = T(other.value_); }

  template <typename U>
  Property& operator+=(const U& delta) {
    return *this = T(value_ + delta);
  }
  template <typename U>
  Property& operator-=(const U& delta) {
    return *this = T(value_ - delta);
  }

  operator const T&() const { return value_; }  // NOLINT(google-explicit-constructor)
  const T& Get() const { return value_; }
  Prop Id() const { return id_; }

  // Stores a value without notifying anyone (design-time set-up and range clamping).
  void SetSilently(T value) { value_ = std::move(value); }
  // Changes the design-time default as well as the value (a control type whose default
  // differs from its base class's, e.g. a form starts hidden).
  void SetDefault(T value) {
    initial_ = value;
    value_ = std::move(value);
  }
  void Reset() override { value_ = initial_; }

  template <typename U>
  requires(!kIsProperty<U>) bool operator==(const U& other) const { return value_ == other; }
  bool operator==(const Property& other) const { return value_ == other.value_; }

  template <typename U>
  requires(!kIsProperty<U>) auto operator<=>(const U& other) const { return value_ <=> other; }
  auto operator<=>(const Property& other) const { return value_ <=> other.value_; }

 private:
  PropertyOwner* owner_;
  Prop id_;
  T initial_;
  T value_;
};

// A caption or text property; compares and concatenates like a string.
using StringProperty = Property<std::string>;

inline std::string operator+(const StringProperty& a, const std::string& b) {
  return a.Get() + b;
}
inline std::string operator+(const std::string& a, const StringProperty& b) {
  return a + b.Get();
}
inline std::string operator+(const StringProperty& a, const StringProperty& b) {
  return a.Get() + b.Get();
}
inline std::string operator+(const StringProperty& a, const char* b) {
  return a.Get() + b;
}
inline std::string operator+(const char* a, const StringProperty& b) {
  return a + b.Get();
}

}  // namespace veltrix::forms
