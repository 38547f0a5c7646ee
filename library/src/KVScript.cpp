#include "korv/KVScript.h"

#include "SqlLexer.h"
#include "korv/KVDatabase.h"
#include "korv/KVSession.h"
#include "rtl/SysUtils.h"

namespace korv {

rtl::TClass TKVScript::StaticClass() {
  static rtl::TClass info = rtl::ClassBuilder<TKVScript>("TKVScript")
                                .StrProp("DatabaseName", &TKVScript::DatabaseName, &TKVScript::SetDatabaseName)
                                .StrProp("SessionName", &TKVScript::SessionName, &TKVScript::SetSessionName)
                                .ObjProp<rtl::TStrings>("SQL", &TKVScript::SQL, &TKVScript::SetSQL)
                                .Build();
  return info;
}

TKVScript::TKVScript(rtl::TComponent* AOwner) : rtl::TComponent(AOwner), FSQL(std::make_unique<rtl::TStringList>()) {}

TKVScript::~TKVScript() = default;

TKVSession* TKVScript::GetDBSession() const {
  if (!Sessions) throw rtl::EDatabaseError("The session list is gone");
  return Sessions->GetSessionByName(FSessionName);
}

TKVDatabase* TKVScript::FindDatabase() const {
  TKVSession* session = Sessions ? Sessions->FindSession(FSessionName) : nullptr;
  if (!session) return nullptr;
  return FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
}

void TKVScript::ExecSQL() {
  TKVSession* session = GetDBSession();
  TKVDatabase* db = FDatabaseName.empty() ? session->DefaultDatabase() : session->FindDatabase(FDatabaseName);
  if (!db)
    throw rtl::EDatabaseError(
        fmt::format("{}: database '{}' not found in session '{}'", Name(), FDatabaseName, session->SessionName()));
  const String text = FSQL->Text();
  const auto statements = SplitStatements(text);
  TKVDatabaseUse use(*db);
  for (std::size_t i = 0; i < statements.size(); ++i) {
    try {
      use->Execute(statements[i]);
    } catch (const rtl::EDatabaseError& e) {
      throw rtl::EDatabaseError(fmt::format("{}: statement {} failed: {}", Name(), i + 1, e.Message()));
    }
  }
}

std::vector<String> TKVScript::SplitStatements(const String& Text) {
  // Semicolons in literals, quoted names and comments are the lexer's to skip.
  std::vector<String> statements;
  std::size_t start = 0;
  auto add = [&](std::size_t end) {
    String statement = rtl::Trim(Text.substr(start, end - start));
    if (!statement.empty() && !detail::TokenizeSql(statement).empty()) statements.push_back(std::move(statement));
  };
  for (const auto& token : detail::TokenizeSql(Text)) {
    if (!token.Is(';')) continue;
    const auto at = static_cast<std::size_t>(token.Start - Text.data());
    add(at);
    start = at + 1;
  }
  add(Text.size());
  return statements;
}

}  // namespace korv
