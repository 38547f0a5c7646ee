// Message boxes and the file-open dialog, shown through the installed user interface.
#pragma once

#include "vcl/Controls.h"
#include "rtl/Strings.h"

#include <optional>
#include <vector>

namespace vcl {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
// clang-format off
enum TMsgDlgBtn {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
  mbClose
};
// clang-format on
using TMsgDlgButtons = rtl::TSet<TMsgDlgBtn>;
constexpr int MsgDlgBtnCount = 12;

// "Warning", "Error", "Information", "Confirmation", "" (custom).
String MsgDlgTypeCaption(TMsgDlgType DlgType);
// "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "No to All", "Yes to All",
// "Help", "Close".
String MsgDlgBtnCaption(TMsgDlgBtn Button);
// The modal result a button gives (mbYes: mrYes ...; mbHelp: mrNone).
TModalResult MsgDlgBtnResult(TMsgDlgBtn Button);

// Shows a modal message box; returns the modal result of the button chosen. The answer is
// always one of Buttons' results.
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

// ------------------------------------------------------------------ TOpenDialog

// clang-format off
enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
  ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
  ofDontAddToRecent, ofForceShowHidden
};
// clang-format on
using TOpenOptions = rtl::TSet<TOpenOption>;
const rtl::TTypeInfo* TypeInfo_TOpenOptions();

struct TFilterEntry {
  String Description;  // "Ini-files (*.ini)"
  String Pattern;      // "*.INI", several joined by ";"
};

class TOpenDialog : public rtl::TComponent {
  RTL_CLASS(TOpenDialog, rtl::TComponent)
  explicit TOpenDialog(rtl::TComponent* AOwner);
  ~TOpenDialog() override;

  // Preset before Execute; after a successful Execute, the file chosen: its full name, or its name
  // relative to the application's document folder when the dialog started there (no InitialDir)
  // and the file lies under it.
  const String& FileName() const { return FFileName; }
  void SetFileName(const String& Value) { FFileName = Value; }
  // "Description|pattern|Description|pattern...".
  const String& Filter() const { return FFilter; }
  void SetFilter(const String& Value) { FFilter = Value; }
  std::vector<TFilterEntry> FilterEntries() const;
  // 1-based index of the filter the dialog starts on (and the one the user left it on).
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  // Appended (after a dot) to a chosen name without an extension.
  const String& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const String& Value) { FDefaultExt = Value; }
  // The folder the dialog starts in and takes a relative choice from; when empty, the
  // application's document folder, else the current folder (Folder()).
  const String& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const String& Value) { FInitialDir = Value; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  // The files chosen (one unless ofAllowMultiSelect).
  rtl::TStrings* Files() const;

  // The folder the dialog shows: InitialDir, else the application's document folder, else the
  // current folder.
  String Folder() const;
  // The names of the files in Folder() that the chosen filter matches (letter case ignored),
  // sorted; every file when there is no filter.
  std::vector<String> FolderFiles() const;

  // Runs the dialog. The user's choice is made absolute; with ofPathMustExist a choice whose
  // folder does not exist, and with ofFileMustExist one that is not an existing file, is
  // refused with a message box and the dialog asks again, as the platform dialog does. True
  // when a file was chosen (FileName and Files then hold it), false when cancelled.
  virtual bool Execute();

  // Why the dialog refuses Choice (already made absolute), or nothing when it takes it.
  std::optional<String> CheckChoice(const String& Choice) const;
  // Choice made absolute against Folder(), with DefaultExt added when it has no extension.
  String ResolveChoice(const String& Choice) const;

private:
  String FFileName;
  String FFilter;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
  String FDefaultExt;
  String FInitialDir;
  String FTitle;
  std::unique_ptr<rtl::TStrings> FFiles;
};

}  // namespace vcl
