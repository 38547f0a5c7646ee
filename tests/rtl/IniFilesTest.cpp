#include "rtl/IniFiles.h"

#include "rtl/Strings.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

using namespace rtl;
namespace fs = std::filesystem;

namespace {

class IniFile : public ::testing::Test {
protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("inifile-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir);
    FFile = (FDir / "korv.ini").string();
  }
  void TearDown() override {
    fs::permissions(FDir, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(FDir);
  }
  void Put(const String& text) { WriteFileAtomic(FFile, text); }
  std::vector<String> Lines(void (TIniFile::*read)(const String&, TStrings*) const, const String& section) {
    TStringList list;
    list.Add("stale");
    (TIniFile(FFile).*read)(section, &list);
    return list.ToVector();
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(FDir), fs::directory_iterator()));
  }

  fs::path FDir;
  String FFile;
};

TEST_F(IniFile, MissingFileReadsAsEmptyAndCreatingTouchesNothing) {
  TIniFile ini(FFile);
  EXPECT_EQ(ini.FileName(), FFile);
  EXPECT_EQ(ini.ReadString("S", "K", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("S", "K", 8), 8);
  EXPECT_TRUE(ini.ReadBool("S", "K", true));
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_FALSE(ini.ValueExists("S", "K"));
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(fs::exists(FFile));
  // Erasing what is not there writes nothing either.
  ini.EraseSection("S");
  ini.DeleteKey("S", "K");
  EXPECT_FALSE(fs::exists(FFile));
}

TEST_F(IniFile, WritesPlainUtf8AndReadsIgnoringCase) {
  TIniFile ini(FFile);
  ini.WriteString("TKVDatabase", "ServerType", "SQLite");
  ini.WriteInteger("RecentDatabases", "MaxCount", 3);
  ini.WriteBool("SQLEditor", "Enabled", false);
  ini.WriteString("TKVDatabase", "Wörter", "Grüße");
  EXPECT_EQ(
      ReadFileToString(FFile),
      "[TKVDatabase]\nServerType=SQLite\nWörter=Grüße\n\n[RecentDatabases]\nMaxCount=3\n\n[SQLEditor]\nEnabled=0\n");
  EXPECT_EQ(ini.ReadString("tkvdatabase", "SERVERTYPE", ""), "SQLite");
  EXPECT_EQ(ini.ReadString("TKVDATABASE", "wÖrter", ""), "Grüße");
  EXPECT_EQ(ini.ReadInteger("recentdatabases", "maxcount", 0), 3);
  EXPECT_FALSE(ini.ReadBool("SQLEditor", "Enabled", true));
  EXPECT_TRUE(ini.SectionExists("sqleditor"));
  EXPECT_TRUE(ini.ValueExists("SQLEDITOR", "enabled"));
  // Rewriting a key keeps its place and letter case of the first writing.
  ini.WriteString("tkvdatabase", "servertype", "PostgreSQL");
  EXPECT_EQ(Lines(&TIniFile::ReadSectionValues, "TKVDatabase"),
            (std::vector<String>{"ServerType=PostgreSQL", "Wörter=Grüße"}));
}

TEST_F(IniFile, ReadsNumbersAndFlagsAsThePlatformDoes) {
  Put("[S]\nDec=42\nHex=$1F\nHex2=0x10\nWord=false\nBlank=\nNeg=-3\nBig=99999999999\n");
  TIniFile ini(FFile);
  EXPECT_EQ(ini.ReadInteger("S", "Dec", 0), 42);
  EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "Hex2", 0), 16);
  EXPECT_EQ(ini.ReadInteger("S", "Word", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "Blank", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "Neg", 0), -3);
  EXPECT_EQ(ini.ReadInteger("S", "Big", 5), 5);
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));  // not an integer: the default
  EXPECT_TRUE(ini.ReadBool("S", "Dec", false));
}

