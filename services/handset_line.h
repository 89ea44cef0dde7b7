// Finding, opening and closing the handset's telephony line. No state is kept
// between calls: every handle lives in the caller's variables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kit/tapi.h"

namespace murrelet {

inline constexpr std::int32_t kNoDevice = -1;

// The identifier of the last data-modem line whose name equals `name`, or -1.
// A line without a name never matches.
// Starts and ends its own line application.
std::int32_t FindHandsetLine(Tapi& tapi, std::string_view name);

// The same search, and whether it could look at all: false when the line
// application did not start or the first device refused the version, so -1
// then says nothing about the handset.
struct HandsetSearch {
  std::int32_t deviceId = kNoDevice;
  bool looked = false;
};
HandsetSearch SearchHandsetLine(Tapi& tapi, std::string_view name);

// The names of the data-modem lines the computer sees now, in identifier
// order, each once; lines without a name are left out. Starts and ends its
// own line application.
std::vector<std::string> DataModemLineNames(Tapi& tapi);

// On success both handles are non-zero; on any failure both are 0 and nothing
// of TAPI stays open.
void OpenHandsetLine(Tapi& tapi, std::int32_t deviceId, HLINEAPP& lineApp, HLINE& line);

// Closes the line, then ends the line application, whatever the close did.
// Harmless on zero or already released handles.
void CloseHandsetLine(Tapi& tapi, HLINEAPP lineApp, HLINE line);


}  // namespace murrelet
