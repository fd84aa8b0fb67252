#pragma once
// A control property: reads like a plain value, and every assignment that changes the
// value tells the owning control, which notifies observers and raises the control's own
// events (Click, Change) the way the windowing toolkit does.
#include <cstdint>
#include <string>
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

 protected:
  ~PropertyOwner() = default;
};

template <typename T>
class Property final : public PropertyBase {
 public:
  Property(PropertyOwner* owner, Prop id, T initial = T{}) : owner_(owner), id_(id), initial_(initial), value_(std::move(initial)) {
    owner_->RegisterProperty(this);
  }
  Property(const Property&) = delete;
  Property& operator=(const Property&) = delete;

  // Assigning a value equal to the current one changes nothing and raises nothing.
  Property& operator=(T value) {
    if (value == value_) return *this;
    value_ = std::move(value);
    owner_->PropertyChanged(id_);
    return *this;
  }
  operator const T&() const { return value_; }  // NOLINT(google-explicit-constructor)
  const T& Get() const { return value_; }
  Prop Id() const { return id_; }

  // Stores a value without notifying anyone (design-time set-up and range clamping).
  void SetSilently(T value) { value_ = std::move(value); }
  void Reset() override { value_ = initial_; }

  template <typename U>
  bool operator==(const U& other) const {
    return value_ == other;
  }

 private:
  PropertyOwner* owner_;
  Prop id_;
  T initial_;
  T value_;
};

// A caption or text property; compares and concatenates like a string.
using StringProperty = Property<std::string>;

inline std::string operator+(const StringProperty& a, const std::string& b) { return a.Get() + b; }
inline std::string operator+(const std::string& a, const StringProperty& b) { return a + b.Get(); }

}  // namespace veltrix::forms
