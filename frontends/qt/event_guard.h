#pragma once
// The program's handlers may end the program by throwing (the orderly exit, a start-up
// failure) from inside a Qt callback, where an exception must not cross Qt's frames. Every
// callback into the model runs through Guarded: the first exception is kept, the event loop
// is asked to quit, and Exec rethrows it once the loop has returned.
#include <exception>
#include <functional>

namespace veltrix::qt {

// Runs fn; an exception is stored and the event loop told to quit. Returns false when fn threw.
bool Guarded(const std::function<void()>& fn);

// Runs the Qt event loop until it quits, then rethrows what a guarded callback threw.
// Returns the loop's exit code.
int Exec();

// True once a guarded callback threw and the loop is on its way out (callbacks after that
// are skipped: the program has ended).
bool Ending();

// Forgets a stored exception (tests that catch the end themselves).
std::exception_ptr TakeStoredException();

}  // namespace veltrix::qt
