// TKVDatabaseEditDlg: the database properties dialog. It edits the values of a database
// component that its caller moves in and out (name, server type, remote database, options,
// connection parameters); it never touches a component itself. Three buttons hand the default
// parameters and the default server type to handlers the caller sets.
#pragma once

#include "korv/ServerTypes.h"
#include "rtl/Strings.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

#include <functional>
#include <memory>

namespace korv {

using rtl::String;

// A button handler that takes the object that was clicked.
using TKVNotifyHandler = std::function<void(rtl::TObject* Sender)>;
// Fills a list with the default connection parameters.
using TKVGetDefaultParams = std::function<void(rtl::TStrings* List)>;

class TKVDatabaseEditDlg : public vcl::TForm {
  RTL_CLASS(TKVDatabaseEditDlg, vcl::TForm)
  // Use Create (or vcl::CreateForm): the constructor alone does not read the description.
  explicit TKVDatabaseEditDlg(rtl::TComponent* AOwner);
  ~TKVDatabaseEditDlg() override;

  // A dialog read from its description, owned by AOwner (usually Application). HelpContext is
  // kept for a help system; 0 for none. The pointer frees the dialog on every path.
  static std::unique_ptr<TKVDatabaseEditDlg> Create(rtl::TComponent* AOwner, int HelpContext);

  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  // Puts the dialog in the state of a new database: the library's server types (offered from
  // the start, too) with DefServerType chosen, empty names and history, KeepConnection and LoginPrompt on,
  // the design options off. List, when not nil, holds the starting connection parameters.
  void LoadData(rtl::TStrings* List);

  String GetDatabaseName() const;
  void SetDatabaseName(const String& Value);
  // The server type chosen; DefServerType while none is.
  TKVServerType GetServerType() const;
  void SetServerType(TKVServerType Value);
  String GetRemoteDatabase() const;
  void SetRemoteDatabase(const String& Value);
  // The remote databases used before, offered by the remote-database box in their own order.
  // The list stays the caller's: the dialog keeps a reference, reads it again whenever it is
  // shown and never changes it; it must outlive the dialog's showing (nil: no history).
  rtl::TStrings* GetRemoteDatabaseHistory() const { return FRemoteDatabaseHistory; }
  void SetRemoteDatabaseHistory(rtl::TStrings* Value);
  bool GetKeepConnection() const;
  void SetKeepConnection(bool Value);
  bool GetLoginPrompt() const;
  void SetLoginPrompt(bool Value);
  bool GetDefaultDatabase() const;
  void SetDefaultDatabase(bool Value);
  bool GetStoreConnected() const;
  void SetStoreConnected(bool Value);
  // The connection parameters, one name=value line each. SetParams copies Value (nil clears);
  // GetParams gives the dialog's own list, refreshed from what the dialog shows now.
  rtl::TStrings* GetParams();
  void SetParams(rtl::TStrings* Value);

  // Where "Load Defaults" gets the parameters when no handler is set for it.
  void SetGetDefaultParams(TKVGetDefaultParams Value);
  // The handlers of "Load Defaults", "Save Defaults" and "Save Default Server Type"; each
  // button is enabled only while it has something to call.
  void SetOnLoadDefaultParamsClick(TKVNotifyHandler Value);
  void SetOnSaveDefaultParamsClick(TKVNotifyHandler Value);
  void SetOnSaveDefaultSrvTypeClick(TKVNotifyHandler Value);

  // Controls of the form description.
  vcl::TLabel* lblDatabaseName = nullptr;
  vcl::TEdit* edDatabaseName = nullptr;
  vcl::TLabel* lblServerType = nullptr;
  vcl::TComboBox* cbServerType = nullptr;
  vcl::TLabel* lblRemoteDatabase = nullptr;
  vcl::TComboBox* cbRemoteDatabase = nullptr;
  vcl::TButton* btRemoteDatabase = nullptr;
  vcl::TGroupBox* gbxOptions = nullptr;
  vcl::TCheckBox* cbKeepConnection = nullptr;
  vcl::TCheckBox* cbLoginPrompt = nullptr;
  vcl::TCheckBox* cbDefaultDatabase = nullptr;
  vcl::TCheckBox* cbStoreConnected = nullptr;
  vcl::TLabel* lblParams = nullptr;
  vcl::TMemo* meParams = nullptr;
  vcl::TButton* btLoadDefaults = nullptr;
  vcl::TButton* btSaveDefaults = nullptr;
  vcl::TButton* btSaveDefaultSrvType = nullptr;
  vcl::TBevel* bvButtons = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // Event handlers, bound by name from the form description.
  void FormShow(rtl::TObject* Sender);
  void btRemoteDatabaseClick(rtl::TObject* Sender);
  void btLoadDefaultsClick(rtl::TObject* Sender);
  void btSaveDefaultsClick(rtl::TObject* Sender);
  void btSaveDefaultSrvTypeClick(rtl::TObject* Sender);

  void Loaded() override;

private:
  void FillServerTypes();
  // Puts the history into the remote-database box's list, keeping the text typed.
  void ShowHistory();
  void UpdateButtons();

  int FHelpContext = 0;
  rtl::TStrings* FRemoteDatabaseHistory = nullptr;
  std::unique_ptr<rtl::TStringList> FParams;
  TKVGetDefaultParams FGetDefaultParams;
  TKVNotifyHandler FOnLoadDefaultParamsClick;
  TKVNotifyHandler FOnSaveDefaultParamsClick;
  TKVNotifyHandler FOnSaveDefaultSrvTypeClick;
};

}  // namespace korv
