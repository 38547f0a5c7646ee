#include "vcl/Dialogs.h"

#include "vcl/Forms.h"
#include "vcl/UserInterface.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>

namespace vcl {

using namespace rtl;
namespace fs = std::filesystem;

String MsgDlgTypeCaption(TMsgDlgType DlgType) {
  switch (DlgType) {
  case mtWarning: return "Warning";
  case mtError: return "Error";
  case mtInformation: return "Information";
  case mtConfirmation: return "Confirmation";
  default: return "";
  }
}

String MsgDlgBtnCaption(TMsgDlgBtn Button) {
  static const char* const captions[MsgDlgBtnCount] = {"Yes",    "No",  "OK",        "Cancel",     "Abort", "Retry",
                                                       "Ignore", "All", "No to All", "Yes to All", "Help",  "Close"};
  int i = static_cast<int>(Button);
  return i >= 0 && i < MsgDlgBtnCount ? captions[i] : "";
}

TModalResult MsgDlgBtnResult(TMsgDlgBtn Button) {
  static const TModalResult results[MsgDlgBtnCount] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                                                       mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone,  mrClose};
  int i = static_cast<int>(Button);
  return i >= 0 && i < MsgDlgBtnCount ? results[i] : mrNone;
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return UserInterface().MessageDlg(Msg, DlgType, Buttons, HelpCtx);
}

// ------------------------------------------------------------------ TOpenDialog

const TTypeInfo* TypeInfo_TOpenOptions() {
  static const TTypeInfo* t = DefineSetType(
      "TOpenOptions",
      DefineEnumType("TOpenOption",
                     {"ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
                      "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
                      "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
                      "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
                      "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing",
                      "ofDontAddToRecent",  "ofForceShowHidden"}));
  return t;
}

TClass TOpenDialog::StaticClass() {
  constexpr uint64_t defaultOptions = (1u << ofHideReadOnly) | (1u << ofEnableSizing);
  static TClass info =
      ClassBuilder<TOpenDialog>("TOpenDialog")
          .StrProp("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
          .StrProp("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName)
          .StrProp("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter)
          .IntProp("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex, 1)
          .StrProp("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
          .SetProp("Options", TypeInfo_TOpenOptions(), &TOpenDialog::Options, &TOpenDialog::SetOptions, defaultOptions)
          .StrProp("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle)
          .Build();
  return info;
}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

TStrings* TOpenDialog::Files() const { return FFiles.get(); }

std::vector<TFilterEntry> TOpenDialog::FilterEntries() const {
  std::vector<TFilterEntry> entries;
  std::vector<String> parts;
  size_t start = 0;
  for (;;) {
    size_t bar = FFilter.find('|', start);
    parts.push_back(FFilter.substr(start, bar == String::npos ? String::npos : bar - start));
    if (bar == String::npos) break;
    start = bar + 1;
  }
  if (FFilter.empty()) return entries;
  for (size_t i = 0; i < parts.size(); i += 2)
    entries.push_back({parts[i], i + 1 < parts.size() ? parts[i + 1] : String()});
  return entries;
}

namespace {

String DocumentFolder() { return Application ? Application->DocumentFolder() : String(); }

// Path relative to Folder when it lies under it, else nothing.
std::optional<String> RelativeUnder(const fs::path& Path, const fs::path& Folder) {
  std::error_code ec;
  const fs::path relative =
      fs::absolute(Path, ec).lexically_normal().lexically_relative(fs::absolute(Folder, ec).lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return std::nullopt;
  return relative.string();
}

}  // namespace

String TOpenDialog::Folder() const {
  if (!FInitialDir.empty()) return FInitialDir;
  const String document = DocumentFolder();
  if (!document.empty()) return document;
  std::error_code ec;
  return fs::current_path(ec).string();
}

std::vector<String> TOpenDialog::FolderFiles() const {
  std::vector<String> patterns;
  const std::vector<TFilterEntry> filters = FilterEntries();
  if (FFilterIndex >= 1 && FFilterIndex <= static_cast<int>(filters.size())) {
    const String& all = filters[static_cast<size_t>(FFilterIndex - 1)].Pattern;
    for (size_t start = 0; start <= all.size();) {
      size_t semi = all.find(';', start);
      if (semi == String::npos) semi = all.size();
      const String one = Trim(all.substr(start, semi - start));
      if (!one.empty()) patterns.push_back(one == "*.*" ? String("*") : one);
      start = semi + 1;
    }
  }
  std::vector<String> names;
  std::error_code ec;
  for (fs::directory_iterator it(Folder(), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const String name = it->path().filename().string();
    const bool matches = patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const String& p) {
                           return ::fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
                         });
    if (matches) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

String TOpenDialog::ResolveChoice(const String& Choice) const {
  fs::path p(Choice);
  if (p.is_relative()) p = fs::path(Folder()) / p;
  p = p.lexically_normal();
  if (!FDefaultExt.empty() && !p.has_extension() && p.has_filename()) {
    String ext = FDefaultExt[0] == '.' ? FDefaultExt.substr(1) : FDefaultExt;
    p += "." + ext;
  }
  return p.string();
}

std::optional<String> TOpenDialog::CheckChoice(const String& Choice) const {
  fs::path p(Choice);
  std::error_code ec;
  bool mustExist = FOptions.Contains(ofFileMustExist);
  if ((mustExist || FOptions.Contains(ofPathMustExist)) && !fs::is_directory(p.parent_path(), ec))
    return Choice + "\nPath does not exist.\nCheck the path and try again.";
  if (mustExist && !fs::is_regular_file(p, ec)) return Choice + "\nFile not found.\nCheck the file name and try again.";
  return std::nullopt;
}

bool TOpenDialog::Execute() {
  for (;;) {
    std::optional<String> choice = UserInterface().ExecuteOpenDialog(this);
    if (!choice) return false;
    String full = ResolveChoice(*choice);
    if (auto refusal = CheckChoice(full)) {
      // The platform dialog says why and stays open for another choice.
      UserInterface().MessageDlg(*refusal, mtWarning, {mbOK}, 0);
      continue;
    }
    // Started in the document's folder, a file under it keeps the name relative to it.
    const String document = FInitialDir.empty() ? DocumentFolder() : String();
    const std::optional<String> relative = document.empty() ? std::nullopt : RelativeUnder(full, document);
    FFileName = relative ? *relative : full;
    FFiles->Clear();
    FFiles->Add(FFileName);
    return true;
  }
}

}  // namespace vcl
