#include "KorvRun.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// What a careless or hostile user hands korv: files that are no files, saves that cannot be
// made, words that are huge or hold escape sequences. Each gives one clear line and loses
// nothing.
class HostileInputTest : public TKorvTest {
protected:
  // Everything in the test's folder whose name starts with Prefix.
  std::vector<std::string> Starting(const std::string& Prefix) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(Temp.Path()))
      if (e.path().filename().string().rfind(Prefix, 0) == 0) names.push_back(e.path().filename().string());
    return names;
  }
};

const char* const kChangeAndSave = "open Shop.dfm\nselect Parts\nset Tag 3\nsave\n";

}  // namespace

TEST_F(HostileInputTest, SavesThatCannotBeMadeSaySoAndLeaveTheOldFile) {
  CopyExample();
  const std::string before = Read("Shop.dfm");
  // A file size limit, with the signal it raises left as it is.
  Write("script.korv", kChangeAndSave);
  TKorvResult r = Korv({"run", "script.korv"}, {}, "ulimit -f 1;");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:4: Cannot write file \"Shop.dfm\": File too large\n");
  EXPECT_EQ(Read("Shop.dfm"), before);
  EXPECT_EQ(Starting(".Shop.dfm"), std::vector<std::string>{});

  // A read-only module is not replaced.
  ::chmod(Temp.File("Shop.dfm").c_str(), 0444);
  r = Korv({"run", "script.korv"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:4: Cannot write file \"Shop.dfm\": the file is read-only\n");
  EXPECT_EQ(Read("Shop.dfm"), before);
  ::chmod(Temp.File("Shop.dfm").c_str(), 0644);

  fs::create_directory(Temp.Path() / "adir");
  r = RunScript("open Shop.dfm\nsave adir/\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:2: Cannot write file \"adir/\": it is a folder\n");
}

TEST_F(HostileInputTest, SavingThroughASymbolicLinkUpdatesItsTarget) {
  CopyExample();
  fs::create_directory(Temp.Path() / "real");
  fs::rename(Temp.Path() / "Shop.dfm", Temp.Path() / "real" / "Shop.dfm");
  fs::create_symlink("real/Shop.dfm", Temp.Path() / "Shop.dfm");
  TKorvResult r = RunScript(kChangeAndSave);
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_TRUE(fs::is_symlink(Temp.Path() / "Shop.dfm"));
  EXPECT_NE(Read("real/Shop.dfm").find("Tag = 3"), std::string::npos);
}

TEST_F(HostileInputTest, FilesThatAreNoRegularFilesAreRefused) {
  CopyExample();
  TKorvResult r = RunScript("open /dev/zero\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:1: Cannot open /dev/zero: it is not a regular file\n");
  r = Korv({"run", "/dev/urandom"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: Cannot open /dev/urandom: it is not a regular file\n");
  // A pipe nobody writes to would block for ever.
  ASSERT_EQ(::mkfifo(Temp.File("pipe.dfm").c_str(), 0600), 0);
  r = Korv({"tree", "pipe.dfm"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: Cannot open pipe.dfm: it is not a regular file\n");
}

TEST_F(HostileInputTest, EchoedWordsAreQuotedShortenedAndEscaped) {
  CopyExample();
  TKorvResult r = RunScript(std::string(1000000, 'x') + "\n");
  EXPECT_EQ(r.Exit, 1);
  EXPECT_EQ(r.Err, "script.korv:1: Unknown command \"" + std::string(200, 'x') + "\"... (help lists the commands)\n");
  r = RunScript("frob\x1b[2J\x07\n");
  EXPECT_EQ(r.Err, "script.korv:1: Unknown command \"frob\\x1b[2J\\x07\" (help lists the commands)\n");
  r = RunScript("open Shop.dfm\nselect \"\x1b]0;title\x07\"\n");
  EXPECT_EQ(r.Err, "script.korv:2: No component named \\x1b]0;title\\x07 in ShopModule\n");
  // At the prompt too.
  r = Korv({"design"}, "frob\x1b[2J\nquit\n");
  EXPECT_NE(r.Out.find("Error: Unknown command \"frob\\x1b[2J\" (help lists the commands)\n"), std::string::npos) << r;
  EXPECT_EQ(r.Out.find("Error: Unknown command \"frob\x1b"), std::string::npos);
}

TEST_F(HostileInputTest, RootDirNamesAreCheckedBeforeAnythingIsMade) {
  TKorvResult r = Korv({"config", "root-dir", "two\nlines"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err,
            "korv: Cannot use \"two\\nlines\": a folder name with a line break or another control character cannot "
            "be recorded\n");
  EXPECT_EQ(Starting("two"), std::vector<std::string>{});
  r = Korv({"config", "root-dir", ""});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: config root-dir needs a folder name\n");
  r = Korv({"config", "root-dir", "trailing "});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(Starting("trailing"), std::vector<std::string>{});
  EXPECT_FALSE(Exists("config/korvane/registry.ini"));
}

// A statement entry that holds a line break of its own prints as two lines, without the CR.
TEST_F(HostileInputTest, PrintShowsAnEntrysLinesAsLines) {
  CopyExample();
  TKorvResult r = RunScript(
      "open Shop.dfm\nselect CustomersUpdate\ndblclick\ntype cbTableName CUSTOMER\nclick btGetTableFields\n"
      "click btSelectPrimKeys\nclick btGenerateSQL\nclick btOk\necho ==\nprint CustomersUpdate.RefreshSQL\n");
  ASSERT_EQ(r.Exit, 0) << r;
  const std::string printed = r.Out.substr(r.Out.find("==\n") + 3);
  EXPECT_EQ(printed,
            "select CUST_NO, NAME, CITY, TEL as PHONE, \"E-MAIL\"\nfrom CUSTOMER\nwhere\n  CUST_NO = :OLD_CUST_NO\n");
}
