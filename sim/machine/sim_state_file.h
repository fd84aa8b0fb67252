#pragma once
// The simulated board's register state in a file, for looking at the board after the program
// has gone (veltrix --sim-state-out FILE). The text is the isadump format --sim-dump reads:
// the monitor registers (Winbond: banks 0, 1, 2 and 4), then comment lines with the monitor
// device's activation (configuration register 0x30) and system control port 0x61.
//
// Writing is async-signal-safe, so the crash path can leave the state behind too: the file is
// opened when the object is made, the text is formatted into a buffer allocated then, and the
// write is lseek/ftruncate/write.
#include <memory>
#include <string>

namespace veltrix::sim {

class SimMachine;

class SimStateFile {
 public:
  static constexpr std::size_t kBufferSize = 8192;

  // Opens (creates or truncates) the file; a symlink is not followed. Check Error().
  SimStateFile(SimMachine& machine, const std::string& path);
  ~SimStateFile();
  SimStateFile(const SimStateFile&) = delete;
  SimStateFile& operator=(const SimStateFile&) = delete;

  // Empty when the file is open, else "PATH: reason".
  const std::string& Error() const { return error_; }

  // Writes the board's state now (replacing what the file held). Async-signal-safe.
  void Write() noexcept;
  // For ExitSignals' crash observer.
  static void WriteFrom(void* self) noexcept { static_cast<SimStateFile*>(self)->Write(); }

 private:
  SimMachine& machine_;
  int fd_ = -1;
  std::string error_;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace veltrix::sim
