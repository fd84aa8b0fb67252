#include "sim/board_info/sim_board_info.h"

#include <algorithm>
#include <cstring>

namespace veltrix::sim {

void SimBoardInfo::Fill(char* buffer, int size, std::string_view text) {
  if (buffer == nullptr || size <= 0) return;
  const auto n = static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(size)));
  std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
  if (n < size) buffer[n] = '\0';
}

void SimBoardInfo::GetKorvanaBIOSInformation(char* model, char* biosVersion, char* biosDate) {
  Fill(model, platform::kBiosFieldSize, profile_.ReportedModel());
  Fill(biosVersion, platform::kBiosFieldSize, profile_.biosVersion);
  Fill(biosDate, platform::kBiosFieldSize, profile_.biosDate);
}

std::int32_t SimBoardInfo::GetPciBaseAddress(std::int32_t* /*arg*/) {
  return profile_.pmBase >= 0 ? profile_.pmBase : -1;
}

void SimBoardInfo::GetCpuType(char* cpu) {
  Fill(cpu, platform::kCpuTypeSize, profile_.cpuName);
}

void SimBoardInfo::GetLoginUser(char* user) {
  Fill(user, platform::kLoginUserSize, profile_.loginUser);
}

std::int32_t SimBoardInfo::GetSystemPhysicalMemory(std::int32_t* /*arg*/) {
  return profile_.memoryBytes;
}

void SimBoardInfo::PlatformInformation(char* osName, char* osVersion) {
  Fill(osName, platform::kPlatformFieldSize, profile_.osName);
  Fill(osVersion, platform::kPlatformFieldSize, profile_.osVersion);
}

}  // namespace veltrix::sim
