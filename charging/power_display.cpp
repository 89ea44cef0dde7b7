#include "charging/power_display.h"

#include "charging/texts.h"

namespace murrelet {
namespace {

const char* SuffixFor(std::uint8_t batteryFlag) {
  switch (batteryFlag) {
    case 1: return text::kSuffixDischarging;
    case 2: return text::kSuffixLow;
    case 4:
    case 6: return text::kSuffixCritical;
    default: break;
  }
  if (batteryFlag >= 8 && batteryFlag <= 15) return text::kSuffixCharging;
  return "";
}

}  // namespace

void DescribePowerSource(std::uint8_t acLineStatus, std::uint8_t batteryFlag, PowerSourceText& out) {
  switch (acLineStatus) {
    case 0:
      out.text.assign(text::kPowerBattery);
      out.color = FontColor::Red;
      out.bold = true;
      break;
    case 1:
      out.text.assign(text::kPowerAC);
      out.color = FontColor::WindowText;
      out.bold = false;
      break;
    default:
      out.text.assign(text::kPowerUnknown);
      out.color.reset();
      out.bold = false;
      break;
  }
  if (batteryFlag == 128) {
    out.text.assign(text::kNoBattery);
    return;
  }
  out.text.append(SuffixFor(batteryFlag));
}

}  // namespace murrelet
