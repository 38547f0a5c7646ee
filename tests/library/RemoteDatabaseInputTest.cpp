// The remote-database input: the SQLite file with its Browse button, the PostgreSQL address
// taken apart into host, port and database and put together again, the Firebird file or server.
#include "korv/KVRemoteDatabaseInput.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"

#include "TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

using namespace korv;
using namespace vcl;
using ::testing::HasSubstr;

namespace {

// Notes what the open dialog was set to before it answers.
class TOpenDialogProbe : public TScriptedUserInterface {
public:
  String Filter, FileName;
  TOpenOptions Options;

  std::optional<String> ExecuteOpenDialog(TOpenDialog* Dialog) override {
    Filter = Dialog->Filter();
    FileName = Dialog->FileName();
    Options = Dialog->Options();
    return TScriptedUserInterface::ExecuteOpenDialog(Dialog);
  }
};

struct RemoteDatabaseInputTest : ::testing::Test {
  String Input(TKVServerType Type, const String& Text, const char* Form,
               TScriptedUserInterface::TGestureScript Script) {
    UI.QueueForm(Form, std::move(Script));
    String result = InputRemoteDatabaseValue(Type, Text);
    EXPECT_TRUE(UI.AllConsumed());
    return result;
  }
  String InputSQLite(const String& Text, TScriptedUserInterface::TGestureScript Script) {
    return Input(TKVServerType::stSQLite, Text, "TKVSQLiteDatabaseDlg", std::move(Script));
  }
  String InputPostgreSQL(const String& Text, TScriptedUserInterface::TGestureScript Script) {
    return Input(TKVServerType::stPostgreSQL, Text, "TKVPostgreSQLDatabaseDlg", std::move(Script));
  }

  TOpenDialogProbe UI;
  TUserInterfaceScope Scope{&UI};
  TTempFolder Temp;
};

}  // namespace

TEST(PostgreSQLAddress, SplitsLenientlyAndComposesWhatTheDriverReads) {
  using A = TKVPostgreSQLAddress;
  EXPECT_EQ(SplitPostgreSQLAddress("db.example:5433/sales"), (A{"db.example", "5433", "sales"}));
  EXPECT_EQ(SplitPostgreSQLAddress(" /sales "), (A{"", "", "sales"}));
  EXPECT_EQ(SplitPostgreSQLAddress("[::1]:5432/a/b"), (A{"::1", "5432", "a/b"}));
  EXPECT_EQ(SplitPostgreSQLAddress("fe80::1/db"), (A{"fe80::1", "", "db"}));
  EXPECT_EQ(SplitPostgreSQLAddress("localhost:x"), (A{"localhost", "x", ""}));
  EXPECT_EQ(SplitPostgreSQLAddress("shop.db"), (A{"shop.db", "", ""}));

  EXPECT_EQ(ComposePostgreSQLAddress({" db.example ", "", "sales"}), "db.example/sales");
  EXPECT_EQ(ComposePostgreSQLAddress({"::1", "5432", "db"}), "[::1]:5432/db");
  EXPECT_EQ(ComposePostgreSQLAddress({"", "", "db"}), "/db");

  EXPECT_EQ(CheckPostgreSQLAddress({"::1", "65535", "db"}), "");
  for (const char* port : {"0", "65536", "54a", "-1", "123456"})
    EXPECT_THAT(CheckPostgreSQLAddress({"h", port, "db"}), HasSubstr("1 to 65535")) << port;
  EXPECT_NE(CheckPostgreSQLAddress({"h", "", ""}), "");
  EXPECT_NE(CheckPostgreSQLAddress({"my host", "", "db"}), "");
  EXPECT_NE(CheckPostgreSQLAddress({"a/b", "", "db"}), "");
}

TEST_F(RemoteDatabaseInputTest, PostgreSQLFieldsAreSplitOnOpeningAndComposedOnOk) {
  EXPECT_EQ(InputPostgreSQL("db.example:5433/sales",
                            [](TGestureDriver& d) {
                              auto* f = rtl::As<TKVPostgreSQLDatabaseDlg>(d.Form());
                              EXPECT_EQ(f->edHost->Text(), "db.example");
                              EXPECT_EQ(f->edPort->Text(), "5433");
                              EXPECT_EQ(f->edDatabase->Text(), "sales");
                              d.Type("edPort", "");
                              d.Type("edDatabase", "stock");
                              d.Click("btOk");
                            }),
            "db.example/stock");
  EXPECT_EQ(InputPostgreSQL("db.example/sales", [](TGestureDriver& d) { d.Escape(); }), "");
}

