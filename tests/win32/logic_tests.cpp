// The Windows layer's decisions that need no Windows: the native handles
// behind the core's numbers, the old power broadcasts from the system's ones,
// and the line name re-encoded for the core. Built natively and for Windows.
#include <cstring>
#include <string>
#include <vector>

#include "kit/power.h"
#include "kit/tapi.h"
#include "platform/win32/handle_table.h"
#include "platform/win32/legacy_power_events.h"
#include "platform/win32/line_close_watch.h"
#include "platform/win32/line_name_encoding.h"
#include "services/handset_line.h"
#include "tests/win32/check.h"
#include "tests/win32/tapi_shaped_lines.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

using namespace murrelet;
using namespace murrelet::win32;

TEST_CASE("native handles are found by their number, and reach nothing once given back") {
  HandleTable table;
  const std::uint32_t first = table.Add(0xFFFFFFF0u);  // a native value negative as 32 bits
  const std::uint32_t second = table.Add(7);
  CHECK(first != 0);
  CHECK(first != second);
  CHECK_EQ(table.Find(first).value(), std::uintptr_t{0xFFFFFFF0u});
  CHECK_EQ(table.Find(second).value(), std::uintptr_t{7});
  CHECK_EQ(table.Take(first).value(), std::uintptr_t{0xFFFFFFF0u});
  CHECK(!table.Take(first).has_value());  // a second release gives nothing
  CHECK(!table.Find(first).has_value());
  CHECK(!table.Find(0).has_value());
  CHECK(!table.Take(0).has_value());
  CHECK_EQ(table.Size(), std::size_t{1});
}

TEST_CASE("a line is closed by the system after LINE_CLOSE or its device's removal, and only that line") {
  struct Message {
    std::uint32_t message;
    std::uintptr_t device;
    std::uintptr_t param1;
  };
  struct Case {
    const char* what;
    Message message;
    bool runLineClosed;
  };
  // The run's line 0x51 is open on device 2; line 0x61 of another program's device 3 too.
  const Case cases[] = {
      {"LINE_CLOSE for the run's line", {kLineClose, 0x51, 0}, true},
      {"LINE_CLOSE for another line", {kLineClose, 0x61, 0}, false},
      {"the run's device removed (LINEDEVSTATE_REMOVED)", {kLineDevState, 0x51, kLineDevStateRemoved}, true},
      {"another state change of the run's line", {kLineDevState, 0x51, 0x00040000}, false},
      {"LINE_REMOVE of the run's device", {kLineRemove, 0, 2}, true},
      {"LINE_REMOVE of another device", {kLineRemove, 0, 4}, false},
      {"another message about the run's line", {2, 0x51, 0}, false},
  };
  for (const Case& c : cases) {
    LineCloseWatch watch;
    watch.Opened(0x51, 2);
    watch.Opened(0x61, 3);
    watch.OnMessage(c.message.message, c.message.device, c.message.param1);
    if (watch.ClosedBySystem(0x51) != c.runLineClosed) check::Fail(__FILE__, __LINE__, c.what);
    // The program's own close forgets the line, and a handle opened later is fresh.
    watch.Closed(0x51);
    CHECK(!watch.ClosedBySystem(0x51));
    watch.Opened(0x51, 2);
    CHECK(!watch.ClosedBySystem(0x51));
  }
  LineCloseWatch watch;
  watch.OnMessage(kLineClose, 0x51, 0);  // about a line this program does not hold
  CHECK(!watch.ClosedBySystem(0x51));
}

namespace {

struct Step {
  std::uintptr_t wParam;
  std::uint8_t batteryFlag;
  std::optional<PowerBroadcast> before;
  bool passOn;
  std::optional<PowerBroadcast> after;
};

void Play(std::uint8_t startFlag, const std::vector<Step>& steps) {
  LegacyPowerEvents events(startFlag);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    const BroadcastPlan plan = events.OnSystemBroadcast(step.wParam, step.batteryFlag);
    if (!(plan.before == step.before) || plan.passOn != step.passOn || !(plan.after == step.after)) {
      check::Fail(__FILE__, __LINE__, "step " + std::to_string(i) + " (wParam " + std::to_string(step.wParam) + ")");
    }
  }
}

const PowerBroadcast kQuery{PBT_APMQUERYSUSPEND, 0};
const PowerBroadcast kLow{PBT_APMBATTERYLOW, 0};

}  // namespace

TEST_CASE("a suspend both broadcast and delivered to the registered window is one suspend: asked about once") {
  Play(BATTERY_FLAG_HIGH, {
                              {PBT_APMSUSPEND, 255, kQuery, true, {}},
                              {PBT_APMSUSPEND, 255, {}, false, {}},
                              {PBT_APMRESUMEAUTOMATIC, 255, {}, true, {}},
                              {PBT_APMRESUMESUSPEND, 255, {}, true, {}},
                              // The next sleep is a new suspend, however it arrives.
                              {PBT_APMSUSPEND, 255, kQuery, true, {}},
                              {PBT_APMSUSPEND, 255, {}, false, {}},
                              {PBT_APMRESUMEAUTOMATIC, 255, {}, true, {}},
                              {PBT_APMSUSPEND, 255, kQuery, true, {}},
                              // Anything between two notices makes the second a suspend of its own.
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_HIGH, {}, true, {}},
                              {PBT_APMSUSPEND, 255, kQuery, true, {}},
                              // Where the system asked first, neither notice brings a query.
                              {PBT_APMRESUMEAUTOMATIC, 255, {}, true, {}},
                              {PBT_APMQUERYSUSPEND, 255, {}, true, {}},
                              {PBT_APMSUSPEND, 255, {}, true, {}},
                              {PBT_APMSUSPEND, 255, {}, false, {}},
                          });
}

