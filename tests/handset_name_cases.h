// The settings dialog's handset drop-down as a user works it, played on both
// platforms' windows: a line picked from the list, a name typed and then
// cancelled, a name typed and taken. The computer offers "KESTRA T50" beside
// the stored "KESTRA T48R".
#pragma once

namespace murrelet::testing {

struct HandsetNameCase {
  const char* typed;  // null: "KESTRA T50" picked from the list
  bool ok;            // OK, else ｷｬﾝｾﾙ
  const char* stored;
};

inline constexpr HandsetNameCase kHandsetNameCases[] = {
    {nullptr, true, "KESTRA T50"},
    {"kestra t50x", false, "KESTRA T50"},
    {"KESTRA T48R", true, "KESTRA T48R"},
};

}  // namespace murrelet::testing
