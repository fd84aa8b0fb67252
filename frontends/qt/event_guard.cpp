#include "frontends/qt/event_guard.h"

#include <QCoreApplication>

namespace veltrix::qt {
namespace {
std::exception_ptr stored;
}  // namespace

bool Guarded(const std::function<void()>& fn) {
  if (stored) return false;
  try {
    fn();
    return true;
  } catch (...) {
    stored = std::current_exception();
    QCoreApplication::exit(0);
    return false;
  }
}

int Exec() {
  const int code = stored ? 0 : QCoreApplication::exec();
  if (std::exception_ptr e = TakeStoredException()) std::rethrow_exception(e);
  return code;
}

bool Ending() {
  return static_cast<bool>(stored);
}

std::exception_ptr TakeStoredException() {
  std::exception_ptr e = stored;
  stored = nullptr;
  return e;
}

}  // namespace veltrix::qt