TEST_F(IniFile, SectionsInFileOrderFirstValueWinsJunkAndBomAccepted) {
  Put("\xEF\xBB\xBF; a comment\n[Zeta]\nb=2\njunk line without equals\na=1\nb=3\n=novalue\n[alpha]\nx=1\n[Mid]\n");
  EXPECT_EQ(Lines(&TIniFile::ReadSection, "zeta"), (std::vector<String>{"b", "a"}));
  EXPECT_EQ(Lines(&TIniFile::ReadSectionValues, "ZETA"), (std::vector<String>{"b=2", "a=1"}));
  EXPECT_EQ(TIniFile(FFile).ReadString("Zeta", "b", ""), "2");
  TStringList sections;
  TIniFile(FFile).ReadSections(&sections);
  EXPECT_EQ(sections.ToVector(), (std::vector<String>{"Zeta", "alpha", "Mid"}));
  EXPECT_EQ(Lines(&TIniFile::ReadSection, "nosuch"), std::vector<String>{});

  // A write keeps the comment, drops no section and leaves no byte-order mark.
  TIniFile(FFile).WriteString("alpha", "y", "2");
  String text = ReadFileToString(FFile);
  EXPECT_EQ(text.substr(0, 12), "; a comment\n");
  TIniFile(FFile).WriteString("alpha", "y", "2");  // saving again changes nothing
  EXPECT_EQ(ReadFileToString(FFile), text);
  EXPECT_NE(text.find("[Mid]"), String::npos);
  EXPECT_EQ(Lines(&TIniFile::ReadSectionValues, "alpha"), (std::vector<String>{"x=1", "y=2"}));

  // Byte-order marks doubled at the start all go, so the next write does not change the file.
  Put("\xEF\xBB\xBF\xEF\xBB\xBF[A]\nk=1\n");
  TIniFile(FFile).WriteString("A", "k", "1");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=1\n");
}

TEST_F(IniFile, EraseSectionAndDeleteKey) {
  Put("[A]\nk=1\nm=2\n[B]\nk=3\n");
  TIniFile ini(FFile);
  ini.DeleteKey("a", "K");
  EXPECT_EQ(Lines(&TIniFile::ReadSection, "A"), (std::vector<String>{"m"}));
  ini.EraseSection("b");
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nm=2\n");
}

// A value or key that would break the file's lines is refused, and the file stays as it was.
TEST_F(IniFile, RefusesWhatTheFileCannotHold) {
  Put("[A]\nk=1\n");
  TIniFile ini(FFile);
  EXPECT_THROW(ini.WriteString("A", "k", "two\nlines=evil"), EIniFileException);
  EXPECT_THROW(ini.WriteString("A", "a=b", "x"), EIniFileException);
  EXPECT_THROW(ini.WriteString("A]", "k", "x"), EIniFileException);
  ini.WriteString("A", "", "dropped");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=1\n");
}

