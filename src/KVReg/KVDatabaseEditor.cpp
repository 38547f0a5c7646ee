#include "KVDatabaseEditor.h"

#include "KVReg.h"

#include "designintf/Designer.h"
#include "korv/KVConsts.h"
#include "korv/KVDatabase.h"
#include "korv/KVDatabaseEditDlg.h"
#include "korv/KVParamsEditor.h"
#include "vcl/Forms.h"

namespace dclkorv {

using korv::TKVDesignDBOption;

DESIGN_CLASS_IMPL(TKVDatabaseEditor)

namespace {

korv::TKVDesignDBOptions WithOption(korv::TKVDesignDBOptions Options, TKVDesignDBOption Option, bool On) {
  return On ? Options + Option : Options - Option;
}

}  // namespace

void TKVDatabaseEditor::Edit() { ExecuteVerb(TKVDefaultEditor::GetVerbCount() + vEditDatabase); }

void TKVDatabaseEditor::ExecuteVerb(int Index) {
  const int own = Index - TKVDefaultEditor::GetVerbCount();
  if (own < 0) {
    TKVDefaultEditor::ExecuteVerb(Index);
  } else if (own == vEditDatabase) {
    if (EditDatabase(rtl::As<korv::TKVDatabase>(Component()))) Modified();
  } else if (own == vParams) {
    EditParams();
  }
}

String TKVDatabaseEditor::GetVerb(int Index) {
  const int own = Index - TKVDefaultEditor::GetVerbCount();
  if (own < 0) return TKVDefaultEditor::GetVerb(Index);
  switch (own) {
  case vSeparator: return designintf::SVerbSeparator;
  case vEditDatabase: return korv::SEditDatabaseVerb;
  case vParams: return korv::SBindVerb;
  default: return {};
  }
}

int TKVDatabaseEditor::GetVerbCount() { return TKVDefaultEditor::GetVerbCount() + VerbCount; }

bool TKVDatabaseEditor::EditDatabase(korv::TKVDatabase* Database) {
  std::unique_ptr<korv::TKVDatabaseEditDlg> dialog = korv::TKVDatabaseEditDlg::Create(vcl::Application, 0);
  EditDlg = dialog.get();
  // The dialog goes, and the handlers see no dialog, however the call ends.
  struct TDialogRelease {
    std::unique_ptr<korv::TKVDatabaseEditDlg>& Dialog;
    korv::TKVDatabaseEditDlg*& Field;
    ~TDialogRelease() {
      Dialog.reset();
      Field = nullptr;
    }
  } release{dialog, EditDlg};

  dialog->LoadData(nullptr);
  dialog->SetDatabaseName(Database->DatabaseName());
  dialog->SetServerType(Database->ServerType());
  dialog->SetRemoteDatabase(Database->RemoteDatabase());
  dialog->SetRemoteDatabaseHistory(DesignSettings ? DesignSettings->RecentDatabases() : nullptr);
  dialog->SetKeepConnection(Database->KeepConnection());
  dialog->SetLoginPrompt(Database->LoginPrompt());
  dialog->SetDefaultDatabase(Database->DesignOptions().Contains(TKVDesignDBOption::ddoDefaultDatabase));
  dialog->SetStoreConnected(Database->DesignOptions().Contains(TKVDesignDBOption::ddoStoreConnected));
  dialog->SetParams(Database->Params());
  dialog->SetGetDefaultParams([this](rtl::TStrings* List) { GetDefaultParams(List); });
  dialog->SetOnLoadDefaultParamsClick([this](rtl::TObject* Sender) { LoadDefaultParams(Sender); });
  dialog->SetOnSaveDefaultParamsClick([this](rtl::TObject* Sender) { SaveDefaultParams(Sender); });
  dialog->SetOnSaveDefaultSrvTypeClick([this](rtl::TObject* Sender) { SaveDefaultSrvType(Sender); });

  const bool result = dialog->ShowModal() == vcl::mrOk;
  if (result) {
    Database->SetParams(dialog->GetParams());
    Database->SetDatabaseName(dialog->GetDatabaseName());
    Database->SetServerType(dialog->GetServerType());
    Database->SetRemoteDatabase(dialog->GetRemoteDatabase());
    Database->SetKeepConnection(dialog->GetKeepConnection());
    Database->SetLoginPrompt(dialog->GetLoginPrompt());
    Database->SetDesignOptions(
        WithOption(Database->DesignOptions(), TKVDesignDBOption::ddoDefaultDatabase, dialog->GetDefaultDatabase()));
    Database->SetDesignOptions(
        WithOption(Database->DesignOptions(), TKVDesignDBOption::ddoStoreConnected, dialog->GetStoreConnected()));
  }
  return result;
}

void TKVDatabaseEditor::EditParams() {
  // The parameters must not be edited in two places: an open code-editor module closes first.
  if (!CloseStringsModule(GetDesigner(), Component(), "Params")) return;
  auto* database = rtl::As<korv::TKVDatabase>(Component());
  if (korv::ShowDatabaseParamsEditor(
          database->Params(),
          [this](rtl::TStrings* Strings, bool Modified) { ShowParamsCodeEditor(Strings, Modified); },
          [this](rtl::TStrings* List) { GetDefaultParams(List); }))
    Modified();
}

void TKVDatabaseEditor::ShowParamsCodeEditor(rtl::TStrings* Strings, bool Modified) {
  OpenStringsModule(GetDesigner(), Component(), "Params", Strings, Modified);
}

void TKVDatabaseEditor::GetDefaultParams(rtl::TStrings* List) {
  if (List && DesignSettings) List->Assign(DesignSettings->DbParams());
}

void TKVDatabaseEditor::LoadDefaultParams(rtl::TObject*) {
  if (EditDlg && DesignSettings) EditDlg->SetParams(DesignSettings->DbParams());
}

void TKVDatabaseEditor::SaveDefaultParams(rtl::TObject*) {
  if (EditDlg && DesignSettings) DesignSettings->SaveDbParams(EditDlg->GetParams());
}

void TKVDatabaseEditor::SaveDefaultSrvType(rtl::TObject*) {
  if (EditDlg && DesignSettings) DesignSettings->WriteDefaultServerType(EditDlg->GetServerType());
}

}  // namespace dclkorv
