#pragma once
// The board-information library of a simulated board, answering from its profile.
#include <cstdint>
#include <string_view>

#include "platform/boardinfo/board_info.h"
#include "sim/board/board_profile.h"

namespace veltrix::sim {

class SimBoardInfo : public platform::BoardInfo {
 public:
  explicit SimBoardInfo(const BoardProfile& profile) : profile_(profile) {}

  void GetKorvanaBIOSInformation(char* model, char* biosVersion, char* biosDate) override;
  std::int32_t GetPciBaseAddress(std::int32_t* arg) override;
  void GetCpuType(char* cpu) override;
  void GetLoginUser(char* user) override;
  std::int32_t GetSystemPhysicalMemory(std::int32_t* arg) override;
  void PlatformInformation(char* osName, char* osVersion) override;

  // The library's string rule: the text and a NUL when it is shorter than the buffer; a text
  // that fills the buffer is written without a NUL (callers must cope). Never writes past size.
  static void Fill(char* buffer, int size, std::string_view text);

 private:
  const BoardProfile& profile_;
};

}  // namespace veltrix::sim