TEST_F(IniFile, FailedWritesLeaveTheOldFile) {
  Put("[A]\nk=1\n");
  // The target's folder is a plain file.
  String inFile = FFile + "/sub.ini";
  try {
    TIniFile(inFile).WriteString("A", "k", "2");
    FAIL();
  } catch (const EIniFileException& e) {
    EXPECT_NE(String(e.what()).find(inFile), String::npos) << e.what();
  }
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=1\n");

  // The disk refuses the bytes (a file size limit holds for root too).
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool thrown = false;
  try {
    TIniFile(FFile).WriteString("A", "k", String(100, 'x'));
  } catch (const EIniFileException& e) {
    thrown = true;
    EXPECT_NE(String(e.what()).find(FFile), String::npos) << e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(thrown);
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=1\n");
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind

  // A folder without write permission, where permissions apply.
  if (::geteuid() != 0) {
    fs::permissions(FDir, fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_THROW(TIniFile(FFile).WriteString("A", "k", "3"), EIniFileException);
    fs::permissions(FDir, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=1\n");
  }
}

// Whatever bytes the file holds, a write keeps every line it did not change.
TEST_F(IniFile, KeepsWhatItCannotReadAndWritesItBackUnchanged) {
  using namespace std::string_literals;
  // A NUL byte no longer ends the file: the section after it survives a write.
  Put("[Recent]\nx=\0y\nItem00=a\n\n[Keep]\nk=v\n"s);
  TIniFile(FFile).WriteString("Recent", "Item00", "b");
  EXPECT_EQ(ReadFileToString(FFile), "[Recent]\nx=\0y\nItem00=b\n\n[Keep]\nk=v\n"s);
  EXPECT_EQ(TIniFile(FFile).ReadString("Keep", "k", ""), "v");

  // A header without "]" is kept as it stands; the keys under it belong to no other section.
  const String broken = "[A]\na=1\n[Notes\ntext=keep me\nbare line\n";
  Put(broken);
  EXPECT_EQ(TIniFile(FFile).ReadString("A", "text", "none"), "none");
  TIniFile(FFile).WriteString("A", "b", "2");
  const String once = ReadFileToString(FFile);
  EXPECT_EQ(once, "[A]\na=1\nb=2\n[Notes\ntext=keep me\nbare line\n");
  TIniFile(FFile).WriteString("A", "b", "2");
  EXPECT_EQ(ReadFileToString(FFile), once);

  // Keys under an empty section name stay under it.
  Put("[A]\na=1\n[]\nk=under empty\n");
  TIniFile(FFile).WriteString("A", "b", "2");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\na=1\nb=2\n[]\nk=under empty\n");
  EXPECT_EQ(TIniFile(FFile).ReadString("", "k", ""), "under empty");
  EXPECT_EQ(TIniFile(FFile).ReadString("A", "k", "none"), "none");

  // Line ends and spacing of lines not written are kept (the written file uses line feeds).
  Put("[A]\r\n  spaced = out  \r\n; note\r\n");
  TIniFile(FFile).WriteString("A", "new", "1");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\n  spaced = out  \nnew=1\n; note\n");
  EXPECT_EQ(TIniFile(FFile).ReadString("a", "SPACED", ""), "out");

  // A run of CRs before the LF (a file converted twice) is one line end, so a rewrite is stable.
  Put("[A]\r\r\nk=1\r\r\n\r\r");
  TIniFile(FFile).WriteString("A", "k", "2");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=2\n");
  TIniFile(FFile).WriteString("A", "k", "2");
  EXPECT_EQ(ReadFileToString(FFile), "[A]\nk=2\n");
}

TEST_F(IniFile, NamesAreTrimmedAsTheyReadBackAndNulIsRefused) {
  using namespace std::string_literals;
  TIniFile ini(FFile);
  ini.WriteString(" Sec ", " key ", "1");
  ini.WriteString("Sec", "key", "2");
  EXPECT_EQ(ReadFileToString(FFile), "[Sec]\nkey=2\n");
  EXPECT_EQ(ini.ReadString("  sec", "KEY  ", ""), "2");
  ini.WriteString("Sec", "  ", "dropped");  // a blank key could never be read back
  EXPECT_EQ(ReadFileToString(FFile), "[Sec]\nkey=2\n");

  for (auto [section, key, value] : {std::tuple{"S\0x"s, "k"s, "v"s}, {"S"s, "k\0x"s, "v"s}, {"S"s, "k"s, "v\0x"s}}) {
    try {
      ini.WriteString(section, key, value);
      ADD_FAILURE() << "accepted a NUL";
    } catch (const EIniFileException& e) {
      EXPECT_NE(String(e.what()).find("NUL"), String::npos) << e.what();
    }
  }
  EXPECT_EQ(ReadFileToString(FFile), "[Sec]\nkey=2\n");
}

// A whole section rewritten keeps its place, the lines it does not own and the sections after it.
TEST_F(IniFile, WriteSectionReplacesTheKeysInPlace) {
  Put("[A]\na=1\n\n[R]\n; recent files\nItem00=x\nItem01=y\nstray\n\n[Z]\nz=1\n");
  TIniFile(FFile).WriteSection("R", {{"Item00", "p"}, {"MaxCount", "3"}, {"item00", "q"}});
  EXPECT_EQ(ReadFileToString(FFile), "[A]\na=1\n\n[R]\n; recent files\nItem00=q\nMaxCount=3\nstray\n\n[Z]\nz=1\n");
}

}  // namespace
