// korv design at a terminal: a pseudo-terminal stands in for the developer's, keys are typed
// into it as a person types them, and signals come as a desktop sends them.
#include "KorvRun.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>

namespace {

// korv running on a pseudo-terminal in a folder, with the environment the other tests give it.
class TKorvTerminal {
public:
  TKorvTerminal(const std::string& Folder, const std::vector<std::string>& Args) {
    FPid = forkpty(&FTerminal, nullptr, nullptr, nullptr);
    if (FPid == 0) {
      if (chdir(Folder.c_str()) != 0) _exit(126);
      unsetenv("KORV_PACKAGE");
      unsetenv("VISUAL");
      unsetenv("EDITOR");
      setenv("XDG_CONFIG_HOME", (Folder + "/config").c_str(), 1);
      setenv("TERM", "dumb", 1);
      std::vector<char*> argv{const_cast<char*>(KORV_PROGRAM)};
      for (const std::string& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(KORV_PROGRAM, argv.data());
      _exit(127);
    }
  }
  ~TKorvTerminal() {
    if (FPid > 0) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    if (FTerminal >= 0) close(FTerminal);
  }

  // Reads what korv writes until Text has come after what was waited for before; false when it
  // has not come within ten seconds.
  bool WaitFor(const std::string& Text) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Output.find(Text, FSeen) == std::string::npos) {
      if (std::chrono::steady_clock::now() > end || !ReadSome(100)) return false;
    }
    FSeen = Output.find(Text, FSeen) + Text.size();
    return true;
  }
  // Waits for Prompt, and a moment more: readline puts the terminal in its own mode just after
  // the prompt, and a Ctrl-C or Ctrl-D typed before that is the terminal's, not korv's.
  bool Prompted(const std::string& Prompt = "korv> ") {
    const bool came = WaitFor(Prompt);
    usleep(300 * 1000);
    return came;
  }
  void Type(const std::string& Keys) { ASSERT_EQ(write(FTerminal, Keys.data(), Keys.size()), ssize_t(Keys.size())); }
  void Signal(int Number) { kill(FPid, Number); }
  // Its exit code (128 + the signal that ended it), reading what it still writes.
  int Exit() {
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(FPid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) {
        ADD_FAILURE() << "korv did not end";
        kill(FPid, SIGKILL);
      }
      ReadSome(100);
    }
    while (ReadSome(0)) {
    }
    FPid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::string Output;

private:
  bool ReadSome(int Milliseconds) {
    pollfd p{FTerminal, POLLIN, 0};
    if (poll(&p, 1, Milliseconds) <= 0) return Milliseconds > 0;
    char buffer[4096];
    const ssize_t n = read(FTerminal, buffer, sizeof buffer);
    if (n <= 0) return false;
    Output.append(buffer, static_cast<size_t>(n));
    return true;
  }

  int FTerminal = -1;
  pid_t FPid = -1;
  size_t FSeen = 0;
};

class TerminalTest : public TKorvTest {};

}  // namespace

TEST_F(TerminalTest, CtrlCCancelsTheLineAndCtrlDAsksOnceBeforeDroppingChanges) {
  CopyExample();
  TKorvTerminal korv(Temp.Path().string(), {"design", "Shop.dfm"});
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("tre");
  korv.Type("\x03");  // the line goes, korv stays
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("echo still here\r");
  ASSERT_TRUE(korv.WaitFor("still here\r\n")) << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("add TKVSession\r");
  ASSERT_TRUE(korv.WaitFor("KVSession1\r\n")) << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("\x04");
  ASSERT_TRUE(
      korv.WaitFor("ShopModule has unsaved changes: save it, or quit --discard (Ctrl-D again quits and "
                   "drops them)"))
      << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("\x04");
  EXPECT_EQ(korv.Exit(), 0) << korv.Output;
  EXPECT_NE(korv.Output.find("the unsaved changes to ShopModule are dropped"), std::string::npos) << korv.Output;
  EXPECT_EQ(korv.Output.find("tre\r\n"), korv.Output.find("tre"));  // nothing ran of the cancelled line
  EXPECT_EQ(Read("Shop.dfm"), ReadSource("examples/Shop.dfm"));
}

TEST_F(TerminalTest, CtrlDInADialogEscapes) {
  CopyExample();
  TKorvTerminal korv(Temp.Path().string(), {"design", "Shop.dfm"});
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("select CustomersUpdate\r");
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("dblclick\r");
  ASSERT_TRUE(korv.Prompted("dialog> ")) << korv.Output;
  korv.Type("\x04");
  ASSERT_TRUE(korv.WaitFor("Closed KVUpdateSQLEditForm: Cancel")) << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("quit\r");
  EXPECT_EQ(korv.Exit(), 0) << korv.Output;
}

TEST_F(TerminalTest, TabCompletesCommandsNamesPropertiesAndValues) {
  CopyExample();
  TKorvTerminal korv(Temp.Path().string(), {"design", "Shop.dfm"});
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("selec\tShopD\t\r");  // a command, then a component
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("get remoted\t\r");  // a property of the selection, letter case ignored
  ASSERT_TRUE(korv.WaitFor("shop.db\r\n")) << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("set ServerType stP\t\r");  // a value of the property
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("get ServerType\r");
  ASSERT_TRUE(korv.WaitFor("stPostgreSQL\r\n")) << korv.Output;
  ASSERT_TRUE(korv.Prompted()) << korv.Output;
  korv.Type("quit --discard\r");
  EXPECT_EQ(korv.Exit(), 0) << korv.Output;
}

TEST_F(TerminalTest, ATerminatingSignalKeepsUnsavedWorkInARecoveryCopyThatOpeningOffers) {
  CopyExample();
  {
    TKorvTerminal korv(Temp.Path().string(), {"design", "Shop.dfm"});
    ASSERT_TRUE(korv.Prompted()) << korv.Output;
    korv.Type("add TKVSession Kept\r");
    ASSERT_TRUE(korv.Prompted()) << korv.Output;
    korv.Signal(SIGTERM);
    EXPECT_EQ(korv.Exit(), 128 + SIGTERM) << korv.Output;
    EXPECT_NE(korv.Output.find("korv: stopped by SIGTERM: the unsaved changes to ShopModule are kept in "
                               "Shop.dfm.recover; open the module again to take them back"),
              std::string::npos)
        << korv.Output;
  }
  EXPECT_EQ(Read("Shop.dfm"), ReadSource("examples/Shop.dfm"));  // the module's file is untouched
  EXPECT_NE(Read("Shop.dfm.recover").find("  object Kept: TKVSession\n"), std::string::npos);

  // Declined, the file opens as saved; taken, the kept changes come back, still to be saved.
  TKorvResult r = RunScript("answer no\nopen Shop.dfm\nselect Kept\n");
  EXPECT_EQ(r.Exit, 1) << r;
  r = RunScript("answer yes\nopen Shop.dfm\nselect Kept\nsave\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_NE(r.Out.find("Shop.dfm.recover, kept when korv was stopped with unsaved changes, is newer than Shop.dfm."),
            std::string::npos)
      << r;
  EXPECT_NE(Read("Shop.dfm").find("  object Kept: TKVSession\n"), std::string::npos);
  // Saved, the module is newer than the copy, which is not offered again.
  r = RunScript("open Shop.dfm\nselect Kept\n");
  EXPECT_EQ(r.Exit, 0) << r;
}
