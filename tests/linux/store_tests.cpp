// The settings file: typed round trips, the registry's read outcomes, damaged
// files kept aside, and writes that replace the file whole.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "charging/application.h"
#include "charging/main_form.h"
#include "charging/settings_key.h"
#include "platform/linux/system/file_store.h"
#include "platform/linux/system/posix_file.h"
#include "platform/linux/system/store_format.h"
#include "platform/sim/sim_platform.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using murrelet::testing::Slurp;
using murrelet::testing::TempDir;
using namespace murrelet;
using namespace murrelet::linux_platform;

namespace {

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

TEST(StoreFormat, ParsesTypesAndKeepsUnreadableLines) {
  const std::string content =
      "# comment\n"
      "sz KestraName KESTRA\\sT48R\n"
      "dword HourTimer 4294967295\n"
      "binary Blob 00ff\n"
      "dword MinTimer 4294967296\n"  // out of range
      "dword ShutDownFlag x\n"
      "sz\n"
      "\xff\xfe garbage\n"
      "sz Empty \n";
  const ParsedKey parsed = ParseKey(content);
  ASSERT_EQ(parsed.values.size(), 8u);
  EXPECT_EQ(parsed.values[0].text, "KESTRA T48R");
  EXPECT_EQ(parsed.values[1].number, 4294967295u);
  EXPECT_EQ(parsed.values[2].type, StoredType::Other);
  EXPECT_EQ(parsed.damagedLines, 4u);
  EXPECT_EQ(FindReadable(parsed.values, "MinTimer"), nullptr);
  EXPECT_EQ(FindValue(parsed.values, "MinTimer")->type, StoredType::Unreadable);
  EXPECT_EQ(FindReadable(parsed.values, "Empty")->text, "");
  EXPECT_TRUE(parsed.AnyReadable());
  // Written back, every line is as it was but the comment.
  EXPECT_EQ(SerialiseKey(parsed.values), "# murrelet settings\n" + content.substr(content.find('\n') + 1));
  EXPECT_FALSE(ParseKey("sz\n\x01\x02\n").AnyReadable());
}

// Each line as a hand edit may leave it, and what it reads as.
TEST(StoreFormat, AHandEditedLineReadsAsItsEditorMeantIt) {
  struct Case {
    const char* line;
    StoredType type;
    const char* name;
    const char* text;
    std::uint32_t number;
  };
  const Case cases[] = {
      {"sz KestraName KESTRA T50X", StoredType::Sz, "KestraName", "KESTRA T50X", 0},
      {"sz KestraName KESTRA\\sT48R", StoredType::Sz, "KestraName", "KESTRA T48R", 0},  // as written so far
      {"sz KestraName KESTRA T50X\r", StoredType::Sz, "KestraName", "KESTRA T50X", 0},  // saved with CR LF
      {"sz KestraName  two\tblanks ", StoredType::Sz, "KestraName", " two\tblanks ", 0},
      {"sz KestraName a\\\\b c", StoredType::Sz, "KestraName", "a\\b c", 0},
      {"sz KestraName", StoredType::Sz, "KestraName", "", 0},
      {"dword HourTimer 6", StoredType::Dword, "HourTimer", "", 6},
      {"dword HourTimer  6 \t", StoredType::Dword, "HourTimer", "", 6},
      {"dword HourTimer 6\r", StoredType::Dword, "HourTimer", "", 6},
      // Still unreadable: each keeps its name, so writing that name replaces it.
      {"sz KestraName bad\\q", StoredType::Unreadable, "KestraName", "", 0},
      {"sz KestraName bell\x07", StoredType::Unreadable, "KestraName", "", 0},
      {"dword MinTimer 4O", StoredType::Unreadable, "MinTimer", "", 0},
      {"dword MinTimer 4 0", StoredType::Unreadable, "MinTimer", "", 0},
      {"dword MinTimer -10", StoredType::Unreadable, "MinTimer", "", 0},
      {"SZ KestraName KESTRA", StoredType::Unreadable, "KestraName", "", 0},
      {"sz  KestraName KESTRA", StoredType::Unreadable, "", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ParsedKey parsed = ParseKey(c.line);
    ASSERT_EQ(parsed.values.size(), 1u);
    const StoredValue& value = parsed.values[0];
    EXPECT_EQ(value.type, c.type);
    EXPECT_EQ(value.name, c.name);
    EXPECT_EQ(value.text, c.text);
    EXPECT_EQ(value.number, c.number);
    EXPECT_EQ(parsed.damagedLines, c.type == StoredType::Unreadable ? 1u : 0u);
  }
  // What the program writes is unchanged.
  StoredValue name;
  name.name = "KestraName";
  name.text = "KESTRA T50X";
  EXPECT_EQ(SerialiseKey({name}), "# murrelet settings\nsz KestraName KESTRA\\sT50X\n");
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

TEST(FileStore, AnUnreadableLineCostsOnlyItsValueAndTheFileStays) {
  TempDir dir;
  FileStore store(dir.path);
  const fs::path file = store.FileFor("K");
  const std::string edited =
      "# murrelet settings\n"
      "sz KestraName KESTRA T50X\n"
      "dword HourTimer 6\n"
      "dword MinTimer 4O\n"
      "dword ACPowerFlag 1\n"
      "?? a note of the user's\n";
  std::ofstream(file, std::ios::binary) << edited;
  {
    auto key = store.OpenReadOnly("K");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("KestraName").value, "KESTRA T50X");
    EXPECT_EQ(key->ReadDword("HourTimer").value, 6u);
    EXPECT_EQ(key->ReadDword("MinTimer").status, ReadStatus::Missing);
    EXPECT_EQ(key->ReadString("MinTimer").status, ReadStatus::Missing);
    EXPECT_EQ(key->ReadDword("ACPowerFlag").value, 1u);
  }
  EXPECT_EQ(Listing(dir.path), std::vector<fs::path>{"K.conf"});  // nothing moved aside
  EXPECT_EQ(Slurp(file), edited);                                   // nor changed by reading
  {
    auto key = store.OpenWritable("K");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteDword("MinTimer", 40));
  }
  // The unreadable value is replaced where it stood; the rest is written as the program writes it.
  EXPECT_EQ(Slurp(file),
            "# murrelet settings\n"
            "sz KestraName KESTRA\\sT50X\n"
            "dword HourTimer 6\n"
            "dword MinTimer 40\n"
            "dword ACPowerFlag 1\n"
            "?? a note of the user's\n");
  EXPECT_EQ(Listing(dir.path).size(), 1u);
}

TEST(FileStore, AFileOfWhichNothingCanBeReadIsKeptAside) {
  TempDir dir;
  FileStore store(dir.path);
  const fs::path file = store.FileFor("K");
  const std::string damaged = "\x01\x02\x03\nsz\ndword MinTimer ten\n";
  std::ofstream(file, std::ios::binary) << damaged;
  {
    auto key = store.OpenReadOnly("K");
    ASSERT_NE(key, nullptr);
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
  EXPECT_EQ(Slurp(file), "# murrelet settings\ndword MinTimer 30\n");
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

// A writer killed between writing its temporary file and renaming it leaves
// the temporary behind; the next write removes those of writers that are
// gone, and leaves a running writer's and any other file alone.
TEST(FileStore, AWriteRemovesTheTemporariesOfWritersThatAreGone) {
  TempDir dir;
  const pid_t gone = ::fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string running = std::to_string(::getppid());
  const std::string dead = std::to_string(gone);
  struct Case {
    std::string name;
    bool staysAfterAWrite;
  };
  const Case cases[] = {
      {".f.conf.tmp-" + dead + "-1", false},
      {".f.conf.tmp-" + dead + "-17", false},
      {".f.conf.tmp-" + running + "-1", true},  // a writer still at work
      {".f.conf.tmp-x-1", true},                // not a name a writer gives
      {".g.conf.tmp-" + dead + "-1", true},     // another file's
      {"f.conf.tmp-" + dead + "-1", true},
  };
  for (const Case& c : cases) std::ofstream(dir.path / c.name) << "half";
  ASSERT_TRUE(WriteFileAtomically(dir.path / "f.conf", "one\n"));
  for (const Case& c : cases) EXPECT_EQ(fs::exists(dir.path / c.name), c.staysAfterAWrite) << c.name;
  EXPECT_EQ(Slurp(dir.path / "f.conf"), "one\n");
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

// The program over the real settings file, started with a file a user edited
// by hand: what the start loads and says, and that the file stays where it is.
TEST(FileStore, AStartOverAHandEditedFileLoadsEveryValueItCanRead) {
  struct Case {
    const char* minutesLine;
    std::int32_t minutes;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"dword MinTimer 40", 40, {}},
      {"dword MinTimer 4O", 0, {"'MinTimer' の取得に失敗しました."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.minutesLine);
    TempDir dir;
    FileStore files(dir.path);
    const fs::path file = files.FileFor(SettingsKeyPath());
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "# murrelet settings\n"
                                             "sz KestraName KESTRA T50X\n"
                                             "dword ACPowerFlag 1\n"
                                             "dword BatteryPowerFlag 1\n"
                                             "dword BatteryParcent 40\n"
                                             "dword SuspendDisable 0\n"
                                             "dword HourTimer 6\n"
                                          << c.minutesLine << "\n"
                                          << "dword ShutDownFlag 1\n";
    sim::SimPlatform sim;
    Platform withFiles{sim.tapi, sim.power, sim.execution, sim.sleeper, sim.shutdown, files,
                       sim.locks, sim.clock, sim.boxes,     sim.forms,   sim.runStatus, sim.sessionStart};
    TApplication app(withFiles);
    ASSERT_EQ(app.Start(), TApplication::StartResult::Running);
    const ChargeSettings& loaded = app.MainForm()->Settings;
    EXPECT_TRUE(app.MainForm()->Run.Configured);
    EXPECT_EQ(loaded.HandsetName, "KESTRA T50X");
    EXPECT_TRUE(loaded.ACPowerFlag);
    EXPECT_TRUE(loaded.BatteryPowerFlag);
    EXPECT_EQ(loaded.BatteryParcent, 40);
    EXPECT_FALSE(loaded.SuspendDisable);
    EXPECT_EQ(loaded.HourTimer, 6);
    EXPECT_EQ(loaded.MinTimer, c.minutes);
    EXPECT_TRUE(loaded.ShutDownFlag);
    std::vector<std::string> shown;
    for (const sim::RecordedBox& box : sim.boxes.shown) shown.push_back(box.text);
    EXPECT_EQ(shown, c.boxes);
    EXPECT_EQ(Listing(file.parent_path()), std::vector<fs::path>{"V2.0.conf"});  // nothing moved aside
  }
}
TEST(FileStore, ASettingsFileThatIsTheUsersLinkIsReadAndItsTargetReplacedInItsOwnFolder) {
  struct Case {
    const char* what;
    bool relative;     // the link names its target relative to its own folder (ln -sr)
    bool chain;        // through a second link, relative to its own folder too when `relative`
    bool linkedRoot;   // the settings folder is itself a link into a deeper folder, as ~/.config may be
  };
  const Case cases[] = {
      {"an absolute link", false, false, false},
      {"a relative link", true, false, false},
      {"a link to a link", false, true, false},
      // ".." goes up from the folder the link really lies in, not from the
      // path it was reached by.
      {"a relative link in a linked folder", true, false, true},
      {"relative links through a linked folder", true, true, true},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path root = dir.path / "config";
    if (c.linkedRoot) {
      fs::create_directories(dir.path / "real" / "deep" / "config");
      fs::create_symlink(dir.path / "real" / "deep" / "config", root);
    }
    FileStore store(root);
    const fs::path file = store.FileFor("K");
    const fs::path dotfiles = dir.path / "dotfiles";
    fs::create_directories(file.parent_path());
    fs::create_directories(dotfiles / "sub");
    const fs::path target = dotfiles / "K.conf";
    std::ofstream(target) << "# murrelet settings\ndword HourTimer 4\n";
    const fs::path realFolder = fs::canonical(file.parent_path());
    fs::path pointed = c.relative ? fs::relative(target, realFolder) : target;
    if (c.chain) {
      // The middle link lies in dotfiles/sub and is reached through a link
      // in linked/, a folder that is itself a link to dotfiles/sub.
      fs::create_symlink(c.relative ? fs::path("../K.conf") : target, dotfiles / "sub" / "middle.conf");
      fs::create_symlink(dotfiles / "sub", dir.path / "linked");
      pointed = c.relative ? fs::relative(dir.path / "linked" / "middle.conf", realFolder)
                           : dotfiles / "sub" / "middle.conf";
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
    EXPECT_EQ(Listing(dotfiles).size(), 2u) << c.what;  // K.conf and sub
  }
}

TEST(FileStore, LinksAreFollowedFortyHopsDeepAndALongerChainOrALoopIsNotFollowed) {
  for (const int links : {40, 41, 0}) {  // 0: a link to itself
    TempDir dir;
    FileStore store(dir.path / "config");
    const fs::path file = store.FileFor("K");
    fs::create_directories(file.parent_path());
    const fs::path target = dir.path / "K.conf";
    std::ofstream(target) << "dword HourTimer 4\n";
    if (links == 0) {
      fs::create_symlink("K.conf", file);
    } else {
      // file -> hop1 -> ... -> hop(links-1) -> K.conf, each relative.
      for (int n = links - 1; n >= 1; --n) {
        fs::create_symlink(n == links - 1 ? fs::path("../K.conf") : fs::path("hop" + std::to_string(n + 1)),
                           file.parent_path() / ("hop" + std::to_string(n)));
      }
      fs::create_symlink("hop1", file);
    }
    const bool follows = links == 40;
    auto read = store.OpenReadOnly("K");
    EXPECT_EQ(read != nullptr, follows) << links;
    if (read) {
      EXPECT_EQ(read->ReadDword("HourTimer").value, 4u);
    }
    EXPECT_EQ(store.OpenWritable("K") != nullptr, follows) << links;
    EXPECT_EQ(Slurp(target), "dword HourTimer 4\n");
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
