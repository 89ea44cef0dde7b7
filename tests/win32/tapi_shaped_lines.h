// Line devices that answer lineGetDevCaps as TAPI documents it, in the ANSI
// code page: a variable part that does not fit comes back with its size and
// offset both 0, while dwNeededSize tells what the whole structure needs.
// Each answer then goes through the Windows layer's name re-encoding, as in
// the program, with the decoder a test hands in.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "kit/tapi.h"
#include "platform/win32/line_name_encoding.h"

namespace murrelet::testing {

struct ShapedLine {
  std::string ansiName;  // bytes as TAPI's A functions give them; empty: no name
  std::uint32_t media = LINEMEDIAMODE_DATAMODEM;
  std::uint32_t providerInfoSize = 24;  // another variable part, ahead of the name
};

class TapiShapedLines : public Tapi {
 public:
  TapiShapedLines(std::vector<ShapedLine> lines, win32::AnsiDecoder decode)
      : lines_(std::move(lines)), decode_(std::move(decode)) {}

  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override {
    *lineApp = 1;
    *numDevs = static_cast<std::uint32_t>(lines_.size());
    ++appsAlive;
    return 0;
  }
  std::int32_t lineNegotiateAPIVersion(HLINEAPP, std::uint32_t, std::uint32_t, std::uint32_t,
                                       std::uint32_t* apiVersion, LINEEXTENSIONID*) override {
    *apiVersion = kTapiVersion14;
    return 0;
  }
  std::int32_t lineGetDevCaps(HLINEAPP, std::uint32_t deviceId, std::uint32_t, std::uint32_t,
                              std::span<std::byte> block) override {
    if (deviceId >= lines_.size()) return LINEERR_BADDEVICEID;
    const ShapedLine& line = lines_[deviceId];
    std::vector<std::byte> native(block.begin(), block.end());
    const std::uint32_t total = devcaps::Get(native, devcaps::dwTotalSize);
    asked.push_back(total);
    const std::uint32_t nameBytes = line.ansiName.empty() ? 0 : static_cast<std::uint32_t>(line.ansiName.size() + 1);
    const std::uint32_t fixed = static_cast<std::uint32_t>(devcaps::kFixedSize);
    const std::uint32_t needed = fixed + line.providerInfoSize + nameBytes;
    devcaps::Put(native, devcaps::dwNeededSize, needed);
    devcaps::Put(native, devcaps::dwMediaModes, line.media);
    std::uint32_t used = fixed;
    // Each variable part is written whole or not at all.
    if (line.providerInfoSize != 0 && total >= used + line.providerInfoSize) {
      std::memset(native.data() + used, 'P', line.providerInfoSize);
      used += line.providerInfoSize;
    }
    if (nameBytes != 0 && used == fixed + line.providerInfoSize && total >= used + nameBytes) {
      std::memcpy(native.data() + used, line.ansiName.c_str(), nameBytes);
      devcaps::Put(native, devcaps::dwLineNameOffset, used);
      devcaps::Put(native, devcaps::dwLineNameSize, nameBytes);
      used += nameBytes;
    } else {
      devcaps::Put(native, devcaps::dwLineNameOffset, 0);
      devcaps::Put(native, devcaps::dwLineNameSize, 0);
    }
    devcaps::Put(native, devcaps::dwUsedSize, used);
    win32::PresentLineName(native, block, decode_);
    return 0;
  }
  std::int32_t lineOpen(HLINEAPP, std::uint32_t, HLINE* line, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) override {
    *line = 0;
    return LINEERR_OPERATIONFAILED;
  }
  std::int32_t lineClose(HLINE) override { return 0; }
  std::int32_t lineShutdown(HLINEAPP) override {
    --appsAlive;
    return 0;
  }

  int appsAlive = 0;
  std::vector<std::uint32_t> asked;  // dwTotalSize of every capability query

 private:
  std::vector<ShapedLine> lines_;
  win32::AnsiDecoder decode_;
};

// "ケストラ T48R" in code page 932, and as UTF-8.
inline const std::string kKestraCp932 = "\x83\x50\x83\x58\x83\x67\x83\x89 T48R";
inline const std::string kKestraUtf8 = "\xE3\x82\xB1\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xA9 T48R";

// The Japanese handset among other lines: an ASCII modem, the same model
// without data-modem media, a line without a name, a near miss, and then the
// handset (identifier 4).
inline std::vector<ShapedLine> JapaneseHandsetAmongOthers() {
  return {
      {"Standard 56000 bps Modem", LINEMEDIAMODE_DATAMODEM, 40},
      {kKestraCp932, 0x4, 24},
      {"", LINEMEDIAMODE_DATAMODEM, 24},
      {"\x83\x50\x83\x58\x83\x67\x83\x89 T48", LINEMEDIAMODE_DATAMODEM, 24},
      {kKestraCp932, LINEMEDIAMODE_DATAMODEM, 24},
  };
}

}  // namespace murrelet::testing
