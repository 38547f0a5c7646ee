// Update objects and their data sets: one link, kept in step from either side.
#include "korv/KVQuery.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/Exceptions.h"

#include <gtest/gtest.h>

using namespace korv;

namespace {

TEST(UpdateSQL, LinkIsKeptInStepFromEitherSide) {
  TKVQuery q1(nullptr), q2(nullptr);
  TKVUpdateSQL u1(nullptr), u2(nullptr);

  q1.SetUpdateObject(&u1);
  EXPECT_EQ(u1.DataSet(), &q1);

  u1.SetDataSet(&q2);  // moves: q1 lets go
  EXPECT_EQ(q2.UpdateObject(), &u1);
  EXPECT_EQ(q1.UpdateObject(), nullptr);

  q2.SetUpdateObject(&u2);  // q2 takes another: u1 lets go
  EXPECT_EQ(u2.DataSet(), &q2);
  EXPECT_EQ(u1.DataSet(), nullptr);

  u2.SetDataSet(nullptr);
  EXPECT_EQ(q2.UpdateObject(), nullptr);
}

TEST(UpdateSQL, DestroyingEitherSideClearsTheOther) {
  TKVQuery q(nullptr);
  {
    TKVUpdateSQL u(nullptr);
    q.SetUpdateObject(&u);
  }
  EXPECT_EQ(q.UpdateObject(), nullptr);

  TKVUpdateSQL u(nullptr);
  {
    TKVQuery q2(nullptr);
    u.SetDataSet(&q2);
  }
  EXPECT_EQ(u.DataSet(), nullptr);

  // Owned by one module, destroyed together in either order.
  auto owner = std::make_unique<rtl::TComponent>(nullptr);
  auto* oq = new TKVQuery(owner.get());
  auto* ou = new TKVUpdateSQL(owner.get());
  ou->SetDataSet(oq);
  owner.reset();
}

TEST(UpdateSQL, StatementListsByKind) {
  TKVUpdateSQL u(nullptr);
  EXPECT_EQ(u.GetSQLIndex(0), u.RefreshSQL());
  EXPECT_EQ(u.GetSQLIndex(1), u.ModifySQL());
  EXPECT_EQ(u.GetSQLIndex(2), u.InsertSQL());
  EXPECT_EQ(u.GetSQLIndex(3), u.DeleteSQL());
  EXPECT_THROW(u.GetSQLIndex(4), rtl::EListError);
  EXPECT_THROW(u.GetSQLIndex(-1), rtl::EListError);

  rtl::TStringList lines;
  lines.Add("update T set A = :A");
  u.SetModifySQL(&lines);
  EXPECT_EQ(u.GetSQLIndex(1)->Text(), "update T set A = :A\n");
  EXPECT_NE(u.ModifySQL(), &lines);
}

}  // namespace
