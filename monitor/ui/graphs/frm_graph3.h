#pragma once
// frmGraph3: "Fan speed vs Temp". For the CPU fan and the system fan, each second places a
// point at (temperature, fan speed) and joins it to the previous point with a thick red line
// drawn into the panel's picture, so the panel accumulates the path of the pair. It also
// shows the current readings and both fans animated at their drive level.
//
// Panel 0 plots lblStatusT(1) against lblFanSpeed(0) of the main window, panel 1
// lblStatusT(0) against lblFanSpeed(1). Temperatures 26..62 span 10 % to 100 % of the
// width, 0..8000 RPM the height.
#include <array>
#include <cstdint>
#include <set>

#include "monitor/ui/graphs/graph_window.h"

namespace veltrix::monitor {

class frmGraph3 : public GraphWindow {
  template <typename T>
  using Array = forms::ControlArray<T>;

 public:
  static constexpr int kPanels = 2;
  static constexpr int kWindowWidth = 11925;
  static constexpr int kWindowHeight = 7890;
  static constexpr int kBottomLift = 60;  // a line along the bottom edge stays visible
  static constexpr std::uint32_t kPathColor = forms::Rgb(255, 0, 0);

  explicit frmGraph3(Program& program);

  Array<forms::Frame> fraGraphData{*this, "fraGraphData", kPanels};
  Array<forms::PictureBox> imgGraph{*this, "imgGraph", kPanels};           // origin at its top-left
  Array<forms::LineControl> LineEndPoint{*this, "LineEndPoint", kPanels};  // in imgGraph(k)
  Array<forms::Label> lblStartTime{*this, "lblStartTime", kPanels};
  Array<forms::Label> lblCurrentTime{*this, "lblCurrentTime", kPanels};
  Array<forms::Label> lblTemp{*this, "lblTemp", 10 * kPanels};          // 10k..10k+9: 26..62
  Array<forms::Label> lblFanSpeed{*this, "lblFanSpeed", 11 * kPanels};  // 11k..11k+10: 0..8000
  forms::Label lblTempTitle{*this, "lblTempTitle"};
  forms::Label lblFanSpeedTitle{*this, "lblFanSpeedTitle"};

  // Read-outs with their caption and unit labels.
  forms::Label Label1{*this, "Label1"};  // "Current CPU Temp"
  forms::Label lblCPUTemp{*this, "lblCPUTemp"};
  forms::Label Label5{*this, "Label5"};  // "C"
  forms::Label Label3{*this, "Label3"};  // "Current Fan Speed"
  forms::Label lblCPUFan{*this, "lblCPUFan"};
  forms::Label Label6{*this, "Label6"};  // "RPM"
  forms::Label Label2{*this, "Label2"};  // "Current System Temp"
  forms::Label lblSystemTemp{*this, "lblSystemTemp"};
  forms::Label Label9{*this, "Label9"};  // "C"
  forms::Label Label7{*this, "Label7"};  // "Current Fan Speed"
  forms::Label lblSystemFAN{*this, "lblSystemFAN"};
  forms::Label Label10{*this, "Label10"};        // "RPM"
  forms::AnimatedGif AniGif1{*this, "AniGif1"};  // the CPU fan
  forms::AnimatedGif AniGif2{*this, "AniGif2"};  // the system fan

  forms::CommandButton cmdExit{*this, "cmdExit"};
  forms::Timer Timer1{*this, "Timer1"};

  // The previous point of each panel in its picture's twips; 0 = none yet.
  std::array<std::int32_t, kPanels> PrevX{};
  std::array<std::int32_t, kPanels> PrevY{};
  std::int16_t PlotHeight = 0;  // imgGraph(0).Height at load
  std::int32_t XOffset = 0;     // always 0

  // Places panel k's point for the readings the main window shows now, drawing the line
  // from the previous point when the point moved.
  void PlotPanel(int panel);
  void RefreshReadouts();
  void RefreshFanAnimations();
  void MultiLanguage();
  void Timer1_Timer();
  void cmdExit_Click();

 protected:
  void InitializeComponent() override;
  void Form_Load() override;

 private:
  void DesignPanel(int panel, int left);
  void DesignReadouts();

  // The segments already in each picture, ends in a fixed order. A reading that jitters
  // between a few points would otherwise add the same red line over and over for as long as
  // the window stays open; drawing it again would not change a pixel.
  using Segment = std::array<int, 4>;
  std::array<std::set<Segment>, kPanels> drawn_;
};

}  // namespace veltrix::monitor
