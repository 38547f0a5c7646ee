// Scripts: statements run one after another on the database their names lead to.
#include "LibraryFixture.h"

#include "korv/KVScript.h"

using namespace korv;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class ScriptTest : public korvtest::TLibraryTest {};

TEST_F(ScriptTest, ExecSQLRunsEveryStatementUntilOneFails) {
  auto db = ShopDatabase();
  db->SetKeepConnection(false);
  TKVScript script(nullptr);
  script.SetName("Script1");
  script.SetDatabaseName("SHOP");
  EXPECT_EQ(script.GetDBSession(), Session);
  script.SQL()->SetText(
      "CREATE TABLE LOG (MSG TEXT);\nINSERT INTO LOG VALUES ('a;b');\n"
      "-- a comment between statements\nCREATE TABLE LOG2 (X);");
  script.ExecSQL();
  EXPECT_FALSE(db->Connected()) << "connected for the run only";
  rtl::TStringList names;
  Session->GetTableNames("SHOP", "LOG%", false, &names);
  EXPECT_THAT(korvtest::Lines(names), ElementsAre("LOG", "LOG2"));

  script.SQL()->SetText("CREATE TABLE LOG3 (X); INSERT INTO NOPE VALUES (1); CREATE TABLE LOG4 (X);");
  EXPECT_THROW(script.ExecSQL(), rtl::EDatabaseError);
  names.Clear();
  Session->GetTableNames("SHOP", "LOG%", false, &names);
  EXPECT_THAT(korvtest::Lines(names), ElementsAre("LOG", "LOG2", "LOG3"));

  script.SetDatabaseName("Elsewhere");
  try {
    script.ExecSQL();
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Elsewhere"));
  }
  script.SetSessionName("NoSession");
  EXPECT_THROW(script.GetDBSession(), rtl::EDatabaseError);
}

}  // namespace
