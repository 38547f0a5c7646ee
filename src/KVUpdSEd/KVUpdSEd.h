// Unit KVUpdSEd: the UpdateSQL editor, the modal dialog that edits and generates the refresh,
// modify, insert and delete statements of an update object.
//
// The dialog works on four buffers, copies of the object's statements; they are written back
// only when the dialog closes with OK. Its controls come from the form description
// KVUpdSEd.dfm, compiled into the package.
#pragma once

#include "KVUpdSQLGen.h"

#include "rtl/Strings.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

#include <memory>

namespace korv {
class TKVUpdateSQL;
}  // namespace korv

namespace dclkorv {

class TKVUpdateSQLEditForm : public vcl::TForm {
  RTL_CLASS(TKVUpdateSQLEditForm, vcl::TForm)
  explicit TKVUpdateSQLEditForm(rtl::TComponent* AOwner);
  ~TKVUpdateSQLEditForm() override;

  // Controls of the form description, found by name once it is read.
  vcl::TPageControl* pcUpdateSQL = nullptr;
  vcl::TTabSheet* tsOptions = nullptr;
  vcl::TGroupBox* gbxGenSQL = nullptr;
  vcl::TLabel* lblTableName = nullptr;
  vcl::TComboBox* cbTableName = nullptr;
  vcl::TButton* btGetTableFields = nullptr;
  vcl::TButton* btDataSetDefaults = nullptr;
  vcl::TButton* btSelectPrimKeys = nullptr;
  vcl::TButton* btGenerateSQL = nullptr;
  vcl::TLabel* lblKeyFields = nullptr;
  vcl::TListBox* lbKeyFields = nullptr;
  vcl::TLabel* lblUpdateFields = nullptr;
  vcl::TListBox* lbUpdateFields = nullptr;
  vcl::TCheckBox* cbQuotedFields = nullptr;
  vcl::TTabSheet* tsSQL = nullptr;
  vcl::TRadioGroup* rgrStatementType = nullptr;
  vcl::TLabel* lblSQLText = nullptr;
  vcl::TMemo* meSQLText = nullptr;
  vcl::TPanel* pnlButton = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;
  vcl::TPopupMenu* pmFields = nullptr;
  vcl::TMenuItem* miSelectAll = nullptr;
  vcl::TMenuItem* miClearAll = nullptr;

  // Event handlers, bound by name from the form description.
  void FormCreate(rtl::TObject* Sender);
  void FormDestroy(rtl::TObject* Sender);
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
  void cbTableNameChange(rtl::TObject* Sender);
  void GetTableFieldsClick(rtl::TObject* Sender);
  void DataSetDefaultsClick(rtl::TObject* Sender);
  void btSelectPrimKeysClick(rtl::TObject* Sender);
  void GenerateSQLClick(rtl::TObject* Sender);
  void StatementTypeClick(rtl::TObject* Sender);
  void SQLTextExit(rtl::TObject* Sender);
  void SelectAllClick(rtl::TObject* Sender);
  void ClearAllClick(rtl::TObject* Sender);

  // Opening: defaults from the bound query, field selections, statements, button states.
  void InitProperties();
  void LoadDefaultOptions();
  void LoadStatements();
  void SaveStatements();
  void SelectAllFields();
  void SetSelectedAllItems(vcl::TListBox* ListBox, bool Select);

  // The generator over the dialog's current state (table text, list selections, quote box,
  // field information).
  String QuoteName(const String& AIdentName) const;
  String FindFieldAlias(const String& TableText, const String& Field) const;
  void GenerateModifySQL();
  void GenerateRefreshSQL();
  void GenerateInsertSQL();
  void GenerateDeleteSQL();

  // The statement buffer of a kind: 0 refresh, 1 modify, 2 insert, 3 delete.
  rtl::TStrings* SQLBuffer(int Index) const;

  korv::TKVUpdateSQL* UpdateSQL() const { return FUpdateSQL; }
  void SetUpdateSQL(korv::TKVUpdateSQL* Value) { FUpdateSQL = Value; }
  rtl::TStrings* FieldInfo() const { return FFieldInfo.get(); }
  rtl::TStrings* TableInfo() const { return FTableInfo.get(); }
  bool ObjOwnerSupported() const { return FObjOwnerSupported; }

private:
  // What the generator reads from the controls, taken afresh.
  TUpdateSQLGenInputs GenInputs() const;

  std::unique_ptr<rtl::TStringList> FRefreshSQL;
  std::unique_ptr<rtl::TStringList> FModifySQL;
  std::unique_ptr<rtl::TStringList> FInsertSQL;
  std::unique_ptr<rtl::TStringList> FDeleteSQL;
  korv::TKVUpdateSQL* FUpdateSQL = nullptr;
  std::unique_ptr<rtl::TStringList> FFieldInfo;
  std::unique_ptr<rtl::TStringList> FTableInfo;
  bool FObjOwnerSupported = false;
  korv::TKVServerType FServerType = korv::TKVServerType::stSQLite;  // of the query's database
};

// Opens the dialog on an update object. True when the developer closed it with OK and the four
// statements were written back; false otherwise, the object then untouched. The caller tells
// the designer of the change.
bool EditUpdateSQL(korv::TKVUpdateSQL* AUpdateSQL);

}  // namespace dclkorv
