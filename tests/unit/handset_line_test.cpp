// The handset line operations against telephony services that misreport their
// capability blocks, throw, or refuse: no read outside a block, no allocation
// for absurd sizes, no handle left behind.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_tapi.h"
#include "services/handset_line.h"
#include "tools/scenario/scenario.h"

namespace murrelet {
namespace {

// A block of exactly `size` bytes on the heap, so that a read past its end is
// a read past an allocation (AddressSanitizer builds catch it).
struct ExactBlock {
  explicit ExactBlock(std::size_t size) : bytes(std::make_unique<std::byte[]>(size)), length(size) {
    std::memset(bytes.get(), 0, size);
  }
  std::span<std::byte> span() { return {bytes.get(), length}; }
  std::unique_ptr<std::byte[]> bytes;
  std::size_t length;
};

TEST(LineNameOf, ReadsOnlyInsideTheBlockAndTheNameSize) {
  struct Case {
    const char* what;
    std::uint32_t blockSize;
    std::uint32_t offset;
    std::uint32_t size;
    const char* stored;  // written at `offset` when it fits
    const char* name;
  };
  const Case cases[] = {
      {"plain name", 252, 240, 12, "KESTRA T48R", "KESTRA T48R"},
      {"size cuts the name", 252, 240, 6, "KESTRA T48R", "KESTRA"},
      {"stops at the first zero", 252, 240, 12, "KES\0TRA", "KES"},
      {"size 0 is no name", 252, 240, 0, "KESTRA T48R", ""},
      {"no terminating zero within size", 246, 240, 6, "ABCDEF", "ABCDEF"},
      {"size runs one byte past the end", 246, 240, 7, "ABCDEF", ""},
      {"offset at the end", 246, 246, 1, nullptr, ""},
      {"offset past the end", 246, 5000, 4, nullptr, ""},
      {"offset near 2^32", 246, 0xFFFFFFFF, 4, nullptr, ""},
      {"size near 2^32", 246, 240, 0xFFFFFFF0, nullptr, ""},
      {"offset + size wraps around", 246, 0x10, 0xFFFFFFF8, nullptr, ""},
  };
  for (const Case& c : cases) {
    ExactBlock block(c.blockSize);
    devcaps::Put(block.span(), devcaps::dwLineNameSize, c.size);
    devcaps::Put(block.span(), devcaps::dwLineNameOffset, c.offset);
    if (c.stored != nullptr) {
      const std::size_t room = c.blockSize - c.offset;
      std::memcpy(block.bytes.get() + c.offset, c.stored, std::min<std::size_t>(room, std::strlen(c.stored) + 1));
    }
    EXPECT_EQ(LineNameOf(block.span()), c.name) << c.what;
  }
}

TEST(LineNameOf, ABlockTooShortForTheNameFieldsHasNoName) {
  ExactBlock tiny(8);
  EXPECT_EQ(LineNameOf(tiny.span()), "");
  EXPECT_EQ(LineNameOf({}), "");
}

// A telephony service with one line device whose capability answer a test
// writes by hand; it records the block sizes it was asked with.
class ScriptedTapi : public Tapi {
 public:
  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override {
    ++initializeCalls;
    if (initResult != 0) return initResult;
    *lineApp = 7;
    *numDevs = numDevices;
    ++appsAlive;
    return 0;
  }
  std::int32_t lineNegotiateAPIVersion(HLINEAPP, std::uint32_t, std::uint32_t, std::uint32_t,
                                       std::uint32_t* apiVersion, LINEEXTENSIONID*) override {
    *apiVersion = kTapiVersion14;
    return 0;
  }
  std::int32_t lineGetDevCaps(HLINEAPP, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::span<std::byte> block) override {
    totalSizes.push_back(devcaps::Get(block, devcaps::dwTotalSize));
    blockSizes.push_back(block.size());
    if (answer) answer(block);
    return 0;
  }
  std::int32_t lineOpen(HLINEAPP, std::uint32_t, HLINE* line, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) override {
    *line = openedLine;
    return openResult;
  }
  std::int32_t lineClose(HLINE line) override {
    closed.push_back(line);
    if (closeThrows) throw std::runtime_error("close failed");
    return 0;
  }
  std::int32_t lineShutdown(HLINEAPP lineApp) override {
    shutDown.push_back(lineApp);
    if (lineApp != 0 && appsAlive > 0) --appsAlive;
    return 0;
  }

