#pragma once
// frmVanquil: the small topmost window that tells the person at the screen what the clean-up
// is doing while it works. Without a display (or in a build without the desktop toolkit)
// nothing is shown and nothing is printed in its place.
#include <memory>

namespace veltrix::app {

class FrmVanquil {
 public:
  // Shows the window on top of all others when there is a display, and returns once it has
  // been painted (or after a short wait when the window system does not say so).
  FrmVanquil(int& argc, char** argv);
  ~FrmVanquil();
  FrmVanquil(const FrmVanquil&) = delete;
  FrmVanquil& operator=(const FrmVanquil&) = delete;

  bool Shown() const { return view_ != nullptr; }

 private:
  struct View;  // the toolkit's application and window
  std::unique_ptr<View> view_;
};

}  // namespace veltrix::app
