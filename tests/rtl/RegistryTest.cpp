#include "rtl/Registry.h"

#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

using namespace rtl;
namespace fs = std::filesystem;

namespace {

// Points the per-user configuration at a fresh folder for the test, and back afterwards.
class Registry : public ::testing::Test {
protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("registry-" + std::to_string(::getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
    Save("XDG_CONFIG_HOME", FOldXdg);
    Save("HOME", FOldHome);
    ::setenv("XDG_CONFIG_HOME", FDir.c_str(), 1);
  }
  void TearDown() override {
    Restore("XDG_CONFIG_HOME", FOldXdg);
    Restore("HOME", FOldHome);
    fs::remove_all(FDir);
  }
  static void Save(const char* name, std::optional<String>& slot) {
    if (const char* v = std::getenv(name)) slot = v;
  }
  static void Restore(const char* name, const std::optional<String>& slot) {
    if (slot)
      ::setenv(name, slot->c_str(), 1);
    else
      ::unsetenv(name);
  }

  fs::path FDir;
  std::optional<String> FOldXdg, FOldHome;
};

TEST_F(Registry, MissingKeyOpensNothingAndCreatesNothing) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_EQ(TRegistry::FileName(), (FDir / "korvane" / "registry.ini").string());
  EXPECT_FALSE(reg.OpenKey("Software\\Korvane", false));
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Korvane"));
  EXPECT_FALSE(reg.KeyExists("Software"));
  EXPECT_EQ(reg.ReadString("RootDir"), "");
  EXPECT_FALSE(fs::exists(FDir / "korvane"));
}

TEST_F(Registry, WritesValuesUnderTheirKeySection) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Korvane\\", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Korvane");
  EXPECT_FALSE(reg.ValueExists("RootDir"));
  reg.WriteString("RootDir", "/home/me/korv");
  reg.CloseKey();
  EXPECT_EQ(ReadFileToString(TRegistry::FileName()), "[Software\\Korvane]\nRootDir=/home/me/korv\n");

  TRegistry again;
  EXPECT_TRUE(again.KeyExists("software"));  // a parent of a stored key exists
  ASSERT_TRUE(again.OpenKeyReadOnly("SOFTWARE\\korvane"));
  EXPECT_TRUE(again.ValueExists("rootdir"));
  EXPECT_EQ(again.ReadString("ROOTDIR"), "/home/me/korv");
  EXPECT_THROW(again.WriteString("RootDir", "x"), ERegistryException);
  // Relative to the open key.
  EXPECT_FALSE(again.KeyExists("Sub"));
  again.CloseKey();
  ASSERT_TRUE(again.OpenKey("Software", false));
  ASSERT_TRUE(again.OpenKey("Korvane", false));
  EXPECT_EQ(again.ReadString("RootDir"), "/home/me/korv");
  EXPECT_TRUE(again.DeleteValue("RootDir"));
  EXPECT_FALSE(again.ValueExists("RootDir"));
}

// The hive file is read as ini files are: a NUL byte hides nothing after it, and writing a
// value keeps every other section.
TEST_F(Registry, StrayBytesInTheFileLoseNothing) {
  using namespace std::string_literals;
  fs::create_directories(FDir / "korvane");
  WriteFileAtomic(TRegistry::FileName(),
                  "[Software\\Korvane]\nJunk=\0\nRootDir=/srv/korv\n\n[Software\\Other]\nv=1\n"s);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Korvane", false));
  EXPECT_EQ(reg.ReadString("RootDir"), "/srv/korv");
  reg.WriteString("RootDir", "/srv/new");
  EXPECT_EQ(ReadFileToString(TRegistry::FileName()),
            "[Software\\Korvane]\nJunk=\0\nRootDir=/srv/new\n\n[Software\\Other]\nv=1\n"s);
  EXPECT_THROW(reg.WriteString("RootDir", "/a\0b"s), ERegistryException);
}

TEST_F(Registry, OtherRootsHoldNothing) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Korvane", true));
  reg.WriteString("RootDir", "x");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_FALSE(reg.OpenKey("Software\\Korvane", false));
  EXPECT_FALSE(reg.OpenKey("Software\\Korvane", true));
  EXPECT_FALSE(reg.KeyExists("Software\\Korvane"));
}

TEST_F(Registry, FallsBackToHomeConfigAndReportsFailedWrites) {
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", FDir.c_str(), 1);
  EXPECT_EQ(TRegistry::FileName(), (FDir / ".config" / "korvane" / "registry.ini").string());
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(TRegistry::FileName(), (FDir / ".config" / "korvane" / "registry.ini").string());

  // The folder the file should live in is a plain file.
  WriteFileAtomic((FDir / "blocked").string(), "x");
  ::setenv("XDG_CONFIG_HOME", (FDir / "blocked").c_str(), 1);
  TRegistry reg;
  EXPECT_THROW(reg.OpenKey("Software\\Korvane", true), ERegistryException);
  EXPECT_EQ(ReadFileToString((FDir / "blocked").string()), "x");
}

}  // namespace
