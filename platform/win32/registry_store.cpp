#include "platform/win32/registry_store.h"

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

// A value of another type, or a DWORD of another size, is of the wrong type;
// every other failure reads as a missing value.
ReadStatus StatusOf(LSTATUS status) {
  return status == ERROR_UNSUPPORTED_TYPE || status == ERROR_DATATYPE_MISMATCH ? ReadStatus::WrongType
                                                                                : ReadStatus::Missing;
}

class RegistryKey : public StoreKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override { RegCloseKey(key_); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  StoreRead<std::string> ReadString(std::string_view name) override {
    const std::wstring valueName = Widen(name);
    // RegGetValueW checks the type and ends the text at its terminator; a
    // value that grows between the size query and the read is read again.
    constexpr DWORD kText = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD bytes = 0;
      LSTATUS status = RegGetValueW(key_, nullptr, valueName.c_str(), kText, nullptr, nullptr, &bytes);
      if (status != ERROR_SUCCESS) return {StatusOf(status), {}};
      std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
      DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
      status = RegGetValueW(key_, nullptr, valueName.c_str(), kText, nullptr, text.data(), &got);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return {StatusOf(status), {}};
      text.resize(text.find(L'\0') == std::wstring::npos ? got / sizeof(wchar_t) : text.find(L'\0'));
      return {ReadStatus::Ok, Narrow(text)};
    }
    return {ReadStatus::Missing, {}};
  }

  StoreRead<std::uint32_t> ReadDword(std::string_view name) override {
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    const LSTATUS status = RegGetValueW(key_, nullptr, Widen(name).c_str(), RRF_RT_REG_DWORD, nullptr, &value, &bytes);
    if (status != ERROR_SUCCESS) return {StatusOf(status), 0};
    // Windows refuses a DWORD of another size itself; Wine hands over its bytes.
    if (bytes != sizeof(DWORD)) return {ReadStatus::WrongType, 0};
    return {ReadStatus::Ok, value};
  }

  bool WriteString(std::string_view name, std::string_view value) override {
    const std::wstring text = Widen(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
  }

  bool WriteDword(std::string_view name, std::uint32_t value) override {
    const DWORD data = value;
    return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<StoreKey> RegistryStore::OpenReadOnly(std::string_view path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<StoreKey> RegistryStore::OpenWritable(std::string_view path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<RegistryKey>(key);
}

}  // namespace murrelet::win32
