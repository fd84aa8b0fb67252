// Lookups over the generated board tables. Every lookup is an exact, case-sensitive comparison with
// the model name, first group in table order wins.
#include <algorithm>

#include "monitor/boards/board_tables.h"

namespace veltrix::monitor::boards {
namespace {

constexpr std::uint32_t kW83627Hf = 0x21;
constexpr std::uint32_t kW83697Hf = 0x60;
constexpr std::uint32_t kW83637Hf = 0x80;
constexpr std::uint32_t kIt8705F = 0x8C;
constexpr std::uint32_t kIt8712F = 0x99;

// The family prefix sits at the start of the model name.
bool HasPrefix(std::string_view model, std::string_view a, std::string_view b) {
  return model.substr(0, 2) == a || model.substr(0, 2) == b;
}

std::optional<ItemChip> ItemChipOf(std::uint32_t chipId) {
  switch (chipId) {
    case kW83627Hf:
      return ItemChip::kW83627HF;
    case kW83697Hf:
      return ItemChip::kW83697HF;
    case kW83637Hf:
      return ItemChip::kW83637HF;
    case kIt8705F:
    case kIt8712F:
      return ItemChip::kIte;
    default:
      return std::nullopt;
  }
}

ChassisMethod ClearFor(ModelTable<ChassisMethod> table, std::string_view model) {
  const auto* group = FindGroup(table, model);
  return group != nullptr ? group->outcome : ChassisMethod::kNone;
}

}  // namespace

Classification ClassifyBoard(std::string_view model) {
  const auto* group = FindGroup(StartupTable(), model);
  return group != nullptr ? group->outcome : Classification{1, 0};
}

std::optional<LabelOutcome> FindChkMBModelOutcome(std::string_view model) {
  const auto* group = FindGroup(ChkMBModelTable(), model);
  if (group == nullptr) return std::nullopt;
  return group->outcome;
}

std::string_view DisplayName(std::string_view model) {
  for (const auto& entry : DisplayNameTable()) {
    if (entry.model == model) return entry.text;
  }
  return {};
}

ChassisPreparation ChassisPreparationFor(std::string_view model) {
  if (HasPrefix(model, "ZR", "ZQ")) return ChassisPreparation::kIntelFlagClear;
  if (HasPrefix(model, "ZV", "ZT")) {
    return Contains(ChassisPrepNvidiaModels(), model) ? ChassisPreparation::kNvidiaPortSet
                                                      : ChassisPreparation::kViaFlagClear;
  }
  return model == ChassisPrepException() ? ChassisPreparation::kNothing : ChassisPreparation::kRefuse;
}

TemperatureOffsets TemperatureOffsetsFor(std::string_view model) {
  const auto* group = FindGroup(TemperatureOffsetTable(), model);
  return group != nullptr ? group->outcome : TemperatureOffsets{};
}

bool InSensorSetupList(std::string_view model) {
  return FindGroup(TemperatureOffsetTable(), model) != nullptr;
}

bool NeedsRestartOnResume(std::string_view model) {
  return Contains(ResumeRestartModels(), model);
}

float DefaultVcoreFactor(std::uint32_t chipId, std::string_view model) {
  const NameList special = VcoreFactorModels();
  if (chipId == kW83637Hf && special.size() == 2) {
    if (model == special[0]) return 0.0165F;
    if (model == special[1]) return 0.0158F;
  }
  return 0.016F;
}

std::optional<TempRoutine> TempRoutineFor(std::string_view model) {
  const auto* group = FindGroup(TempWiringTable(), model);
  if (group == nullptr) return std::nullopt;
  return group->outcome;
}

const TempCalibration* TempCalibrationFor(std::string_view model) {
  for (const auto& entry : TempCalibrationTable()) {
    if (entry.model == model) return &entry;
  }
  return nullptr;
}

std::uint8_t TempReadBank(std::string_view model, int k) {
  const auto* cal = TempCalibrationFor(model);
  const auto routing = cal != nullptr ? cal->readBanks : TempBankRouting::kNormal;
  switch (routing) {
    case TempBankRouting::kSwapped:
      return static_cast<std::uint8_t>(k == 1 ? 2 : 1);
    case TempBankRouting::kBothBank1:
      return 1;
    case TempBankRouting::kBothBank2:
      return 2;
    case TempBankRouting::kNormal:
      break;
  }
  return static_cast<std::uint8_t>(k);
}

bool UsesAlternativeIteFanSetup(std::string_view model) {
  return model == OnOffFanModel();
}

const ModelGroup<ItemTableOutcome>* FindItemTableGroup(std::uint32_t chipId, std::string_view model) {
  const auto chip = ItemChipOf(chipId);
  if (!chip) return nullptr;
  for (const auto& group : ItemTable()) {
    if (group.outcome.chip == *chip && Contains(group.names, model)) return &group;
  }
  return nullptr;
}

ItemDecision ItemDecisionFor(std::uint32_t chipId, std::string_view model) {
  const auto chip = ItemChipOf(chipId);
  if (!chip) return {};
  if (const auto* group = FindItemTableGroup(chipId, model)) return {false, group->outcome.absentItems};
  // An ITE board that no group lists has every item; an unlisted Winbond board is refused.
  return {*chip != ItemChip::kIte, 0};
}

TempLimitDefaults TempLimitDefaultsFor(std::string_view model) {
  TempLimitDefaults defaults;
  // Row 0 and rows 1/2 come from separate lists; a board may be in one of each.
  bool rowZeroDone = false;
  bool rowsOneTwoDone = false;
  for (const auto& group : TempLimitTable()) {
    if (!Contains(group.names, model)) continue;
    const bool ownRowZero = group.outcome.hiLimit[0] != 0.0F;
    if (ownRowZero && !rowZeroDone) {
      defaults.hiLimit[0] = group.outcome.hiLimit[0];
      defaults.captionPreset[0] = true;
      rowZeroDone = true;
    } else if (!ownRowZero && !rowsOneTwoDone) {
      for (int row = 1; row < 3; ++row) {
        defaults.hiLimit[row] = group.outcome.hiLimit[row];
        defaults.captionPreset[row] = true;
      }
      rowsOneTwoDone = true;
    }
  }
  return defaults;
}

std::optional<ChassisMethod> ChassisMethodFor(std::string_view model) {
  const auto* group = FindGroup(ChassisDetectionTable(), model);
  if (group == nullptr) return std::nullopt;
  return group->outcome;
}

ChassisMethod DisableClearFor(std::string_view model) {
  return ClearFor(ChassisDisableClearTable(), model);
}
ChassisMethod IgnoreClearFor(std::string_view model) {
  return ClearFor(ChassisIgnoreClearTable(), model);
}

bool IsFanControlSupported(std::string_view model) {
  return Contains(SupportedFanModels(), model);
}
bool InFanNameList(std::string_view model) {
  return Contains(FanNameListModels(), model);
}

const CatalogBoard* FindCatalogBoard(std::string_view model) {
  const auto all = AllKnownModels();
  const auto it =
      std::find_if(all.begin(), all.end(), [&](const CatalogBoard& b) { return b.model == model; });
  return it != all.end() ? &*it : nullptr;
}

std::uint32_t ChipIdOf(CatalogChip chip) {
  switch (chip) {
    case CatalogChip::kW83627HF:
      return kW83627Hf;
    case CatalogChip::kW83697HF:
      return kW83697Hf;
    case CatalogChip::kW83637HF:
      return kW83637Hf;
    case CatalogChip::kIT8705F:
      return kIt8705F;
    case CatalogChip::kIT8712F:
      return kIt8712F;
  }
  return 0;
}

}  // namespace veltrix::monitor::boards
