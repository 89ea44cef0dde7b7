// The settings file: typed round trips, the registry's read outcomes, damaged
// files kept aside, and writes that replace the file whole.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "charging/settings_key.h"
#include "platform/linux/system/file_store.h"
#include "platform/linux/system/posix_file.h"
#include "platform/linux/system/store_format.h"

namespace fs = std::filesystem;
using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {

struct TempDir {
  TempDir() {
    char pattern[] = "/tmp/murrelet-store-XXXXXX";
    path = mkdtemp(pattern);
  }
  ~TempDir() {
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(path);
  }
  fs::path path;
};

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<fs::path> Listing(const fs::path& dir) {
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(StoreFormat, EscapesRoundTripEveryByte) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  all += " \\s\\x";
  const std::string escaped = EscapeField(all);
  EXPECT_EQ(escaped.find(' '), std::string::npos);
  EXPECT_EQ(escaped.find('\n'), std::string::npos);
  EXPECT_EQ(UnescapeField(escaped), all);
  EXPECT_FALSE(UnescapeField("bad\\q"));
  EXPECT_FALSE(UnescapeField("cut\\x4"));
  EXPECT_FALSE(UnescapeField("trailing\\"));
  EXPECT_FALSE(UnescapeField("raw space"));
}

TEST(StoreFormat, ParsesTypesAndCountsDamage) {
  const ParsedKey parsed = ParseKey(
      "# comment\n"
      "sz KestraName KESTRA\\sT48R\n"
      "dword HourTimer 4294967295\n"
      "binary Blob 00ff\n"
      "dword MinTimer 4294967296\n"  // out of range
      "dword ShutDownFlag x\n"
      "sz\n"
      "\xff\xfe garbage\n"
      "sz Empty \n");
  ASSERT_EQ(parsed.values.size(), 4u);
  EXPECT_EQ(parsed.values[0].text, "KESTRA T48R");
  EXPECT_EQ(parsed.values[1].number, 4294967295u);
  EXPECT_EQ(parsed.values[2].type, StoredType::Other);
  EXPECT_EQ(parsed.values[3].text, "");
  EXPECT_EQ(parsed.damagedLines, 4u);
  EXPECT_EQ(ParseKey(SerialiseKey(parsed.values)).values.size(), 4u);
}

TEST(FileStore, RoundTripKeepsPathSegmentsNamesAndTypes) {
  TempDir dir;
  FileStore store(dir.path);
  const std::string path = SettingsKeyPath();
  EXPECT_EQ(store.OpenReadOnly(path), nullptr);  // no key yet
  {
    auto key = store.OpenWritable(path);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteString("KestraName", "KESTRA T48R"));
    EXPECT_TRUE(key->WriteString("Odd", "line\nbreak and \\ back"));
    EXPECT_TRUE(key->WriteDword("HourTimer", 6));
    EXPECT_TRUE(key->WriteDword("BatteryParcent", 0xFFFFFFF6));
    EXPECT_TRUE(key->WriteDword("HourTimer", 3));  // replaced, not repeated
  }
  EXPECT_TRUE(fs::exists(dir.path / "Software" / "Quillon SoftWare" / "Gannetry" / "V2.0.conf"));
  auto key = store.OpenReadOnly(path);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("KestraName").value, "KESTRA T48R");
  EXPECT_EQ(key->ReadString("kestraname").status, ReadStatus::Ok);  // names ignore case, like the registry
  EXPECT_EQ(key->ReadString("Odd").value, "line\nbreak and \\ back");
  EXPECT_EQ(key->ReadDword("HourTimer").value, 3u);
  EXPECT_EQ(key->ReadDword("BatteryParcent").value, 0xFFFFFFF6u);
  EXPECT_EQ(key->ReadDword("KestraName").status, ReadStatus::WrongType);
  EXPECT_EQ(key->ReadString("HourTimer").status, ReadStatus::WrongType);
  EXPECT_EQ(key->ReadDword("Missing").status, ReadStatus::Missing);
  EXPECT_FALSE(key->WriteDword("HourTimer", 1));  // opened read-only
  EXPECT_EQ(store.OpenWritable("Software\\..\\x"), nullptr);
  EXPECT_EQ(store.OpenWritable("Software\\\\x"), nullptr);
}

TEST(FileStore, OpeningWritableCreatesAnEmptyKey) {
  TempDir dir;
  FileStore store(dir.path);
  ASSERT_NE(store.OpenWritable("A\\B"), nullptr);
  auto key = store.OpenReadOnly("A\\B");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("KestraName").status, ReadStatus::Missing);
}

