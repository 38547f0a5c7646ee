// Sessions: named groups of databases. Every session, the default one included, is listed in
// the global Sessions while it exists; a database or data set names its session by SessionName
// (empty: the default session).
#pragma once

#include "rtl/Component.h"
#include "rtl/Strings.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <vector>

namespace korv {

using rtl::String;

class TKVDatabase;
class TKVMonitor;
struct TKVTraceEntry;

class TKVSession : public rtl::TComponent {
  RTL_CLASS(TKVSession, rtl::TComponent)
  explicit TKVSession(rtl::TComponent* AOwner);
  ~TKVSession() override;

  const String& SessionName() const { return FSessionName; }
  // Raises EDatabaseError when another session already has the name (letter case ignored); the
  // default session's name counts too. Renaming disconnects the session's databases; they keep
  // the old name and so leave the session.
  void SetSessionName(const String& Value);
  // Whether this is the library's default session, Session.
  bool IsDefault() const;

  // The databases of this session, in creation order.
  std::vector<TKVDatabase*> Databases() const;
  // The first database of this session with that DatabaseName (letter case ignored); nil when
  // there is none.
  TKVDatabase* FindDatabase(const String& DatabaseName) const;
  // The same, but an unknown name raises EDatabaseError naming it.
  TKVDatabase* GetDatabase(const String& DatabaseName) const;
  // The database of this session marked ddoDefaultDatabase, nil when none is.
  TKVDatabase* DefaultDatabase() const;

  // Catalogue calls. Each appends to List; finds the database by name in this session (an
  // unknown name raises EDatabaseError naming it); connects it for the call when it is not
  // connected and disconnects it afterwards unless its KeepConnection is set.
  void GetDatabaseNames(rtl::TStrings* List) const;
  // Pattern: empty for every table, else a LIKE pattern ("%" any run, "_" any one character,
  // "\" takes the next character literally).
  void GetTableNames(const String& DatabaseName, const String& Pattern, bool SystemTables, rtl::TStrings* List);
  // Columns in column order; a table that does not exist gives no line, not an error.
  void GetFieldNames(const String& DatabaseName, const String& TableName, rtl::TStrings* List);
  void GetStoredProcNames(const String& DatabaseName, rtl::TStrings* List);

private:
  // Closes the databases that follow this session.
  void CloseFollowers() const;

  String FSessionName;
};

// The list of every session that exists, and what the library's components share at run time:
// the login dialog, the report of a connection that failed while a module was loaded at design
// time, and the monitors that watch the statements sent.
class TKVSessionList {
public:
  TKVSessionList() = default;
  TKVSessionList(const TKVSessionList&) = delete;
  TKVSessionList& operator=(const TKVSessionList&) = delete;

  int Count() const { return static_cast<int>(FSessions.size()); }
  TKVSession* Sessions(int Index) const;
  TKVSession* operator[](int Index) const { return Sessions(Index); }
  // The session of that name, letter case ignored; an empty name or the default session's name
  // finds the default session; nil when there is none.
  TKVSession* FindSession(const String& SessionName) const;
  // The same, but an unknown name raises EDatabaseError naming it.
  TKVSession* GetSessionByName(const String& SessionName) const;
  void GetSessionNames(rtl::TStrings* List) const;

  // Asked for a user name and password before a database of a server type that needs them
  // connects with LoginPrompt set and no PASSWORD in its parameters. LoginParams holds
  // "USER NAME" and "PASSWORD" lines to fill; false means the user cancelled. The library's
  // login dialog installs itself here; with no hook the connection is tried as it stands.
  using TLoginHook = std::function<bool(TKVDatabase* Database, rtl::TStrings* LoginParams)>;
  const TLoginHook& LoginHook() const { return FLoginHook; }
  void SetLoginHook(TLoginHook Hook) { FLoginHook = std::move(Hook); }

  // Told of a database that could not reconnect (Connected stored with ddoStoreConnected) or a
  // data set that could not reopen (Active stored) while its module was being loaded at design
  // time, so that the module still opens; the component stays disconnected or closed. With no
  // handler the error propagates and the load fails.
  using TLoadErrorHandler = std::function<void(rtl::TComponent* Component, const std::exception& Error)>;
  const TLoadErrorHandler& LoadErrorHandler() const { return FLoadErrorHandler; }
  void SetLoadErrorHandler(TLoadErrorHandler Handler) { FLoadErrorHandler = std::move(Handler); }
  // Hands Error to the load-error handler when Component is being designed and a handler is
  // set; rethrows the exception being handled otherwise. Call only from a catch block.
  void HandleLoadError(rtl::TComponent* Component, const std::exception& Error) const;

  // Every database that exists, in creation order, whatever its session.
  const std::vector<TKVDatabase*>& AllDatabases() const { return FDatabases; }

  // Hands a statement that a driver sent to every active monitor.
  void Trace(const String& Statement) const;
  // The same for a statement run with parameters and timed.
  void Trace(const TKVTraceEntry& Entry) const;
  bool Monitored() const { return !FMonitors.empty(); }

private:
  friend class TKVSession;
  friend class TKVDatabase;
  friend class TKVMonitor;

  // Takes Item off List, looking from the back: a module destroys its components last first,
  // so each is found at once.
  template <class T>
  static void Unlist(std::vector<T*>& List, const T* Item) {
    if (auto it = std::find(List.rbegin(), List.rend(), Item); it != List.rend()) List.erase(std::next(it).base());
  }

  std::vector<TKVSession*> FSessions;
  std::vector<TKVDatabase*> FDatabases;
  // The databases with anything to close: connected, or being read with Connected set. A
  // session that goes or is renamed looks only among these, not through every database.
  std::vector<TKVDatabase*> FLiveDatabases;
  std::vector<TKVMonitor*> FMonitors;
  TLoginHook FLoginHook;
  TLoadErrorHandler FLoadErrorHandler;
};

// The library's default session, named "Default", and the list of all sessions. Both are made
// when the library loads and freed when it unloads.
extern TKVSession* Session;
extern TKVSessionList* Sessions;

}  // namespace korv
