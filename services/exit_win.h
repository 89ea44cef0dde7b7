// Asks the operating system to shut the computer down.
#pragma once

#include "kit/shutdown_platform.h"
#include "services/exceptions.h"

namespace murrelet {

class EExitError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr const char* kTokenMessage = "トークンを開けません。\r\nWindows を終了させることができませんでした。";
inline constexpr const char* kPrivilegeMessage = "特権を再設定できません。\r\nWindows を終了させることができませんでした。";
inline constexpr const char* kPowerOffMessage = "コンピュータの電源を切ることができませんでした。";

class TExitWin {
 public:
  explicit TExitWin(ShutdownPlatform& platform) : platform_(platform) {}

  // True when the system took the request; false only on the NT family when
  // the shutdown privilege cannot be looked up. Other failures throw EExitError.
  bool ShutDownSystem();
  bool IsWinNT();

 private:
  bool ShutDownNT();
  ShutdownPlatform& platform_;
};

}  // namespace murrelet
