// The SQLite driver; registers itself for stSQLite when the library loads.
#include "SQLiteConnection.h"

#include "korv/drivers/Registry.h"

namespace korv::drivers::sqlite {

namespace {

class TSQLiteDriver final : public Driver {
public:
  std::string Name() const override { return GetServerTypeName(TKVServerType::stSQLite); }
  bool SupportsObjOwner() const override { return true; }  // schema.table: main, temp, attached
  bool ProcedureDescriptionsAvailable() const override { return false; }
  std::unique_ptr<Connection> Connect(const ConnectionSpec& spec) override {
    return std::make_unique<TSQLiteConnection>(spec);
  }
};

[[maybe_unused]] const bool Registered = [] {
  RegisterDriver(TKVServerType::stSQLite, [] { return std::make_unique<TSQLiteDriver>(); });
  return true;
}();

}  // namespace

}  // namespace korv::drivers::sqlite
