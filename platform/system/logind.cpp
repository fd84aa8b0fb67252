#include "platform/system/logind.h"

#include <cstring>

#ifdef VELTRIX_HAVE_SD_BUS
#include <systemd/sd-bus.h>
#endif

namespace veltrix::platform {

#ifdef VELTRIX_HAVE_SD_BUS

LogindAnswer AskLogind(LogindRequest request, int timeoutSeconds) {
  sd_bus* bus = nullptr;
  int r = sd_bus_open_system(&bus);
  if (r < 0) return {false, std::string("the system bus cannot be reached: ") + std::strerror(-r)};
  sd_bus_message* call = nullptr;
  sd_bus_message* reply = nullptr;
  sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
  LogindAnswer answer;
  r = sd_bus_message_new_method_call(bus, &call, "org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager",
                                     request == LogindRequest::kReboot ? "Reboot" : "PowerOff");
  if (r >= 0) r = sd_bus_message_append(call, "b", 1);
  // polkit may ask the user on the desktop before it answers.
  if (r >= 0) r = sd_bus_message_set_allow_interactive_authorization(call, 1);
  if (r >= 0) {
    r = sd_bus_call(bus, call, static_cast<std::uint64_t>(timeoutSeconds) * 1000000U, &error, &reply);
  }
  if (r >= 0) {
    answer.accepted = true;
  } else if (sd_bus_error_is_set(&error)) {
    answer.reason = std::string(error.name) + (error.message ? std::string(": ") + error.message : "");
  } else {
    answer.reason = std::strerror(-r);
  }
  sd_bus_error_free(&error);
  sd_bus_message_unref(reply);
  sd_bus_message_unref(call);
  sd_bus_flush_close_unref(bus);
  return answer;
}

#else

LogindAnswer AskLogind(LogindRequest /*request*/, int /*timeoutSeconds*/) {
  return {false, "this build of veltrix cannot talk to logind (built without libsystemd)"};
}

#endif

}  // namespace veltrix::platform
