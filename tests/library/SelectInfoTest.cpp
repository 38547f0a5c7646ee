// Reading a SELECT's tables and field origins from its text alone.
#include "korv/KVCommon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using korv::ParseSelectInfo;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// NAME=VALUE lines, as the data set writes them into its field and table information.
std::vector<std::string> FieldLines(const korv::TSQLSelectInfo& info) {
  std::vector<std::string> lines;
  for (const auto& f : info.Fields) lines.push_back(f.FieldName + "=" + f.Origin());
  return lines;
}
std::vector<std::string> TableLines(const korv::TSQLSelectInfo& info) {
  std::vector<std::string> lines;
  for (const auto& t : info.Tables) lines.push_back(t.Name + "=" + t.TableName);
  return lines;
}

}  // namespace

TEST(ParseSelectInfo, SingleTableWithAliasesWithAndWithoutAs) {
  auto info = ParseSelectInfo("SELECT CUST_NO, BRANCH_ID, NAME, CITY, TEL AS PHONE, CUSTOMER.ID KEY_ID FROM CUSTOMER");
  EXPECT_THAT(TableLines(info), ElementsAre("CUSTOMER=CUSTOMER"));
  EXPECT_THAT(FieldLines(info),
              ElementsAre("CUST_NO=CUSTOMER.CUST_NO", "BRANCH_ID=CUSTOMER.BRANCH_ID", "NAME=CUSTOMER.NAME",
                          "CITY=CUSTOMER.CITY", "PHONE=CUSTOMER.TEL", "KEY_ID=CUSTOMER.ID"));
  EXPECT_THAT(info.Stars, IsEmpty());
}

TEST(ParseSelectInfo, JoinsAttributeQualifiedColumnsThroughAliases) {
  auto info = ParseSelectInfo(
      "select c.ID, o.AMOUNT total, c.NAME as \"Cust Name\", main.BRANCH.CITY, NAME\n"
      "from CUSTOMER c\n"
      "  left outer join ORDERS as o on o.CUST_ID = c.ID and left(c.NAME, 1) = 'A'\n"
      "  natural join main.BRANCH\n"
      "  cross join REGION r\n"
      "  inner join STAFF s using (BRANCH_ID), EXTRA\n"
      "where c.ID > 0 order by 1");
  EXPECT_THAT(TableLines(info),
              ElementsAre("c=CUSTOMER", "o=ORDERS", "main.BRANCH=main.BRANCH", "r=REGION", "s=STAFF", "EXTRA=EXTRA"));
  // A bare column among several tables cannot be attributed.
  EXPECT_THAT(FieldLines(info), ElementsAre("ID=CUSTOMER.ID", "total=ORDERS.AMOUNT", "Cust Name=CUSTOMER.NAME",
                                            "CITY=main.BRANCH.CITY", "NAME="));
}

TEST(ParseSelectInfo, ExpressionsAndSubqueriesContributeNoField) {
  auto info = ParseSelectInfo(
      "select ID + 1, count(*), 'x', NULL, cast(A as int) as B, (select max(X) from T2) as M, "
      "case when A then 1 end, -A, A || B as AB, ID, coalesce(A, B) C from T "
      "where A in (select A from T3)");
  EXPECT_THAT(TableLines(info), ElementsAre("T=T"));
  EXPECT_THAT(FieldLines(info), ElementsAre("ID=T.ID"));
}

TEST(ParseSelectInfo, StarsAreReportedForTheCallerToExpand) {
  auto info = ParseSelectInfo("select *, c.*, X, sub.*, o.ID from CUSTOMER c, ORDERS o, (select 1) sub");
  EXPECT_THAT(TableLines(info), ElementsAre("c=CUSTOMER", "o=ORDERS"));
  ASSERT_EQ(info.Stars.size(), 3u);
  EXPECT_EQ(info.Stars[0].Qualifier, "");
  EXPECT_THAT(info.Stars[0].Tables, ElementsAre(0u, 1u));
  EXPECT_EQ(info.Stars[1].Qualifier, "c");
  EXPECT_THAT(info.Stars[1].Tables, ElementsAre(0u));
  EXPECT_EQ(info.Stars[2].Position, 1u);
  EXPECT_THAT(info.Stars[2].Tables, IsEmpty());  // a subquery: nothing the catalogue knows
  EXPECT_THAT(FieldLines(info), ElementsAre("X=", "ID=ORDERS.ID"));
}

