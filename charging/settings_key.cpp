#include "charging/settings_key.h"

namespace murrelet {

std::string SettingsKeyPath() {
  std::string path(kSettingsKey);
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace murrelet
