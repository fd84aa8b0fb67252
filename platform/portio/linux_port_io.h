#pragma once
// Port I/O on a real Linux machine. Direct in/out instructions after ioperm() (ports below
// 0x400) and iopl(3) (everything else, e.g. chipset registers above PmBase) on x86; otherwise
// the /dev/port character device with pread/pwrite. Both need root (CAP_SYS_RAWIO).
#include <cstdint>
#include <string>

#include "platform/portio/port_io.h"

namespace veltrix::platform {

class LinuxPortIo : public PortIo {
 public:
  enum class Method { None, Direct, DevPort };

  struct Options {
    std::string devPortPath = "/dev/port";
    bool allowDirect = true;  // try ioperm/iopl before /dev/port
  };

  LinuxPortIo() : LinuxPortIo(Options{}) {}
  explicit LinuxPortIo(Options options);
  ~LinuxPortIo() override;
  LinuxPortIo(const LinuxPortIo&) = delete;
  LinuxPortIo& operator=(const LinuxPortIo&) = delete;

  Method AccessMethod() const { return method_; }
  // Why access could not be had (empty when it could).
  const std::string& Error() const { return error_; }

  // 0 when some access method works, 1 when none does (not privileged).
  std::uint16_t LoadPordexVxD() override;
  std::uint16_t InitialBus(std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return 0; }
  // Before a successful load reads return 0xFF and writes go nowhere.
  std::uint8_t InPortB(std::uint16_t port) override;
  void OutPortB(std::uint16_t port, std::uint8_t value) override;
  // The system layer does the real shut-down permission check.
  std::uint16_t EnablePri() override { return 1; }
  void DisablePri() override {}

 private:
  bool TryDirect();
  bool TryDevPort();
  bool DirectReaches(std::uint16_t port) const;

  Options options_;
  Method method_ = Method::None;
  bool highPortsDirect_ = false;  // iopl(3) granted: every port is reachable directly
  int fd_ = -1;
  std::string error_;
};

}  // namespace veltrix::platform
