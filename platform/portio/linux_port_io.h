#pragma once
// Port I/O on a real Linux machine, confined to the ports Veltrix needs (port_grant.h).
//
// Direct in/out instructions after ioperm() on exactly those ports (x86 only; never iopl);
// when ioperm is refused, the /dev/port character device with pread/pwrite, through the same
// check, so any other port is refused in code. Both need root (CAP_SYS_RAWIO).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/portio/port_grant.h"
#include "platform/portio/port_io.h"

namespace veltrix::platform {

// The processor's port instructions, so tests can stand in for them.
class PortInstructions {
 public:
  virtual ~PortInstructions() = default;
  // ioperm(from, count, 1): 0, or -errno.
  virtual int Permit(std::uint16_t from, std::uint16_t count) = 0;
  virtual std::uint8_t In(std::uint16_t port) = 0;
  virtual void Out(std::uint16_t port, std::uint8_t value) = 0;
};
// The x86 instructions; nullptr on other processors.
PortInstructions* ProcessorPortInstructions();

class LinuxPortIo : public PortIo {
 public:
  enum class Method { None, Direct, DevPort };

  struct Options {
    std::string devPortPath = "/dev/port";
    bool allowDirect = true;  // try ioperm before /dev/port
    // Tests point devPortPath at an ordinary file.
    bool requireCharDevice = true;
    // nullptr: the processor's own.
    PortInstructions* instructions = nullptr;
    // The chipset's chassis ports the board's method needs, asked for when access is opened
    // (the board and the chipset are known by then).
    std::function<std::vector<std::uint16_t>()> chipsetPorts;
    // Where refusals are reported; nullptr: standard error.
    std::function<void(const std::string&)> log;
  };

  LinuxPortIo() : LinuxPortIo(Options{}) {}
  explicit LinuxPortIo(Options options);
  ~LinuxPortIo() override;
  LinuxPortIo(const LinuxPortIo&) = delete;
  LinuxPortIo& operator=(const LinuxPortIo&) = delete;

  Method AccessMethod() const { return method_; }
  // Why access could not be had (empty when it could).
  const std::string& Error() const { return error_; }
  const PortGrant& Grant() const { return grant_; }

  // 0 when some access method works, 1 when none does (not privileged).
  std::uint16_t LoadPordexVxD() override;
  std::uint16_t InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return 0; }
  // Before a successful load, and for a refused port, reads return 0xFF and writes go nowhere.
  std::uint8_t InPortB(std::uint16_t port) override;
  void OutPortB(std::uint16_t port, std::uint8_t value) override;
  // The system layer does the real shut-down permission check.
  std::uint16_t EnablePri() override { return 1; }
  void DisablePri() override {}
  bool Reaches(std::uint16_t port) override;

 private:
  bool TryDirect();
  bool TryDevPort();

  Options options_;
  PortInstructions* instructions_;
  PortGrant grant_;
  Method method_ = Method::None;
  int fd_ = -1;
  std::string error_;
};

}  // namespace veltrix::platform
