#pragma once
// The program's handlers may end the program by throwing (the orderly exit, a start-up
// failure) from inside a Qt callback, where an exception must not cross Qt's frames. Every
// callback into the model runs through Guarded: the first exception is kept, the event loop
// is asked to quit, and Exec rethrows it once the loop has returned.
//
// Guarded also knows whether a callback into the model is running, which tells when a window
// can be deleted: not while one of its own input handlers may still be on the stack.
#include <exception>
#include <functional>

class QObject;

namespace veltrix::qt {

// Runs fn; an exception is stored and the event loop told to quit. Returns false when fn threw
// (or did not run: the program is ending, or callbacks are held).
bool Guarded(const std::function<void()>& fn);

// Runs the Qt event loop until it quits, then rethrows what a guarded callback threw.
// Returns the loop's exit code.
int Exec();

// True once a guarded callback threw and the loop is on its way out (callbacks after that
// are skipped: the program has ended).
bool Ending();

// Forgets a stored exception (tests that catch the end themselves).
std::exception_ptr TakeStoredException();

// Whether a guarded callback is running now (at any depth).
bool InsideCallback();

// Deletes an object that may be in use by a callback further up the stack: at once when no
// guarded callback is running, else from the event loop after the outermost one returned.
void DeleteWhenIdle(QObject* object);

// While one exists, guarded callbacks do not run (they return false): nothing of the program
// runs while it tells the user that it is ending.
class HoldCallbacks {
 public:
  HoldCallbacks();
  ~HoldCallbacks();
  HoldCallbacks(const HoldCallbacks&) = delete;
  HoldCallbacks& operator=(const HoldCallbacks&) = delete;
};

}  // namespace veltrix::qt
