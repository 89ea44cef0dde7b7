// How the time left in a timed run reads in the status bar.
#pragma once

#include <cstdint>
#include <string>

namespace murrelet {

// The time left as a duration, "H:MM:SS" with the hours not padded ("0:09:59",
// "6:49:59"). It is not a time of day, so it never goes through the locale's
// clock format: a 12-hour locale would show it as "12:09:59 AM". Negative
// values read as 0:00:00.
void FormatRemainingTime(std::int32_t seconds, std::string& out);

}  // namespace murrelet
