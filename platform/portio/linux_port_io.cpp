#include "platform/portio/linux_port_io.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VELTRIX_X86_PORTS 1
#endif

namespace veltrix::platform {

LinuxPortIo::LinuxPortIo(Options options) : options_(std::move(options)) {}

LinuxPortIo::~LinuxPortIo() {
  if (fd_ >= 0) ::close(fd_);
}

bool LinuxPortIo::TryDirect() {
#ifdef VELTRIX_X86_PORTS
  // ioperm covers only ports 0..0x3FF; the chipset registers above PmBase need iopl(3).
  if (::iopl(3) == 0) {
    highPortsDirect_ = true;
    return true;
  }
  if (::ioperm(0, 0x400, 1) == 0) return true;
  error_ = std::string("ioperm: ") + std::strerror(errno);
  return false;
#else
  error_ = "direct port access needs an x86 processor";
  return false;
#endif
}

bool LinuxPortIo::TryDevPort() {
  fd_ = ::open(options_.devPortPath.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ >= 0) return true;
  error_ += (error_.empty() ? "" : "; ") + options_.devPortPath + ": " + std::strerror(errno);
  return false;
}

std::uint16_t LinuxPortIo::LoadPordexVxD() {
  if (method_ != Method::None) return 0;
  error_.clear();
  // /dev/port is kept open as well so ports above 0x3FF work when only ioperm was granted.
  const bool direct = options_.allowDirect && TryDirect();
  const bool devPort = (!direct || !highPortsDirect_) && TryDevPort();
  if (direct) {
    method_ = Method::Direct;
  } else if (devPort) {
    method_ = Method::DevPort;
  } else {
    return 1;
  }
  error_.clear();
  return 0;
}

bool LinuxPortIo::DirectReaches(std::uint16_t port) const {
  return method_ == Method::Direct && (highPortsDirect_ || port < 0x400);
}

std::uint8_t LinuxPortIo::InPortB(std::uint16_t port) {
#ifdef VELTRIX_X86_PORTS
  if (DirectReaches(port)) return ::inb(port);
#endif
  std::uint8_t value = 0xFF;
  if (fd_ >= 0 && ::pread(fd_, &value, 1, port) != 1) value = 0xFF;
  return value;
}

void LinuxPortIo::OutPortB(std::uint16_t port, std::uint8_t value) {
#ifdef VELTRIX_X86_PORTS
  if (DirectReaches(port)) {
    ::outb(value, port);
    return;
  }
#endif
  if (fd_ >= 0) {
    // A port write has no error path for the caller; a failed write is lost like on a bus.
    [[maybe_unused]] const ssize_t written = ::pwrite(fd_, &value, 1, port);
  }
}

}  // namespace veltrix::platform
