#pragma once
// The controls of the headless form model. Controls are plain objects whose properties the
// program reads and writes; a front end is only a view that mirrors them and forwards input.
// Positions and sizes are in twips (15 twips = 1 pixel at 96 DPI).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/property.h"

namespace veltrix::forms {

class Form;

enum class ControlType : std::uint8_t {
  Form,
  Label,
  CheckBox,
  OptionButton,
  CommandButton,
  Frame,
  TextBox,
  Slider,
  UpDown,
  ProgressBar,
  PictureBox,
  Image,
  Line,
  AnimatedGif,
  TabStrip,
  Menu,
  Timer,
};

const char* ControlTypeName(ControlType type);

// Windows COLORREF values (0x00BBGGRR).
inline constexpr std::uint32_t kColorRed = 255;
inline constexpr std::uint32_t kColorGreen = 65280;
inline constexpr std::uint32_t kColorBlack = 0;
inline constexpr std::uint32_t kColorWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColorButtonFace = 0xC0C0C0;
constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r & 0xFF) | (static_cast<std::uint32_t>(g & 0xFF) << 8) |
         (static_cast<std::uint32_t>(b & 0xFF) << 16);
}

// Notifications and events:
// - A property change notifies the Application's observers (FormObserver::PropertyChanged)
//   only while the owning form is loaded and not running its design-time set-up. An
//   unloaded form has no view to mirror; Load announces the whole form (FormLoaded).
// - Events (Click, Change, tab click) follow value changes from code or from input, except
//   during the design-time set-up and the silent resets of Load/Unload. They are raised on
//   unloaded forms too, because the program's code wrote the value and expects its handler.
class Control : public PropertyOwner {
 private:
  // Declared first: the property members below register here while they are constructed.
  std::vector<PropertyBase*> properties_;
  Form* owner_;
  std::string name_;
  ControlType type_;
  int index_;
  Control* container_ = nullptr;
  int tabPage_ = -1;

 public:
  Control(Form& owner, std::string name, ControlType type, int index = -1);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& Owner() const { return *owner_; }
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }  // -1 when the control is not an element of an array
  ControlType Type() const { return type_; }
  // "lblStatusV(3)" or "Timer1": for messages and test output.
  std::string FullName() const;

  // Common properties.
  Property<int> Left{this, Prop::Left, 0};
  Property<int> Top{this, Prop::Top, 0};
  Property<int> Width{this, Prop::Width, 0};
  Property<int> Height{this, Prop::Height, 0};
  Property<bool> Visible{this, Prop::Visible, true};
  Property<bool> Enabled{this, Prop::Enabled, true};
  StringProperty ToolTipText{this, Prop::ToolTipText};
  Property<std::uint32_t> BackColor{this, Prop::BackColor, kColorButtonFace};
  Property<std::uint32_t> ForeColor{this, Prop::ForeColor, kColorBlack};
  Property<int> FontSize{this, Prop::FontSize, 9};
  Property<bool> FontBold{this, Prop::FontBold, false};

  void Move(int left, int top, int width, int height);

  // The control this one sits in (a Frame, a TabStrip or a PictureBox); nullptr = the form.
  // On a TabStrip, tabPage is the page the control belongs to.
  void SetContainer(Control* container, int tabPage = -1);
  Control* Container() const { return container_; }
  int TabPage() const { return tabPage_; }
  // Visible, and so is every container up the chain (on a tab strip: its page is selected).
  // The form's own visibility is not part of it.
  bool EffectivelyVisible() const;

  // Event handlers the form wires to its own routines (e.g. chkEnable_Click(index)).
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnChange;
  std::function<void()> OnGotFocus;
  std::function<void()> OnLostFocus;
  std::function<void(int button, int shift, float x, float y)> OnMouseDown;
  std::function<void(int button, int shift, float x, float y)> OnMouseMove;
  std::function<void(int button, int shift, float x, float y)> OnMouseUp;

  // Input from a person (front ends and tests call these). They do nothing while the
  // control (or a container of it) is disabled or hidden, or its form is hidden or
  // unloaded, as a real window would. Menu entries only need to be enabled and visible
  // themselves on a loaded form: pop-up menus hang below hidden top-level menus, and the
  // tray menu belongs to a hidden main window.
  virtual void UserClick();
  void UserDblClick();
  void UserFocusLost();
  void UserMouse(int kind, int button, int shift, float x, float y);  // kind 0 down, 1 move, 2 up
  bool AcceptsInput() const;

  // Raising events from code (the program "calls the handler").
  void RaiseClick();
  void RaiseChange();

  // PropertyOwner
  void PropertyChanged(Prop prop) override;
  void RegisterProperty(PropertyBase* property) override { properties_.push_back(property); }

  // Back to the constructed defaults, silently; the form's design-time set-up follows.
  virtual void ResetToDesign();
  // Called once the form's design-time set-up has finished (range controls clamp their
  // values silently here, because design-time assignments may come in any order).
  virtual void AfterDesign() {}

 protected:
  // Type-specific consequences of a change (Click for check boxes, Change for ranges, …).
  virtual void AfterChange(Prop prop);
  // Tells observers (when the form is loaded and not being designed).
  void Notify(Prop prop);
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
  Property<int> Alignment{this, Prop::Alignment, 0};  // 0 left, 1 right, 2 centre
  Property<int> BorderStyle{this, Prop::BorderStyle, 0};

 protected:
  void AfterChange(Prop prop) override;  // Change when the caption changes
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
  Property<int> Value{this, Prop::Value, 0};  // 0 unchecked, 1 checked, 2 grayed
  void UserClick() override;                  // 0 -> 1, 1 or 2 -> 0, which raises Click
  // A value other than 0, 1, 2 is refused: the check box keeps its value.
  int CoerceInt(Prop prop, int value) override;

 protected:
  void AfterChange(Prop prop) override;  // Click when the value changes
};

