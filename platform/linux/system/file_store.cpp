#include "platform/linux/system/file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/linux/system/store_format.h"

namespace murrelet::linux_platform {
namespace fs = std::filesystem;
namespace {

// Settings are a handful of short lines; anything this large is not ours.
constexpr std::size_t kMaxFileBytes = 1 << 20;

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

enum class ReadResult { Ok, Missing, Failed, TooLarge };

ReadResult ReadFile(const fs::path& file, std::string& content) {
  Fd in{::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)};
  if (in.fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadResult::Failed;
    if (n == 0) return ReadResult::Ok;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kMaxFileBytes) return ReadResult::TooLarge;
  }
}

// Keeps a damaged file for the user to look at; never replaces an earlier copy.
void MoveAside(const fs::path& file) {
  char stamp[32];
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
  for (int n = 0; n < 100; ++n) {
    fs::path aside = file;
    aside += ".damaged-" + std::string(stamp) + (n == 0 ? "" : "-" + std::to_string(n));
    // link + unlink never overwrites an existing copy.
    if (::link(file.c_str(), aside.c_str()) == 0) {
      ::unlink(file.c_str());
      return;
    }
    if (errno != EEXIST) break;
  }
}

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
  const StoredValue* Find(std::string_view name) const {
    for (const StoredValue& value : values_) {
      if (SameValueName(value.name, name)) return &value;
    }
    return nullptr;
  }

  bool Write(StoredValue value) {
    if (!writable_ || value.name.empty()) return false;
    std::vector<StoredValue> next = values_;
    bool replaced = false;
    for (StoredValue& existing : next) {
      if (SameValueName(existing.name, value.name)) {
        value.name = existing.name;  // the stored spelling stays, as in the registry
        existing = std::move(value);
        replaced = true;
        break;
      }
    }
    if (!replaced) next.push_back(std::move(value));
    // The key changes only when the file did.
    if (!WriteFileAtomically(file_, SerialiseKey(next))) return false;
    values_ = std::move(next);
    return true;
  }

  fs::path file_;
  std::vector<StoredValue> values_;
  bool writable_;
};

bool SafeSegment(std::string_view segment) {
  return !segment.empty() && segment != "." && segment != ".." && segment.find('/') == std::string_view::npos &&
         segment.find('\0') == std::string_view::npos;
}

enum class LoadResult { Absent, Loaded, MovedAside, Failed };

// Loads a key's file; a damaged one is moved aside, keeping what could be read.
LoadResult Load(const fs::path& file, std::vector<StoredValue>& values) {
  std::string content;
  switch (ReadFile(file, content)) {
    case ReadResult::Missing: return LoadResult::Absent;
    case ReadResult::Failed: return LoadResult::Failed;
    case ReadResult::TooLarge: MoveAside(file); return LoadResult::MovedAside;
    case ReadResult::Ok: break;
  }
  ParsedKey parsed = ParseKey(content);
  values = std::move(parsed.values);
  if (parsed.damagedLines == 0) return LoadResult::Loaded;
  MoveAside(file);
  return LoadResult::MovedAside;
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
    if (!SafeSegment(segment)) return {};
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
  const fs::path file = FileFor(path);
  if (file.empty()) return nullptr;
  std::vector<StoredValue> values;
  const LoadResult loaded = Load(file, values);
  // A damaged key still opens: its readable values load and the others are
  // reported missing by the program, which is how the user learns of it.
  if (loaded == LoadResult::Absent || loaded == LoadResult::Failed) return nullptr;
  return std::make_unique<FileKey>(file, std::move(values), false);
}

std::unique_ptr<StoreKey> FileStore::OpenWritable(std::string_view path) {
  const fs::path file = FileFor(path);
  if (file.empty()) return nullptr;
  std::error_code ec;
  fs::create_directories(file.parent_path(), ec);
  if (ec) return nullptr;
  std::vector<StoredValue> values;
  const LoadResult loaded = Load(file, values);
  if (loaded == LoadResult::Failed) return nullptr;
  // Creating the key makes its file, as creating a registry key makes the key.
  if (loaded != LoadResult::Loaded && !WriteFileAtomically(file, SerialiseKey(values))) return nullptr;
  return std::make_unique<FileKey>(file, std::move(values), true);
}

bool WriteFileAtomically(const fs::path& file, std::string_view content) {
  static unsigned counter = 0;
  const fs::path dir = file.parent_path();
  fs::path temp = dir / ("." + file.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
                         std::to_string(++counter));
  {
    Fd out{::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600)};
    if (out.fd < 0) return false;
    const bool written = WriteAll(out.fd, content) && ::fsync(out.fd) == 0;
    const int closed = ::close(out.fd);
    out.fd = -1;
    if (!written || closed != 0) {
      ::unlink(temp.c_str());
      return false;
    }
  }
  if (::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  // The rename is durable only once the folder itself is on disk.
  Fd folder{::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  return folder.fd >= 0 && ::fsync(folder.fd) == 0;
}

}  // namespace murrelet::linux_platform
