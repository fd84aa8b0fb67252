#include "sim/chip/chip.h"

#include <algorithm>
#include <cmath>

#include "sim/chip/ite.h"
#include "sim/chip/winbond.h"

namespace veltrix::sim {

const char* ChipModelName(ChipModel model) {
  switch (model) {
    case ChipModel::W83627HF:
      return "W83627HF";
    case ChipModel::W83697HF:
      return "W83697HF";
    case ChipModel::W83637HF:
      return "W83637HF";
    case ChipModel::IT8705F:
      return "IT8705F";
    case ChipModel::IT8712F:
      return "IT8712F";
  }
  return "?";
}

SuperIoVendor ChipVendorOf(ChipModel model) {
  return (model == ChipModel::IT8705F || model == ChipModel::IT8712F) ? SuperIoVendor::Ite
                                                                      : SuperIoVendor::Winbond;
}

std::uint16_t SimChip::MonitorIndexPort() const {
  const std::uint8_t ldn = MonitorLdn();
  const std::uint16_t base = config_.BaseAddress(ldn) & superio::kMonitorBaseAlignMask;
  if (!config_.Active(ldn) || base == 0) return 0;
  return superio::MonitorIndexPort(base);
}

void SimChip::SetInputs(const AnalogInputs& inputs) {
  inputs_ = inputs;
  Convert();
}

void SimChip::LoadRegisters(int bank, std::span<const std::uint8_t> values) {
  const std::size_t n = std::min<std::size_t>(values.size(), superio::kMonitorRegisterCount);
  for (std::size_t i = 0; i < n; ++i) {
    const auto index = static_cast<std::uint8_t>(i);
    if (CanonicalIndex(index) == index) SetRegister(bank, index, values[i]);
  }
}

std::string SimChip::Name() const {
  static const char* const kHex = "0123456789ABCDEF";
  std::string port{kHex[(ConfigPort() >> 4) & 0xF], kHex[ConfigPort() & 0xF]};
  return std::string(ChipModelName(model_)) + "@" + port;
}

bool SimChip::Decodes(std::uint16_t port) const {
  if (port == config_.IndexPort() || port == config_.DataPort()) return true;
  const std::uint16_t index = MonitorIndexPort();
  return index != 0 && (port == index || port == superio::MonitorDataPort(index));
}

std::uint8_t SimChip::Read(std::uint16_t port) {
  if (port == config_.IndexPort() || port == config_.DataPort()) return config_.ReadPort(port);
  // The address register is 7 bits wide; bit 7 (busy on LM78 relatives) reads 0.
  if (port == MonitorIndexPort()) return address_;
  return ReadMonitor(address_);
}

void SimChip::Write(std::uint16_t port, std::uint8_t value) {
  if (port == config_.IndexPort() || port == config_.DataPort()) {
    config_.WritePort(port, value);
    return;
  }
  if (port == MonitorIndexPort()) {
    address_ = value & superio::kMonitorAddressMask;
    return;
  }
  WriteMonitor(address_, value);
}

std::uint8_t VoltsToCount(double volts) {
  const double counts = std::round(volts / 0.016);
  if (!(counts > 0)) return 0;  // also NaN
  return counts >= 255 ? 255 : static_cast<std::uint8_t>(counts);
}

std::uint8_t RpmToCount(double rpm, int divisor) {
  if (!(rpm > 0) || divisor <= 0) return 255;
  const double count = std::round(1350000.0 / (rpm * divisor));
  if (count >= 255) return 255;
  return count < 1 ? 1 : static_cast<std::uint8_t>(count);
}

std::uint8_t CelsiusToByte(double celsius) {
  double v = std::round(celsius);
  if (std::isnan(v)) v = 0;
  if (v < -128) v = -128;
  if (v > 127) v = 127;
  return static_cast<std::uint8_t>(static_cast<std::int8_t>(v));
}

std::unique_ptr<SimChip> MakeChip(ChipModel model, std::uint16_t configPort) {
  if (ChipVendorOf(model) == SuperIoVendor::Ite) return std::make_unique<IteChip>(model, configPort);
  return std::make_unique<WinbondChip>(model, configPort);
}

}  // namespace veltrix::sim
