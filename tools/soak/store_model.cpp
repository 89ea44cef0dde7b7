#include "tools/soak/store_model.h"

#include "charging/error_display.h"
#include "charging/settings_key.h"
#include "charging/texts.h"

namespace murrelet::soak {
namespace {

std::string Describe(const sim::StoredValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return "sz \"" + *text + "\"";
  return "dword " + std::to_string(std::get<std::uint32_t>(value));
}

const std::uint32_t* DwordOf(const std::map<std::string, sim::StoredValue, std::less<>>& values, const char* name) {
  auto it = values.find(name);
  return it == values.end() ? nullptr : std::get_if<std::uint32_t>(&it->second);
}

}  // namespace

void StoreModel::Take(const sim::SimStore& store) {
  auto it = store.keys.find(SettingsKeyPath());
  if (it == store.keys.end()) {
    key_.reset();
  } else {
    key_ = it->second;
  }
}

void StoreModel::Started(const sim::SimStore& store, const ChargeSettings& loaded, int infoBoxes, Findings& out) {
  const bool existed = key_.has_value();
  const bool opened = (existed && !store.readOnlyFail) || !store.createFail;
  if (!existed && !store.createFail) key_.emplace();
  if (!opened) return;

  // With all eight values in place the start must load exactly them; the
  // hours and minutes come back through their spin boxes, which cap them.
  const Values& values = *key_;
  auto name = values.find(kValueKestraName);
  const std::string* handset = name == values.end() ? nullptr : std::get_if<std::string>(&name->second);
  if (handset == nullptr || handset->empty()) return;
  const std::uint32_t* dwords[7];
  const char* const names[7] = {kValueACPowerFlag, kValueBatteryPowerFlag, kValueBatteryParcent, kValueSuspendDisable,
                                kValueHourTimer,   kValueMinTimer,         kValueShutDownFlag};
  for (int n = 0; n < 7; ++n) {
    dwords[n] = DwordOf(values, names[n]);
    if (dwords[n] == nullptr) return;
  }
  ChargeSettings expected;
  expected.HandsetName = *handset;
  expected.ACPowerFlag = *dwords[0] != 0;
  expected.BatteryPowerFlag = *dwords[1] != 0;
  expected.BatteryParcent = static_cast<std::int32_t>(*dwords[2]);
  expected.SuspendDisable = *dwords[3] != 0;
  const auto hours = static_cast<std::int32_t>(*dwords[4]);
  const auto minutes = static_cast<std::int32_t>(*dwords[5]);
  expected.HourTimer = hours > 6 ? 6 : hours;
  expected.MinTimer = minutes > 50 ? 50 : minutes;
  expected.ShutDownFlag = *dwords[6] != 0;
  // The three later flags are optional: missing reads as off.
  const std::uint32_t* autoCharge = DwordOf(values, kValueAutoCharge);
  const std::uint32_t* withSession = DwordOf(values, kValueStartWithSession);
  const std::uint32_t* trayIcon = DwordOf(values, kValueTrayIcon);
  expected.AutoCharge = autoCharge != nullptr && *autoCharge != 0;
  expected.StartWithSession = withSession != nullptr && *withSession != 0;
  expected.TrayIcon = trayIcon != nullptr && *trayIcon != 0;

  const bool same = loaded.HandsetName == expected.HandsetName && loaded.ACPowerFlag == expected.ACPowerFlag &&
                    loaded.BatteryPowerFlag == expected.BatteryPowerFlag &&
                    loaded.BatteryParcent == expected.BatteryParcent &&
                    loaded.SuspendDisable == expected.SuspendDisable && loaded.HourTimer == expected.HourTimer &&
                    loaded.MinTimer == expected.MinTimer && loaded.ShutDownFlag == expected.ShutDownFlag &&
                    loaded.AutoCharge == expected.AutoCharge && loaded.StartWithSession == expected.StartWithSession &&
                    loaded.TrayIcon == expected.TrayIcon;
  if (!same) {
    out.push_back({"load", "the start did not load the stored settings (hours " + std::to_string(loaded.HourTimer) +
                               " vs " + std::to_string(expected.HourTimer) + ", minutes " +
                               std::to_string(loaded.MinTimer) + " vs " + std::to_string(expected.MinTimer) +
                               ", threshold " + std::to_string(loaded.BatteryParcent) + " vs " +
                               std::to_string(expected.BatteryParcent) + ")"});
  }
  if (infoBoxes != 0) out.push_back({"first-start-box", "the first-start box was shown with every value stored"});
}

std::vector<std::string> StoreModel::Closed(const sim::SimStore& store, const ChargeSettings& settings) {
  if (store.createFail) return {text::kCannotWriteStore};
  if (!key_) key_.emplace();
  const std::pair<const char*, sim::StoredValue> written[] = {
      {kValueKestraName, settings.HandsetName},
      {kValueACPowerFlag, std::uint32_t{settings.ACPowerFlag ? 1u : 0u}},
      {kValueBatteryPowerFlag, std::uint32_t{settings.BatteryPowerFlag ? 1u : 0u}},
      {kValueBatteryParcent, static_cast<std::uint32_t>(settings.BatteryParcent)},
      {kValueSuspendDisable, std::uint32_t{settings.SuspendDisable ? 1u : 0u}},
      {kValueHourTimer, static_cast<std::uint32_t>(settings.HourTimer)},
      {kValueMinTimer, static_cast<std::uint32_t>(settings.MinTimer)},
      {kValueShutDownFlag, std::uint32_t{settings.ShutDownFlag ? 1u : 0u}},
      {kValueAutoCharge, std::uint32_t{settings.AutoCharge ? 1u : 0u}},
      {kValueStartWithSession, std::uint32_t{settings.StartWithSession ? 1u : 0u}},
      {kValueTrayIcon, std::uint32_t{settings.TrayIcon ? 1u : 0u}},
  };
  std::vector<std::string> errors;
  for (const auto& [name, value] : written) {
    if (store.writeFail.count(name) != 0) {
      errors.push_back(StandardErrorText(WithName(text::kWriteFailed, name)));
    } else {
      (*key_)[name] = value;
    }
  }
  return errors;
}

void StoreModel::Compare(const sim::SimStore& store, Findings& out) const {
  auto it = store.keys.find(SettingsKeyPath());
  if (!key_ || it == store.keys.end()) {
    if (key_.has_value() != (it != store.keys.end())) {
      out.push_back({"store-key", key_ ? "the settings key is gone" : "a settings key appeared"});
    }
    return;
  }
  const Values& actual = it->second;
  for (const auto& [name, value] : *key_) {
    auto found = actual.find(name);
    if (found == actual.end()) {
      out.push_back({"store-lost", "\"" + name + "\" (" + Describe(value) + ") is gone from the store"});
    } else if (!(found->second == value)) {
      out.push_back({"store-changed", "\"" + name + "\" should hold " + Describe(value) + " but holds " +
                                          Describe(found->second)});
    }
  }
  for (const auto& [name, value] : actual) {
    if (key_->find(name) == key_->end()) {
      out.push_back({"store-extra", "\"" + name + "\" (" + Describe(value) + ") appeared in the store"});
    }
  }
}

}  // namespace murrelet::soak