  std::int32_t initResult = 0;
  std::uint32_t numDevices = 1;
  std::function<void(std::span<std::byte>)> answer;
  std::int32_t openResult = 0;
  HLINE openedLine = 9;
  bool closeThrows = false;
  int initializeCalls = 0;
  int appsAlive = 0;
  std::vector<std::uint32_t> totalSizes;
  std::vector<std::size_t> blockSizes;
  std::vector<HLINE> closed;
  std::vector<HLINEAPP> shutDown;
};

void DataModemWithName(std::span<std::byte> block, std::uint32_t needed, std::uint32_t offset, std::uint32_t size) {
  devcaps::Put(block, devcaps::dwNeededSize, needed);
  devcaps::Put(block, devcaps::dwMediaModes, LINEMEDIAMODE_DATAMODEM);
  devcaps::Put(block, devcaps::dwLineNameOffset, offset);
  devcaps::Put(block, devcaps::dwLineNameSize, size);
}

TEST(FindHandsetLine, NeedingMoreThan64KiBIsAFailedQueryWithoutAllocation) {
  for (const std::uint32_t needed : {kMaxDevCapsSize + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    ScriptedTapi tapi;
    tapi.answer = [needed](std::span<std::byte> block) { DataModemWithName(block, needed, 0, 0); };
    EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), kNoDevice) << needed;
    EXPECT_EQ(tapi.totalSizes, std::vector<std::uint32_t>{240}) << needed;
    EXPECT_EQ(tapi.appsAlive, 0);
  }
}

TEST(FindHandsetLine, Exactly64KiBIsStillAsked) {
  ScriptedTapi tapi;
  tapi.answer = [](std::span<std::byte> block) {
    DataModemWithName(block, kMaxDevCapsSize, kMaxDevCapsSize - 12, 12);
    if (block.size() == kMaxDevCapsSize) std::memcpy(block.data() + kMaxDevCapsSize - 12, "KESTRA T48R", 12);
  };
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), 0);
  EXPECT_EQ(tapi.totalSizes, (std::vector<std::uint32_t>{240, kMaxDevCapsSize}));
  EXPECT_EQ(tapi.blockSizes, (std::vector<std::size_t>{240, kMaxDevCapsSize}));
}

TEST(FindHandsetLine, TheGrownBlockKeepsTheFirstAnswerAndIsAskedOnlyOnceMore) {
  ScriptedTapi tapi;
  int call = 0;
  tapi.answer = [&call](std::span<std::byte> block) {
    ++call;
    // The device keeps asking for more: there is no third query.
    DataModemWithName(block, 600 + 100 * static_cast<std::uint32_t>(call), 0, 0);
    if (call == 1) block[200] = std::byte{0x5A};
  };
  std::vector<std::byte> seen;
  auto first = tapi.answer;
  tapi.answer = [&](std::span<std::byte> block) {
    if (call == 1) seen.assign(block.begin(), block.end());
    first(block);
  };
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), kNoDevice);
  EXPECT_EQ(tapi.totalSizes, (std::vector<std::uint32_t>{240, 700}));
  ASSERT_EQ(seen.size(), 700u);
  EXPECT_EQ(seen[200], std::byte{0x5A});  // contents kept
  EXPECT_EQ(seen[699], std::byte{0});     // added bytes zero
}

