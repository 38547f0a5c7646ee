#include "DesignSession.h"

#include "DataCommands.h"

#include "CommandLine.h"

#include "designer/CodeEditor.h"
#include "designer/StandardComponents.h"

#include "designintf/ComponentEditors.h"
#include "designintf/Registry.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/FormBinary.h"
#include "rtl/FormReader.h"
#include "rtl/Rtti.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Platform.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace designer {

namespace fs = std::filesystem;
using designintf::TPropertyAttribute;
using designintf::TSprig;
using json = nlohmann::ordered_json;

struct TDesignSession::TCommand {
  const char* Name;
  const char* Usage;
  const char* Help;
  int MinArgs;
  int MaxArgs;  // -1: any number
  const char* Example;
  void (TDesignSession::*Run)(const TArgs&);
};

namespace {

// quit is the prompt's own (korv design reads it before any command); help tells of it too.
constexpr const char* kQuitUsage = "quit [--discard]";
constexpr const char* kQuitHelp = "at the korv> prompt: leave (--discard: drop unsaved changes)";

// The current folder for a scope: a module's databases that reconnect while it is read take
// their relative files from the module's folder.
class TCurrentFolderScope {
public:
  explicit TCurrentFolderScope(const fs::path& Folder) {
    std::error_code ec;
    FOld = fs::current_path(ec);
    if (!ec && !Folder.empty()) fs::current_path(Folder, ec);
    FChanged = !ec && !Folder.empty();
  }
  ~TCurrentFolderScope() {
    std::error_code ec;
    if (FChanged) fs::current_path(FOld, ec);
  }
  TCurrentFolderScope(const TCurrentFolderScope&) = delete;
  TCurrentFolderScope& operator=(const TCurrentFolderScope&) = delete;

private:
  fs::path FOld;
  bool FChanged = false;
};

void SetDatabaseFolders(rtl::TComponent* Root, const String& Folder, bool OnlyUnset) {
  if (!Root) return;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (auto* db = dynamic_cast<korv::TKVDatabase*>(Root->Components(i)))
      if (!OnlyUnset || db->BaseDir().empty()) db->SetBaseDir(Folder);
}

String FolderOf(const String& FileName) {
  std::error_code ec;
  fs::path abs = fs::absolute(FileName, ec);
  return (ec ? fs::path(FileName) : abs).parent_path().lexically_normal().string();
}

String CurrentFolder() {
  std::error_code ec;
  return fs::current_path(ec).string();
}

String Join(const std::vector<String>& Items, const String& Sep) {
  String r;
  for (const String& s : Items) r += (r.empty() ? "" : Sep) + s;
  return r;
}

String ComponentTitle(rtl::TComponent* C) {
  return (C->Name().empty() ? String("<unnamed>") : C->Name()) + " (" + C->ClassName() + ")";
}

// Holds Alt down on a headless backend for a scope.
class TAltKeyScope {
public:
  TAltKeyScope(vcl::THeadlessUserInterface* UI, bool Down) : FUI(Down ? UI : nullptr) {
    if (FUI) {
      FWasDown = FUI->IsKeyDown(vcl::VK_MENU);
      FUI->SetKeyDown(vcl::VK_MENU, true);
    }
  }
  ~TAltKeyScope() {
    if (FUI) FUI->SetKeyDown(vcl::VK_MENU, FWasDown);
  }
  TAltKeyScope(const TAltKeyScope&) = delete;
  TAltKeyScope& operator=(const TAltKeyScope&) = delete;

private:
  vcl::THeadlessUserInterface* FUI;
  bool FWasDown = false;
};

struct TBitmapSize {
  int Width = 0, Height = 0, BitsPerPixel = 0;
};

// Width, height and colour depth from a BMP file image's headers.
std::optional<TBitmapSize> BitmapSize(std::string_view Data) {
  if (Data.size() < 30 || Data[0] != 'B' || Data[1] != 'M') return std::nullopt;
  auto u = [&](size_t at, int bytes) {
    int64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(Data[at + static_cast<size_t>(i)]);
    return v;
  };
  TBitmapSize s;
  s.Width = static_cast<int>(static_cast<int32_t>(u(18, 4)));
  s.Height = static_cast<int>(static_cast<int32_t>(u(22, 4)));
  if (s.Height < 0) s.Height = -s.Height;
  s.BitsPerPixel = static_cast<int>(u(28, 2));
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------- lifetime

TDesignSession::TDesignSession(std::ostream& Out, std::ostream& Err) : FOut(Out), FErr(Err) {
  RegisterStandardComponents();
  // A database or data set that cannot reconnect while its module is read must not keep the
  // module from opening: it stays disconnected, and the developer is told.
  if (korv::Sessions)
    korv::Sessions->SetLoadErrorHandler([this](rtl::TComponent* Component, const std::exception& Error) {
      FErr << "korv: warning: " << Component->Name() << " stays closed: " << Error.what() << '\n';
    });
}

TDesignSession::~TDesignSession() {
  FTree.reset();
  if (FModule && FListener) FModule->RemoveModifiedListener(FListener);
  FModule.reset();
  FLoader.UnloadAll();
  if (korv::Sessions) korv::Sessions->SetLoadErrorHandler(nullptr);
}

// ---------------------------------------------------------------------------- commands

const std::vector<TDesignSession::TCommand>& TDesignSession::Commands() {
  static const std::vector<TCommand> commands = {
      {"open", "open FILE", "open a data module file for design", 1, 1, "open Shop.dfm", &TDesignSession::CmdOpen},
      {"new", "new CLASS NAME", "start a new data module NAME of class CLASS", 2, 2, "new TShopModule Shop",
       &TDesignSession::CmdNew},
      {"save", "save [--binary|--text] [FILE]",
       "write the module (to FILE: save it under that name), in the format it came in or the one given", 0, 2,
       "save --binary Shop2.dfm", &TDesignSession::CmdSave},
      {"close", "close [--discard]", "close the module (--discard: drop unsaved changes)", 0, 1, "close --discard",
       &TDesignSession::CmdClose},
      {"add", "add CLASS [NAME]", "drop a component of CLASS from the palette on the module", 1, 2,
       "add TKVQuery Customers", &TDesignSession::CmdAdd},
      {"delete", "delete NAME", "delete a component", 1, 1, "delete Customers", &TDesignSession::CmdDelete},
      {"rename", "rename NAME NEWNAME", "rename a component (or the module)", 2, 2, "rename KVQuery1 Customers",
       &TDesignSession::CmdRename},
      {"select", "select NAME...", "select components for the inspector and the verbs", 1, -1,
       "select Customers CustomersUpdate", &TDesignSession::CmdSelect},
      {"tree", "tree", "print the object tree", 0, 0, "tree", &TDesignSession::CmdTree},
      {"props", "props [--verbose]",
       "list the selection's properties: name = value, [v] a value list, [...] a dialog, [+] sub-properties "
       "(--verbose: the editor and its attributes)",
       0, 1, "props --verbose", &TDesignSession::CmdProps},
      {"get", "get PROP", "print a property's value as the inspector shows it", 1, 1, "get DatabaseName",
       &TDesignSession::CmdGet},
      {"print", "print NAME.PROP", "print a component's property (a string list line by line)", 1, 1,
       "print Customers.SQL", &TDesignSession::CmdPrint},
      {"values", "values PROP", "print a property's drop-down list, one value a line", 1, 1, "values ServerType",
       &TDesignSession::CmdValues},
      {"set", "set PROP VALUE", "type a value into a property", 2, 2, "set DatabaseName ShopData",
       &TDesignSession::CmdSet},
      {"edit", "edit [--alt] PROP", "click a property's ellipsis button (--alt: with Alt held)", 1, 2, "edit SQL",
       &TDesignSession::CmdEdit},
      {"verbs", "verbs", "list the selected component's context-menu verbs", 0, 0, "verbs", &TDesignSession::CmdVerbs},
      {"verb", "verb INDEX|CAPTION", "run a context-menu verb, by its number or its caption", 1, 1,
       "verb \"UpdateSQL Editor\"", &TDesignSession::CmdVerb},
      {"dblclick", "dblclick", "double-click the selected component", 0, 0, "dblclick", &TDesignSession::CmdDblClick},
      {"drag", "drag NODE TARGET", "drag a tree node onto another", 2, 2, "drag Customers ShopData",
       &TDesignSession::CmdDrag},
      {"dragover", "dragover NODE TARGET", "print yes or no: would TARGET take NODE", 2, 2,
       "dragover Customers ShopData", &TDesignSession::CmdDragOver},
      {"palettedrop", "palettedrop CLASS TARGET", "drop a new component from the palette on a tree node", 2, 2,
       "palettedrop TKVQuery ShopData", &TDesignSession::CmdPaletteDrop},
      {"modules", "modules", "list the code editor's open text modules", 0, 0, "modules", &TDesignSession::CmdModules},
      {"module", "module list|show|text|type|save|close [NAME] [TEXT]",
       "list, show in the code editor, print, replace the text of, save or close a text module", 1, -1, "module list",
       &TDesignSession::CmdModule},
      {"answer", "answer yes|no|cancel|ok|FILE", "queue the answer to the next message box or file dialog", 1, 1,
       "answer yes", &TDesignSession::CmdAnswer},
      {"palette", "palette", "list the palette", 0, 0, "palette", &TDesignSession::CmdPalette},
      {"packages", "packages", "list the loaded packages", 0, 0, "packages", &TDesignSession::CmdPackages},
      {"data", "data [NAME] [--limit N]",
       "open a data set (the selected one) and print its fields and first rows (20 unless --limit)", 0, 3,
       "data Customers --limit 5", &TDesignSession::CmdData},
      {"check", "check NAME [--try]",
       "prepare an update object's statements on its database (--try: run the modify, rolled back)", 1, 2,
       "check CustomersUpdate --try", &TDesignSession::CmdCheck},
      {"echo", "echo [TEXT...]", "print the words", 0, -1, "echo == the tree", &TDesignSession::CmdEcho},
      {"help", "help [COMMAND]", "list the commands, or tell how to use one", 0, 1, "help set",
       &TDesignSession::CmdHelp},
  };
  return commands;
}

void TDesignSession::PrintHelp(std::ostream& Out) {
  size_t width = 0;
  for (const TCommand& c : Commands()) width = std::max(width, String(c.Usage).size());
  Out << "Commands:\n";
  for (const TCommand& c : Commands())
    Out << "  " << c.Usage << String(width + 2 - String(c.Usage).size(), ' ') << c.Help << '\n';
  Out << "  " << kQuitUsage << String(width + 2 - String(kQuitUsage).size(), ' ') << kQuitHelp << '\n';
  Out << "While a dialog is open:\n"
         "  show, type CONTROL TEXT, choose CONTROL ITEM, pick CONTROL [ITEM...|*], check CONTROL on|off,\n"
         "  click CONTROL, menu CONTROL ITEM, page CONTROL PAGE, focus CONTROL, enter, escape, close\n"
         "Words are separated by blanks; quote a word with blanks in \"...\" (\\\" and \\\\ inside);\n"
         "# starts a comment.\n";
}

void TDesignSession::Execute(const std::vector<String>& Words, const String& Line) {
  if (Words.empty()) return;
  struct TLineScope {
    String& Field;
    TLineScope(String& F, const String& L) : Field(F) { Field = L; }
    ~TLineScope() { Field.clear(); }
  } lineScope(FLine, Line);
  const String verb = rtl::LowerCase(Words[0]);
  const TArgs args(Words.begin() + 1, Words.end());
  for (const TCommand& c : Commands()) {
    if (verb != c.Name) continue;
    const int n = static_cast<int>(args.size());
    if (n < c.MinArgs || (c.MaxArgs >= 0 && n > c.MaxArgs)) throw ECommandError(String("Usage: ") + c.Usage);
    (this->*c.Run)(args);
    return;
  }
  if (IsDialogCommand(verb)) throw ECommandError(verb + " acts on a dialog, and no dialog is open");
  throw ECommandError("Unknown command " + EchoWord(Words[0]) + " (help lists the commands)");
}

// ---------------------------------------------------------------------------- module

TOpenModule& TDesignSession::RequireModule() {
  if (!FModule) throw ECommandError("No module is open (open FILE or new CLASS NAME first)");
  return *FModule;
}

rtl::TComponent* TDesignSession::ComponentNamed(const String& Name) {
  TOpenModule& module = RequireModule();
  rtl::TComponent* root = module.GetRoot();
  if (rtl::SameText(root->Name(), Name)) return root;
  if (rtl::TComponent* c = module.FindComponent(Name)) return c;
  throw ECommandError("No component named " + EchoName(Name) + " in " + root->Name());
}

bool TDesignSession::HasUnsavedChanges() {
  if (!FModule) return false;
  if (FModule->IsModified()) return true;
  for (auto& m : Services().TextModules())
    if (m->IsModified()) return true;
  return false;
}

void TDesignSession::CheckReplaceable() {
  if (FModule && HasUnsavedChanges())
    throw ECommandError(FModule->GetRoot()->Name() + " has unsaved changes: save it, or close --discard first");
}

void TDesignSession::AttachModule(std::unique_ptr<TOpenModule> Module, const String& Folder) {
  CloseModule(true);
  FModule = std::move(Module);
  SetFolder(Folder);
  SetDatabaseFolders(FModule->GetRoot(), FFolder, false);
  // Components added later (palette drops, verbs) take their files from the module's folder too.
  FListener = FModule->AddModifiedListener([this] { SetDatabaseFolders(FModule->GetRoot(), FFolder, true); });
  FTree = std::make_unique<TObjectTree>(*FModule);
  FModule->SelectComponent(FModule->GetRoot());
}

String ReadInputFile(const String& FileName) {
  std::error_code ec;
  if (!fs::exists(FileName, ec)) throw rtl::EFOpenError("Cannot open " + FileName + ": no such file");
  String text, why;
  if (!rtl::ReadWholeFile(FileName, text, why)) throw rtl::EFOpenError("Cannot open " + FileName + ": " + why);
  return text;
}

String TerminalLines(const rtl::TStrings& Lines) {
  String out;
  for (int i = 0; i < Lines.Count(); ++i) {
    const String& entry = Lines.Strings(i);
    for (size_t k = 0; k < entry.size(); ++k) {
      if (entry[k] == '\r') {
        out += '\n';
        if (k + 1 < entry.size() && entry[k + 1] == '\n') ++k;
      } else {
        out += entry[k];
      }
    }
    out += '\n';
  }
  return out;
}

void TDesignSession::OpenModule(const String& FileName) {
  std::error_code ec;
  if (!fs::exists(FileName, ec)) throw rtl::EFOpenError("Cannot open " + FileName + ": no such file");
  if (fs::is_directory(FileName, ec)) throw rtl::EFOpenError("Cannot open " + FileName + ": it is a folder");
  CheckReplaceable();
  // A copy kept when korv was stopped with unsaved changes, newer than the file: offered.
  const String recovery = FileName + ".recover";
  bool recovered = false;
  if (fs::is_regular_file(recovery, ec) && fs::last_write_time(recovery, ec) > fs::last_write_time(FileName, ec)) {
    const String name = fs::path(FileName).filename().string();
    recovered = vcl::MessageDlg(name + ".recover, kept when korv was stopped with unsaved changes, is newer than " +
                                    name + ".\nOpen the kept changes?",
                                vcl::mtConfirmation, {vcl::mbYes, vcl::mbNo}, 0) == vcl::mrYes;
  }
  const String text = ReadInputFile(recovered ? recovery : FileName);
  const String folder = FolderOf(FileName);
  rtl::TFormReadOptions options;
  options.Designing = true;
  options.OnNote = [this](const String& Note) { FErr << "korv: warning: " << Note << '\n'; };
  std::unique_ptr<rtl::TComponent> root;
  {
    TCurrentFolderScope here(folder);
    root = rtl::ReadModule(text, FileName, options);
  }
  AttachModule(std::make_unique<TOpenModule>(std::move(root), FileName, rtl::DetectFormFormat(text)), folder);
  if (recovered) FModule->Modified();  // the file does not hold it yet
}

String TDesignSession::SaveRecoveryCopy() {
  TOpenModule& module = RequireModule();
  const String file = (module.FileName().empty() ? module.GetRoot()->Name() + ".dfm" : module.FileName()) + ".recover";
  module.SaveRecoveryCopy(file);
  return file;
}

void TDesignSession::CloseModule(bool Discard) {
  if (!FModule) return;
  if (!Discard) CheckReplaceable();
  FTree.reset();
  if (FListener) FModule->RemoveModifiedListener(FListener);
  FListener = 0;
  FModule.reset();
  SetFolder(String());
}

void TDesignSession::SetFolder(const String& Folder) {
  FFolder = Folder;
  // Open dialogs start in the module's folder and keep the names of files under it relative.
  if (vcl::Application) vcl::Application->SetDocumentFolder(Folder);
}

void TDesignSession::CmdOpen(const TArgs& A) { OpenModule(A[0]); }

void TDesignSession::CmdNew(const TArgs& A) {
  const String& className = A[0];
  const String& name = A[1];
  if (!rtl::IsValidIdent(className)) throw ECommandError(EchoWord(className) + " is not a valid class name");
  if (!rtl::IsValidIdent(name)) throw ECommandError(EchoWord(name) + " is not a valid module name");
  // A class of its own (TShopModule) makes a data module of that class name; a known class must
  // be a data module class.
  if (rtl::TClass known = rtl::GetClass(className); known && !known->InheritsFrom(rtl::TDataModule::StaticClass()))
    throw ECommandError(EchoName(className) + " is no data module class");
  CheckReplaceable();
  rtl::TFormReadOptions options;
  options.Designing = true;
  auto root = rtl::ReadModule("object " + name + ": " + className + "\nend\n", name, options);
  AttachModule(std::make_unique<TOpenModule>(std::move(root), String()), CurrentFolder());
}

void TDesignSession::CmdSave(const TArgs& A) {
  TOpenModule& module = RequireModule();
  std::optional<rtl::TDfmFormat> format;
  std::optional<String> file;
  for (const String& a : A) {
    if (a == "--binary" || a == "--text") {
      if (format) throw ECommandError("Usage: save [--binary|--text] [FILE]");
      format = a == "--binary" ? rtl::TDfmFormat::dfBinary : rtl::TDfmFormat::dfText;
    } else if (a.rfind("--", 0) == 0 || file) {
      throw ECommandError("Usage: save [--binary|--text] [FILE]");
    } else {
      file = a;
    }
  }
  // A binary module behind a resource header stays so when only "binary" is asked for.
  if (format == rtl::TDfmFormat::dfBinary && module.Format() == rtl::TDfmFormat::dfBinaryResource)
    format = module.Format();
  if (!file) {
    if (module.FileName().empty()) throw ECommandError(module.GetRoot()->Name() + " has no file yet: save FILE");
    if (format)
      module.SaveAs(module.FileName(), format);
    else
      module.Save();
    return;
  }
  if (!MayReplace(*file)) {
    FOut << "Not saved: " << *file << " is kept\n";
    return;
  }
  module.SaveAs(*file, format);
  const String folder = FolderOf(*file);
  if (folder != FFolder) {
    SetFolder(folder);
    SetDatabaseFolders(module.GetRoot(), FFolder, false);
  }
}

bool TDesignSession::MayReplace(const String& FileName) const {
  std::error_code ec;
  // A folder or a file that cannot be written is the save's own error to report.
  if (!fs::is_regular_file(FileName, ec)) return true;
  if (!FModule->FileName().empty() && fs::equivalent(FileName, FModule->FileName(), ec)) return true;
  const String name = fs::path(FileName).filename().string();
  return vcl::MessageDlg(name + " already exists.\nDo you want to replace it?", vcl::mtConfirmation,
                         {vcl::mbYes, vcl::mbNo}, 0) == vcl::mrYes;
}

void TDesignSession::CmdClose(const TArgs& A) {
  bool discard = false;
  if (!A.empty()) {
    if (A[0] != "--discard") throw ECommandError("Usage: close [--discard]");
    discard = true;
  }
  RequireModule();
  CloseModule(discard);
}

void TDesignSession::CmdAdd(const TArgs& A) {
  TOpenModule& module = RequireModule();
  rtl::TClass cls = designintf::FindPaletteClass(A[0]);
  if (!cls) throw ECommandError("No component class " + EchoName(A[0]) + " on the palette (palette lists them)");
  rtl::TComponent* c = module.CreateComponent(cls, A.size() > 1 ? A[1] : String());
  module.SelectComponent(c);
  if (A.size() == 1) FOut << c->Name() << '\n';
}

void TDesignSession::CmdDelete(const TArgs& A) {
  TOpenModule& module = RequireModule();
  module.DeleteComponent(ComponentNamed(A[0]));
}

void TDesignSession::CmdRename(const TArgs& A) {
  TOpenModule& module = RequireModule();
  rtl::TComponent* c = ComponentNamed(A[0]);
  if (!rtl::SameText(A[0], A[1]) && (module.FindComponent(A[1]) || rtl::SameText(module.GetRoot()->Name(), A[1])))
    throw ECommandError("A component named " + EchoName(A[1]) + " already exists");
  module.RenameComponent(c, A[1]);
}

void TDesignSession::CmdSelect(const TArgs& A) {
  TOpenModule& module = RequireModule();
  designintf::TDesignerSelections selection;
  for (const String& name : A) selection.push_back(ComponentNamed(name));
  module.SetSelections(selection);
}

// ---------------------------------------------------------------------------- inspector

designintf::TDesignerSelections TDesignSession::RequireSelection() {
  TOpenModule& module = RequireModule();
  designintf::TDesignerSelections selection = module.GetSelections();
  if (selection.empty()) throw ECommandError("Nothing is selected (select NAME first)");
  return selection;
}

rtl::TComponent* TDesignSession::RequireOneSelected(const String& Verb) {
  designintf::TDesignerSelections selection = RequireSelection();
  if (selection.size() != 1)
    throw ECommandError(Verb + " acts on one selected component; " + std::to_string(selection.size()) +
                        " are selected");
  auto* c = dynamic_cast<rtl::TComponent*>(selection[0]);
  if (!c) throw ECommandError(Verb + " needs a component selected");
  return c;
}

std::unique_ptr<designintf::TPropertyEditor> TDesignSession::EditorFor(const designintf::TDesignerSelections& Selection,
                                                                       const String& Path) {
  TObjectInspector inspector(RequireModule());
  inspector.SetSelection(Selection);
  try {
    return inspector.Editor(Path);
  } catch (const rtl::EPropertyError&) {
    String who = Selection.size() == 1 && dynamic_cast<rtl::TComponent*>(Selection[0])
                     ? ComponentTitle(static_cast<rtl::TComponent*>(Selection[0]))
                     : "The selection";
    throw ECommandError(who + " has no property " + EchoName(Path) + " in the inspector");
  }
}

void TDesignSession::CmdProps(const TArgs& A) {
  if (!A.empty() && A[0] != "--verbose") throw ECommandError("Usage: props [--verbose]");
  const bool verbose = !A.empty();
  TObjectInspector inspector(RequireModule());
  inspector.SetSelection(RequireSelection());
  const std::vector<TInspectorRow> rows = inspector.Rows();
  size_t width = 0;
  for (const TInspectorRow& row : rows) width = std::max(width, row.Name.size());
  for (const TInspectorRow& row : rows) {
    // The inspector's buttons, as marks: a drop-down list, an ellipsis, a plus to unfold.
    String marks;
    if (row.Attributes.Contains(TPropertyAttribute::paValueList)) marks += " [v]";
    if (row.Attributes.Contains(TPropertyAttribute::paDialog)) marks += " [...]";
    if (row.Attributes.Contains(TPropertyAttribute::paSubProperties)) marks += " [+]";
    FOut << row.Name << String(width - row.Name.size(), ' ') << " = " << row.Value;
    if (!marks.empty()) FOut << ' ' << marks;
    if (verbose)
      FOut << "  (" << row.EditorClass << ' ' << designintf::PropertyAttributesToString(row.Attributes) << ')';
    FOut << '\n';
  }
}

void TDesignSession::CmdGet(const TArgs& A) {
  auto editor = EditorFor(RequireSelection(), A[0]);
  FOut << (editor->AllEqual() ? editor->GetValue() : String()) << '\n';
}

void TDesignSession::CmdPrint(const TArgs& A) {
  const String& spec = A[0];
  const size_t dot = spec.find('.');
  if (dot == String::npos || dot == 0 || dot + 1 == spec.size()) throw ECommandError("Usage: print NAME.PROP");
  rtl::TComponent* component = ComponentNamed(spec.substr(0, dot));
  const String path = spec.substr(dot + 1);
  auto editor = EditorFor({component}, path);
  // A string list prints its lines as stored, not the inspector's "(TStrings)".
  rtl::TObject* obj = component;
  const rtl::TPropInfo* prop = nullptr;
  for (size_t start = 0; obj;) {
    const size_t next = path.find('.', start);
    prop = rtl::GetPropInfo(obj, path.substr(start, next == String::npos ? String::npos : next - start));
    if (!prop || next == String::npos) break;
    obj = prop->Kind() == rtl::TTypeKind::tkClass && !prop->IsReference ? rtl::GetObjectProp(obj, prop) : nullptr;
    start = next + 1;
  }
  if (obj && prop && prop->Kind() == rtl::TTypeKind::tkClass && !prop->IsReference)
    if (auto* lines = dynamic_cast<rtl::TStrings*>(rtl::GetObjectProp(obj, prop))) {
      FOut << TerminalLines(*lines);
      return;
    }
  FOut << editor->GetValue() << '\n';
}

void TDesignSession::CmdValues(const TArgs& A) {
  auto editor = EditorFor(RequireSelection(), A[0]);
  TObjectInspector inspector(RequireModule());
  for (const String& v : inspector.GetValues(A[0])) FOut << v << '\n';
}

void TDesignSession::CmdSet(const TArgs& A) {
  designintf::TDesignerSelections selection = RequireSelection();
  auto editor = EditorFor(selection, A[0]);
  if (editor->GetAttributes().Contains(TPropertyAttribute::paReadOnly))
    throw ECommandError("Property " + EchoName(A[0]) + " is read-only in the inspector (edit " + EchoName(A[0]) +
                        " opens its editor)");
  editor->SetValue(A[1]);
}

void TDesignSession::CmdEdit(const TArgs& A) {
  bool alt = false;
  String path;
  for (const String& a : A) {
    if (a == "--alt")
      alt = true;
    else if (path.empty())
      path = a;
    else
      throw ECommandError("Usage: edit [--alt] PROP");
  }
  if (path.empty()) throw ECommandError("Usage: edit [--alt] PROP");
  auto editor = EditorFor(RequireSelection(), path);
  TAltKeyScope altKey(FUI, alt);
  editor->Edit();
}

// ---------------------------------------------------------------------------- verbs

void TDesignSession::CmdVerbs(const TArgs&) {
  rtl::TComponent* c = RequireOneSelected("verbs");
  auto editor = RequireModule().GetComponentEditor(c);
  const int count = editor->GetVerbCount();
  for (int i = 0; i < count; ++i) FOut << i << ": " << editor->GetVerb(i) << '\n';
}

namespace {

// A verb's caption as a user reads it off the menu: without its accelerator marks ("&&" is a
// plain "&") and without a closing "...", ignoring blanks around it.
String PlainCaption(const String& Caption) {
  String plain;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;  // "&U" reads U, "&&" reads &
    plain += Caption[i];
  }
  plain = rtl::Trim(plain);
  if (plain.size() > 3 && plain.ends_with("...")) plain = rtl::TrimRight(plain.substr(0, plain.size() - 3));
  return plain;
}

bool IsVerbNumber(const String& Word) {
  const String w = rtl::Trim(Word);
  const size_t digits = !w.empty() && (w[0] == '-' || w[0] == '+') ? 1 : 0;
  return w.size() > digits && w.find_first_not_of("0123456789", digits) == String::npos;
}

}  // namespace

void TDesignSession::CmdVerb(const TArgs& A) {
  rtl::TComponent* c = RequireOneSelected("verb");
  auto editor = RequireModule().GetComponentEditor(c);
  const int count = editor->GetVerbCount();
  int index = -1;
  if (IsVerbNumber(A[0])) {
    index = rtl::StrToIntDef(A[0], -1);
    if (index < 0 || index >= count || rtl::IntToStr(index) != rtl::Trim(A[0]))
      throw ECommandError(ComponentTitle(c) + " has no verb " + EchoName(A[0]) +
                          (count == 0 ? String(" (it has none)") : " (verbs 0 to " + std::to_string(count - 1) + ")"));
  } else {
    const String wanted = PlainCaption(A[0]);
    String captions;
    for (int i = 0; i < count && index < 0; ++i) {
      const String caption = editor->GetVerb(i);
      if (caption == designintf::SVerbSeparator) continue;
      if (rtl::SameText(PlainCaption(caption), wanted)) index = i;
      captions += (captions.empty() ? "" : ", ") + PlainCaption(caption);
    }
    if (index < 0)
      throw ECommandError(ComponentTitle(c) + " has no verb " + EchoWord(A[0]) +
                          (captions.empty() ? String(" (it has none)") : " (its verbs: " + captions + ")"));
  }
  if (editor->GetVerb(index) == designintf::SVerbSeparator)
    throw ECommandError("Verb " + std::to_string(index) + " of " + ComponentTitle(c) +
                        " is a separator of the menu; it runs nothing");
  editor->ExecuteVerb(index);
}

void TDesignSession::CmdDblClick(const TArgs&) {
  rtl::TComponent* c = RequireOneSelected("dblclick");
  RequireModule().GetComponentEditor(c)->Edit();
}

// ---------------------------------------------------------------------------- tree

std::vector<TSprig*> TDesignSession::FindNodes(const String& Name) {
  RequireModule();
  std::vector<TSprig*> found;
  TSprig* root = FTree->Root();
  if (Name.find('\\') != String::npos) {
    if (TSprig* s = root->FindItemByPath(Name)) found.push_back(s);
    return found;
  }
  // By lookup name (a session node's session name, a database node's database name,
  // "<DefaultSession>", "<ImpliedDatabase>.NAME", otherwise the component's name) ...
  auto walk = [&](auto&& self, TSprig* node, auto&& pred) -> void {
    if (pred(node)) found.push_back(node);
    for (int i = 0; i < node->Count(); ++i) self(self, node->Items(i), pred);
  };
  walk(walk, root, [&](TSprig* n) { return rtl::SameText(n->Name(), Name); });
  // ... and, when none has it, by the name of the component a node stands for.
  if (found.empty())
    walk(walk, root, [&](TSprig* n) {
      auto* c = dynamic_cast<rtl::TComponent*>(n->Item());
      return c && rtl::SameText(c->Name(), Name);
    });
  return found;
}

TSprig* TDesignSession::NodeNamed(const String& Name) {
  std::vector<TSprig*> nodes = FindNodes(Name);
  if (nodes.empty())
    throw ECommandError("No node " + EchoName(Name) + " in the object tree of " + FModule->GetRoot()->Name());
  if (nodes.size() > 1) {
    std::vector<String> paths;
    for (TSprig* n : nodes) paths.push_back(n->Path());
    throw ECommandError("Several nodes are named " + EchoName(Name) + ": " + Join(paths, ", ") +
                        " (name one by its path)");
  }
  return nodes[0];
}

void TDesignSession::CmdTree(const TArgs&) { PrintTree(false); }

void TDesignSession::CmdDrag(const TArgs& A) {
  TSprig* source = NodeNamed(A[0]);
  TSprig* target = NodeNamed(A[1]);
  if (!FTree->DragOver(source, target)) throw ECommandError(EchoName(A[1]) + " does not take " + EchoName(A[0]));
  FTree->DragDrop(source, target);
}

void TDesignSession::CmdDragOver(const TArgs& A) {
  TSprig* source = NodeNamed(A[0]);
  TSprig* target = NodeNamed(A[1]);
  FOut << (FTree->DragOver(source, target) ? "yes" : "no") << '\n';
}

void TDesignSession::CmdPaletteDrop(const TArgs& A) {
  TOpenModule& module = RequireModule();
  rtl::TClass cls = designintf::FindPaletteClass(A[0]);
  if (!cls) throw ECommandError("No component class " + EchoName(A[0]) + " on the palette (palette lists them)");
  TSprig* target = NodeNamed(A[1]);
  if (!FTree->PaletteOver(cls, target)) throw ECommandError(EchoName(A[1]) + " does not take a new " + cls->Name);
  rtl::TComponent* c = FTree->PaletteDrop(cls, target);
  if (!c) throw ECommandError(EchoName(A[1]) + " does not take a new " + cls->Name);
  module.SelectComponent(c);
  FOut << c->Name() << '\n';
}

// ---------------------------------------------------------------------------- text modules

void TDesignSession::CmdModules(const TArgs&) { RunModuleCommand(Services(), "module list", FOut); }

void TDesignSession::CmdModule(const TArgs& A) {
  // The code editor's own command reader takes the line as written (its text runs to the end).
  String line = FLine;
  if (line.empty()) {
    line = "module";
    for (const String& a : A) line += " " + QuoteWord(a);
  }
  RunModuleCommand(Services(), line, FOut);
}

void TDesignSession::CmdAnswer(const TArgs& A) { FAnswers.Push(A[0]); }

// ---------------------------------------------------------------------------- reports

void TDesignSession::CmdPalette(const TArgs&) { PrintPalette(false); }
void TDesignSession::CmdPackages(const TArgs&) { PrintPackages(false); }

void TDesignSession::CmdEcho(const TArgs& A) { FOut << Join(A, " ") << '\n'; }

void TDesignSession::CmdData(const TArgs& A) {
  std::optional<String> name;
  int limit = 20;
  for (std::size_t i = 0; i < A.size(); ++i) {
    if (A[i] == "--limit" && i + 1 < A.size()) {
      limit = rtl::StrToIntDef(A[++i], -1);
      if (limit < 0) throw ECommandError("--limit takes a number of rows, 0 or more");
    } else if (!name && A[i].rfind("--", 0) != 0) {
      name = A[i];
    } else {
      throw ECommandError("Usage: data [NAME] [--limit N]");
    }
  }
  rtl::TComponent* c = name ? ComponentNamed(*name) : RequireOneSelected("data");
  PrintData(FOut, c, limit, false);
}

void TDesignSession::CmdCheck(const TArgs& A) {
  if (A.size() == 2 && A[1] != "--try") throw ECommandError("Usage: check NAME [--try]");
  if (!PrintStatementChecks(FOut, ComponentNamed(A[0]), A.size() == 2, false))
    throw ECommandError(A[0] + ": not every statement passed");
}

void TDesignSession::CmdHelp(const TArgs& A) {
  if (A.empty()) {
    PrintHelp(FOut);
    return;
  }
  const String verb = rtl::LowerCase(A[0]);
  if (verb == "quit" || verb == "exit") {
    FOut << kQuitUsage << "\n  " << kQuitHelp << "\n  Example: quit\n";
    return;
  }
  for (const TCommand& c : Commands())
    if (verb == c.Name) {
      FOut << c.Usage << "\n  " << c.Help << "\n  Example: " << c.Example << '\n';
      return;
    }
  if (IsDialogCommand(verb))
    throw ECommandError(verb + " acts on an open dialog: help at the dialog> prompt lists the dialog commands");
  throw ECommandError("Unknown command " + EchoWord(A[0]) + " (help lists the commands)");
}

std::optional<std::vector<String>> TDesignSession::Completions(const String& Before) {
  std::vector<String> words;
  try {
    words = SplitScriptLine(Before);
  } catch (const std::exception&) {
    return std::vector<String>{};  // inside an open quote: nothing to offer
  }
  std::vector<String> names;
  if (words.empty()) {
    for (const TCommand& c : Commands()) names.push_back(c.Name);
    names.push_back("quit");
    return names;
  }
  const String verb = rtl::LowerCase(words[0]);
  const size_t arg = words.size();  // 1: the first argument is being typed
  auto components = [&] {
    if (!FModule) return;
    rtl::TComponent* root = FModule->GetRoot();
    names.push_back(root->Name());
    for (int i = 0; i < root->ComponentCount(); ++i) names.push_back(root->Components(i)->Name());
  };
  auto properties = [&] {
    if (!FModule) return;
    TObjectInspector inspector(*FModule);
    for (const TInspectorRow& row : inspector.Rows(true)) names.push_back(row.Path);
  };
  if (verb == "open" || (verb == "save" && arg == 1)) return std::nullopt;
  if (verb == "select" || verb == "delete" || (verb == "rename" && arg == 1) || verb == "data" ||
      (verb == "check" && arg == 1) || verb == "drag" || verb == "dragover")
    components();
  else if ((verb == "get" || verb == "values" || verb == "edit" || verb == "set") && arg == 1)
    properties();
  else if (verb == "set" && arg == 2 && FModule) {
    try {
      TObjectInspector inspector(*FModule);
      names = inspector.GetValues(words[1]);
    } catch (const std::exception&) {
    }
  } else if ((verb == "add" || verb == "palettedrop") && arg == 1)
    for (const auto& e : designintf::GetPaletteEntries()) names.push_back(e.ComponentClass->Name);
  else if (verb == "help" && arg == 1)
    for (const TCommand& c : Commands()) names.push_back(c.Name);
  return names;
}

void TDesignSession::PrintTree(bool Json) {
  RequireModule();
  if (Json)
    FOut << FTree->ToJson().dump(2) << '\n';
  else
    FOut << FTree->Print();
}

void TDesignSession::PrintPalette(bool Json) {
  json entries = json::array();
  std::vector<designintf::TPaletteEntry> palette = designintf::GetPaletteEntries();
  size_t width = 0;
  for (const auto& e : palette) width = std::max(width, e.ComponentClass->Name.size());
  String page;
  for (const auto& e : palette) {
    const String& name = e.ComponentClass->Name;
    std::optional<TPackageResource> bitmap = FLoader.FindResource(rtl::UpperCase(name));
    std::optional<TBitmapSize> size = bitmap ? BitmapSize(bitmap->Data) : std::nullopt;
    if (Json) {
      json j;
      j["page"] = e.Page;
      j["class"] = name;
      j["package"] = e.Package;
      if (bitmap) {
        json b;
        b["name"] = bitmap->Name;
        b["bytes"] = bitmap->Data.size();
        if (size) {
          b["width"] = size->Width;
          b["height"] = size->Height;
          b["bitsPerPixel"] = size->BitsPerPixel;
        }
        j["bitmap"] = b;
      } else {
        j["bitmap"] = nullptr;
      }
      entries.push_back(std::move(j));
      continue;
    }
    if (e.Page != page) {
      page = e.Page;
      FOut << page << '\n';
    }
    FOut << "  " << name << String(width + 2 - name.size(), ' ') << (e.Package.empty() ? "-" : e.Package) << "  ";
    if (!bitmap)
      FOut << "no bitmap";
    else if (size)
      FOut << "bitmap " << bitmap->Name << ' ' << size->Width << 'x' << size->Height << ", " << size->BitsPerPixel
           << " bpp";
    else
      FOut << "bitmap " << bitmap->Name << " (" << bitmap->Data.size() << " bytes)";
    FOut << '\n';
  }
  if (Json) FOut << entries.dump(2) << '\n';
}

void TDesignSession::PrintPackages(bool Json) {
  json list = json::array();
  for (TLoadedPackage* p : FLoader.Packages()) {
    const TPackageInfo& info = p->Info();
    const String version = Join({info.ProductName, info.Version}, " ");
    if (Json) {
      json j;
      j["name"] = info.Name;
      j["description"] = info.Description;
      j["requires"] = info.Requires;
      j["contains"] = info.Contains;
      j["designOnly"] = info.DesignOnly;
      j["productName"] = info.ProductName;
      j["version"] = info.Version;
      j["file"] = info.FileName;
      list.push_back(std::move(j));
      continue;
    }
    FOut << info.Name << ": " << info.Description << '\n'
         << "  version:  " << (version.empty() ? String("(none)") : version) << '\n'
         << "  requires: " << Join(info.Requires, ", ") << '\n'
         << "  contains: " << Join(info.Contains, ", ") << '\n'
         << "  design-only: " << (info.DesignOnly ? "yes" : "no") << '\n'
         << "  file:     " << info.FileName << '\n';
  }
  if (Json) FOut << list.dump(2) << '\n';
}

}  // namespace designer
