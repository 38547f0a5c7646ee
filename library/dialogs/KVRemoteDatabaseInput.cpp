#include "korv/KVRemoteDatabaseInput.h"

#include "korv/postgres/PgNames.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

#include <memory>

// The dialogs' descriptions, compiled into the library.
extern const char KVDialog_KVSQLiteDatabase_dfm[];
extern const char KVDialog_KVPostgreSQLDatabase_dfm[];
extern const char KVDialog_KVFirebirdDatabase_dfm[];

namespace korv {

using namespace vcl;
using rtl::TObject;

namespace {

// A database file's Browse button: an existing file chosen in an open dialog, starting from the
// one typed, goes into Edit.
void BrowseDatabaseFile(TEdit* Edit, const String& Title, const String& Filter) {
  auto open = std::make_unique<TOpenDialog>(nullptr);
  open->SetTitle(Title);
  open->SetFilter(Filter);
  open->SetFileName(rtl::Trim(Edit->Text()));
  open->SetOptions(open->Options() + ofPathMustExist + ofFileMustExist);
  if (open->Execute()) Edit->SetText(open->FileName());
}

}  // namespace

// ------------------------------------------------------------------ SQLite

rtl::TClass TKVSQLiteDatabaseDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVSQLiteDatabaseDlg>("TKVSQLiteDatabaseDlg")
                                .Method("btBrowseClick", &TKVSQLiteDatabaseDlg::btBrowseClick)
                                .Field("lblDatabaseFile", &TKVSQLiteDatabaseDlg::lblDatabaseFile)
                                .Field("edDatabaseFile", &TKVSQLiteDatabaseDlg::edDatabaseFile)
                                .Field("btBrowse", &TKVSQLiteDatabaseDlg::btBrowse)
                                .Field("btOk", &TKVSQLiteDatabaseDlg::btOk)
                                .Field("btCancel", &TKVSQLiteDatabaseDlg::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVSQLiteDatabaseDescription(&TKVSQLiteDatabaseDlg::StaticClass,
                                                                      KVDialog_KVSQLiteDatabase_dfm,
                                                                      "KVSQLiteDatabase.dfm");

void TKVSQLiteDatabaseDlg::btBrowseClick(TObject*) {
  BrowseDatabaseFile(edDatabaseFile, "Open SQLite Database", SQLiteFileFilter);
}

// ------------------------------------------------------------------ Firebird

rtl::TClass TKVFirebirdDatabaseDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVFirebirdDatabaseDlg>("TKVFirebirdDatabaseDlg")
                                .Method("btBrowseClick", &TKVFirebirdDatabaseDlg::btBrowseClick)
                                .Field("lblDatabaseFile", &TKVFirebirdDatabaseDlg::lblDatabaseFile)
                                .Field("edDatabaseFile", &TKVFirebirdDatabaseDlg::edDatabaseFile)
                                .Field("btBrowse", &TKVFirebirdDatabaseDlg::btBrowse)
                                .Field("btOk", &TKVFirebirdDatabaseDlg::btOk)
                                .Field("btCancel", &TKVFirebirdDatabaseDlg::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVFirebirdDatabaseDescription(&TKVFirebirdDatabaseDlg::StaticClass,
                                                                        KVDialog_KVFirebirdDatabase_dfm,
                                                                        "KVFirebirdDatabase.dfm");

void TKVFirebirdDatabaseDlg::btBrowseClick(TObject*) {
  BrowseDatabaseFile(edDatabaseFile, "Open Firebird Database", FirebirdFileFilter);
}

// ------------------------------------------------------------------ PostgreSQL

rtl::TClass TKVPostgreSQLDatabaseDlg::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVPostgreSQLDatabaseDlg>("TKVPostgreSQLDatabaseDlg")
                                .Method("FormCloseQuery", &TKVPostgreSQLDatabaseDlg::FormCloseQuery)
                                .Field("lblHost", &TKVPostgreSQLDatabaseDlg::lblHost)
                                .Field("edHost", &TKVPostgreSQLDatabaseDlg::edHost)
                                .Field("lblPort", &TKVPostgreSQLDatabaseDlg::lblPort)
                                .Field("edPort", &TKVPostgreSQLDatabaseDlg::edPort)
                                .Field("lblDatabase", &TKVPostgreSQLDatabaseDlg::lblDatabase)
                                .Field("edDatabase", &TKVPostgreSQLDatabaseDlg::edDatabase)
                                .Field("btOk", &TKVPostgreSQLDatabaseDlg::btOk)
                                .Field("btCancel", &TKVPostgreSQLDatabaseDlg::btCancel)
                                .Build();
  return info;
}

static const TFormDescriptionRegistration KVPostgreSQLDatabaseDescription(&TKVPostgreSQLDatabaseDlg::StaticClass,
                                                                          KVDialog_KVPostgreSQLDatabase_dfm,
                                                                          "KVPostgreSQLDatabase.dfm");

void TKVPostgreSQLDatabaseDlg::FormCloseQuery(TObject*, bool& CanClose) {
  if (ModalResult() != mrOk) return;
  const TKVPostgreSQLAddress address{edHost->Text(), edPort->Text(), edDatabase->Text()};
  const String problem = CheckPostgreSQLAddress(address);
  if (problem.empty()) return;
  CanClose = false;
  MessageDlg(problem, mtError, TMsgDlgButtons{mbOK}, 0);
}

namespace {

bool IsPortNumber(const String& Text) {
  if (Text.empty() || Text.size() > 5) return false;
  for (char c : Text)
    if (c < '0' || c > '9') return false;
  const int port = std::stoi(Text);
  return port >= 1 && port <= 65535;
}

bool HasBlank(const String& Text) {
  for (unsigned char c : Text)
    if (c <= ' ') return true;
  return false;
}

}  // namespace

TKVPostgreSQLAddress SplitPostgreSQLAddress(const String& Text) {
  const String text = rtl::Trim(Text);
  TKVPostgreSQLAddress address;
  const auto slash = text.find('/');
  const String hostPort = text.substr(0, slash);
  if (slash != String::npos) address.Database = text.substr(slash + 1);

  if (!hostPort.empty() && hostPort.front() == '[') {
    const auto close = hostPort.find(']');
    const String rest = close == String::npos ? String() : hostPort.substr(close + 1);
    if (close != String::npos && (rest.empty() || rest.front() == ':')) {
      address.Host = hostPort.substr(1, close - 1);
      if (!rest.empty()) address.Port = rest.substr(1);
    } else {
      address.Host = hostPort;
    }
  } else {
    const auto colon = hostPort.find(':');
    if (colon != String::npos && hostPort.find(':', colon + 1) == String::npos) {
      address.Host = hostPort.substr(0, colon);
      address.Port = hostPort.substr(colon + 1);
    } else {
      address.Host = hostPort;  // no port, or an IPv6 address written without brackets
    }
  }
  return address;
}

String ComposePostgreSQLAddress(const TKVPostgreSQLAddress& Address) {
  const String host = rtl::Trim(Address.Host);
  const String port = rtl::Trim(Address.Port);
  String text = host.find(':') != String::npos ? "[" + host + "]" : host;
  if (!port.empty()) text += ":" + port;
  return text + "/" + rtl::Trim(Address.Database);
}

String CheckPostgreSQLAddress(const TKVPostgreSQLAddress& Address) {
  const String host = rtl::Trim(Address.Host);
  const String port = rtl::Trim(Address.Port);
  const String database = rtl::Trim(Address.Database);
  if (!port.empty() && !IsPortNumber(port))
    return rtl::Format("The port \"{}\" is not valid: enter a number from 1 to 65535, or nothing for the default port",
                       port);
  if (HasBlank(host)) return "The host name must not contain blanks";
  if (host.find_first_of("/[]") != String::npos) return "The host name must not contain \"/\", \"[\" or \"]\"";
  if (database.empty()) return "Enter the name of the database";
  // What the dialog composes must read back the same in the driver.
  try {
    const auto parsed = drivers::postgres::ParseRemoteDatabase(ComposePostgreSQLAddress(Address));
    if (parsed.Host != host || parsed.Port != port || parsed.Database != database)
      return rtl::Format("\"{}\" would not name this server and database", ComposePostgreSQLAddress(Address));
  } catch (const rtl::EDatabaseError& e) {
    return e.Message();
  }
  return {};
}

// ------------------------------------------------------------------ the input

namespace {

String InputSQLiteDatabase(const String& Text) {
  auto dialog = CreateForm<TKVSQLiteDatabaseDlg>(Application);
  dialog->edDatabaseFile->SetText(Text);
  if (dialog->ShowModal() != mrOk) return {};
  return rtl::Trim(dialog->edDatabaseFile->Text());
}

// A MariaDB server is addressed the same way (host[:port]/database), so it shares the dialog
// under its own caption.
String InputPostgreSQLDatabase(const String& Text, const String& Caption = {}) {
  auto dialog = CreateForm<TKVPostgreSQLDatabaseDlg>(Application);
  if (!Caption.empty()) dialog->SetCaption(Caption);
  const TKVPostgreSQLAddress address = SplitPostgreSQLAddress(Text);
  dialog->edHost->SetText(address.Host);
  dialog->edPort->SetText(address.Port);
  dialog->edDatabase->SetText(address.Database);
  if (dialog->ShowModal() != mrOk) return {};
  return ComposePostgreSQLAddress({dialog->edHost->Text(), dialog->edPort->Text(), dialog->edDatabase->Text()});
}

String InputFirebirdDatabase(const String& Text) {
  auto dialog = CreateForm<TKVFirebirdDatabaseDlg>(Application);
  dialog->edDatabaseFile->SetText(Text);
  if (dialog->ShowModal() != mrOk) return {};
  return rtl::Trim(dialog->edDatabaseFile->Text());
}

}  // namespace

String InputRemoteDatabaseValue(TKVServerType ServerType, const String& Text) {
  switch (ServerType) {
  case TKVServerType::stSQLite: return InputSQLiteDatabase(Text);
  case TKVServerType::stPostgreSQL: return InputPostgreSQLDatabase(Text);
  case TKVServerType::stFirebird: return InputFirebirdDatabase(Text);
  case TKVServerType::stMariaDB: return InputPostgreSQLDatabase(Text, "MariaDB Database");
  }
  throw rtl::EDatabaseError(
      rtl::Format("There is no remote-database dialog for server type {}", static_cast<int>(ServerType)));
}

}  // namespace korv