TEST_F(RemoteDatabaseInputTest, ABadPortIsRefusedAndTheDialogStaysOpen) {
  UI.QueueAnswer(mrOk, "70000");
  UI.QueueAnswer(mrOk, "1 to 65535");
  EXPECT_EQ(InputPostgreSQL("/sales",
                            [](TGestureDriver& d) {
                              d.Type("edPort", "70000");
                              d.Click("btOk");
                              EXPECT_FALSE(d.Closed());
                              d.Type("edPort", "port");
                              d.Enter();
                              EXPECT_FALSE(d.Closed());
                              d.Type("edPort", "5432");
                              d.Click("btOk");
                            }),
            ":5432/sales");
  EXPECT_EQ(UI.Messages().size(), 2u);
}

TEST_F(RemoteDatabaseInputTest, SQLiteFileIsTypedOrChosenWithBrowse) {
  const String existing = Temp.File("shop.db");
  std::ofstream(existing).put('\0');
  EXPECT_EQ(InputSQLite("old.db",
                        [](TGestureDriver& d) {
                          EXPECT_EQ(rtl::As<TKVSQLiteDatabaseDlg>(d.Form())->edDatabaseFile->Text(), "old.db");
                          d.Type("edDatabaseFile", " typed.db ");
                          d.Click("btOk");
                        }),
            "typed.db");

  // A file that is not there is refused by the open dialog, which asks again.
  UI.QueueOpenDialog(Temp.File("missing.db"));
  UI.QueueAnswer(mrOk);
  UI.QueueOpenDialog(existing);
  EXPECT_EQ(InputSQLite("old.db",
                        [](TGestureDriver& d) {
                          d.Click("btBrowse");
                          d.Click("btOk");
                        }),
            existing);
  EXPECT_EQ(UI.FileName, "old.db");
  EXPECT_EQ(UI.Filter, SQLiteFileFilter);
  EXPECT_TRUE(UI.Options.Contains(ofFileMustExist) && UI.Options.Contains(ofPathMustExist));

  // Browsing cancelled keeps the text; the dialog cancelled gives nothing.
  UI.QueueOpenDialog(std::nullopt);
  EXPECT_EQ(InputSQLite("old.db",
                        [](TGestureDriver& d) {
                          d.Click("btBrowse");
                          EXPECT_EQ(rtl::As<TKVSQLiteDatabaseDlg>(d.Form())->edDatabaseFile->Text(), "old.db");
                          d.Click("btOk");
                        }),
            "old.db");
  EXPECT_EQ(InputSQLite("old.db", [](TGestureDriver& d) { d.Click("btCancel"); }), "");
}

TEST_F(RemoteDatabaseInputTest, FirebirdFileIsTypedOrChosenAndAServerAddressTyped) {
  const String existing = Temp.File("shop.fdb");
  std::ofstream(existing).put('\0');
  UI.QueueOpenDialog(existing);
  EXPECT_EQ(Input(TKVServerType::stFirebird, "old.fdb", "TKVFirebirdDatabaseDlg",
                  [](TGestureDriver& d) {
                    auto* f = rtl::As<TKVFirebirdDatabaseDlg>(d.Form());
                    EXPECT_EQ(f->Caption(), "Firebird Database");
                    EXPECT_EQ(f->edDatabaseFile->Text(), "old.fdb");
                    d.Click("btBrowse");
                    d.Click("btOk");
                  }),
            existing);
  EXPECT_EQ(UI.Filter, FirebirdFileFilter);
  EXPECT_EQ(Input(TKVServerType::stFirebird, existing, "TKVFirebirdDatabaseDlg",
                  [](TGestureDriver& d) {
                    d.Type("edDatabaseFile", " db.example/3051:/srv/shop.fdb ");
                    d.Click("btOk");
                  }),
            "db.example/3051:/srv/shop.fdb");
  EXPECT_EQ(
      Input(TKVServerType::stFirebird, "old.fdb", "TKVFirebirdDatabaseDlg", [](TGestureDriver& d) { d.Escape(); }), "");
}
