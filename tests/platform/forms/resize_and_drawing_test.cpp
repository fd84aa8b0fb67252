// Form_Resize, the pointer moving over a picture, and what a view needs to follow a picture's
// drawing (line styles, erasures).
#include <gtest/gtest.h>

#include "tests/platform/forms/test_form.h"

namespace veltrix::forms::testing {
namespace {

// Keeps a fixed size unless minimised, the way the program's graph windows do.
class FixedSizeForm : public Form {
 public:
  explicit FixedSizeForm(Application& app) : Form(app, "frmFixed") {}
  PictureBox picA{*this, "picA"};
  int resizes = 0;

 protected:
  void InitializeComponent() override {
    Move(0, 0, 3000, 2000);  // design time: no Form_Resize
    picA.Move(100, 100, 1500, 1000);
  }
  void Form_Resize() override {
    ++resizes;
    if (WindowState == 1) return;
    Height = 2000;
    Width = 3000;
  }
};

TEST(FormResize, RunsForSizeAndStateChangesOfALoadedFormAndMaySnapBack) {
  VirtualScheduler sched;
  Application app{sched};
  FixedSizeForm form{app};
  form.Width = 5000;  // not loaded: no view, no Form_Resize
  EXPECT_EQ(form.resizes, 0);

  form.Show();
  EXPECT_EQ(form.resizes, 0) << "the design-time size raises nothing";
  form.Width = 4500;
  EXPECT_EQ(form.Width, 3000) << "snapped back";
  EXPECT_GE(form.resizes, 1);
  form.Left = 700;  // a move is not a resize
  const int afterMove = form.resizes;
  form.Top = 900;
  EXPECT_EQ(form.resizes, afterMove);

  form.WindowState = 1;
  form.Height = 300;
  EXPECT_EQ(form.Height, 300) << "a minimised window keeps what it was given";
  form.WindowState = 0;
  EXPECT_EQ(form.Height, 2000) << "restoring snaps back";
}

TEST(PictureDrawing, LinesKeepTheirStyleAndViewsLearnOfErasures) {
  VirtualScheduler sched;
  Application app{sched};
  FixedSizeForm form{app};
  form.Show();
  PictureBox& pic = form.picA;
  pic.DrawStyle = 2;
  pic.DrawWidth = 3;
  pic.DrawLine(0, 0, 150, 150, kColorRed);
  pic.DrawStyle = 0;
  pic.DrawLine(0, 0, 0, 0, kColorRed);
  ASSERT_EQ(pic.Lines().size(), 2u);
  EXPECT_EQ(pic.Lines()[0].style, 2);
  EXPECT_EQ(pic.Lines()[1].style, 0);
  EXPECT_EQ(pic.Lines()[1].width, 3);
  EXPECT_EQ(pic.Erasures(), 0u) << "drawing only appends";

  pic.Repaint();  // neither line was persistent
  EXPECT_EQ(pic.Erasures(), 1u);
  pic.Repaint();  // nothing to lose
  pic.Cls();      // nothing to clear
  EXPECT_EQ(pic.Erasures(), 1u);
  pic.AutoRedraw = true;
  pic.DrawLine(1, 1, 2, 2, kColorBlack);
  form.Unload();
  EXPECT_EQ(pic.Erasures(), 2u) << "unloading loses the drawing";
}

TEST(PointerInput, MovesOverAPictureReachItsHandlerWhereAPersonCouldReachIt) {
  VirtualScheduler sched;
  Application app{sched};
  FixedSizeForm form{app};
  std::vector<std::string> moves;
  form.picA.OnMouseMove = [&moves](int button, int shift, float x, float y) {
    moves.push_back(std::to_string(button) + " " + std::to_string(shift) + " " +
                    std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  };
  form.picA.UserMouse(1, 0, 0, 15, 30);  // not loaded
  form.Load();
  form.picA.UserMouse(1, 0, 0, 15, 30);  // loaded but hidden
  form.Show();
  form.picA.UserMouse(1, 1, 2, 150, 300);
  form.picA.UserMouse(0, 1, 0, 1, 1);  // a press is not a move
  form.picA.Visible = false;
  form.picA.UserMouse(1, 0, 0, 15, 30);
  EXPECT_EQ(moves, std::vector<std::string>{"1 2 150,300"});
}

}  // namespace
}  // namespace veltrix::forms::testing
