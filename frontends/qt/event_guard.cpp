#include "frontends/qt/event_guard.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <vector>

namespace veltrix::qt {
namespace {
std::exception_ptr stored;
int depth = 0;
int held = 0;
std::vector<QPointer<QObject>> retired;

// Once the outermost callback has returned, nothing of a retired object's own handlers can
// be on the stack any more when the event loop next runs.
void ReleaseRetired() {
  std::vector<QPointer<QObject>> objects;
  objects.swap(retired);
  for (const QPointer<QObject>& object : objects) {
    if (object) object->deleteLater();
  }
}

struct Depth {
  Depth() { ++depth; }
  ~Depth() {
    if (--depth == 0 && !retired.empty()) ReleaseRetired();
  }
};
}  // namespace

bool Guarded(const std::function<void()>& fn) {
  if (stored || held > 0) return false;
  const Depth inside;
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

bool InsideCallback() {
  return depth > 0;
}

void DeleteWhenIdle(QObject* object) {
  if (object == nullptr) return;
  if (depth == 0) {
    delete object;
  } else {
    retired.emplace_back(object);
  }
}

HoldCallbacks::HoldCallbacks() {
  ++held;
}

HoldCallbacks::~HoldCallbacks() {
  --held;
}

}  // namespace veltrix::qt
