#include "Runners.h"

#include "CommandLine.h"
#include "DataCommands.h"
#include "DesignSession.h"
#include "LineInput.h"
#include "ScriptUI.h"

#include "designer/CodeEditor.h"
#include "designer/HostDialogs.h"
#include "korv/KVConsts.h"
#include "korv/KVLoginDialog.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/FormBinary.h"
#include "rtl/FormPrinter.h"
#include "rtl/IniFiles.h"
#include "rtl/Registry.h"
#include "rtl/SysUtils.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace designer {

namespace {

namespace fs = std::filesystem;

// The designer as korv runs it: its own dialogs installed, the package loaded.
struct THost {
  explicit THost(const TKorvOptions& Options) : Dialogs(InstallHostDialogs()), Session(std::cout, std::cerr) {
    Session.Loader().LoadPackage(Options.PackageFile);
  }
  std::unique_ptr<THostDialogsInstallation> Dialogs;
  TDesignSession Session;
};

// An exception's message; a message of several lines keeps its first on the error line and
// the rest (a dialog's state, say) below it.
String MessageOf(const std::exception& E) {
  String m = EscapeMessage(E.what());
  while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
  const size_t nl = m.find('\n');
  if (nl == String::npos) return m;
  String r = m.substr(0, nl);
  size_t start = nl + 1;
  while (start <= m.size()) {
    size_t end = m.find('\n', start);
    r += "\n  " + m.substr(start, end == String::npos ? String::npos : end - start);
    if (end == String::npos) break;
    start = end + 1;
  }
  return r;
}

// A command's failure: what it printed so far, then one "korv: " line on standard error, and
// exit status 1.
int ReportFailure(const std::exception& E) {
  std::cout << std::flush;
  std::cerr << "korv: " << MessageOf(E) << '\n';
  return 1;
}

// A script's lines, read one after another by the runner and, while a dialog is open, by the
// user interface. $1, $2 ... (or ${10}) stand for the script's arguments, $0 for its name.
class TScriptSource {
public:
  TScriptSource(String Name, std::vector<String> Lines, std::vector<String> Args)
      : FName(std::move(Name)), FLines(std::move(Lines)), FArgs(std::move(Args)) {}

  // The next line, as written; false at the end.
  bool Next(String& Line) {
    if (FNext >= FLines.size()) return false;
    FCurrent = static_cast<int>(FNext) + 1;
    Line = FLines[FNext++];
    return true;
  }
  int CurrentLine() const { return FCurrent; }
  const String& Name() const { return FName; }

  String Substitute(const String& Text) const {
    String r;
    for (size_t i = 0; i < Text.size(); ++i) {
      if (Text[i] == '$' && i + 1 < Text.size()) {
        if (std::isdigit(static_cast<unsigned char>(Text[i + 1]))) {
          r += Argument(Text[i + 1] - '0');
          ++i;
          continue;
        }
        const size_t close = Text.find('}', i + 2);
        if (Text[i + 1] == '{' && close != String::npos && close > i + 2 &&
            Text.find_first_not_of("0123456789", i + 2) == close) {
          r += Argument(std::stoi(Text.substr(i + 2, close - i - 2)));
          i = close;
          continue;
        }
      }
      r += Text[i];
    }
    return r;
  }

private:
  const String& Argument(int N) const {
    if (N == 0) return FName;
    if (static_cast<size_t>(N) <= FArgs.size()) return FArgs[static_cast<size_t>(N) - 1];
    throw ECommandError("The script uses $" + std::to_string(N) + " but was given " + std::to_string(FArgs.size()) +
                        " argument" + (FArgs.size() == 1 ? "" : "s"));
  }

  String FName;
  std::vector<String> FLines;
  std::vector<String> FArgs;
  size_t FNext = 0;
  int FCurrent = 0;
};

std::vector<String> ReadLines(const String& FileName) {
  std::error_code ec;
  if (!fs::exists(FileName, ec)) throw rtl::EFOpenError("Cannot open " + FileName + ": no such file");
  if (fs::is_directory(FileName, ec)) throw rtl::EFOpenError("Cannot open " + FileName + ": it is a folder");
  const String text = ReadInputFile(FileName);
  std::vector<String> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    String line = text.substr(start, end == String::npos ? String::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == String::npos) break;
    start = end + 1;
  }
  return lines;
}

std::vector<String> SplitList(const String& Text) {
  std::vector<String> items;
  size_t start = 0;
  for (;;) {
    size_t comma = Text.find(',', start);
    String item = rtl::Trim(Text.substr(start, comma == String::npos ? String::npos : comma - start));
    if (!item.empty()) items.push_back(item);
    if (comma == String::npos) break;
    start = comma + 1;
  }
  return items;
}

