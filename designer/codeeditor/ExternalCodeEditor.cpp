#include "designer/CodeEditor.h"

#include "rtl/SysUtils.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace designer {

namespace {

// A folder of its own for the file being edited, removed with it on every path.
class TEditFolder {
public:
  TEditFolder() {
    String pattern = (std::filesystem::temp_directory_path() / "korv-edit-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
      throw ECodeEditorError(
          rtl::Format("Cannot make a temporary folder for the code editor: {}", std::strerror(errno)));
    FPath = pattern;
  }
  ~TEditFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TEditFolder(const TEditFolder&) = delete;
  TEditFolder& operator=(const TEditFolder&) = delete;
  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

// The module's name as a plain file name: no folders, no leading dot.
String EditFileName(const String& ModuleName) {
  String name = std::filesystem::path(ModuleName).filename().string();
  for (char& c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
  while (!name.empty() && name[0] == '.') name.erase(0, 1);
  if (name.empty()) return "module.txt";
  // A statement (SQL, ModifySQL ...) goes to the editor as a .sql file, which editors colour.
  const size_t dot = name.rfind('.');
  const String last = dot == String::npos ? name : name.substr(dot + 1);
  if (last.size() >= 3 && rtl::SameText(last.substr(last.size() - 3), "SQL") && last != "sql")
    name = rtl::SameText(last, "SQL") ? name.substr(0, dot + 1) + "sql" : name + ".sql";
  return name;
}

String Getenv(const char* Name) {
  const char* v = std::getenv(Name);
  return v ? String(v) : String();
}

// Keeps SIGINT and SIGQUIT away from the designer while the editor runs (the editor gets them
// from the terminal), as the shell's system() does.
class TIgnoreTerminalSignals {
public:
  TIgnoreTerminalSignals() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGINT, &ignore, &FInt);
    ::sigaction(SIGQUIT, &ignore, &FQuit);
  }
  ~TIgnoreTerminalSignals() {
    ::sigaction(SIGINT, &FInt, nullptr);
    ::sigaction(SIGQUIT, &FQuit, nullptr);
  }
  TIgnoreTerminalSignals(const TIgnoreTerminalSignals&) = delete;
  TIgnoreTerminalSignals& operator=(const TIgnoreTerminalSignals&) = delete;

private:
  struct sigaction FInt {
  }, FQuit{};
};

// Runs Command on File through the shell and waits; the file name goes in as "$1", so no
// character of it is read by the shell. Returns the wait status.
int RunEditor(const String& Command, const String& File) {
  String script = Command + " \"$1\"";
  const char* argv[] = {"/bin/sh", "-c", script.c_str(), "sh", File.c_str(), nullptr};

  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGQUIT);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

  TIgnoreTerminalSignals ignore;
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, "/bin/sh", nullptr, &attr, const_cast<char* const*>(argv), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0)
    throw ECodeEditorError(rtl::Format("Cannot start the code editor \"{}\": {}", Command, std::strerror(rc)));
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR)
      throw ECodeEditorError(rtl::Format("Lost the code editor \"{}\": {}", Command, std::strerror(errno)));
  return status;
}

}  // namespace

String TExternalCodeEditor::DefaultEditorCommand() {
  for (const char* name : {"VISUAL", "EDITOR"})
    if (String v = rtl::Trim(Getenv(name)); !v.empty()) return v;
  return "vi";
}

String TExternalCodeEditor::EditorCommand() const {
  return rtl::Trim(FCommand).empty() ? DefaultEditorCommand() : FCommand;
}

void TExternalCodeEditor::Show(TTextModule& Module) {
  const String command = EditorCommand();
  const String before = Module.Text();
  TEditFolder folder;
  const String file = (folder.Path() / EditFileName(Module.GetFileName())).string();
  try {
    rtl::WriteFileAtomic(file, before);
  } catch (const std::exception& e) {
    throw ECodeEditorError(rtl::Format("Cannot write {} for the code editor ({})", file, e.what()));
  }

  const int status = RunEditor(command, file);
  const String unchanged = rtl::Format("; {} is unchanged", Module.GetFileName());
  if (WIFSIGNALED(status))
    throw ECodeEditorError(
        rtl::Format("The code editor \"{}\" was ended by signal {}{}", command, WTERMSIG(status), unchanged));
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    throw ECodeEditorError(
        code == 127 ? rtl::Format("The code editor \"{}\" was not found{}", command, unchanged)
                    : rtl::Format("The code editor \"{}\" failed with exit status {}{}", command, code, unchanged));
  }

  String after;
  try {
    after = rtl::ReadFileToString(file);
  } catch (const std::exception& e) {
    throw ECodeEditorError(rtl::Format("Cannot read back what the code editor wrote ({}){}", e.what(), unchanged));
  }
  // Editors end the last line; that alone is no change.
  const bool sameButFinalBreak = !before.empty() && before.back() != '\n' && after == before + "\n";
  if (after == before || sameButFinalBreak) return;
  // What the editor wrote is saved at once: the property changes, and its module is modified.
  Module.ReplaceText(after);
  Module.Save(false, false);
}

}  // namespace designer