TEST_CASE("where the system still asks before a suspend, no second query is delivered") {
  Play(BATTERY_FLAG_HIGH, {
                              {PBT_APMQUERYSUSPEND, 255, {}, true, {}},
                              {PBT_APMSUSPEND, 255, {}, true, {}},
                              {PBT_APMRESUMESUSPEND, 255, {}, true, {}},
                              // A refused query leaves the next suspend unasked.
                              {PBT_APMQUERYSUSPEND, 255, {}, true, {}},
                              {PBT_APMQUERYSUSPENDFAILED, 255, {}, true, {}},
                              {PBT_APMSUSPEND, 255, kQuery, true, {}},
                          });
}

TEST_CASE("a battery going low or critical is reported once per crossing, after the status change") {
  Play(BATTERY_FLAG_HIGH, {
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_HIGH, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_LOW, {}, true, kLow},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_CRITICAL, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_LOW | BATTERY_FLAG_CHARGING, {}, true, {}},
                              // Unknown says nothing: still the same crossing.
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_UNKNOWN, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, 0, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_CRITICAL, {}, true, kLow},
                          });
}

TEST_CASE("a battery already low at start, or no battery at all, is no crossing") {
  Play(BATTERY_FLAG_LOW, {{PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_LOW, {}, true, {}}});
  Play(BATTERY_FLAG_HIGH, {{PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_NO_BATTERY, {}, true, {}},
                           {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_UNKNOWN, {}, true, {}}});
}

TEST_CASE("a low battery the system reports itself is not delivered twice") {
  Play(BATTERY_FLAG_HIGH, {
                              // The system first: the status change adds nothing.
                              {PBT_APMBATTERYLOW, 255, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_LOW, {}, true, {}},
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_HIGH, {}, true, {}},
                              // The status change first: the system's own report is held back.
                              {PBT_APMPOWERSTATUSCHANGE, BATTERY_FLAG_LOW, {}, true, kLow},
                              {PBT_APMBATTERYLOW, 255, {}, false, {}},
                          });
}

TEST_CASE("other broadcasts pass unchanged") {
  Play(BATTERY_FLAG_HIGH, {{PBT_APMOEMEVENT, 255, {}, true, {}}, {PBT_APMRESUMECRITICAL, 255, {}, true, {}},
                           {PBT_APMQUERYSUSPENDFAILED, 255, {}, true, {}}, {0x8013, 255, {}, true, {}}});
}

namespace {

// A block as TAPI answers: fixed part, the name at the end.
std::vector<std::byte> Block(std::size_t total, const std::string& name, std::uint32_t needed, bool nameFits = true) {
  std::vector<std::byte> block(total, std::byte{0});
  devcaps::Put(block, devcaps::dwTotalSize, static_cast<std::uint32_t>(total));
  devcaps::Put(block, devcaps::dwNeededSize, needed);
  devcaps::Put(block, devcaps::dwMediaModes, LINEMEDIAMODE_DATAMODEM);
  devcaps::Put(block, devcaps::dwLineNameSize, static_cast<std::uint32_t>(name.size() + 1));
  devcaps::Put(block, devcaps::dwLineNameOffset, static_cast<std::uint32_t>(devcaps::kFixedSize));
  if (nameFits) {
    std::memcpy(block.data() + devcaps::kFixedSize, name.data(), name.size());
    devcaps::Put(block, devcaps::dwUsedSize, static_cast<std::uint32_t>(devcaps::kFixedSize + name.size() + 1));
  } else {
    devcaps::Put(block, devcaps::dwUsedSize, static_cast<std::uint32_t>(devcaps::kFixedSize));
  }
  return block;
}

// Latin-1 as the ANSI code page; byte 0x81 stands for an undefined one.
bool Latin1(std::string_view ansi, std::string& utf8) {
  utf8.clear();
  for (const char c : ansi) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0x81) return false;
    if (byte < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return true;
}

}  // namespace