String WithoutMnemonics(String Caption) {
  std::erase(Caption, '&');
  return Caption;
}

// A word for a gesture command line.
String GestureWord(const String& Word) {
  String r = "\"";
  for (char c : Word) {
    if (c == '"' || c == '\\') r += '\\';
    r += c;
  }
  return r + "\"";
}

// korv updatesql drives the editor with the gestures its options stand for. A dialog or message
// box that no option answers stops the command with what it asks, in the user's terms.
RTL_DECLARE_EXCEPTION(EUnansweredMessage, ECommandError)

class TUpdateSQLUserInterface : public TRunUserInterface {
public:
  using TRunUserInterface::TRunUserInterface;

  void ShowModal(vcl::TForm* Form) override {
    if (auto* login = dynamic_cast<korv::TKVLoginDlg*>(Form)) {
      String database = login->lblDatabase ? login->lblDatabase->Caption() : String();
      if (database.rfind("Database: ", 0) == 0) database.erase(0, 10);
      throw ECommandError("connecting " + database +
                          " needs a password: put PASSWORD in its Params or ParamsFileName, or answer the "
                          "login dialog in korv design");
    }
    TRunUserInterface::ShowModal(Form);
  }
  int MessageDlg(const String& Msg, vcl::TMsgDlgType, vcl::TMsgDlgButtons, int) override {
    throw EUnansweredMessage(MessageText(Msg));
  }
};

}  // namespace

// ---------------------------------------------------------------------------- run

