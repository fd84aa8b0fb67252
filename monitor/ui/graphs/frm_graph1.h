#pragma once
// frmGraph1: "Voltage vs Time", one panel per voltage item of the main window (nine, in item
// order), each with its own fixed axis.
#include "monitor/ui/graphs/time_graph.h"

namespace veltrix::monitor {

class frmGraph1 : public TimeGraph {
 public:
  static constexpr int kPanels = 9;
  static constexpr int kWindowWidth = 10320;
  static constexpr int kWindowHeight = 9795;

  explicit frmGraph1(Program& program);

  forms::ControlArray<forms::Label>& lblVoltage;  // "Vol tage"
  forms::ControlArray<forms::LineControl>& Line1;
  forms::ControlArray<forms::LineControl>& Line2;
  forms::ControlArray<forms::LineControl>& Line3;
  forms::ControlArray<forms::LineControl>& Line4;
  forms::ControlArray<forms::LineControl>& Line5;
  forms::ControlArray<forms::LineControl>& Line6;
  forms::ControlArray<forms::LineControl>& Line7;
  forms::ControlArray<forms::LineControl>& Line8;
  forms::ControlArray<forms::LineControl>& Line9;

  // Panel i shows voltage item i when the main window shows it, captioned like its row.
  // Panels keep their places and the window keeps its size.
  void AdjustGraphScale() override;
  // Bottom and top of the axis are the panel's first and fifth value labels.
  double ValueY(int panel, double value) override;

 protected:
  void InitializeComponent() override;
  void LoadWindowSize() override;
  void ForEachSource(const std::function<void(int, float)>& sample) override;
  std::optional<std::string> ReadoutValue(int panel) override;
  void PanelTexts(int panel) override;
};

}  // namespace veltrix::monitor
