// A Tapi32.dll with one data-modem line, "KESTRA T48R", that opens and
// closes: Wine's own answers no line, so the real program can start a run
// only with this one beside it (loaded as native, WINEDLLOVERRIDES=tapi32=n).
// Used for the screenshots of a run; the adapter tests check the real calls.
#include <windows.h>
#include <tapi.h>

#include <cstddef>
#include <cstring>

namespace {

constexpr char kLineName[] = "KESTRA T48R";
constexpr HLINEAPP kApp = 0x4d52;
constexpr HLINE kLine = 0x4c31;
// The fixed part of LINEDEVCAPS at version 1.4; the header's structure goes on to later versions' fields.
constexpr DWORD kFixedSize = 240;
static_assert(offsetof(LINEDEVCAPS, dwMediaModes) < kFixedSize && offsetof(LINEDEVCAPS, dwMaxNumActiveCalls) < kFixedSize);

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI lineInitialize(LPHLINEAPP app, HINSTANCE, LINECALLBACK, LPCSTR, LPDWORD devices) {
  *app = kApp;
  *devices = 1;
  return 0;
}

__declspec(dllexport) LONG WINAPI lineNegotiateAPIVersion(HLINEAPP app, DWORD device, DWORD low, DWORD high,
                                                           LPDWORD agreed, LPLINEEXTENSIONID extension) {
  if (app != kApp) return LINEERR_INVALAPPHANDLE;
  if (device != 0) return LINEERR_BADDEVICEID;
  const DWORD version = 0x00010004;
  if (version < low || version > high) return LINEERR_INCOMPATIBLEAPIVERSION;
  *agreed = version;
  std::memset(extension, 0, sizeof *extension);
  return 0;
}

__declspec(dllexport) LONG WINAPI lineGetDevCapsA(HLINEAPP app, DWORD device, DWORD, DWORD, LPLINEDEVCAPS caps) {
  if (app != kApp) return LINEERR_INVALAPPHANDLE;
  if (device != 0) return LINEERR_BADDEVICEID;
  const DWORD total = caps->dwTotalSize;
  if (total < kFixedSize) return LINEERR_STRUCTURETOOSMALL;
  std::memset(reinterpret_cast<BYTE*>(caps) + sizeof(DWORD), 0, kFixedSize - sizeof(DWORD));
  caps->dwNeededSize = kFixedSize + sizeof kLineName;
  caps->dwUsedSize = kFixedSize;
  caps->dwStringFormat = STRINGFORMAT_ASCII;
  caps->dwMediaModes = LINEMEDIAMODE_DATAMODEM;
  caps->dwMaxNumActiveCalls = 1;
  if (total >= caps->dwNeededSize) {
    std::memcpy(reinterpret_cast<char*>(caps) + kFixedSize, kLineName, sizeof kLineName);
    caps->dwLineNameSize = sizeof kLineName;
    caps->dwLineNameOffset = kFixedSize;
    caps->dwUsedSize = caps->dwNeededSize;
  }
  return 0;
}

__declspec(dllexport) LONG WINAPI lineOpenA(HLINEAPP app, DWORD device, LPHLINE line, DWORD, DWORD, DWORD_PTR, DWORD,
                                             DWORD, LPLINECALLPARAMS const) {
  if (app != kApp) return LINEERR_INVALAPPHANDLE;
  if (device != 0) return LINEERR_BADDEVICEID;
  *line = kLine;
  return 0;
}

__declspec(dllexport) LONG WINAPI lineClose(HLINE line) { return line == kLine ? 0 : LINEERR_INVALLINEHANDLE; }

__declspec(dllexport) LONG WINAPI lineShutdown(HLINEAPP app) { return app == kApp ? 0 : LINEERR_INVALAPPHANDLE; }

}  // extern "C"
