#include "charging/run_status.h"

#include "charging/charge_state.h"
#include "charging/texts.h"

namespace murrelet {

bool NoticeWhenRunEnds(RunEnd reason) {
  switch (reason) {
    case RunEnd::TimeUsedUp:
    case RunEnd::OnBattery:
    case RunEnd::BatteryThreshold:
    case RunEnd::LowBattery:
    case RunEnd::ConnectionLost:
      return true;
    case RunEnd::Suspend:
    case RunEnd::StopButton:
    case RunEnd::Closing:
      return false;
  }
  return false;
}

TaskbarProgress RunProgress(std::int32_t totalSeconds, std::int32_t remainingSeconds) {
  if (totalSeconds <= 0 || remainingSeconds == NoTimeLimit) return {TaskbarProgressState::Indeterminate, 0};
  const std::int64_t done = std::int64_t{totalSeconds} - remainingSeconds;
  std::int64_t percent = done * 100 / totalSeconds;
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  return {TaskbarProgressState::Normal, static_cast<int>(percent)};
}

void RunStatusReporter::Started(std::int32_t remainingSeconds) {
  total_ = remainingSeconds;
  Show(RunProgress(total_, remainingSeconds));
  sink_.RunChanged(true);
}

void RunStatusReporter::Counted(std::int32_t remainingSeconds) {
  Show(RunProgress(total_, remainingSeconds));
}

void RunStatusReporter::Ended(RunEnd reason, std::string_view text, bool windowActive) {
  Show({});
  sink_.RunChanged(false);
  if (NoticeWhenRunEnds(reason) && !windowActive) sink_.ShowNotice(text::kApplicationTitle, text);
}

void RunStatusReporter::Show(const TaskbarProgress& progress) {
  // The task bar hears of a change only: at most one update a tick, far
  // fewer on a long run.
  if (progress == shown_) return;
  shown_ = progress;
  sink_.SetTaskbarProgress(progress);
}

}  // namespace murrelet