TEST(FindHandsetLine, NamesPointingOutsideTheBlockAreNotRead) {
  struct Case {
    std::uint32_t needed, offset, size;
  };
  const Case cases[] = {
      {600, 600, 12}, {600, 590, 12}, {600, 5000, 12}, {600, 0xFFFFFFFF, 2}, {600, 240, 0xFFFFFFFF}, {240, 240, 12},
  };
  for (const Case& c : cases) {
    ScriptedTapi tapi;
    tapi.answer = [c](std::span<std::byte> block) {
      DataModemWithName(block, c.needed, c.offset, c.size);
      // Fill every byte the block has with the name's letters, no zero.
      for (std::size_t i = 64; i < block.size(); ++i) block[i] = std::byte{'K'};
    };
    EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), kNoDevice) << c.offset << " " << c.size;
  }
}

sim::SimLineDevice Named(std::string name) {
  sim::SimLineDevice device;
  device.name = std::move(name);
  return device;
}

TEST(FindHandsetLine, ADeviceWithoutANameNeverMatchesWhateverTheSearchedName) {
  struct Case {
    const char* what;
    sim::SimLineDevice device;
  };
  sim::SimLineDevice sizeZero = Named("KESTRA T48R");
  sizeZero.nameSize = 0;
  sim::SimLineDevice outside = Named("KESTRA T48R");
  outside.nameOffset = 5000;
  const Case cases[] = {
      {"no name reported", Named("")},
      {"name size 0", sizeZero},
      {"name outside the block", outside},
      {"name starting with its terminator", Named(std::string("\0KESTRA T48R", 12))},
  };
  for (const Case& c : cases) {
    for (const std::string_view searched : {std::string_view(""), std::string_view("KESTRA T48R")}) {
      sim::SimTapi tapi;
      tapi.devices = {c.device, c.device};
      EXPECT_EQ(FindHandsetLine(tapi, searched), kNoDevice) << c.what << ", searching \"" << searched << '"';
      EXPECT_EQ(tapi.LineAppsAlive(), 0u);
    }
  }
  // Among named devices the nameless one is passed over, the named one found.
  sim::SimTapi tapi;
  tapi.devices = {Named("KESTRA T48R"), Named("")};
  EXPECT_EQ(FindHandsetLine(tapi, "KESTRA T48R"), 0);
  EXPECT_EQ(FindHandsetLine(tapi, ""), kNoDevice);
}

TEST(FindHandsetLine, InitialisationErrorsEndTheSearchAfterOneAttempt) {
  for (const std::int32_t error : {LINEERR_REINIT, LINEERR_OPERATIONFAILED, LINEERR_NODEVICE}) {
    ScriptedTapi tapi;
    tapi.initResult = error;
    const HandsetSearch search = SearchHandsetLine(tapi, "KESTRA T48R");
    EXPECT_EQ(search.deviceId, kNoDevice);
    EXPECT_FALSE(search.looked);  // a search that could not look says nothing of the handset
    EXPECT_EQ(tapi.initializeCalls, 1);
    EXPECT_TRUE(tapi.totalSizes.empty());
    EXPECT_TRUE(tapi.shutDown.empty());  // no line application was made
  }
}

TEST(FindHandsetLine, NoDevicesEndsTheLineApplication) {
  ScriptedTapi tapi;
  tapi.numDevices = 0;
  const HandsetSearch search = SearchHandsetLine(tapi, "KESTRA T48R");
  EXPECT_EQ(search.deviceId, kNoDevice);
  EXPECT_TRUE(search.looked);  // no devices at all: the handset is not there
  EXPECT_EQ(tapi.shutDown, std::vector<HLINEAPP>{7});
  EXPECT_EQ(tapi.appsAlive, 0);
}

