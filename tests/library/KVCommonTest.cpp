// Identifier quoting and owner prefixes.
#include "korv/KVCommon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using korv::GetValidObjName;
using korv::IsReservedWord;
using korv::QuoteIdentifier;
using korv::QuoteIdentifierFor;
using korv::QuoteParamNameFor;
using korv::ServerSpelling;
using korv::SplitObjName;
using korv::TKVServerType;
using ::testing::ElementsAre;

TEST(QuoteIdentifier, QuotedWrapsEveryPartAndDoublesInnerQuotes) {
  EXPECT_EQ(QuoteIdentifier("CUSTOMER", true), "\"CUSTOMER\"");
  EXPECT_EQ(QuoteIdentifier("OLD_CUST_NO", true), "\"OLD_CUST_NO\"");
  EXPECT_EQ(QuoteIdentifier("a\"b", true), "\"a\"\"b\"");
  EXPECT_EQ(QuoteIdentifier("main.CUSTOMER", true), "\"main\".\"CUSTOMER\"");
  EXPECT_EQ(QuoteIdentifier("\"my.schema\".T", true), "\"my.schema\".\"T\"");
  EXPECT_EQ(QuoteIdentifier("\"Already\"", true), "\"Already\"");
  // A stray dot makes no owner-qualified name: the whole text is one identifier.
  EXPECT_EQ(QuoteIdentifier("a.", true), "\"a.\"");
  EXPECT_EQ(QuoteIdentifier(".a", true), "\".a\"");
  EXPECT_EQ(QuoteIdentifier("", true), "\"\"");
}

TEST(QuoteIdentifier, UnquotedLeavesPlainNamesAndQuotesWhatWouldBreak) {
  for (const char* plain :
       {"CUSTOMER", "cust_no", "_x1", "NAME", "Count", "Year", "main.CUSTOMER", "", "\"Done\"", "s.\"Mixed Case\""})
    EXPECT_EQ(QuoteIdentifier(plain, false), plain) << plain;
  EXPECT_EQ(QuoteIdentifier("my table", false), "\"my table\"");
  EXPECT_EQ(QuoteIdentifier("1ST", false), "\"1ST\"");
  EXPECT_EQ(QuoteIdentifier("select", false), "\"select\"");
  EXPECT_EQ(QuoteIdentifier("Order", false), "\"Order\"");
  EXPECT_EQ(QuoteIdentifier("naïve", false), "\"naïve\"");
  EXPECT_EQ(QuoteIdentifier("a-b", false), "\"a-b\"");
  EXPECT_EQ(QuoteIdentifier("main.my table", false), "main.\"my table\"");
  EXPECT_EQ(QuoteIdentifier("GROUP.x", false), "\"GROUP\".x");
}

TEST(QuoteIdentifier, ReservedWordsOfEveryShapeAreKnownInAnyLetterCase) {
  // First and last letters and lengths across the lists, since lookups are told apart by them first.
  for (const char* word :
       {"select", "Order", "GROUP", "current_date", "localtimestamp", "Trailing", "nATURAL", "autoincrement", "ISNULL",
        "with", "of", "References", "system_user", "uescape", "Returning"}) {
    EXPECT_TRUE(IsReservedWord(word)) << word;
    EXPECT_EQ(QuoteIdentifier(word, false), "\"" + std::string(word) + "\"") << word;
  }
  for (const char* name : {"select1", "Orders", "GROUP_", "with_x", "ofs", "COL_12"})
    EXPECT_FALSE(IsReservedWord(name)) << name;
}

