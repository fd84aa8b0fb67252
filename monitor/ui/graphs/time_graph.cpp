// The sweep of the time graphs: load, the once-a-second sample, the segment it draws, the
// time labels, the mouse read-out and the captions every time window shares.
#include "monitor/ui/graphs/time_graph.h"

#include <utility>

#include "monitor/program.h"
#include "monitor/ui/graphs/graph_values.h"

namespace veltrix::monitor {

namespace {

std::unique_ptr<forms::ControlArray<forms::Label>> MakeTitles(forms::Form& form, const std::string& name,
                                                              int panels) {
  return std::make_unique<forms::ControlArray<forms::Label>>(form, name, panels);
}

std::vector<std::unique_ptr<forms::ControlArray<forms::LineControl>>> MakeSegments(forms::Form& form,
                                                                                   int panels) {
  std::vector<std::unique_ptr<forms::ControlArray<forms::LineControl>>> lines;
  lines.reserve(static_cast<std::size_t>(panels));
  for (int k = 0; k < panels; ++k) {
    lines.push_back(std::make_unique<forms::ControlArray<forms::LineControl>>(
        form, "Line" + std::to_string(k + 1), TimeGraph::kSamples));
  }
  return lines;
}

constexpr std::uint32_t kMarkerColor = forms::Rgb(236, 240, 244);

}  // namespace

TimeGraph::TimeGraph(Program& program, std::string name, int panels, int channels,
                     const std::string& titleName)
    : GraphWindow(program, std::move(name)),
      fraGraphData(*this, "fraGraphData", panels),
      imgGraph(*this, "imgGraph", panels),
      Label1(*this, "Label1", panels * kLabelsPerPanel),
      lblStartTime(*this, "lblStartTime", panels),
      lblCurrentTime(*this, "lblCurrentTime", panels),
      lblTime(*this, "lblTime", panels),
      titles_(MakeTitles(*this, titleName, panels)),
      lines_(MakeSegments(*this, panels)),
      LineEndPoint(*this, "LineEndPoint", panels),
      GraphSamples(static_cast<std::size_t>(channels)) {
  cmdExit.OnClick = [this] { cmdExit_Click(); };
  Timer1.OnTimer = [this] { Timer1_Timer(); };
  for (int k = 0; k < panels; ++k) {
    imgGraph[k].OnMouseMove = [this, k](int, int, float, float) { imgGraph_MouseMove(k); };
  }
}

void TimeGraph::DesignPanel(int panel, int left, int top, const std::array<const char*, 5>& axis,
                            std::uint32_t lineColor) {
  forms::Frame& frame = fraGraphData[panel];
  frame.Move(left, top, kPanelWidth, kPanelHeight);
  frame.FontSize = 8;
  auto place = [&frame](forms::Control& c, int l, int t, int w, int h) {
    c.SetContainer(&frame);
    c.Move(l, t, w, h);
  };
  auto text = [](forms::Label& label, const std::string& caption, int alignment, int size) {
    label.Caption = caption;
    label.Alignment = alignment;
    label.FontSize = size;
  };

  forms::Image& grid = imgGraph[panel];
  place(grid, kGridLeft, kGridTop, kGridWidth, kGridHeight);
  grid.Picture = Prog().Sys().ProgramFolder() + "\\skin\\graph_grid.png";
  grid.Stretch = true;

  forms::Label& title = QuantityTitle()[panel];
  place(title, 1500, 120, 1740, 240);
  text(title, "", 1, 8);

  // Five values bottom to top, on both sides of the grid.
  for (int i = 0; i < 5; ++i) {
    const int y = kGridTop + kGridHeight - i * kGridHeight / 4 - 120;
    forms::Label& leftLabel = Label1[kLabelsPerPanel * panel + i];
    place(leftLabel, 0, y, 570, 240);
    text(leftLabel, axis[static_cast<std::size_t>(i)], 1, 7);
    forms::Label& rightLabel = Label1[kLabelsPerPanel * panel + 5 + i];
    place(rightLabel, kGridLeft + kGridWidth + 30, y, 570, 240);
    text(rightLabel, axis[static_cast<std::size_t>(i)], 0, 7);
  }

  const int timeTop = kGridTop + kGridHeight + 60;
  place(lblStartTime[panel], kGridLeft, timeTop, 900, 240);
  text(lblStartTime[panel], "", 0, 8);
  place(lblCurrentTime[panel], kGridLeft + kGridWidth - 900, timeTop, 900, 240);
  text(lblCurrentTime[panel], "", 1, 8);
  place(lblTime[panel], kGridLeft + kGridWidth / 2 - 600, timeTop + 210, 1200, 240);
  text(lblTime[panel], "Time", 2, 8);

  for (int m = 0; m < kSamples; ++m) {
    forms::LineControl& segment = Segments(panel)[m];
    segment.SetContainer(&frame);
    segment.BorderColor = lineColor;
    segment.BorderWidth = 2;
    segment.Visible = false;
  }
  forms::LineControl& marker = LineEndPoint[panel];
  marker.SetContainer(&frame);
  marker.BorderColor = kMarkerColor;
  marker.BorderWidth = 6;
  marker.Visible = false;
}

void TimeGraph::DesignExitAndTimer(int left, int top) {
  cmdExit.Move(left, top, 1215, 375);
  cmdExit.Caption = "Exit";
  Timer1.Interval = 1000;
  Timer1.Enabled = true;
}

void TimeGraph::Form_Load() {
  Loading = true;
  SampleIndex = 0;
  GraphOriginX = static_cast<std::int16_t>(imgGraph[0].Left + 20);
  GraphBaseY = static_cast<std::int16_t>(imgGraph[0].Top + imgGraph[0].Height);
  LoadWindowSize();

  StartTimeText = CurrentTimeText();
  for (int k = 0; k < PanelCount(); ++k) {
    lblStartTime[k].Caption = StartTimeText;
    lblCurrentTime[k].Caption = StartTimeText;
    InitGraphData(k);
  }

  AdjustGraphScale();
  if (!IsLoaded()) {
    // The window closed itself (nothing to plot): it ends here, never shown.
    Loading = false;
    return;
  }
  MultiLanguage();
  Loading = false;
}

void TimeGraph::InitGraphData(int panel) {
  auto& samples = GraphSamples.at(static_cast<std::size_t>(panel));
  for (int m = 0; m < kSamples; ++m) {
    samples[static_cast<std::size_t>(m)] = kNoData;
    Segments(panel)[m].Visible = false;
  }
}

void TimeGraph::RefreshGraphData() {
  if (SampleIndex == kSamples) SampleIndex = 0;
  ForEachSource([this](int panel, float value) {
    GraphSamples.at(static_cast<std::size_t>(panel))[static_cast<std::size_t>(SampleIndex)] = value;
    PaintGraphFromData(panel, value);
  });
  ++SampleIndex;
}

void TimeGraph::PaintGraphFromData(int panel, float value) {
  const int n = SampleIndex;
  const auto& samples = GraphSamples.at(static_cast<std::size_t>(panel));
  const double w = imgGraph[panel].Width;
  const double h = imgGraph[panel].Height;
  auto xOf = [&](int m) { return GraphOriginX + w / kSamples * m; };

  double x1 = GraphOriginX;
  double y1 = GraphBaseY;
  double x2 = GraphOriginX;
  double y2 = GraphBaseY;
  if (n > 0) {
    x1 = xOf(n - 1);
    y1 = ValueY(panel, samples[static_cast<std::size_t>(n - 1)]);
    x2 = xOf(n);
    y2 = ValueY(panel, samples[static_cast<std::size_t>(n)]);
  } else if (samples[0] != kNoData) {
    y1 = ValueY(panel, value);
    y2 = y1;
  }

  // Values outside the axis are drawn outside the grid, up to one grid height beyond it.
  auto px = [&](double x) {
    return graphs::PlotCoordinate(x, GraphOriginX - static_cast<int>(w),
                                  GraphOriginX + 2 * static_cast<int>(w));
  };
  auto py = [&](double y) {
    return graphs::PlotCoordinate(y, GraphBaseY - 2 * static_cast<int>(h), GraphBaseY + static_cast<int>(h));
  };
  const int endX = px(x2);
  const int endY = py(y2);
  DisplayGraph(panel, n, px(x1), py(y1), endX, endY);
  Segments(panel)[n].Visible = true;

  forms::LineControl& marker = LineEndPoint[panel];
  marker.Visible = false;
  marker.X1 = endX;
  marker.X2 = endX;
  marker.Y1 = endY;
  marker.Y2 = endY;
  marker.Visible = true;
}

void TimeGraph::DisplayGraph(int panel, int segment, int x1, int y1, int x2, int y2) {
  forms::LineControl& line = Segments(panel)[segment];
  line.X1 = x1;
  line.Y1 = y1;
  line.X2 = x2;
  line.Y2 = y2;
}

void TimeGraph::RefreshGraphTime() {
  const std::string now = CurrentTimeText();
  for (int k = 0; k < PanelCount(); ++k) lblCurrentTime[k].Caption = now;
}

void TimeGraph::Timer1_Timer() {
  RefreshGraphData();
  RefreshGraphTime();
}

void TimeGraph::imgGraph_MouseMove(int panel) {
  const std::optional<std::string> value = ReadoutValue(panel);
  if (!value) return;
  imgGraph[panel].ToolTipText =
      graphs::ReadoutWord(Prog().G().LanguageId) + fraGraphData[panel].Caption.Get() + " : " + *value;
}

void TimeGraph::cmdExit_Click() {
  Unload();
}

void TimeGraph::MultiLanguage() {
  SetText(cmdExit.Caption, 4);
  SetText(Caption, 400);
  for (int k = 0; k < PanelCount(); ++k) {
    SetText(lblTime[k].Caption, 401);
    PanelTexts(k);
  }
}

}  // namespace veltrix::monitor