class OptionButton : public Control {
 public:
  OptionButton(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
  Property<bool> Value{this, Prop::Value, false};
  void UserClick() override;  // selects this option

 protected:
  // Selecting clears the other options in the same container, then raises Click.
  void AfterChange(Prop prop) override;
};

class CommandButton : public Control {
 public:
  CommandButton(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
};

class Frame : public Control {
 public:
  Frame(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
};

class TextBox : public Control {
 public:
  TextBox(Form& owner, std::string name, int index = -1);
  StringProperty Text{this, Prop::Text};
  Property<bool> Locked{this, Prop::Locked, false};
  Property<int> MaxLength{this, Prop::MaxLength, 0};  // 0 = no limit
  // Set at design time: the box shows several lines (CR LF separated) and scrolls them.
  Property<bool> MultiLine{this, Prop::MultiLine, false};
  void UserType(const std::string& text);             // replaces the text as typed

 protected:
  void AfterChange(Prop prop) override;  // Change when the text changes
};

// Range rule shared by Slider, UpDown and ProgressBar: the value always stays inside
// [min(Min,Max), max(Min,Max)] (Min may exceed Max: a reversed scale). An assignment outside
// is clamped to the nearest end; Min and Max are stored as given, and moving Min or Max past
// the value drags the value along. A clamped change still raises Change (a clamp that lands
// on the current value changes nothing and raises nothing). During the form's design-time
// set-up the rule is suspended, so Value, Min and Max may be set in any order; the value is
// clamped silently when the set-up ends.
class RangeControl : public Control {
 public:
  RangeControl(Form& owner, std::string name, ControlType type, int index, int min, int max);
  Property<int> Min;
  Property<int> Max;
  Property<int> Value;
  // The user moves the control (drag, arrow keys): same rule as `Value = v`, ignored when
  // the control does not accept input.
  void UserSetValue(int value);
  int Clamp(int value) const;

  int CoerceInt(Prop prop, int value) override;
  void AfterDesign() override;

 protected:
  void AfterChange(Prop prop) override;

 private:
  bool clamping_ = false;
};

class Slider : public RangeControl {
 public:
  Slider(Form& owner, std::string name, int index = -1);
  // The selected range drawn on the track (the limit window of a gauge).
  Property<int> SelStart{this, Prop::SelStart, 0};
  Property<int> SelLength{this, Prop::SelLength, 0};
};

// An up/down control steps its Value by Increment (stopping at the ends, raising Change when
// the value moves) and reports every press of an arrow as UpClick or DownClick, also at an
// end where the value cannot move: spin buttons that act on a text beside them use only
// these two events.
class UpDown : public RangeControl {
 public:
  UpDown(Form& owner, std::string name, int index = -1);
  Property<int> Increment{this, Prop::Increment, 1};
  void UserStep(int direction);  // +1 up, -1 down: the value moves, then UpClick / DownClick
  std::function<void()> OnUpClick;
  std::function<void()> OnDownClick;
};

class ProgressBar : public RangeControl {
 public:
  ProgressBar(Form& owner, std::string name, int index = -1);
};

struct DrawnLine {
  int x1, y1, x2, y2;
  std::uint32_t color;
  int width;        // pixels
  int style;        // DrawStyle: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible
  bool persistent;  // drawn while AutoRedraw was on: survives repaints
};

class PictureBox : public Control {
 public:
  PictureBox(Form& owner, std::string name, int index = -1);
  StringProperty Picture{this, Prop::Picture};  // file name of the picture, "" = none
  // Lines drawn while AutoRedraw is on are persistent (kept across repaints).
  Property<bool> AutoRedraw{this, Prop::AutoRedraw, false};
  Property<int> DrawWidth{this, Prop::DrawWidth, 1};  // pixels
  Property<std::uint32_t> FillColor{this, Prop::FillColor, kColorBlack};
  Property<int> FillStyle{this, Prop::FillStyle, 1};  // 0 solid, 1 transparent
  Property<int> DrawStyle{this, Prop::DrawStyle, 0};  // 0 solid
  // Draws a line in the picture's own coordinates (0, 0 = top-left, twips) with the current
  // DrawWidth and DrawStyle; observers hear Prop::Drawing. Lines are only ever appended;
  // Cls, Repaint and unloading remove lines.
  void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color);
  void Cls();  // clears the whole drawing, persistent lines included
  const std::vector<DrawnLine>& Lines() const { return lines_; }
  // Counts the times lines were removed. While it stays the same, the lines a view has seen
  // are still the first ones of Lines(), so a view may paint only the lines added since.
  std::uint64_t Erasures() const { return erasures_; }
  // A repaint loses what was drawn without AutoRedraw.
  void Repaint();
  void ResetToDesign() override;

