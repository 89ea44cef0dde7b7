#include "charging/remaining_time.h"

namespace murrelet {
namespace {

void AppendTwoDigits(std::int32_t value, std::string& out) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

void FormatRemainingTime(std::int32_t seconds, std::string& out) {
  const std::int32_t left = seconds < 0 ? 0 : seconds;
  // Written digit by digit into the caller's buffer: the tick reuses it.
  char hours[12];
  int count = 0;
  std::int32_t rest = left / 3600;
  do {
    hours[count++] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest > 0);
  out.clear();
  while (count > 0) out.push_back(hours[--count]);
  out.push_back(':');
  AppendTwoDigits(left % 3600 / 60, out);
  out.push_back(':');
  AppendTwoDigits(left % 60, out);
}

}  // namespace murrelet
