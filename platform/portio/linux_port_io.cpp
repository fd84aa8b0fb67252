#include "platform/portio/linux_port_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VELTRIX_X86_PORTS 1
#endif

namespace veltrix::platform {
namespace {

#ifdef VELTRIX_X86_PORTS
class X86Instructions : public PortInstructions {
 public:
  int Permit(std::uint16_t from, std::uint16_t count) override {
    return ::ioperm(from, count, 1) == 0 ? 0 : -errno;
  }
  std::uint8_t In(std::uint16_t port) override { return ::inb(port); }
  void Out(std::uint16_t port, std::uint8_t value) override { ::outb(value, port); }
};
#endif

std::function<void(const std::string&)> LogOrStderr(std::function<void(const std::string&)> log) {
  if (log) return log;
  return [](const std::string& line) { std::cerr << "veltrix: " << line << '\n'; };
}

}  // namespace

PortInstructions* ProcessorPortInstructions() {
#ifdef VELTRIX_X86_PORTS
  static X86Instructions instructions;
  return &instructions;
#else
  return nullptr;
#endif
}

LinuxPortIo::LinuxPortIo(Options options)
    : options_(std::move(options)),
      instructions_(options_.instructions != nullptr ? options_.instructions : ProcessorPortInstructions()),
      grant_(LogOrStderr(options_.log)) {}

LinuxPortIo::~LinuxPortIo() {
  if (fd_ >= 0) ::close(fd_);
}

bool LinuxPortIo::TryDirect() {
  if (instructions_ == nullptr) {
    error_ = "direct port access needs an x86 processor";
    return false;
  }
  for (const auto& [from, count] : grant_.Runs()) {
    if (const int e = instructions_->Permit(from, count); e != 0) {
      error_ = "ioperm: " + std::string(std::strerror(-e));
      return false;
    }
  }
  return true;
}

bool LinuxPortIo::TryDevPort() {
  fd_ = ::open(options_.devPortPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd_ < 0) {
    error_ += (error_.empty() ? "" : "; ") + options_.devPortPath + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (options_.requireCharDevice && (::fstat(fd_, &st) != 0 || !S_ISCHR(st.st_mode))) {
    ::close(fd_);
    fd_ = -1;
    error_ += (error_.empty() ? "" : "; ") + options_.devPortPath + ": not a character device";
    return false;
  }
  return true;
}

std::uint16_t LinuxPortIo::LoadPordexVxD() {
  if (method_ != Method::None) return 0;
  error_.clear();
  grant_.Reset(options_.chipsetPorts ? options_.chipsetPorts() : std::vector<std::uint16_t>{});
  if (options_.allowDirect && TryDirect()) {
    method_ = Method::Direct;
  } else if (TryDevPort()) {
    method_ = Method::DevPort;
  } else {
    return 1;
  }
  error_.clear();
  return 0;
}

bool LinuxPortIo::Reaches(std::uint16_t port) {
  return method_ != Method::None && grant_.Allows(port);
}

std::uint8_t LinuxPortIo::InPortB(std::uint16_t port) {
  if (method_ == Method::None) return 0xFF;
  if (!grant_.Allows(port)) {
    grant_.Refuse(port, false);
    return 0xFF;
  }
  std::uint8_t value = 0xFF;
  if (method_ == Method::Direct) {
    value = instructions_->In(port);
  } else if (::pread(fd_, &value, 1, port) != 1) {
    value = 0xFF;
  }
  grant_.NoteRead(port, value);
  return value;
}

void LinuxPortIo::OutPortB(std::uint16_t port, std::uint8_t value) {
  if (method_ == Method::None) return;
  if (!grant_.Allows(port)) {
    grant_.Refuse(port, true);
    return;
  }
  grant_.NoteWrite(port, value);
  if (method_ == Method::Direct) {
    instructions_->Out(port, value);
    return;
  }
  // A port write has no error path for the caller; a failed write is lost like on a bus.
  [[maybe_unused]] const ssize_t written = ::pwrite(fd_, &value, 1, port);
}

}  // namespace veltrix::platform
