#include "korv/KVDatabaseEditDlg.h"

#include "korv/KVDatabase.h"
#include "korv/KVRemoteDatabaseInput.h"

// The dialog's description, compiled into the library.
extern const char KVDialog_KVDatabaseEditDlg_dfm[];

namespace korv {

using namespace vcl;
using rtl::TObject;

rtl::TClass TKVDatabaseEditDlg::StaticClass() {
  using T = TKVDatabaseEditDlg;
  static rtl::TClass info = rtl::ClassBuilder<T>("TKVDatabaseEditDlg")
                                .Method("FormShow", &T::FormShow)
                                .Method("btRemoteDatabaseClick", &T::btRemoteDatabaseClick)
                                .Method("btLoadDefaultsClick", &T::btLoadDefaultsClick)
                                .Method("btSaveDefaultsClick", &T::btSaveDefaultsClick)
                                .Method("btSaveDefaultSrvTypeClick", &T::btSaveDefaultSrvTypeClick)
                                .Field("lblDatabaseName", &T::lblDatabaseName)
                                .Field("edDatabaseName", &T::edDatabaseName)
                                .Field("lblServerType", &T::lblServerType)
                                .Field("cbServerType", &T::cbServerType)
                                .Field("lblRemoteDatabase", &T::lblRemoteDatabase)
                                .Field("cbRemoteDatabase", &T::cbRemoteDatabase)
                                .Field("btRemoteDatabase", &T::btRemoteDatabase)
                                .Field("gbxOptions", &T::gbxOptions)
                                .Field("cbKeepConnection", &T::cbKeepConnection)
                                .Field("cbLoginPrompt", &T::cbLoginPrompt)
                                .Field("cbDefaultDatabase", &T::cbDefaultDatabase)
                                .Field("cbStoreConnected", &T::cbStoreConnected)
                                .Field("lblParams", &T::lblParams)
                                .Field("meParams", &T::meParams)
                                .Field("btLoadDefaults", &T::btLoadDefaults)
                                .Field("btSaveDefaults", &T::btSaveDefaults)
                                .Field("btSaveDefaultSrvType", &T::btSaveDefaultSrvType)
                                .Field("bvButtons", &T::bvButtons)
                                .Field("btOk", &T::btOk)
                                .Field("btCancel", &T::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVDatabaseEditDlgDescription(&TKVDatabaseEditDlg::StaticClass,
                                                                       KVDialog_KVDatabaseEditDlg_dfm,
                                                                       "KVDatabaseEditDlg.dfm");

TKVDatabaseEditDlg::TKVDatabaseEditDlg(rtl::TComponent* AOwner)
    : TForm(AOwner), FParams(std::make_unique<rtl::TStringList>()) {}

TKVDatabaseEditDlg::~TKVDatabaseEditDlg() = default;

std::unique_ptr<TKVDatabaseEditDlg> TKVDatabaseEditDlg::Create(rtl::TComponent* AOwner, int HelpContext) {
  auto dialog = CreateForm<TKVDatabaseEditDlg>(AOwner);
  dialog->SetHelpContext(HelpContext);
  return dialog;
}

void TKVDatabaseEditDlg::Loaded() {
  TForm::Loaded();
  FillServerTypes();
  UpdateButtons();
}

void TKVDatabaseEditDlg::FillServerTypes() {
  // The choices follow the library's server types, in their order: item i is type i.
  rtl::TStrings* types = cbServerType->Items();
  types->BeginUpdate();
  try {
    types->Clear();
    const auto count = TypeInfo_TKVServerType()->EnumNames.size();
    for (size_t i = 0; i < count; ++i) types->Add(GetServerTypeName(static_cast<TKVServerType>(i)));
  } catch (...) {
    types->EndUpdate();
    throw;
  }
  types->EndUpdate();
}

void TKVDatabaseEditDlg::LoadData(rtl::TStrings* List) {
  FillServerTypes();
  SetDatabaseName("");
  SetServerType(DefServerType);
  SetRemoteDatabaseHistory(nullptr);
  SetRemoteDatabase("");
  SetKeepConnection(true);
  SetLoginPrompt(true);
  SetDefaultDatabase(false);
  SetStoreConnected(false);
  SetParams(List);
}

String TKVDatabaseEditDlg::GetDatabaseName() const { return edDatabaseName->Text(); }
void TKVDatabaseEditDlg::SetDatabaseName(const String& Value) { edDatabaseName->SetText(Value); }

TKVServerType TKVDatabaseEditDlg::GetServerType() const {
  const int index = cbServerType->ItemIndex();
  return index < 0 ? DefServerType : static_cast<TKVServerType>(index);
}

void TKVDatabaseEditDlg::SetServerType(TKVServerType Value) {
  const int index = static_cast<int>(Value);
  // Before LoadData there is nothing to choose from.
  cbServerType->SetItemIndex(index < cbServerType->Items()->Count() ? index : -1);
}

String TKVDatabaseEditDlg::GetRemoteDatabase() const { return cbRemoteDatabase->Text(); }
void TKVDatabaseEditDlg::SetRemoteDatabase(const String& Value) { cbRemoteDatabase->SetText(Value); }

void TKVDatabaseEditDlg::SetRemoteDatabaseHistory(rtl::TStrings* Value) {
  FRemoteDatabaseHistory = Value;
  ShowHistory();
}

void TKVDatabaseEditDlg::ShowHistory() {
  const String text = cbRemoteDatabase->Text();
  if (FRemoteDatabaseHistory)
    cbRemoteDatabase->Items()->Assign(FRemoteDatabaseHistory);
  else
    cbRemoteDatabase->Items()->Clear();
  cbRemoteDatabase->SetText(text);  // new items clear the text
}

bool TKVDatabaseEditDlg::GetKeepConnection() const { return cbKeepConnection->Checked(); }
void TKVDatabaseEditDlg::SetKeepConnection(bool Value) { cbKeepConnection->SetChecked(Value); }
bool TKVDatabaseEditDlg::GetLoginPrompt() const { return cbLoginPrompt->Checked(); }
void TKVDatabaseEditDlg::SetLoginPrompt(bool Value) { cbLoginPrompt->SetChecked(Value); }
bool TKVDatabaseEditDlg::GetDefaultDatabase() const { return cbDefaultDatabase->Checked(); }
void TKVDatabaseEditDlg::SetDefaultDatabase(bool Value) { cbDefaultDatabase->SetChecked(Value); }
bool TKVDatabaseEditDlg::GetStoreConnected() const { return cbStoreConnected->Checked(); }
void TKVDatabaseEditDlg::SetStoreConnected(bool Value) { cbStoreConnected->SetChecked(Value); }

rtl::TStrings* TKVDatabaseEditDlg::GetParams() {
  FParams->Assign(meParams->Lines());
  return FParams.get();
}

void TKVDatabaseEditDlg::SetParams(rtl::TStrings* Value) {
  if (Value)
    meParams->Lines()->Assign(Value);
  else
    meParams->Lines()->Clear();
}

void TKVDatabaseEditDlg::SetGetDefaultParams(TKVGetDefaultParams Value) {
  FGetDefaultParams = std::move(Value);
  UpdateButtons();
}

void TKVDatabaseEditDlg::SetOnLoadDefaultParamsClick(TKVNotifyHandler Value) {
  FOnLoadDefaultParamsClick = std::move(Value);
  UpdateButtons();
}

void TKVDatabaseEditDlg::SetOnSaveDefaultParamsClick(TKVNotifyHandler Value) {
  FOnSaveDefaultParamsClick = std::move(Value);
  UpdateButtons();
}

void TKVDatabaseEditDlg::SetOnSaveDefaultSrvTypeClick(TKVNotifyHandler Value) {
  FOnSaveDefaultSrvTypeClick = std::move(Value);
  UpdateButtons();
}

void TKVDatabaseEditDlg::UpdateButtons() {
  btLoadDefaults->SetEnabled(FOnLoadDefaultParamsClick || FGetDefaultParams);
  btSaveDefaults->SetEnabled(static_cast<bool>(FOnSaveDefaultParamsClick));
  btSaveDefaultSrvType->SetEnabled(static_cast<bool>(FOnSaveDefaultSrvTypeClick));
}

void TKVDatabaseEditDlg::FormShow(TObject*) {
  // The history may have grown since it was handed over.
  ShowHistory();
}

void TKVDatabaseEditDlg::btRemoteDatabaseClick(TObject*) {
  const String value = InputRemoteDatabaseValue(GetServerType(), GetRemoteDatabase());
  if (!value.empty()) SetRemoteDatabase(value);
}

void TKVDatabaseEditDlg::btLoadDefaultsClick(TObject* Sender) {
  if (FOnLoadDefaultParamsClick) {
    FOnLoadDefaultParamsClick(Sender);
  } else if (FGetDefaultParams) {
    rtl::TStringList defaults;
    FGetDefaultParams(&defaults);
    SetParams(&defaults);
  }
}

void TKVDatabaseEditDlg::btSaveDefaultsClick(TObject* Sender) {
  if (FOnSaveDefaultParamsClick) FOnSaveDefaultParamsClick(Sender);
}

void TKVDatabaseEditDlg::btSaveDefaultSrvTypeClick(TObject* Sender) {
  if (FOnSaveDefaultSrvTypeClick) FOnSaveDefaultSrvTypeClick(Sender);
}

}  // namespace korv
