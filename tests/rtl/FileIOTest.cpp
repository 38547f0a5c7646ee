#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rtl;
namespace fs = std::filesystem;

namespace {

class FileIO : public ::testing::Test {
protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("fileio-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }
  String Path(const char* name) const { return (FDir / name).string(); }
  std::vector<String> Names() const {
    std::vector<String> names;
    for (const auto& e : fs::directory_iterator(FDir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The message of the EFCreateError that writing Data to Name raises, or "" when it succeeds.
  String WriteError(const String& Name, const String& Data = "new") {
    try {
      WriteFileAtomic(Name, Data);
    } catch (const EFCreateError& e) {
      return e.what();
    }
    return {};
  }

  fs::path FDir;
};

// A file size limit makes the write fail with a message instead of ending the process, and
// leaves neither a damaged file nor the temporary one.
TEST_F(FileIO, SizeLimitGivesAnErrorAndLeavesNoTemporaryFile) {
  const String big = Path("Big.dfm");
  WriteFileAtomic(big, "old");
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const String error = WriteError(big, String(1000, 'x'));
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error, "Cannot write file \"" + big + "\": File too large");
  EXPECT_EQ(ReadFileToString(big), "old");
  EXPECT_EQ(Names(), std::vector<String>{"Big.dfm"});
}

TEST_F(FileIO, SymbolicLinksKeepPointingAtTheNewText) {
  fs::create_directories(FDir / "real");
  WriteFileAtomic(Path("real/Shop.dfm"), "old");
  fs::create_symlink("real/Shop.dfm", FDir / "link.dfm");
  fs::create_symlink("link.dfm", FDir / "chain.dfm");
  WriteFileAtomic(Path("chain.dfm"), "new");
  EXPECT_TRUE(fs::is_symlink(FDir / "link.dfm"));
  EXPECT_TRUE(fs::is_symlink(FDir / "chain.dfm"));
  EXPECT_EQ(ReadFileToString(Path("real/Shop.dfm")), "new");
  EXPECT_EQ(Names(), (std::vector<String>{"chain.dfm", "link.dfm", "real"}));  // the temporary went beside the target

  // A dangling link: the file it names is made.
  fs::create_symlink("real/Missing.dfm", FDir / "dangling.dfm");
  WriteFileAtomic(Path("dangling.dfm"), "made");
  EXPECT_TRUE(fs::is_symlink(FDir / "dangling.dfm"));
  EXPECT_EQ(ReadFileToString(Path("real/Missing.dfm")), "made");

  fs::create_symlink("loop.dfm", FDir / "loop.dfm");
  EXPECT_NE(WriteError(Path("loop.dfm")), "");
}

TEST_F(FileIO, RefusesTargetsThatAreNoWritableFile) {
  const String readOnly = Path("ro.dfm");
  WriteFileAtomic(readOnly, "keep");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(WriteError(readOnly), "Cannot write file \"" + readOnly + "\": the file is read-only");
  EXPECT_EQ(ReadFileToString(readOnly), "keep");

  fs::create_directories(FDir / "adir");
  EXPECT_EQ(WriteError(Path("adir") + "/"), "Cannot write file \"" + Path("adir") + "/\": it is a folder");
  EXPECT_EQ(WriteError(Path("adir")), "Cannot write file \"" + Path("adir") + "\": it is a folder");
  EXPECT_EQ(WriteError("/dev/null"), "Cannot write file \"/dev/null\": it is not a regular file");
  EXPECT_EQ(Names(), (std::vector<String>{"adir", "ro.dfm"}));
}

// Each step of the write failing as a full disk, a lost server or a refused folder would make
// it: the old file stays as it was, no temporary file is left, and the message names the file
// and the system's reason.
namespace faults {
long WriteHalfThenFail(int Fd, const char* Data, size_t Size) {
  static bool second = false;
  second = !second;
  if (!second) {
    errno = ENOSPC;
    return -1;
  }
  return static_cast<long>(::write(Fd, Data, Size / 2 + 1));
}
int MakeTempFails(char*) { return errno = EACCES, -1; }
int SyncFails(int) { return errno = EIO, -1; }
int CloseFails(int Fd) { return ::close(Fd), errno = EIO, -1; }
int RenameFails(const char*, const char*) { return errno = EXDEV, -1; }
}  // namespace faults

TEST_F(FileIO, AFailureAtAnyStepLeavesTheOldFileAndNoTemporary) {
  const String file = Path("Shop.dfm");
  WriteFileAtomic(file, "old text");
  const TFileWriteCalls& system = TFileWriteCalls::System();
  struct TCase {
    TFileWriteCalls Calls;
    const char* Reason;
  };
  TFileWriteCalls makeTemp = system, write = system, sync = system, close = system, rename = system;
  makeTemp.MakeTemp = faults::MakeTempFails;
  write.Write = faults::WriteHalfThenFail;
  sync.Sync = faults::SyncFails;
  close.Close = faults::CloseFails;
  rename.Rename = faults::RenameFails;
  const std::vector<TCase> cases = {{makeTemp, "Permission denied"},
                                    {write, "No space left on device"},
                                    {sync, "Input/output error"},
                                    {close, "Input/output error"},
                                    {rename, "Invalid cross-device link"}};
  for (const TCase& c : cases) {
    try {
      WriteFileAtomic(file, String(10000, 'n'), c.Calls);
      ADD_FAILURE() << c.Reason << ": the write succeeded";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(String(e.what()), "Cannot write file \"" + file + "\": " + c.Reason);
    }
    EXPECT_EQ(ReadFileToString(file), "old text") << c.Reason;
    EXPECT_EQ(Names(), std::vector<String>{"Shop.dfm"}) << c.Reason;
  }
  WriteFileAtomic(file, "new text", system);
  EXPECT_EQ(ReadFileToString(file), "new text");
}

// Reading takes only regular files: a device never ends and a pipe without a writer would block.
TEST_F(FileIO, ReadsOnlyRegularFiles) {
  String data, why;
  EXPECT_FALSE(ReadWholeFile("/dev/zero", data, why));
  EXPECT_EQ(why, "it is not a regular file");
  const String fifo = Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile(fifo, data, why));
  EXPECT_EQ(why, "it is not a regular file");
  EXPECT_FALSE(ReadWholeFile(FDir.string(), data, why));
  EXPECT_EQ(why, "it is a folder");
  try {
    ReadFileToString("/dev/urandom");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"/dev/urandom\": it is not a regular file");
  }
  // Bytes of every kind come back whole.
  const String bytes("a\0b\r\n\xff", 6);
  WriteFileAtomic(Path("bytes"), bytes);
  ASSERT_TRUE(ReadWholeFile(Path("bytes"), data, why));
  EXPECT_EQ(data, bytes);
}

}  // namespace
