#include "sim/machine/sim_state_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/superio/winbond_registers.h"
#include "sim/chip/chip.h"
#include "sim/machine/sim_machine.h"

namespace veltrix::sim {
namespace {

// Appends to a fixed buffer without allocating; text past the end is dropped.
class Out {
 public:
  Out(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {}
  void Text(const char* text) {
    while (*text != '\0') Char(*text++);
  }
  void Char(char c) {
    if (used_ < size_) buffer_[used_++] = c;
  }
  void Hex(std::uint8_t value) {
    constexpr char kDigits[] = "0123456789abcdef";
    Char(kDigits[value >> 4]);
    Char(kDigits[value & 0x0F]);
  }
  std::size_t Used() const { return used_; }

 private:
  char* buffer_;
  std::size_t size_;
  std::size_t used_ = 0;
};

void Table(Out& out, const SimChip& chip, int bank, bool banked) {
  out.Text("isadump -y 0x295 0x296");
  if (banked) {
    out.Char(' ');
    out.Char(static_cast<char>('0' + bank));
  }
  out.Text("\n     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f\n");
  for (int row = 0; row < 16; ++row) {
    out.Hex(static_cast<std::uint8_t>(row << 4));
    out.Char(':');
    for (int col = 0; col < 16; ++col) {
      out.Char(' ');
      // The upper half of the window mirrors the lower one.
      out.Hex(chip.GetRegister(bank,
                               static_cast<std::uint8_t>(((row << 4) | col) & superio::kMonitorAddressMask)));
    }
    out.Char('\n');
  }
}

}  // namespace

SimStateFile::SimStateFile(SimMachine& machine, const std::string& path)
    : machine_(machine), buffer_(new char[kBufferSize]) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd_ < 0) error_ = path + ": " + std::strerror(errno);
}

SimStateFile::~SimStateFile() {
  if (fd_ >= 0) ::close(fd_);
}

void SimStateFile::Write() noexcept {
  if (fd_ < 0) return;
  const int savedErrno = errno;
  SimChip& chip = machine_.Chip();
  Out out(buffer_.get(), kBufferSize);
  out.Text("# simulated board state: ");
  out.Text(ChipModelName(chip.Model()));
  out.Char('\n');
  const bool winbond = ChipVendorOf(chip.Model()) == SuperIoVendor::Winbond;
  if (winbond) {
    for (int bank : {winbond::kBank0, winbond::kTemp2Bank, winbond::kTemp3Bank, winbond::kBank4}) {
      Table(out, chip, bank, true);
    }
  } else {
    Table(out, chip, 0, false);
  }
  out.Text("# monitor device activation (configuration register 0x30): ");
  out.Hex(chip.Config().GetRegister(chip.MonitorLdn(), superio::kActivate));
  out.Text("\n# system control port 0x61: ");
  out.Hex(machine_.Speaker().ControlBits());
  out.Char('\n');

  ::lseek(fd_, 0, SEEK_SET);
  [[maybe_unused]] const int truncated = ::ftruncate(fd_, 0);
  const char* data = buffer_.get();
  std::size_t left = out.Used();
  while (left > 0) {
    const ssize_t n = ::write(fd_, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  errno = savedErrno;
}

}  // namespace veltrix::sim
