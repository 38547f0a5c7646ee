// The remote-database input: asks for the RemoteDatabase text of a database in the form its
// server type reads. SQLite: the database file, chosen with a file dialog if wished.
// PostgreSQL: host, port and database, composed into host[:port]/database. Firebird: a database
// file, or a server's host[/port]:path.
#pragma once

#include "korv/ServerTypes.h"
#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace korv {

using rtl::String;

class TKVSQLiteDatabaseDlg : public vcl::TForm {
  RTL_CLASS(TKVSQLiteDatabaseDlg, vcl::TForm)
  explicit TKVSQLiteDatabaseDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TLabel* lblDatabaseFile = nullptr;
  vcl::TEdit* edDatabaseFile = nullptr;
  vcl::TButton* btBrowse = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // Chooses an existing file with the platform's open dialog, starting from the edit's text.
  void btBrowseClick(rtl::TObject* Sender);
};

// Firebird: a database file for the embedded engine (Browse chooses one), or a server's
// host[/port]:path typed in.
class TKVFirebirdDatabaseDlg : public vcl::TForm {
  RTL_CLASS(TKVFirebirdDatabaseDlg, vcl::TForm)
  explicit TKVFirebirdDatabaseDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TLabel* lblDatabaseFile = nullptr;
  vcl::TEdit* edDatabaseFile = nullptr;
  vcl::TButton* btBrowse = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  void btBrowseClick(rtl::TObject* Sender);
};

// The file filter of the Firebird dialog's Browse button.
inline constexpr const char* FirebirdFileFilter = "Firebird databases (*.fdb;*.gdb)|*.fdb;*.gdb|All files (*.*)|*.*";

class TKVPostgreSQLDatabaseDlg : public vcl::TForm {
  RTL_CLASS(TKVPostgreSQLDatabaseDlg, vcl::TForm)
  explicit TKVPostgreSQLDatabaseDlg(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {}

  vcl::TLabel* lblHost = nullptr;
  vcl::TEdit* edHost = nullptr;
  vcl::TLabel* lblPort = nullptr;
  vcl::TEdit* edPort = nullptr;
  vcl::TLabel* lblDatabase = nullptr;
  vcl::TEdit* edDatabase = nullptr;
  vcl::TButton* btOk = nullptr;
  vcl::TButton* btCancel = nullptr;

  // OK is refused, with a message, while the fields do not make an address the server takes.
  void FormCloseQuery(rtl::TObject* Sender, bool& CanClose);
};

// The file filter of the SQLite dialog's Browse button.
inline constexpr const char* SQLiteFileFilter =
    "SQLite databases (*.db;*.sqlite;*.sqlite3;*.db3)|*.db;*.sqlite;*.sqlite3;*.db3|All files (*.*)|*.*";

// A PostgreSQL address taken apart. Port is kept as written, so that a wrong one can be shown.
struct TKVPostgreSQLAddress {
  String Host;
  String Port;
  String Database;
  bool operator==(const TKVPostgreSQLAddress&) const = default;
};

// Reads host[:port]/database ([host]:port for an IPv6 address) without ever failing: what does
// not fit the form goes into Host.
TKVPostgreSQLAddress SplitPostgreSQLAddress(const String& Text);
// host[:port]/database, trimmed, an empty port left out, an IPv6 host in brackets.
String ComposePostgreSQLAddress(const TKVPostgreSQLAddress& Address);
// Why the server would not take the address; empty when it would.
String CheckPostgreSQLAddress(const TKVPostgreSQLAddress& Address);

// Shows the dialog of ServerType, filled from Text. The text to store, or empty when cancelled.
String InputRemoteDatabaseValue(TKVServerType ServerType, const String& Text);

}  // namespace korv