int RunScript(const TKorvOptions& Options, const String& Script, const std::vector<String>& Args) {
  std::vector<String> lines;
  try {
    lines = ReadLines(Script);
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
  TScriptSource source(Script, std::move(lines), Args);
  auto fail = [&](const String& Message) {
    std::cout << std::flush;
    std::cerr << source.Name() << ':' << source.CurrentLine() << ": " << Message << '\n';
    return 1;
  };
  try {
    THost host(Options);
    TDesignSession& session = host.Session;
    TRunUserInterface ui(
        session.Answers(),
        [&](String& line) {
          if (!source.Next(line)) return false;
          line = source.Substitute(line);
          return true;
        },
        std::cout);
    vcl::TUserInterfaceScope scope(&ui);
    session.SetUserInterface(&ui);
    // A text module shown in the code editor is recorded; "module" lines work on it.
    InstallCodeEditor(session.Services(), TCodeEditorKind::ckScripted);
    try {
      String line;
      while (source.Next(line)) {
        std::vector<String> words = SplitScriptLine(line);
        for (String& w : words) w = source.Substitute(w);
        session.Execute(words, source.Substitute(line));
      }
    } catch (const std::exception& e) {
      return fail(MessageOf(e));
    } catch (...) {
      return fail("an error of unknown kind");
    }
    if (!session.Answers().Empty())
      std::cerr << "korv: warning: " << session.Answers().Count() << " queued answer"
                << (session.Answers().Count() == 1 ? " was" : "s were") << " never asked for\n";
    std::cout << std::flush;
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

// ---------------------------------------------------------------------------- design

int RunDesign(const TKorvOptions& Options, const std::optional<String>& File) {
  const bool interactive = ::isatty(STDIN_FILENO) != 0;
  TTerminationSignals signals(interactive);  // a SIGTERM or SIGHUP ends the prompt with the work kept
  THost host(Options);
  TDesignSession& session = host.Session;
  TLineInput input(std::cin, std::cout, interactive);
  TDesignUserInterface ui(session.Answers(), input, std::cout);
  vcl::TUserInterfaceScope scope(&ui);
  session.SetUserInterface(&ui);
  // At a terminal a text module opens in the developer's editor ($VISUAL, $EDITOR); piped
  // input edits it with "module type".
  InstallCodeEditor(session.Services(), interactive ? TCodeEditorKind::ckExternal : TCodeEditorKind::ckScripted);
  // Stopped by a signal: unsaved work goes to the recovery copy, never over the module's file.
  auto stopped = [&]() {
    const int signal = TerminatingSignal();
    const char* by = signal == SIGHUP ? "stopped by SIGHUP" : "stopped by SIGTERM";
    std::cout << std::flush;
    if (session.HasUnsavedChanges()) {
      const String name = session.Module()->GetRoot()->Name();
      try {
        const String copy = session.SaveRecoveryCopy();
        std::cerr << "korv: " << by << ": the unsaved changes to " << name << " are kept in " << copy
                  << "; open the module again to take them back\n";
      } catch (const std::exception& e) {
        std::cerr << "korv: " << by << ": the unsaved changes to " << name << " are lost: " << MessageOf(e) << '\n';
      }
    }
    return 128 + signal;
  };
  if (File) {
    try {
      session.OpenModule(*File);
    } catch (const std::exception& e) {
      return ReportFailure(e);
    }
  }
  if (interactive) std::cout << "korv " KORV_VERSION " designer: type help for the commands, quit to leave\n";
  String line;
  bool warnedOfEnd = false;  // Ctrl-D once with unsaved changes: a second one right after quits
  const TLineInput::TCompleter complete = [&session](const String& Before) { return session.Completions(Before); };
  for (;;) {
    if (!input.ReadLine("korv> ", line, &complete)) {
      if (TerminatingSignal()) return stopped();
      if (interactive && session.HasUnsavedChanges() && !warnedOfEnd) {
        warnedOfEnd = true;
        std::cout << session.Module()->GetRoot()->Name()
                  << " has unsaved changes: save it, or quit --discard (Ctrl-D again quits and drops them)\n";
        continue;
      }
      break;
    }
    warnedOfEnd = false;
    try {
      std::vector<String> words = SplitScriptLine(line);
      if (words.empty()) continue;
      const String verb = rtl::LowerCase(words[0]);
      if (verb == "quit" || verb == "exit") {
        const bool discard = words.size() == 2 && words[1] == "--discard";
        if (words.size() > 2 || (words.size() == 2 && !discard)) throw ECommandError("Usage: quit [--discard]");
        if (!discard && session.HasUnsavedChanges())
          throw ECommandError(session.Module()->GetRoot()->Name() + " has unsaved changes: save it, or quit --discard");
        return 0;
      }
      session.Execute(words, line);
    } catch (const vcl::EUserInterfaceError& e) {
      if (TerminatingSignal()) return stopped();
      return ReportFailure(e);  // the input ended while a dialog or message box waited
    } catch (const std::exception& e) {
      std::cout << "Error: " << MessageOf(e) << '\n';
    } catch (...) {
      std::cout << "Error: an error of unknown kind\n";
    }
    if (TerminatingSignal()) return stopped();
  }
  if (session.HasUnsavedChanges())
    std::cerr << "korv: warning: the unsaved changes to " << session.Module()->GetRoot()->Name() << " are dropped\n";
  return 0;
}

// ---------------------------------------------------------------------------- reports

int RunReport(const TKorvOptions& Options, TReport Report, const String& File, bool Json) {
  try {
    THost host(Options);
    vcl::TScriptedUserInterface ui;  // a module whose databases reconnect may ask nothing
    vcl::TUserInterfaceScope scope(&ui);
    switch (Report) {
    case TReport::rTree:
      host.Session.OpenModule(File);
      host.Session.PrintTree(Json);
      break;
    case TReport::rPalette: host.Session.PrintPalette(Json); break;
    case TReport::rPackages: host.Session.PrintPackages(Json); break;
    }
    std::cout << std::flush;
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

// ---------------------------------------------------------------------------- updatesql

int RunUpdateSQL(const TKorvOptions& Options, const TUpdateSQLOptions& U) {
  // The gestures a developer makes in the UpdateSQL editor, each with the option it stands for
  // and the control it works, as the editor names it.
  struct TGesture {
    String Line, Option, Control;
  };
  std::vector<TGesture> gestures;
  if (U.Table) gestures.push_back({"type cbTableName " + GestureWord(*U.Table), "--table", "Table Name"});
  if (U.TableFields) gestures.push_back({"click btGetTableFields", "--table-fields", "Get Table Fields"});
  if (U.PrimaryKeys) gestures.push_back({"click btSelectPrimKeys", "--primary-keys", "Select Primary Keys"});
  auto pick = [&](const char* list, const String& items, const char* option, const char* control) {
    String line = String("pick ") + list;
    for (const String& item : SplitList(items)) line += " " + GestureWord(item);
    gestures.push_back({line, option, control});
  };
  if (U.Keys) pick("lbKeyFields", *U.Keys, "--keys", "Key Fields");
  if (U.Fields) pick("lbUpdateFields", *U.Fields, "--fields", "Update Fields");
  if (U.Quote) gestures.push_back({"check cbQuotedFields on", "--quote", "Quote Field Names"});
  gestures.push_back({"click btGenerateSQL", "Generate SQL", "Generate SQL"});
  gestures.push_back({"click btOk", "OK", "OK"});
  size_t next = 0;

  try {
    THost host(Options);
    TDesignSession& session = host.Session;
    std::ostringstream boxes;  // the editor's message boxes: a failure names them itself
    TUpdateSQLUserInterface ui(
        session.Answers(),
        [&](String& line) {
          if (next >= gestures.size()) return false;
          line = gestures[next++].Line;
          return true;
        },
        boxes);
    vcl::TUserInterfaceScope scope(&ui);
    session.SetUserInterface(&ui);
    session.OpenModule(U.File);
    rtl::TComponent* component = session.ComponentNamed(U.UpdateObject);
    auto* update = dynamic_cast<korv::TKVUpdateSQL*>(component);
    if (!update)
      throw ECommandError(U.UpdateObject + " is a " + component->ClassName() + ", not an update object (TKVUpdateSQL)");
    // Checking the statements as they stand needs no editor; with generation options they are
    // generated first (and not saved).
    if (U.Check && gestures.size() == 2) {
      next = gestures.size() + 1;
      const bool ok = PrintStatementChecks(std::cout, update, U.Try, U.Json);
      std::cout << std::flush;
      return ok ? 0 : 1;
    }

    // The component editor's verb that opens the editor, as the context menu offers it.
    TOpenModule& module = *session.Module();
    auto editor = module.GetComponentEditor(update);
    int verb = -1;
    for (int i = 0; i < editor->GetVerbCount() && verb < 0; ++i)
      if (editor->GetVerb(i) == korv::SUpdateSQLEditor) verb = i;
    if (verb < 0)
      throw ECommandError("The component editor of " + U.UpdateObject + " offers no \"" +
                          WithoutMnemonics(korv::SUpdateSQLEditor) + "\" verb");
    editor->ExecuteVerb(verb);
    if (next == 0) throw ECommandError("The UpdateSQL editor of " + U.UpdateObject + " did not open");
    next = gestures.size();

    if (U.Check) {
      next = gestures.size() + 1;  // the editor closed: a failure from here on is the check's
      const bool ok = PrintStatementChecks(std::cout, update, U.Try, U.Json);
      std::cout << std::flush;
      return ok ? 0 : 1;
    }
    if (U.DryRun) {
      static const char* const names[] = {"RefreshSQL", "ModifySQL", "InsertSQL", "DeleteSQL"};
      nlohmann::ordered_json j;
      for (int i = 0; i < 4; ++i) {
        rtl::TStrings* sql = update->GetSQLIndex(i);
        if (U.Json) {
          j[names[i]] = sql->Text();
          continue;
        }
        std::cout << (i ? "\n" : "") << "-- " << names[i] << '\n' << TerminalLines(*sql);
      }
      if (U.Json) std::cout << j.dump(2) << '\n';
    } else {
      module.Save();
      std::cout << "Saved " << U.File << '\n';
    }
    std::cout << std::flush;
    return 0;
  } catch (const std::exception& e) {
    std::cout << std::flush;
    // A gesture that failed names the option it stands for; a message box, the control too.
    const bool inEditor = next > 0 && next <= gestures.size();
    String where = inEditor ? "updatesql " + gestures[next - 1].Option + ": " : String();
    if (inEditor && dynamic_cast<const EUnansweredMessage*>(&e)) where += gestures[next - 1].Control + ": ";
    std::cerr << "korv: " << where << MessageOf(e) << '\n';
    return 1;
  }
}

// ---------------------------------------------------------------------------- data

int RunData(const TKorvOptions& Options, const String& File, const String& Component, int Limit, bool Json) {
  try {
    THost host(Options);
    vcl::TScriptedUserInterface ui;
    vcl::TUserInterfaceScope scope(&ui);
    host.Session.OpenModule(File);
    PrintData(std::cout, host.Session.ComponentNamed(Component), Limit, Json);
    std::cout << std::flush;
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

// ---------------------------------------------------------------------------- gui

int RunGui(const TKorvOptions& Options, const std::vector<String>& Args) {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  const fs::path program = (ec ? fs::path() : self.parent_path()) / "korv-gui";
  if (!fs::exists(program, ec)) {
    std::cerr << "korv: the graphical designer is not built: no " << program.string()
              << " (configure with -DKORV_BUILD_GUI=ON and Qt 6 installed)\n";
    return 1;
  }
  std::vector<String> args{program.string(), "--package", Options.PackageFile};
  args.insert(args.end(), Args.begin(), Args.end());
  std::vector<char*> argv;
  for (String& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::cout << std::flush;
  execv(program.c_str(), argv.data());
  std::cerr << "korv: cannot start " << program.string() << ": " << std::strerror(errno) << '\n';
  return 1;
}

// ---------------------------------------------------------------------------- convert

// Converts the syntax tree itself, with no package loaded, so that every class and property
// goes over as written, understood or not.
int RunConvert(const String& In, const String& Out, std::optional<rtl::TDfmFormat> Format, bool Force) {
  try {
    std::error_code ec;
    if (fs::is_directory(In, ec)) throw rtl::EFOpenError("Cannot open " + In + ": it is a folder");
    const String bytes = ReadInputFile(In);
    const rtl::TDfmFormat from = rtl::DetectFormFormat(bytes);
    const rtl::TDfmFormat to =
        Format.value_or(from == rtl::TDfmFormat::dfText ? rtl::TDfmFormat::dfBinary : rtl::TDfmFormat::dfText);
    const rtl::TDfmObject tree =
        from == rtl::TDfmFormat::dfText ? rtl::ParseFormText(bytes, In) : rtl::ParseFormBinary(bytes, In);
    const String out = to == rtl::TDfmFormat::dfText ? rtl::PrintFormText(tree) : rtl::PrintFormBinary(tree, to);
    if (!Force && fs::exists(Out, ec) && !fs::equivalent(In, Out, ec))
      throw ECommandError(Out + " already exists: give --force to replace it");
    rtl::WriteFileAtomic(Out, out);
    std::cout << Out << ": " << (to == rtl::TDfmFormat::dfText ? "text" : "binary") << " form file, " << out.size()
              << " bytes\n";
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

// ---------------------------------------------------------------------------- config

int RunConfigRootDir(const String& Folder, bool Create) {
  try {
    // Everything is checked before the folder is made: a name the settings could not record
    // (or would read back as another one) leaves nothing behind.
    if (Folder.empty()) throw ECommandError("config root-dir needs a folder name");
    for (char c : Folder)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        throw ECommandError("Cannot use " + EchoWord(Folder) +
                            ": a folder name with a line break or another control character cannot be recorded");
    if (rtl::Trim(Folder) != Folder)
      throw ECommandError("Cannot use " + EchoWord(Folder) +
                          ": a folder name with blanks at either end would be read back without them");
    std::error_code ec;
    fs::path dir = fs::absolute(Folder, ec);
    if (ec) throw ECommandError("Cannot use " + EchoWord(Folder) + ": " + ec.message());
    dir = dir.lexically_normal();
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) throw ECommandError(dir.string() + " is no folder");
    if (!fs::exists(dir, ec)) {
      if (!Create) throw ECommandError("There is no folder " + dir.string() + ": give --create to make it");
      fs::create_directories(dir, ec);
      if (ec) throw ECommandError("Cannot make the folder " + dir.string() + ": " + ec.message());
    }
    String path = dir.string();
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    rtl::TRegistry reg;
    reg.OpenKey("Software\\Korvane", true);
    reg.WriteString("RootDir", path);
    std::cout << "RootDir = " << path << " (" << rtl::TRegistry::FileName() << ")\n";
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

int RunConfigShow() {
  try {
    rtl::TRegistry reg;
    String rootDir;
    if (reg.OpenKey("Software\\Korvane", false)) rootDir = reg.ReadString("RootDir");
    std::cout << "Registry: " << rtl::TRegistry::FileName() << '\n';
    // As the package reads it: a folder that is gone counts as unset, and unset is the current folder.
    std::error_code ec;
    String folder = rootDir;
    if (rootDir.empty()) {
      std::cout << "RootDir: not set (the current folder)\n";
      folder = ".";
    } else if (!fs::is_directory(rootDir, ec)) {
      std::cout << "RootDir = " << rootDir << " (no such folder: the current folder is used)\n";
      folder = ".";
    } else {
      std::cout << "RootDir = " << rootDir << '\n';
    }
    const fs::path settings = fs::absolute(fs::path(folder) / "korv.ini", ec).lexically_normal();
    if (!fs::exists(settings, ec)) {
      std::cout << "Settings: " << settings.string() << " (not written yet)\n";
      return 0;
    }
    std::cout << "Settings: " << settings.string() << '\n';
    rtl::TIniFile ini(settings.string());
    rtl::TStringList sections;
    ini.ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) std::cout << "  [" << sections[i] << "]\n";
    return 0;
  } catch (const std::exception& e) {
    return ReportFailure(e);
  }
}

}  // namespace designer
