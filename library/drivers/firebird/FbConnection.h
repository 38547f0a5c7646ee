// A live connection of the Firebird driver: one attachment, the user's transaction when one is
// started, and the catalogue questions answered from the RDB$ tables with every name bound.
#pragma once

#include "FbApi.h"

#include "korv/drivers/Driver.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korv::drivers::firebird {

class TFbStatement;

class TFbConnection final : public Connection {
public:
  TFbConnection(std::unique_ptr<TFbAttachment> Attachment, std::function<void(const std::string&)> OnTrace);
  ~TFbConnection() override;

  std::vector<std::string> TableNames(const std::string& pattern, bool systemTables) override;
  std::vector<std::string> ColumnNames(const std::string& table) override;
  std::vector<std::string> ProcedureNames() override;
  std::vector<IndexColumn> IndexInfo(const std::string& table) override;
  std::vector<FieldOrigin> DescribeStatement(const std::string& sql) override;
  std::vector<ProcParam> DescribeProcedure(const std::string& name) override;
  void Execute(const std::string& sql) override;

  std::unique_ptr<Statement> Prepare(const std::string& sql) override;
  StatementCheck CheckStatement(const std::string& sql) override;
  // Firebird takes only "?"; the number stays in the text until the statement is prepared,
  // where it says which value goes in that place (a name used twice binds twice).
  std::string Placeholder(int Number) const override { return "?" + std::to_string(Number); }
  void StartTransaction() override;
  void Commit() override;
  void Rollback() override;
  bool InTransaction() const override { return FTransaction->Active(); }

  bool SupportsObjOwner() const override { return false; }
  bool ProcedureDescriptionsAvailable() const override { return true; }

  // For the statements and cursors of this connection.
  isc_db_handle* Db() { return &*FAttachment; }
  // The user's transaction when one is active, else nullptr. A cursor opened in it keeps it:
  // ending it while cursors read commits (or rolls back) retaining the context, so that they
  // read on, as the other servers' cursors do, and the last of them ends it.
  std::shared_ptr<TFbTransaction> UserTransaction() { return FTransaction->Active() ? FTransaction : nullptr; }
  // Rows of a catalogue query, every value as text (NULL as nullopt). sql is one of the constants
  // of FbCatalogSql.h: it stays prepared, found again by its address.
  using TRows = std::vector<std::vector<std::optional<std::string>>>;
  TRows Query(const char* sql, const std::vector<std::optional<std::string>>& params);

private:
  // A relation or procedure name as the three parameters of the catalogue's name lookup.
  // Nothing when the name is too long to be in the catalogue at all.
  static std::optional<std::vector<std::optional<std::string>>> NameParams(const std::string& name);
  // The lengths of the VARCHARs the catalogue queries cast their parameters to.
  static constexpr std::size_t kMaxNameBytes = 252, kMaxPatternBytes = 1024;
  std::vector<std::string> FirstColumn(const char* sql, const std::vector<std::optional<std::string>>& params);
  void Trace(const std::string& sql) const;

  std::unique_ptr<TFbAttachment> FAttachment;
  // Declared after the attachment: rolled back before it detaches.
  std::shared_ptr<TFbTransaction> FTransaction = std::make_shared<TFbTransaction>();
  std::function<void(const std::string&)> FOnTrace;
  // The catalogue queries, each prepared once for the connection's life (declared last: freed
  // before the transaction and the attachment they belong to).
  std::map<const char*, std::unique_ptr<TFbStatement>> FCatalogue;
};

}  // namespace korv::drivers::firebird