TEST(FileStore, ADamagedFileIsKeptAsideAndItsGoodValuesStillRead) {
  TempDir dir;
  FileStore store(dir.path);
  const fs::path file = store.FileFor("K");
  const std::string damaged = "sz KestraName KESTRA\\sT48R\ndword HourTimer 2\ndword MinTimer ten\n\x01\x02\x03";
  std::ofstream(file, std::ios::binary) << damaged;
  {
    auto key = store.OpenReadOnly("K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("KestraName").value, "KESTRA T48R");
    EXPECT_EQ(key->ReadDword("HourTimer").value, 2u);
    EXPECT_EQ(key->ReadDword("MinTimer").status, ReadStatus::Missing);
  }
  const auto names = Listing(dir.path);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].string().rfind("K.conf.damaged-", 0), 0u);
  EXPECT_EQ(Slurp(dir.path / names[0]), damaged);  // byte for byte
  {
    auto key = store.OpenWritable("K");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteDword("MinTimer", 30));
  }
  EXPECT_EQ(Listing(dir.path).size(), 2u);  // the new file beside the damaged copy
  auto fresh = store.OpenReadOnly("K");
  EXPECT_EQ(fresh->ReadDword("MinTimer").value, 30u);
  EXPECT_EQ(fresh->ReadDword("HourTimer").status, ReadStatus::Missing);  // its value lives in the copy aside
}

TEST(FileStore, AFullDiskLeavesTheOldFileWholeAndNoTemporaryBehind) {
  TempDir dir;
  FileStore store(dir.path);
  auto key = store.OpenWritable("K");
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->WriteString("KestraName", "KESTRA T48R"));
  const std::string before = Slurp(store.FileFor("K"));
  // A file size limit makes the write fail part-way, as a full disk does.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = saved;
  tight.rlim_cur = before.size() + 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  const bool written = key->WriteString("KestraName", std::string(4096, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(key->ReadString("KestraName").value, "KESTRA T48R");  // the key did not change either
  EXPECT_EQ(Slurp(store.FileFor("K")), before);
  EXPECT_EQ(Listing(dir.path).size(), 1u);
}

TEST(FileStore, WritesReplaceTheFileWhole) {
  TempDir dir;
  const fs::path file = dir.path / "f.conf";
  ASSERT_TRUE(WriteFileAtomically(file, "one\n"));
  struct stat first {};
  ASSERT_EQ(::stat(file.c_str(), &first), 0);
  ASSERT_TRUE(WriteFileAtomically(file, "two\n"));
  struct stat second {};
  ASSERT_EQ(::stat(file.c_str(), &second), 0);
  // A new inode: the old file was never written into, only replaced.
  EXPECT_NE(first.st_ino, second.st_ino);
  EXPECT_EQ(Slurp(file), "two\n");
  EXPECT_EQ((second.st_mode & 0777), 0600u);
  EXPECT_EQ(Listing(dir.path).size(), 1u);
  EXPECT_FALSE(WriteFileAtomically(dir.path / "missing" / "f.conf", "x"));
}

TEST(FileStore, ASettingsFileThatIsTheUsersLinkIsReadAndItsTargetReplacedInItsOwnFolder) {
  struct Case {
    const char* what;
    bool relative;  // the link names its target relative to its own folder
    bool chain;     // through a second link
  };
  const Case cases[] = {
      {"an absolute link", false, false},
      {"a relative link", true, false},
      {"a link to a link", false, true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    FileStore store(dir.path / "config");
    const fs::path file = store.FileFor("K");
    const fs::path dotfiles = dir.path / "dotfiles";
    fs::create_directories(file.parent_path());
    fs::create_directories(dotfiles);
    const fs::path target = dotfiles / "K.conf";
    std::ofstream(target) << "# murrelet settings\ndword HourTimer 4\n";
    fs::path pointed = c.relative ? fs::path("../dotfiles/K.conf") : target;
    if (c.chain) {
      fs::create_symlink(target, dotfiles / "middle.conf");
      pointed = dotfiles / "middle.conf";
    }
    fs::create_symlink(pointed, file);

    auto read = store.OpenReadOnly("K");
    ASSERT_NE(read, nullptr) << c.what;
    EXPECT_EQ(read->ReadDword("HourTimer").value, 4u) << c.what;
    read.reset();
    auto key = store.OpenWritable("K");
    ASSERT_NE(key, nullptr) << c.what;
    EXPECT_TRUE(key->WriteDword("HourTimer", 6)) << c.what;
    key.reset();
    // The links stay links; the file they lead to holds the new value, and no
    // temporary is left in either folder.
    EXPECT_TRUE(fs::is_symlink(file)) << c.what;
    EXPECT_FALSE(fs::is_symlink(target)) << c.what;
    EXPECT_NE(Slurp(target).find("dword HourTimer 6"), std::string::npos) << c.what;
    EXPECT_EQ(Listing(file.parent_path()), std::vector<fs::path>{"K.conf"}) << c.what;
    EXPECT_EQ(Listing(dotfiles).size(), c.chain ? 2u : 1u) << c.what;
  }
}

TEST(FileStore, ALinkOwnedBySomeoneElseIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another owner";
  TempDir dir;
  FileStore store(dir.path);
  const fs::path file = store.FileFor("K");
  fs::create_directories(file.parent_path());
  const fs::path target = dir.path / "elsewhere.conf";
  std::ofstream(target) << "dword HourTimer 4\n";
  fs::create_symlink(target, file);
  ASSERT_EQ(::lchown(file.c_str(), 65534, 65534), 0);
  EXPECT_EQ(store.OpenReadOnly("K"), nullptr);
  EXPECT_EQ(store.OpenWritable("K"), nullptr);
  EXPECT_EQ(Slurp(target), "dword HourTimer 4\n");
  EXPECT_TRUE(fs::is_symlink(file));
}
