// Uninstall.exe, the program the Uninstall entry names. It runs NSIS's
// uninstaller, which the installer put beside it as Uninstall.dat, from a copy
// in the temporary folder, in place of this folder ("_?="), waits for it and
// ends with its exit code: 0 once everything is removed, 1 when its page was
// cancelled, 2 when it refused (Murrelet runs). NSIS's own uninstaller, run
// directly, would copy itself and end with 0 at once, so that whoever waits
// for it (a script, a deployment tool, a newer installer) would go on before
// anything is removed. This small program's file is only mapped while it
// runs, so the uninstaller can move it out of the folder; an NSIS program's
// own file stays open and could not be.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr DWORD kCancelled = 1;  // as a cancelled uninstaller page
constexpr DWORD kFailed = 2;     // as the uninstaller's refusal: nothing was removed
constexpr DWORD kPathRoom = 32768;  // the longest path Windows takes

wchar_t g_folder[kPathRoom];
wchar_t g_copy[kPathRoom];
wchar_t g_source[kPathRoom];
wchar_t g_arguments[kPathRoom + 8];

// The arguments after the program's own name, as given.
const wchar_t* Arguments() {
  const wchar_t* line = GetCommandLineW();
  bool quoted = false;
  for (; *line != L'\0'; ++line) {
    if (*line == L'"') quoted = !quoted;
    if (!quoted && (*line == L' ' || *line == L'\t')) break;
  }
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const DWORD length = GetModuleFileNameW(nullptr, g_folder, kPathRoom);
  if (length == 0 || length >= kPathRoom) return kFailed;
  wchar_t* slash = std::wcsrchr(g_folder, L'\\');
  if (slash == nullptr) return kFailed;
  *slash = L'\0';
  const DWORD temp = GetTempPathW(kPathRoom, g_copy);
  if (temp == 0 || temp >= kPathRoom - 64) return kFailed;
  std::wcscat(g_copy, L"Murrelet-uninstaller.exe");
  if (std::wcslen(g_folder) >= kPathRoom - 16) return kFailed;
  std::wcscat(std::wcscpy(g_source, g_folder), L"\\Uninstall.dat");
  if (!CopyFileW(g_source, g_copy, FALSE)) return kFailed;

  // "_?=" comes last and takes the folder unquoted; a caller may give it already.
  const wchar_t* given = Arguments();
  if (std::wcslen(given) + std::wcslen(g_folder) + 5 > sizeof g_arguments / sizeof g_arguments[0]) return kFailed;
  std::wcscpy(g_arguments, given);
  if (std::wcsstr(given, L"_?=") == nullptr) {
    if (*given != L'\0') std::wcscat(g_arguments, L" ");
    std::wcscat(std::wcscat(g_arguments, L"_?="), g_folder);
  }
  // Through the shell, which asks for the administrator rights the
  // uninstaller requires where this program runs without them.
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  run.lpFile = g_copy;
  run.lpParameters = g_arguments;
  run.nShow = SW_SHOWNORMAL;
  DWORD code = kFailed;
  if (ShellExecuteExW(&run) && run.hProcess != nullptr) {
    WaitForSingleObject(run.hProcess, INFINITE);
    if (!GetExitCodeProcess(run.hProcess, &code)) code = kFailed;
    CloseHandle(run.hProcess);
  } else if (GetLastError() == ERROR_CANCELLED) {
    code = kCancelled;  // the user said no to the administrator's prompt
  }
  DeleteFileW(g_copy);
  return static_cast<int>(code);
}
