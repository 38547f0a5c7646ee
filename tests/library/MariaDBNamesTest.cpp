// Quoting names in MariaDB's spelling: what stays bare, what gets backticks, owner-qualified names.
#include "korv/KVCommon.h"

#include <gtest/gtest.h>

namespace {

using korv::QuoteIdentifierFor;
using korv::QuoteMariaDBIdentifier;
using korv::QuoteMariaDBName;
using korv::TKVServerType;

TEST(MariaDBNames, OnlyNamesTheServerWouldMisreadAreQuotedWithTheFlagOff) {
  for (const char* bare : {"CUSTOMER", "cust_no", "$price", "a1", "1abc", "x1e5", "_"})
    EXPECT_EQ(QuoteMariaDBIdentifier(bare, false), bare) << bare;
  EXPECT_EQ(QuoteMariaDBIdentifier("123", false), "`123`");
  EXPECT_EQ(QuoteMariaDBIdentifier("1e5", false), "`1e5`");
  EXPECT_EQ(QuoteMariaDBIdentifier("1e5x", false), "`1e5x`");  // read as the number 1e5, then x
  EXPECT_EQ(QuoteMariaDBIdentifier("0x1F", false), "`0x1F`");
  EXPECT_EQ(QuoteMariaDBIdentifier("E-MAIL", false), "`E-MAIL`");
  EXPECT_EQ(QuoteMariaDBIdentifier("with blank", false), "`with blank`");
  EXPECT_EQ(QuoteMariaDBIdentifier("Ünï", false), "`Ünï`");
  for (const char* reserved : {"order", "SELECT", "Key", "div", "row_number", "user_count"}) {
    const std::string quoted = QuoteMariaDBIdentifier(reserved, false);
    EXPECT_EQ(quoted == reserved, std::string(reserved) == "user_count") << reserved;
  }
}

TEST(MariaDBNames, QuotedFlagBackquotesEveryPartAndDoublesInnerBackticks) {
  EXPECT_EQ(QuoteMariaDBIdentifier("shop.CUSTOMER", true), "`shop`.`CUSTOMER`");
  EXPECT_EQ(QuoteMariaDBIdentifier("shop.order", false), "shop.`order`");
  EXPECT_EQ(QuoteMariaDBIdentifier("`a.b`.c", false), "`a.b`.c");  // already quoted: one part
  EXPECT_EQ(QuoteMariaDBIdentifier("x`y", true), "`x``y`");
  EXPECT_EQ(QuoteMariaDBIdentifier("a..b", false), "`a..b`");  // a stray dot: one name
  EXPECT_EQ(QuoteMariaDBName("a.b", false), "`a.b`");
  EXPECT_EQ(QuoteIdentifierFor(TKVServerType::stMariaDB, "E-MAIL", false), "`E-MAIL`");
  EXPECT_EQ(QuoteIdentifierFor(TKVServerType::stPostgreSQL, "E-MAIL", false), "\"E-MAIL\"");
}

}  // namespace
