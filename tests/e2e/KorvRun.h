// Runs the korv program as a user does, in a temporary folder of the test's own, with a
// per-user configuration folder of its own, and gives back what it printed and its exit code.
#pragma once

#include "SQLiteScript.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

struct TKorvResult {
  int Exit = -1;
  std::string Out;
  std::string Err;
};

inline std::ostream& operator<<(std::ostream& os, const TKorvResult& r) {
  return os << "exit " << r.Exit << "\n--- stdout\n" << r.Out << "--- stderr\n" << r.Err;
}

class TKorvTest : public ::testing::Test {
protected:
  // Runs korv with Args (each passed as one word) in the test's folder, Input on standard
  // input. ShellPrefix runs before it in the same shell (ulimit ...).
  TKorvResult Korv(const std::vector<std::string>& Args, const std::string& Input = {},
                   const std::string& ShellPrefix = {}) {
    Write("stdin.txt", Input);
    std::string cmd = "cd " + Quote(Temp.Path().string()) + " && " + ShellPrefix +
                      " env -u KORV_PACKAGE -u VISUAL -u EDITOR XDG_CONFIG_HOME=" + Quote(Temp.File("config")) + " " +
                      Quote(KORV_PROGRAM);
    for (const std::string& a : Args) cmd += " " + Quote(a);
    cmd += " <stdin.txt >stdout.txt 2>stderr.txt";
    int status = std::system(("bash -c " + Quote(cmd)).c_str());
    TKorvResult r;
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.Out = Read("stdout.txt");
    r.Err = Read("stderr.txt");
    return r;
  }

  // korv run on a script written from Text (as script.korv).
  TKorvResult RunScript(const std::string& Text, const std::vector<std::string>& Args = {}) {
    Write("script.korv", Text);
    std::vector<std::string> words{"run", "script.korv"};
    words.insert(words.end(), Args.begin(), Args.end());
    return Korv(words);
  }

  void Write(const std::string& Name, const std::string& Text) {
    std::ofstream(Temp.File(Name), std::ios::binary) << Text;
  }
  std::string Read(const std::string& Name) const {
    std::ifstream in(Temp.File(Name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string ReadSource(const std::string& Relative) {
    std::ifstream in(std::string(KORV_SOURCE_DIR) + "/" + Relative, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& Name) const { return std::filesystem::exists(Temp.Path() / Name); }
  // A file only its owner may read and write, as connection parameters with a password are kept.
  void WritePrivate(const std::string& Name, const std::string& Text) {
    Write(Name, Text);
    std::filesystem::permissions(Temp.File(Name),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  // The example module Source written as Name with its database's line RemoteLine pointed at
  // Address and at the parameters file Params.
  void WritePointedExample(const std::string& Source, const std::string& Name, const std::string& RemoteLine,
                           const std::string& Address, const std::string& Params) {
    std::string module = ReadSource(Source);
    const std::size_t at = module.find(RemoteLine);
    ASSERT_NE(at, std::string::npos) << RemoteLine;
    module.replace(at, RemoteLine.size(),
                   "    RemoteDatabase = '" + Address + "'\n    ParamsFileName = '" + Params + "'\n");
    Write(Name, module);
  }

  // The example: Shop.dfm, and shop.db built from shop.sql, in the test's folder.
  void CopyExample() {
    Write("Shop.dfm", ReadSource("examples/Shop.dfm"));
    BuildDatabase("shop.db", ReadSource("examples/shop.sql"));
  }
  void BuildDatabase(const std::string& Name, const std::string& Sql) {
    ASSERT_EQ(korvtest::RunSQLiteScript(Temp.File(Name), Sql), "");
  }

  static std::string Quote(const std::string& S) {
    std::string r = "'";
    for (char c : S) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
  }

  TTempFolder Temp;
};
