// The version resource: embedded here with the macro, read back from this very program's file.
#include "TempFolder.h"

#include "korv/KVCommon.h"
#include "korv/VersionInfo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

KORV_VERSION_RESOURCE("Korvane Test", "9.8.7");

namespace {

std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(VersionInfo, ModuleFileNameOfProgramAndLibrary) {
  const auto self = korv::GetModuleFileNameStr(reinterpret_cast<const void*>(&ReadAll));
  EXPECT_EQ(self, std::filesystem::canonical("/proc/self/exe").string());
  const auto library = korv::GetModuleFileNameStr(reinterpret_cast<const void*>(&korv::QuoteIdentifier));
  EXPECT_EQ(std::filesystem::path(library).filename(), "libKorv200.so");
  EXPECT_EQ(korv::GetModuleFileNameStr(nullptr), "");
}

TEST(VersionInfo, ReadsProductNameAndVersionFromTheSection) {
  std::string name = "Korvane", version;
  korv::ReadFileVersInfo(korv::GetModuleFileNameStr(reinterpret_cast<const void*>(&ReadAll)), name, version);
  EXPECT_EQ(name, "Korvane Test");
  EXPECT_EQ(version, "9.8.7");
}

TEST(VersionInfo, MissingSectionFileOrKeyLeavesTextsAsTheyWere) {
  TTempFolder folder;
  std::string name = "Korvane", version = "none";
  // A file of the library has no version section.
  korv::ReadFileVersInfo(korv::GetModuleFileNameStr(reinterpret_cast<const void*>(&korv::QuoteIdentifier)), name,
                         version);
  EXPECT_EQ(name + "|" + version, "Korvane|none");

  std::ofstream(folder.File("plain.txt")) << "ProductName=Fake\nProductVersion=1\n";
  korv::ReadFileVersInfo(folder.File("plain.txt"), name, version);
  korv::ReadFileVersInfo(folder.File("missing"), name, version);
  EXPECT_EQ(name + "|" + version, "Korvane|none");

  // This program with its version key renamed: the name is read, the version stays.
  auto image = ReadAll(korv::GetModuleFileNameStr(reinterpret_cast<const void*>(&ReadAll)));
  // Built at run time, so that the search text itself is not found in the program's constants.
  const auto at = image.find(std::string("\nProductVersion=") + std::to_string(9) + ".8.7\n");
  ASSERT_NE(at, std::string::npos);
  image.replace(at + 1, 14, "ProductXersion");
  std::ofstream(folder.File("copy"), std::ios::binary) << image;
  korv::ReadFileVersInfo(folder.File("copy"), name, version);
  EXPECT_EQ(name + "|" + version, "Korvane Test|none");
}
