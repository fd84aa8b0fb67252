#pragma once
// The three "over time" windows (voltage, temperature, fan speed) share one shape: a panel
// per plotted quantity with a grid picture, 20 line segments that sweep from left to right
// once a second and overwrite themselves every 20 samples, an end-point marker, the times at
// both ends of the time axis and ten value-axis labels.
//
// Panel k is made of element k of the arrays below; its segments are the panel's own line
// array (Line1 for panel 0, Line2 for panel 1, ...). Everything of a panel sits in its frame
// fraGraphData(k), so positions inside a panel are relative to the frame and every panel
// uses the same GraphOriginX and GraphBaseY.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/ui/graphs/graph_window.h"

namespace veltrix::monitor {

class TimeGraph : public GraphWindow {
  template <typename T>
  using Array = forms::ControlArray<T>;
  using LineArrays = std::vector<std::unique_ptr<Array<forms::LineControl>>>;

 public:
  static constexpr int kSamples = 20;
  static constexpr float kNoData = 999.0F;
  static constexpr int kLabelsPerPanel = 10;
  // Panel geometry inside its frame, twips.
  static constexpr int kPanelWidth = 3300;
  static constexpr int kPanelHeight = 2880;
  static constexpr int kGridLeft = 600;
  static constexpr int kGridTop = 540;
  static constexpr int kGridWidth = 2100;
  static constexpr int kGridHeight = 1800;

  // `titleName` names the array of quantity titles (lblVoltage, lblTemp, lblFanSpeed);
  // `channels` is the number of sample rows kept.
  TimeGraph(Program& program, std::string name, int panels, int channels, const std::string& titleName);

  Array<forms::Frame> fraGraphData;
  Array<forms::Image> imgGraph;  // the grid; its size is the plot area
  Array<forms::Label> Label1;    // value axis: 10k..10k+4 bottom to top, 10k+5..10k+9 again
  Array<forms::Label> lblStartTime;
  Array<forms::Label> lblCurrentTime;
  Array<forms::Label> lblTime;  // "Time"

 private:
  std::unique_ptr<Array<forms::Label>> titles_;
  LineArrays lines_;

 public:
  Array<forms::LineControl> LineEndPoint;  // a zero-length line on the newest sample
  forms::CommandButton cmdExit{*this, "cmdExit"};
  forms::Timer Timer1{*this, "Timer1"};

  // Sample rings: GraphSamples[channel][0..19]; 999.0 = no data.
  std::vector<std::array<float, kSamples + 1>> GraphSamples;
  std::int16_t SampleIndex = 0;  // the next sample, 0..19
  std::int16_t GraphOriginX = 0;
  std::int16_t GraphBaseY = 0;

  int PanelCount() const { return fraGraphData.Count(); }
  // The quantity titles, one per panel.
  Array<forms::Label>& QuantityTitle() { return *titles_; }
  // The 20 segments of panel k (Line1 .. LineN).
  Array<forms::LineControl>& Segments(int panel) { return *lines_.at(static_cast<std::size_t>(panel)); }

  void InitGraphData(int panel);
  virtual void AdjustGraphScale() = 0;
  void RefreshGraphData();
  void PaintGraphFromData(int panel, float value);
  // Only moves segment `segment` of panel k.
  void DisplayGraph(int panel, int segment, int x1, int y1, int x2, int y2);
  void RefreshGraphTime();
  void MultiLanguage();
  // Mouse over the grid of panel k: its tool tip reads out the current value.
  void imgGraph_MouseMove(int panel);
  void cmdExit_Click();
  void Timer1_Timer();

  // The y coordinate of value s on panel k, before rounding.
  virtual double ValueY(int panel, double value) = 0;

 protected:
  // Calls `sample(panel, value)` for each source channel in index order.
  virtual void ForEachSource(const std::function<void(int panel, float value)>& sample) = 0;
  // The value text and unit of panel k's read-out; nothing when the panel has no source.
  virtual std::optional<std::string> ReadoutValue(int panel) = 0;
  // The window's own texts of panel k (the quantity title).
  virtual void PanelTexts(int panel) = 0;

  // Design of panel k with its frame at (left, top) on the window; `axis` are the five axis
  // values bottom to top; `lineColor` colours its segments.
  void DesignPanel(int panel, int left, int top, const std::array<const char*, 5>& axis,
                   std::uint32_t lineColor);
  void DesignExitAndTimer(int left, int top);
  // Load step 3: the voltage window sets and remembers its size here; the others size
  // themselves in AdjustScale.
  virtual void LoadWindowSize() {}
  void Form_Load() override;
};

}  // namespace veltrix::monitor