TEST(ParseSelectInfo, SubqueriesCtesAndUnionsYieldNoTables) {
  auto info = ParseSelectInfo("select s.A, t.B from (select A from X join Y on 1) s join T t on s.A = t.A");
  EXPECT_THAT(TableLines(info), ElementsAre("t=T"));
  EXPECT_THAT(FieldLines(info), ElementsAre("A=", "B=T.B"));

  info = ParseSelectInfo("with recursive C(N) as (select 1 union all select N + 1 from C) select C.N, T.B from C, T");
  EXPECT_THAT(TableLines(info), ElementsAre("T=T"));
  EXPECT_THAT(FieldLines(info), ElementsAre("N=", "B=T.B"));

  info = ParseSelectInfo("select A from T union select B from U");
  EXPECT_THAT(TableLines(info), ElementsAre("T=T"));
  EXPECT_THAT(FieldLines(info), ElementsAre("A=T.A"));

  info = ParseSelectInfo("select x.A, y.B from (T x join U y on x.ID = y.ID) where 1");
  EXPECT_THAT(TableLines(info), ElementsAre("x=T", "y=U"));
  EXPECT_THAT(FieldLines(info), ElementsAre("A=T.A", "B=U.B"));
}

TEST(ParseSelectInfo, QuotedNamesCommentsAndStrings) {
  auto info = ParseSelectInfo(
      "select /* from FAKE */ \"Col One\", [two words] as `w`, 'from x' as S -- from FAKE2\n"
      ", \"m\".\"a\"\"b\" from \"Mixed Case\" \"m\"");
  EXPECT_THAT(TableLines(info), ElementsAre("\"m\"=\"Mixed Case\""));
  EXPECT_THAT(FieldLines(info),
              ElementsAre("Col One=\"Mixed Case\".Col One", "w=\"Mixed Case\".two words", "a\"b=\"Mixed Case\".a\"b"));
  info = ParseSelectInfo("select a from [my table]");
  EXPECT_THAT(TableLines(info), ElementsAre("\"my table\"=\"my table\""));
}

TEST(ParseSelectInfo, OwnerQualifiedTablesKeepTheirOwner) {
  auto info = ParseSelectInfo("select distinct main.T.A, T.B, C from main.T where C = $$ from X $$");
  EXPECT_THAT(TableLines(info), ElementsAre("main.T=main.T"));
  EXPECT_THAT(FieldLines(info), ElementsAre("A=main.T.A", "B=main.T.B", "C=main.T.C"));
}

TEST(ParseSelectInfo, NotASelectOrBrokenTextGivesWhatItCan) {
  EXPECT_THAT(FieldLines(ParseSelectInfo("update T set A = 1")), IsEmpty());
  EXPECT_THAT(FieldLines(ParseSelectInfo("")), IsEmpty());
  EXPECT_THAT(TableLines(ParseSelectInfo("select A from T where B = 'unterminated")), ElementsAre("T=T"));
  for (const char* broken : {"select", "select from", "select (", "select a from (", "select a from t join",
                             "select a. from t", "select a from t as", "select \"", "select [", "select $$",
                             "select a from t t2 (", "((((", "select * from ((t"})
    EXPECT_NO_THROW(ParseSelectInfo(broken)) << broken;

  // Joins nested in parentheses are read to a depth; deeper ones are passed over, not recursed
  // into until the stack runs out.
  auto nested = [](int depth) {
    std::string sql = "select a from t0 join ";
    for (int i = 1; i <= depth; ++i) sql += "(t" + std::to_string(i) + " join ";
    sql += "tz" + std::string(static_cast<std::size_t>(depth), ')');
    return sql;
  };
  EXPECT_EQ(ParseSelectInfo(nested(3)).Tables.size(), 5u);
  EXPECT_EQ(ParseSelectInfo(nested(200000)).Tables.size(), 65u);
}

TEST(ParseSelectInfo, WideSelectListIsReadCompletely) {
  std::string sql = "select ";
  for (int i = 0; i < 2000; ++i)
    sql += (i ? ", C" : "C") + std::to_string(i) + (i % 2 ? " as A" + std::to_string(i) : "");
  sql += " from WIDE";
  auto info = ParseSelectInfo(sql);
  ASSERT_EQ(info.Fields.size(), 2000u);
  EXPECT_EQ(info.Fields[1999].FieldName, "A1999");
  EXPECT_EQ(info.Fields[1999].Origin(), "WIDE.C1999");
}