 private:
  std::vector<DrawnLine> lines_;
  std::uint64_t erasures_ = 0;
};

class Image : public Control {
 public:
  Image(Form& owner, std::string name, int index = -1);
  StringProperty Picture{this, Prop::Picture};
  Property<bool> Stretch{this, Prop::Stretch, false};
};

class LineControl : public Control {
 public:
  LineControl(Form& owner, std::string name, int index = -1);
  Property<int> X1{this, Prop::X1, 0};
  Property<int> Y1{this, Prop::Y1, 0};
  Property<int> X2{this, Prop::X2, 0};
  Property<int> Y2{this, Prop::Y2, 0};
  Property<std::uint32_t> BorderColor{this, Prop::BorderColor, kColorBlack};
  Property<int> BorderWidth{this, Prop::BorderWidth, 1};
};

class AnimatedGif : public Control {
 public:
  AnimatedGif(Form& owner, std::string name, int index = -1);
  StringProperty Picture{this, Prop::Picture};  // the .gif file shown and animated
  Property<bool> Playing{this, Prop::Playing, true};
};

// Controls sit on a page through SetContainer(&strip, page); they are effectively visible
// only while that page is selected (observers hear Prop::Tab on the strip and re-evaluate).
// Selecting a page, from code or by the user, raises OnTabClick with the page selected
// before. Tab stays inside 0..Tabs-1 (clamped; 0 while there are no pages).
class TabStrip : public Control {
 public:
  TabStrip(Form& owner, std::string name, int index = -1);
  Property<int> Tabs{this, Prop::Tabs, 0};
  Property<int> Tab{this, Prop::Tab, 0};  // the selected page
  void SetTabCaption(int tab, const std::string& caption);
  std::string TabCaption(int tab) const;
  void UserSelectTab(int tab);  // ignored when out of range or input is not accepted
  // Click carries the page that was selected before.
  std::function<void(int previousTab)> OnTabClick;
  void ResetToDesign() override;
  int CoerceInt(Prop prop, int value) override;
  void AfterDesign() override;

 protected:
  void AfterChange(Prop prop) override;

 private:
  std::vector<std::string> captions_;
  int previousTab_ = 0;
};

class Menu : public Control {
 public:
  Menu(Form& owner, std::string name, int index = -1);
  StringProperty Caption{this, Prop::Caption};
  Property<bool> Checked{this, Prop::Checked, false};
  // Sub-menus name their parent with SetContainer(parentMenu).
};

class Scheduler;

// A timer is armed while its form is loaded, it is Enabled and its Interval is above 0.
// Enabling, disabling or changing the interval re-arms it: the countdown restarts from the
// moment of the change. Unloading the form disarms it. The scheduler never re-enters a
// timer whose handler is running and never queues missed ticks (see scheduler.h).
class Timer : public Control {
 public:
  Timer(Form& owner, std::string name, int index = -1);
  ~Timer() override;
  // Enabled (the common property) starts and stops the timer.
  Property<int> Interval{this, Prop::Interval, 0};  // milliseconds; 0 = never fires
  std::function<void()> OnTimer;
  // Called by the scheduler when the timer is due; runs OnTimer unless the timer is not
  // armable any more or its handler is already running.
  void Fire();
  // Loaded form, Enabled and Interval > 0.
  bool Armable() const;
  bool Running() const { return running_; }  // its handler is executing now

 protected:
  void AfterChange(Prop prop) override;  // re-arms with the scheduler

 private:
  bool running_ = false;
};

// A control array: elements constructed with their index, addressed like the toolkit's
// arrays (lblStatusV[3]). Out-of-range indexes throw std::out_of_range.
template <typename T>
class ControlArray {
 public:
  ControlArray(Form& owner, const std::string& name, int count, int firstIndex = 0) : first_(firstIndex) {
    for (int i = 0; i < count; ++i) items_.push_back(std::make_unique<T>(owner, name, firstIndex + i));
  }
  T& operator[](int index) { return *items_.at(static_cast<std::size_t>(index - first_)); }
  const T& operator[](int index) const { return *items_.at(static_cast<std::size_t>(index - first_)); }
  int Count() const { return static_cast<int>(items_.size()); }
  int First() const { return first_; }
  template <typename F>
  void ForEach(F&& f) {
    for (auto& item : items_) f(*item);
  }

 private:
  int first_;
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace veltrix::forms