TEST_CASE("line names reach the core as UTF-8, with room asked for on the first query") {
  const std::uint32_t nativeNeeded = devcaps::kFixedSize + 12;
  // First query: the name does not fit; the block asks for room for UTF-8.
  std::vector<std::byte> first = Block(devcaps::kFixedSize, "K\xC9STRA T48R", nativeNeeded, false);
  std::vector<std::byte> shown(first.size());
  PresentLineName(first, shown, Latin1);
  CHECK_EQ(devcaps::Get(shown, devcaps::dwNeededSize), nativeNeeded + Utf8Room(12));
  CHECK(LineNameOf(shown).empty());

  // Second query with that size: the name reads as UTF-8.
  const std::uint32_t size = nativeNeeded + Utf8Room(12);
  std::vector<std::byte> second = Block(size, "K\xC9STRA T48R", nativeNeeded);
  shown.assign(size, std::byte{0});
  PresentLineName(second, shown, Latin1);
  CHECK_EQ(std::string(LineNameOf(shown)), std::string("K\xC3\x89STRA T48R"));
  CHECK_EQ(devcaps::Get(shown, devcaps::dwMediaModes), LINEMEDIAMODE_DATAMODEM);
}

TEST_CASE("ASCII names stay in place, and names that are not text never match") {
  const std::uint32_t size = devcaps::kFixedSize + 64;
  std::vector<std::byte> plain = Block(size, "KESTRA T48R", devcaps::kFixedSize + 12);
  std::vector<std::byte> shown(size);
  PresentLineName(plain, shown, Latin1);
  CHECK_EQ(std::string(LineNameOf(shown)), std::string("KESTRA T48R"));
  CHECK_EQ(devcaps::Get(shown, devcaps::dwLineNameOffset), std::uint32_t{devcaps::kFixedSize});

  std::vector<std::byte> invalid = Block(size, "KESTRA\x81", devcaps::kFixedSize + 8);
  PresentLineName(invalid, shown, Latin1);
  CHECK_EQ(devcaps::Get(shown, devcaps::dwLineNameSize), std::uint32_t{0});
  CHECK(LineNameOf(shown).empty());

  // A device without a name keeps having none and asks for no extra room.
  std::vector<std::byte> nameless = Block(size, "", devcaps::kFixedSize);
  devcaps::Put(nameless, devcaps::dwLineNameSize, 0);
  PresentLineName(nameless, shown, Latin1);
  CHECK_EQ(devcaps::Get(shown, devcaps::dwNeededSize), std::uint32_t{devcaps::kFixedSize});
}

namespace {

// Code page 932 as the system decodes it: iconv natively, Windows itself
// when built for it.
bool Cp932(std::string_view ansi, std::string& utf8) {
  utf8.clear();
  if (ansi.empty()) return true;
#ifdef _WIN32
  const int wide = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (wide <= 0) return false;
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), text.data(), wide);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  utf8.resize(static_cast<std::size_t>(bytes));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return true;
#else
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in(ansi);
  std::string out(ansi.size() * 4, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t fromLeft = in.size();
  std::size_t toLeft = out.size();
  const bool ok = iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (!ok || fromLeft != 0) return false;
  utf8.assign(out.data(), out.size() - toLeft);
  return true;
#endif
}

}  // namespace

TEST_CASE("a Japanese handset name in code page 932 is found among other lines answering as TAPI does") {
  testing::TapiShapedLines tapi(testing::JapaneseHandsetAmongOthers(), Cp932);
  CHECK_EQ(FindHandsetLine(tapi, testing::kKestraUtf8), std::int32_t{4});
  CHECK_EQ(tapi.appsAlive, 0);
  // Every line needs more than the fixed part: asked twice, the second time with room for its name as UTF-8.
  CHECK_EQ(tapi.asked.size(), std::size_t{10});
  CHECK_EQ(FindHandsetLine(tapi, "Standard 56000 bps Modem"), std::int32_t{0});
  CHECK_EQ(FindHandsetLine(tapi, testing::kKestraCp932), kNoDevice);  // the code page's bytes are not the name
  CHECK_EQ(FindHandsetLine(tapi, ""), kNoDevice);
}

TEST_CASE("room for the UTF-8 name comes from what the structure needs when the name is left out") {
  // TAPI's first answer: no name (size and offset 0), the need of the whole structure.
  const std::uint32_t nativeNeeded = devcaps::kFixedSize + 24 + 14;
  std::vector<std::byte> first(devcaps::kFixedSize, std::byte{0});
  devcaps::Put(first, devcaps::dwTotalSize, devcaps::kFixedSize);
  devcaps::Put(first, devcaps::dwNeededSize, nativeNeeded);
  devcaps::Put(first, devcaps::dwUsedSize, devcaps::kFixedSize);
  std::vector<std::byte> shown(first.size());
  PresentLineName(first, shown, Cp932);
  CHECK(devcaps::Get(shown, devcaps::dwNeededSize) >= nativeNeeded + 18);
  CHECK(LineNameOf(shown).empty());

  // A structure needing nearly the largest block the search asks for still gets one it asks for.
  devcaps::Put(first, devcaps::dwNeededSize, kMaxDevCapsSize - 100);
  PresentLineName(first, shown, Cp932);
  CHECK_EQ(devcaps::Get(shown, devcaps::dwNeededSize), kMaxDevCapsSize);
  // One needing more is refused by the search whatever room is added.
  devcaps::Put(first, devcaps::dwNeededSize, kMaxDevCapsSize + 1);
  PresentLineName(first, shown, Cp932);
  CHECK(devcaps::Get(shown, devcaps::dwNeededSize) > kMaxDevCapsSize);
}

int main() { return check::RunAll(); }
