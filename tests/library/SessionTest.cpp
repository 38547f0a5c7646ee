// Sessions, the session list and the session-level catalogue calls, on real SQLite files.
#include "LibraryFixture.h"

#include "korv/KVMonitor.h"

using namespace korv;
using korvtest::Lines;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

class SessionTest : public korvtest::TLibraryTest {};

TEST_F(SessionTest, DefaultSessionIsFoundByEmptyNameOrItsNameInAnyCase) {
  ASSERT_NE(Session, nullptr);
  ASSERT_NE(Sessions, nullptr);
  EXPECT_EQ(Session->SessionName(), "Default");
  EXPECT_TRUE(Session->IsDefault());
  EXPECT_EQ(Sessions->FindSession(""), Session);
  EXPECT_EQ(Sessions->FindSession("default"), Session);
  EXPECT_EQ(Sessions->FindSession("DEFAULT"), Session);
  EXPECT_EQ(Sessions->GetSessionByName(""), Session);
  EXPECT_EQ(Sessions->FindSession("Nowhere"), nullptr);
  try {
    Sessions->GetSessionByName("Nowhere");
    FAIL() << "an unknown session was found";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Nowhere"));
  }
}

TEST_F(SessionTest, SessionComponentsAreListedWhileTheyExistAndNamesStayUnique) {
  const int before = Sessions->Count();
  {
    TKVSession s1(nullptr);
    s1.SetSessionName("Reports");
    ASSERT_EQ(Sessions->Count(), before + 1);
    EXPECT_EQ(Sessions->Sessions(before), &s1);
    EXPECT_EQ(Sessions->FindSession("REPORTS"), &s1);
    EXPECT_EQ(Sessions->GetSessionByName("reports"), &s1);

    TKVSession s2(nullptr);
    EXPECT_THROW(s2.SetSessionName("reports"), rtl::EDatabaseError);
    EXPECT_THROW(s2.SetSessionName("DEFAULT"), rtl::EDatabaseError);
    EXPECT_EQ(s2.SessionName(), "");
    EXPECT_EQ(Sessions->FindSession(""), Session) << "an unnamed session never stands for the default one";
  }
  EXPECT_EQ(Sessions->Count(), before);
  EXPECT_EQ(Sessions->FindSession("Reports"), nullptr);
}

TEST_F(SessionTest, DatabasesBelongToTheSessionTheirNameNamesAndMoveWithIt) {
  auto a = ShopDatabase("A");
  auto b = ShopDatabase("B");
  b->SetSessionName("Work");  // the session does not exist yet: b waits for it
  auto c = ShopDatabase("C");

  rtl::TStringList names;
  names.Add("kept");
  Session->GetDatabaseNames(&names);
  EXPECT_THAT(Lines(names), testing::IsSupersetOf({"kept", "A", "C"}));
  EXPECT_EQ(Session->FindDatabase("b"), nullptr);

  TKVSession work(nullptr);
  work.SetSessionName("WORK");
  EXPECT_EQ(work.FindDatabase("b"), b.get());
  EXPECT_EQ(work.FindDatabase("a"), nullptr);

  a->SetSessionName("work");
  c->SetSessionName("Work");
  names.Clear();
  work.GetDatabaseNames(&names);
  EXPECT_THAT(Lines(names), ElementsAre("A", "B", "C")) << "creation order, not order of arrival";
  EXPECT_EQ(Session->FindDatabase("A"), nullptr);

  // Renaming the session leaves its databases behind, disconnected.
  a->Open();
  work.SetSessionName("Elsewhere");
  EXPECT_FALSE(a->Connected());
  EXPECT_EQ(work.FindDatabase("A"), nullptr);
  EXPECT_THROW(work.GetDatabase("A"), rtl::EDatabaseError);

  // A session that goes takes its own connections with it, and no other.
  auto d = ShopDatabase("D");
  d->Open();
  {
    TKVSession gone(nullptr);
    gone.SetSessionName("Gone");
    b->SetSessionName("gone");
    b->Open();
    ASSERT_TRUE(b->Connected());
  }
  EXPECT_FALSE(b->Connected());
  EXPECT_TRUE(d->Connected());

  // A database being read with Connected set is closed as well: it does not connect once
  // loaded. One that goes while connected is forgotten by the sessions that go after it.
  {
    TKVSession reading(nullptr);
    reading.SetSessionName("Reading");
    auto e = ShopDatabase("E");
    e->SetSessionName("reading");
    e->SetComponentState(rtl::TComponentStateItem::csReading, true);
    e->SetConnected(true);
    reading.SetSessionName("Renamed");
    e->SetComponentState(rtl::TComponentStateItem::csReading, false);
    e->Loaded();
    EXPECT_FALSE(e->Connected());

    auto f = ShopDatabase("F");
    f->SetSessionName("Renamed");
    f->Open();
    f.reset();
  }
  EXPECT_TRUE(d->Connected());
}

