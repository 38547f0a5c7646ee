// TKVDatabase: one connection to a database server through the driver of its server type.
//
// Changing what a connection is made of (DatabaseName, SessionName, ServerType, RemoteDatabase,
// Params, ParamsFileName) while connected disconnects the database first, closing its open data
// sets; the next use connects with the new values.
#pragma once

#include "korv/KVResultSet.h"
#include "korv/ServerTypes.h"
#include "korv/drivers/Driver.h"
#include "rtl/Component.h"
#include "rtl/Sets.h"
#include "rtl/Strings.h"

#include <memory>
#include <vector>

namespace korv {

class TKVSession;
class TKVDataSet;

enum class TKVDesignDBOption { ddoDefaultDatabase, ddoStoreConnected };
using TKVDesignDBOptions = rtl::TSet<TKVDesignDBOption>;

// The kinds of catalogue information GetSchemaInfo answers.
enum class TKVSchemaType { stNone, stTables, stSysTables, stProcedures, stColumns, stIndexes };

const rtl::TTypeInfo* TypeInfo_TKVServerType();
const rtl::TTypeInfo* TypeInfo_TKVDesignDBOption();
const rtl::TTypeInfo* TypeInfo_TKVDesignDBOptions();

class TKVDatabase : public rtl::TComponent {
  RTL_CLASS(TKVDatabase, rtl::TComponent)
  explicit TKVDatabase(rtl::TComponent* AOwner);
  ~TKVDatabase() override;

  const String& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const String& Value);
  // The session this database belongs to: SessionName's (empty: the default session). Setting
  // it moves the database to that session.
  const String& SessionName() const { return FSessionName; }
  void SetSessionName(const String& Value);
  TKVServerType ServerType() const { return FServerType; }
  void SetServerType(TKVServerType Value);
  // SQLite: the database file, taken from BaseDir when relative. PostgreSQL: host[:port]/database.
  // Firebird: a database file for the embedded engine (taken from BaseDir when relative), or a
  // server's host[/port]:path.
  const String& RemoteDatabase() const { return FRemoteDatabase; }
  void SetRemoteDatabase(const String& Value);
  // Connection parameters, name=value.
  rtl::TStrings* Params() const { return FParams.get(); }
  void SetParams(rtl::TStrings* Value);
  // A file of more name=value parameters, read at each connect; Params win over it.
  const String& ParamsFileName() const { return FParamsFileName; }
  void SetParamsFileName(const String& Value);
  bool KeepConnection() const { return FKeepConnection; }
  void SetKeepConnection(bool Value) { FKeepConnection = Value; }
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }
  TKVDesignDBOptions DesignOptions() const { return FDesignOptions; }
  void SetDesignOptions(TKVDesignDBOptions Value) { FDesignOptions = Value; }

  bool Connected() const { return FConnection != nullptr; }
  // Connecting raises EDatabaseError with the server's message and this database's name; a
  // cancelled login raises too. While a module is being read the value is kept and applied in
  // Loaded.
  void SetConnected(bool Value);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }

  // The folder a relative RemoteDatabase or ParamsFileName is taken from: the folder of the
  // module the database lives in, set by whoever loads it; empty means the current folder.
  const String& BaseDir() const { return FBaseDir; }
  void SetBaseDir(const String& Value);

  // The session named by SessionName; raises EDatabaseError naming it when there is none.
  TKVSession* GetDBSession() const;
  // The session named by SessionName, nil when there is none (yet).
  TKVSession* FindDBSession() const;

  // The open connection; raises EDatabaseError when not connected.
  drivers::Connection& Connection() const;

  // Catalogue information of one kind as a new result set standing on its first row, nil for
  // stNone. Connects for the call when not connected (and disconnects afterwards unless
  // KeepConnection). Fields per kind: stTables, stSysTables (system tables too; Name a LIKE
  // pattern, empty for all) TABLE_NAME; stProcedures
  // PROC_NAME; stColumns (Name = table) COLUMN_NAME, COLUMN_POSITION; stIndexes (Name = table)
  // INDEX_NAME, COLUMN_NAME, INDEX_TYPE (4 primary key, 2 unique), in index then column order.
  std::unique_ptr<TKVResultSet> GetSchemaInfo(TKVSchemaType SchemaType, const String& Name);

  // Runs statements that return no rows; connects for the call like the catalogue calls.
  void Execute(const String& SQL);

  // Runs one statement with ":NAME" parameter markers bound by name from Params (nil: it must
  // have none) and gives the rows it inserted, changed or deleted. Connects for the call.
  std::int64_t ExecSQL(const String& SQL, const rtl::TParams* Params = nullptr);

  // A transaction on the connection (connecting first when needed). While one is active the
  // database stays connected, and the statements of data sets, queries, scripts and update
  // objects run inside it. Commit or Rollback without one, or a second StartTransaction,
  // raises EDatabaseError. Disconnecting rolls an open transaction back.
  void StartTransaction();
  void Commit();
  void Rollback();
  bool InTransaction() const;

  // The data sets open on this database.
  const std::vector<TKVDataSet*>& DataSets() const { return FDataSets; }
  int DataSetCount() const { return static_cast<int>(FDataSets.size()); }

  void Loaded() override;

private:
  friend class TKVDataSet;

  void DoConnect();
  void DoDisconnect();
  // Keeps this database among the session list's live ones exactly while it is connected or
  // holds a streamed Connected.
  void NoteLive();
  void CheckDisconnected();  // disconnects before a connection property changes
  std::vector<std::pair<String, String>> ConnectionParams();
  String DisplayName() const;

  String FDatabaseName;
  String FSessionName;
  TKVServerType FServerType;
  String FRemoteDatabase;
  std::unique_ptr<rtl::TStringList> FParams;
  String FParamsFileName;
  bool FKeepConnection = true;
  bool FLoginPrompt = true;
  TKVDesignDBOptions FDesignOptions;
  String FBaseDir;
  bool FStreamedConnected = false;
  bool FConnectedForDataSets = false;  // connected by opening a data set, not by a caller
  bool FListedLive = false;            // in Sessions' live databases
  std::unique_ptr<drivers::Connection> FConnection;
  std::vector<TKVDataSet*> FDataSets;
};

// Keeps a database connected for the length of one call: connects it when it was not, and
// disconnects it again afterwards unless its KeepConnection is set.
class TKVDatabaseUse {
public:
  explicit TKVDatabaseUse(TKVDatabase& Database);
  ~TKVDatabaseUse();
  TKVDatabaseUse(const TKVDatabaseUse&) = delete;
  TKVDatabaseUse& operator=(const TKVDatabaseUse&) = delete;

  drivers::Connection* operator->() const { return &FDatabase.Connection(); }
  drivers::Connection& operator*() const { return FDatabase.Connection(); }

private:
  TKVDatabase& FDatabase;
  bool FWasConnected;
};

}  // namespace korv