TEST(QuoteIdentifierFor, FoldingServersQuoteWhatTheyWouldNotReadBackUnchanged) {
  using enum TKVServerType;
  // PostgreSQL reads bare letters in lower case.
  for (const char* bare : {"note_id", "notes", "a$b", "x1", "public.orders", "\"OrderNotes\"", "public.\"Mixed\""})
    EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, bare, false), bare) << bare;
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "NoteId", false), "\"NoteId\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "OLD_note", false), "\"OLD_note\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "public.OrderNotes", false), "public.\"OrderNotes\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "$x", false), "\"$x\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "order", false), "\"order\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "naïve", false), "\"naïve\"");
  EXPECT_EQ(QuoteIdentifierFor(stPostgreSQL, "notes", true), "\"notes\"");
  // Firebird reads them in upper case.
  for (const char* bare : {"CUST_NO", "A$B", "RDB$RELATIONS", "\"NoteId\""})
    EXPECT_EQ(QuoteIdentifierFor(stFirebird, bare, false), bare) << bare;
  EXPECT_EQ(QuoteIdentifierFor(stFirebird, "NoteId", false), "\"NoteId\"");
  EXPECT_EQ(QuoteIdentifierFor(stFirebird, "cust_no", false), "\"cust_no\"");
  // SQLite finds a bare name whatever its case; "$" is not a name character there.
  EXPECT_EQ(QuoteIdentifierFor(stSQLite, "NoteId", false), "NoteId");
  EXPECT_EQ(QuoteIdentifierFor(stSQLite, "a$b", false), "\"a$b\"");
  EXPECT_EQ(QuoteIdentifierFor(stMariaDB, "NoteId", false), "NoteId");

  // Parameter names are the library's own: never folded, so quoted only where they would break.
  EXPECT_EQ(QuoteParamNameFor(stPostgreSQL, "OLD_NoteId", false), "OLD_NoteId");
  EXPECT_EQ(QuoteParamNameFor(stFirebird, "OLD_cust_no", false), "OLD_cust_no");
  EXPECT_EQ(QuoteParamNameFor(stPostgreSQL, "E-MAIL", false), "\"E-MAIL\"");
  EXPECT_EQ(QuoteParamNameFor(stMariaDB, "E-MAIL", false), "`E-MAIL`");
  EXPECT_EQ(QuoteParamNameFor(stPostgreSQL, "x", true), "\"x\"");
}

TEST(ServerSpelling, FoldsTheLettersOutsideQuotesAsTheServerReadsThem) {
  using enum TKVServerType;
  EXPECT_EQ(ServerSpelling(stPostgreSQL, "Orders"), "orders");
  EXPECT_EQ(ServerSpelling(stPostgreSQL, "Public.\"OrderNotes\""), "public.\"OrderNotes\"");
  EXPECT_EQ(ServerSpelling(stPostgreSQL, "\"a\"\"B\"x"), "\"a\"\"B\"x");
  EXPECT_EQ(ServerSpelling(stFirebird, "customer c"), "CUSTOMER C");
  EXPECT_EQ(ServerSpelling(stFirebird, "\"Mixed\""), "\"Mixed\"");
  EXPECT_EQ(ServerSpelling(stSQLite, "Orders"), "Orders");
  EXPECT_EQ(ServerSpelling(stMariaDB, "Orders"), "Orders");
}

TEST(QuoteIdentifier, HostileTextComesOutAsOneSafeIdentifier) {
  EXPECT_EQ(QuoteIdentifier("x\"; drop table t; --", false), "\"x\"\"; drop table t; --\"");
  EXPECT_EQ(QuoteIdentifier("x\"; drop table t; --", true), "\"x\"\"; drop table t; --\"");
  // An unbalanced quote is never taken for an already quoted part.
  EXPECT_EQ(QuoteIdentifier("\"a\"b\"", false), "\"\"\"a\"\"b\"\"\"");
  EXPECT_EQ(QuoteIdentifier("\"a.b", true), "\"\"\"a.b\"");
}

TEST(GetValidObjName, DropsTheOwnerOnlyWhenAsked) {
  EXPECT_EQ(GetValidObjName("main.CUSTOMER", true), "CUSTOMER");
  EXPECT_EQ(GetValidObjName("main.CUSTOMER", false), "main.CUSTOMER");
  EXPECT_EQ(GetValidObjName("CUSTOMER", true), "CUSTOMER");
  EXPECT_EQ(GetValidObjName("db.sch.T", true), "T");
  EXPECT_EQ(GetValidObjName("\"my.schema\".\"t.x\"", true), "\"t.x\"");
  EXPECT_EQ(GetValidObjName("\"t.x\"", true), "\"t.x\"");
}

TEST(SplitObjName, UnquotesEachPart) {
  EXPECT_THAT(SplitObjName("main.CUSTOMER"), ElementsAre("main", "CUSTOMER"));
  EXPECT_THAT(SplitObjName("\"my.schema\".\"a\"\"b\""), ElementsAre("my.schema", "a\"b"));
  EXPECT_THAT(SplitObjName("[x.y] . `z``w`"), ElementsAre("x.y", "z`w"));
  EXPECT_THAT(SplitObjName("T"), ElementsAre("T"));
  EXPECT_THAT(SplitObjName("a."), ElementsAre("a", ""));
}
