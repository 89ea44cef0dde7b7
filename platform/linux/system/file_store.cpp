#include "platform/linux/system/file_store.h"

#include <cstdlib>
#include <string>

#include "platform/linux/system/posix_file.h"
#include "platform/linux/system/store_format.h"

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

// Settings are a handful of short lines; anything this large is not ours.
constexpr std::size_t kMaxFileBytes = 1 << 20;

class FileKey : public StoreKey {
 public:
  FileKey(fs::path file, std::vector<StoredValue> values, bool writable)
      : file_(std::move(file)), values_(std::move(values)), writable_(writable) {}

  StoreRead<std::string> ReadString(std::string_view name) override {
    StoreRead<std::string> read;
    if (const StoredValue* value = Find(name)) {
      read.status = value->type == StoredType::Sz ? ReadStatus::Ok : ReadStatus::WrongType;
      if (read.status == ReadStatus::Ok) read.value = value->text;
    }
    return read;
  }

  StoreRead<std::uint32_t> ReadDword(std::string_view name) override {
    StoreRead<std::uint32_t> read;
    if (const StoredValue* value = Find(name)) {
      read.status = value->type == StoredType::Dword ? ReadStatus::Ok : ReadStatus::WrongType;
      if (read.status == ReadStatus::Ok) read.value = value->number;
    }
    return read;
  }

  bool WriteString(std::string_view name, std::string_view text) override {
    StoredValue value;
    value.name.assign(name);
    value.type = StoredType::Sz;
    value.text.assign(text);
    return Write(std::move(value));
  }

  bool WriteDword(std::string_view name, std::uint32_t number) override {
    StoredValue value;
    value.name.assign(name);
    value.type = StoredType::Dword;
    value.number = number;
    return Write(std::move(value));
  }

 private:
  const StoredValue* Find(std::string_view name) const { return FindReadable(values_, name); }

  bool Write(StoredValue value) {
    if (!writable_ || value.name.empty()) return false;
    std::vector<StoredValue> next = values_;
    if (StoredValue* existing = FindValue(next, value.name)) {
      value.name = existing->name;  // the stored spelling stays, as in the registry
      *existing = std::move(value);
    } else {
      next.push_back(std::move(value));
    }
    // The key changes only when the file did.
    if (!WriteFileAtomically(file_, SerialiseKey(next))) return false;
    values_ = std::move(next);
    return true;
  }

  fs::path file_;
  std::vector<StoredValue> values_;
  bool writable_;
};

enum class LoadResult { Absent, Loaded, MovedAside, Failed };

// Loads a key's file. A line that cannot be read costs only its own value and
// stays in the file; a file of which nothing can be read is moved aside.
LoadResult Load(const fs::path& file, std::vector<StoredValue>& values) {
  std::string content;
  switch (ReadSmallFile(file, kMaxFileBytes, content)) {
    case ReadResult::Missing: return LoadResult::Absent;
    case ReadResult::Failed: return LoadResult::Failed;
    case ReadResult::TooLarge: MoveAside(file); return LoadResult::MovedAside;
    case ReadResult::Ok: break;
  }
  ParsedKey parsed = ParseKey(content);
  if (parsed.damagedLines > 0 && !parsed.AnyReadable()) {
    MoveAside(file);
    return LoadResult::MovedAside;
  }
  values = std::move(parsed.values);
  return LoadResult::Loaded;
}

}  // namespace

fs::path DefaultStoreRoot() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return fs::path(config) / "murrelet";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return fs::path(home) / ".config" / "murrelet";
  return {};
}

fs::path FileStore::FileFor(std::string_view path) const {
  if (root_.empty()) return {};
  fs::path file = root_;
  std::string last;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('\\', start);
    const std::string_view segment = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
    if (!IsPlainFileName(segment)) return {};
    if (end == std::string_view::npos) {
      last.assign(segment);
      break;
    }
    file /= std::string(segment);
    start = end + 1;
  }
  return file / (last + ".conf");
}

std::unique_ptr<StoreKey> FileStore::OpenReadOnly(std::string_view path) {
  const fs::path named = FileFor(path);
  if (named.empty()) return nullptr;
  // The file a link of the user's leads to is read, kept aside and replaced
  // in its own folder; the link stays.
  const fs::path file = FollowOwnLinks(named);
  if (file.empty()) return nullptr;
  std::vector<StoredValue> values;
  const LoadResult loaded = Load(file, values);
  // A key with unreadable lines still opens: its readable values load and the
  // others are reported missing by the program, which is how the user learns
  // of it.
  if (loaded == LoadResult::Absent || loaded == LoadResult::Failed) return nullptr;
  return std::make_unique<FileKey>(file, std::move(values), false);
}

std::unique_ptr<StoreKey> FileStore::OpenWritable(std::string_view path) {
  const fs::path named = FileFor(path);
  if (named.empty()) return nullptr;
  std::error_code ec;
  fs::create_directories(named.parent_path(), ec);
  if (ec) return nullptr;
  const fs::path file = FollowOwnLinks(named);
  if (file.empty()) return nullptr;
  std::vector<StoredValue> values;
  const LoadResult loaded = Load(file, values);
  if (loaded == LoadResult::Failed) return nullptr;
  // Creating the key makes its file, as creating a registry key makes the key.
  if (loaded != LoadResult::Loaded && !WriteFileAtomically(file, SerialiseKey(values))) return nullptr;
  return std::make_unique<FileKey>(file, std::move(values), true);
}

}  // namespace murrelet::linux_platform