TEST_F(SessionTest, CatalogueCallsAppendAndConnectOnlyForTheCallUnlessKeepConnection) {
  auto db = ShopDatabase();
  db->SetKeepConnection(false);

  rtl::TStringList list;
  list.Add("first");
  Session->GetTableNames("shop", "", false, &list);
  EXPECT_THAT(Lines(list), ElementsAre("first", "CUSTOMER", "ORDERS"));
  EXPECT_FALSE(db->Connected());

  list.Clear();
  Session->GetTableNames("SHOP", "ORD%", false, &list);
  EXPECT_THAT(Lines(list), ElementsAre("ORDERS"));

  list.Clear();
  Session->GetFieldNames("SHOP", "ORDERS", &list);
  EXPECT_THAT(Lines(list), ElementsAre("CUST_ID", "BRANCH_ID", "CODE", "AMOUNT", "NOTE"));
  Session->GetFieldNames("SHOP", "NO_SUCH_TABLE", &list);
  EXPECT_EQ(list.Count(), 5) << "a missing table adds nothing and raises nothing";

  list.Clear();
  Session->GetStoredProcNames("SHOP", &list);
  EXPECT_THAT(Lines(list), IsEmpty());
  EXPECT_FALSE(db->Connected());

  // A database connected before the call stays connected; KeepConnection keeps one connected.
  db->Open();
  Session->GetTableNames("SHOP", "", false, &list);
  EXPECT_TRUE(db->Connected());
  db->Close();
  db->SetKeepConnection(true);
  Session->GetFieldNames("SHOP", "CUSTOMER", &list);
  EXPECT_TRUE(db->Connected());

  try {
    Session->GetTableNames("Nowhere", "", false, &list);
    FAIL() << "an unknown database was found";
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("Nowhere"));
  }
}

TEST_F(SessionTest, HostileNamesPassThroughEveryCatalogueCallHarmlessly) {
  korvtest::MakeSQLiteFile(
      Temp.File("shop.db"),
      R"(CREATE TABLE "x'; DROP TABLE CUSTOMER; --" ("a""b" INTEGER PRIMARY KEY, "%_" TEXT UNIQUE);)");
  auto db = ShopDatabase("it's \"odd\"");
  rtl::TStringList list;
  const std::string hostile = "x'; DROP TABLE CUSTOMER; --";

  Session->GetTableNames("IT'S \"ODD\"", "x'%", false, &list);
  EXPECT_THAT(Lines(list), ElementsAre(hostile));
  list.Clear();
  Session->GetFieldNames("it's \"odd\"", hostile, &list);
  EXPECT_THAT(Lines(list), ElementsAre("a\"b", "%_"));
  list.Clear();
  Session->GetFieldNames("it's \"odd\"", "CUSTOMER\"; DROP TABLE ORDERS; --", &list);
  EXPECT_THAT(Lines(list), IsEmpty());

  auto rs = db->GetSchemaInfo(TKVSchemaType::stIndexes, hostile);
  ASSERT_NE(rs, nullptr);
  std::vector<std::string> columns;
  for (; !rs->Eof(); rs->Next()) columns.push_back(rs->FieldByName("COLUMN_NAME")->AsString());
  EXPECT_THAT(columns, testing::UnorderedElementsAre("a\"b", "%_"));

  list.Clear();
  Session->GetTableNames("it's \"odd\"", "", false, &list);
  EXPECT_THAT(Lines(list), testing::Contains("CUSTOMER")) << "nothing was dropped";

  try {
    Session->GetFieldNames("no'; such", "T", &list);
    FAIL();
  } catch (const rtl::EDatabaseError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("no'; such"));
  }
}

TEST_F(SessionTest, ActiveMonitorRecordsWhatTheLibrarySends) {
  auto db = ShopDatabase();
  TKVMonitor monitor(nullptr);
  rtl::TStringList list;
  Session->GetTableNames("SHOP", "", false, &list);
  EXPECT_EQ(monitor.Lines()->Count(), 0) << "an inactive monitor records nothing";

  std::vector<std::string> seen;
  monitor.OnStatement = [&](TKVMonitor*, const std::string& s) { seen.push_back(s); };
  monitor.SetActive(true);
  Session->GetFieldNames("SHOP", "ORDERS", &list);
  ASSERT_GT(monitor.Lines()->Count(), 0);
  EXPECT_THAT(monitor.Lines()->Text(), HasSubstr("ORDERS"));
  EXPECT_EQ(seen.size(), static_cast<size_t>(monitor.Lines()->Count()));

  monitor.SetMaxLines(1);
  Session->GetFieldNames("SHOP", "CUSTOMER", &list);
  EXPECT_EQ(monitor.Lines()->Count(), 1);
  EXPECT_THAT(monitor.Lines()->Text(), HasSubstr("CUSTOMER"));
  monitor.SetActive(false);
  Session->GetFieldNames("SHOP", "ORDERS", &list);
  EXPECT_EQ(monitor.Lines()->Count(), 1);
}

}  // namespace