TEST(OpenHandsetLine, AnyFailureLeavesBothHandlesZero) {
  struct Case {
    const char* what;
    void (*arrange)(ScriptedTapi&);
  };
  const Case cases[] = {
      {"lineOpen fails",
       [](ScriptedTapi& tapi) {
         tapi.openResult = LINEERR_OPERATIONFAILED;
         tapi.openedLine = 0;
       }},
      // A "success" without a handle is no open line either.
      {"lineOpen succeeds without a handle", [](ScriptedTapi& tapi) { tapi.openedLine = 0; }},
      // LINEERR_REINIT is not retried within the call.
      {"lineInitialize answers LINEERR_REINIT", [](ScriptedTapi& tapi) { tapi.initResult = LINEERR_REINIT; }},
  };
  for (const Case& c : cases) {
    ScriptedTapi tapi;
    c.arrange(tapi);
    HLINEAPP app = 55;
    HLINE line = 66;
    OpenHandsetLine(tapi, 0, app, line);
    EXPECT_EQ(app, 0u) << c.what;
    EXPECT_EQ(line, 0u) << c.what;
    EXPECT_EQ(tapi.appsAlive, 0) << c.what;
    EXPECT_EQ(tapi.initializeCalls, 1) << c.what;
  }
}

TEST(CloseHandsetLine, EndsTheLineApplicationEvenWhenClosingThrows) {
  ScriptedTapi tapi;
  tapi.closeThrows = true;
  EXPECT_NO_THROW(CloseHandsetLine(tapi, 7, 9));
  EXPECT_EQ(tapi.closed, std::vector<HLINE>{9});
  EXPECT_EQ(tapi.shutDown, std::vector<HLINEAPP>{7});
}

TEST(CloseHandsetLine, TwiceOrWithZeroHandlesIsHarmless) {
  sim::SimTapi tapi;
  tapi.devices.resize(2);
  tapi.devices[0].name = "KESTRA T48R";
  tapi.devices[1].name = "Other";
  HLINEAPP otherApp = 0;
  HLINE otherLine = 0;
  OpenHandsetLine(tapi, 1, otherApp, otherLine);  // someone else's line stays open throughout
  ASSERT_NE(otherLine, 0u);

  HLINEAPP app = 0;
  HLINE line = 0;
  OpenHandsetLine(tapi, 0, app, line);
  ASSERT_NE(app, 0u);
  ASSERT_NE(line, 0u);
  EXPECT_EQ(tapi.LinesOpen(), 2u);

  EXPECT_NO_THROW(CloseHandsetLine(tapi, app, line));
  EXPECT_FALSE(tapi.IsOpenLine(line));
  EXPECT_FALSE(tapi.IsLiveApp(app));
  EXPECT_NO_THROW(CloseHandsetLine(tapi, app, line));
  EXPECT_NO_THROW(CloseHandsetLine(tapi, 0, 0));
  EXPECT_TRUE(tapi.IsOpenLine(otherLine));
  EXPECT_TRUE(tapi.IsLiveApp(otherApp));
  EXPECT_EQ(tapi.LineAppsAlive(), 1u);
  EXPECT_EQ(tapi.LinesOpen(), 1u);
  CloseHandsetLine(tapi, otherApp, otherLine);
  EXPECT_EQ(tapi.LineAppsAlive(), 0u);
}

TEST(HandsetLineUse, AtMostOneLineApplicationIsAliveThroughPollsRunsAndStops) {
  std::ostringstream out, err;
  scenario::Scenario play(out, err);
  const int code = play.RunScript(R"(
device add "Fax"
device add "KESTRA T48R"
start
tick 3
spin SpinEdit2 up
click SpeedButton2
tick 5
click SpeedButton3
tick 2
click SpeedButton2
tick 601
tick 2
power ac=0
click SpeedButton2
dialog CheckBox1=on ok
tick 2
broadcast 9 0
)");
  ASSERT_EQ(code, scenario::kOk) << err.str();
  EXPECT_EQ(play.Sim().tapi.MaxLineAppsAlive(), 1u);
  EXPECT_GT(play.Sim().tapi.Counts().at("lineOpen"), 1);
}

}  // namespace
}  // namespace murrelet
