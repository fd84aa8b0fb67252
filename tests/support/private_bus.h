#pragma once
// A private D-Bus bus (dbus-daemon with a configuration of its own in a temporary folder) and
// a stand-in logind on it (tests/data/logind/stand_in_logind.py). While the object lives,
// DBUS_SYSTEM_BUS_ADDRESS points at the private bus, so the program's system-bus clients
// (sd-bus, Qt D-Bus) meet the stand-in instead of the machine's logind.
#include <sys/types.h>

#include <string>

namespace veltrix::testsupport {

class PrivateBus {
 public:
  PrivateBus();
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  // Empty when the bus runs; otherwise why not (dbus-daemon or python3-dbus missing).
  const std::string& Problem() const { return problem_; }
  const std::string& Address() const { return address_; }

  // Starts the stand-in logind, which accepts or refuses power-off requests.
  bool StartLogind(bool accept);
  // What the stand-in was asked, one request a line.
  std::string LogindRequests() const;
  // The stand-in announces PrepareForShutdown(true).
  void AnnounceShutdown();

 private:
  std::string dir_;
  std::string address_;
  std::string problem_;
  std::string previousAddress_;
  bool hadPreviousAddress_ = false;
  pid_t daemon_ = -1;
  pid_t logind_ = -1;
};

}  // namespace veltrix::testsupport
