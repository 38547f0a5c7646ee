#include "rtl/DB.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {
class TCountingDataSet : public TDataSet {
  RTL_CLASS(TCountingDataSet, TDataSet)
  explicit TCountingDataSet(TComponent* AOwner) : TDataSet(AOwner) {}
  int Opens = 0;

protected:
  void InternalOpen() override {
    ++Opens;
    FieldDefs()->Add("ID", TFieldType::ftInteger);
  }
  void InternalClose() override { FieldDefs()->Clear(); }
};
TClass TCountingDataSet::StaticClass() {
  static TClass info = ClassBuilder<TCountingDataSet>("TCountingDataSet").Build();
  return info;
}
}  // namespace

TEST(DataSet, OpensOnceAndDefersAStoredActiveUntilLoaded) {
  TCountingDataSet ds(nullptr);
  ds.Open();
  ds.Open();
  EXPECT_EQ(ds.Opens, 1);
  EXPECT_EQ(ds.FieldDefs()->Count(), 1);
  ds.Close();
  EXPECT_EQ(ds.FieldDefs()->Count(), 0);

  ds.SetComponentState(TComponentStateItem::csReading, true);
  ds.SetActive(true);
  EXPECT_FALSE(ds.Active());
  ds.SetComponentState(TComponentStateItem::csReading, false);
  ds.Loaded();
  EXPECT_TRUE(ds.Active());
  EXPECT_TRUE(GetPropInfo(&ds, "Active") != nullptr);
  EXPECT_FALSE(ds.GetProviderSupport()->PSIsSQLBased());
}

TEST(DataSource, ForgetsADataSetThatIsDestroyed) {
  TDataSource src(nullptr);
  auto ds = std::make_unique<TCountingDataSet>(nullptr);
  src.SetDataSet(ds.get());
  ds.reset();
  EXPECT_EQ(src.DataSet(), nullptr);
}

TEST(Params, FindByNameIgnoringCaseAndKeepValuesByName) {
  TParams params;
  params.CreateParam(TFieldType::ftInteger, "ID", TParamType::ptInput)->SetValue("7");
  params.CreateParam(TFieldType::ftString, "Name", TParamType::ptInput);
  EXPECT_EQ(params.FindParam("id")->Value(), "7");
  EXPECT_TRUE(params.ParamByName("NAME")->IsNull());
  EXPECT_THROW(params.ParamByName("missing"), EDatabaseError);

  TParams rebuilt;
  rebuilt.CreateParam(TFieldType::ftUnknown, "id", TParamType::ptUnknown);
  rebuilt.CreateParam(TFieldType::ftUnknown, "City", TParamType::ptUnknown);
  rebuilt.AssignValues(&params);
  EXPECT_EQ(rebuilt.Items(0)->Value(), "7");
  EXPECT_TRUE(rebuilt.Items(1)->IsNull());
}

TEST(IndexDefs, FindIndexForLeadingFields) {
  TIndexDefs defs(nullptr);
  defs.Add("PK", "CUST_NO;BRANCH_ID", {TIndexOption::ixPrimary, TIndexOption::ixUnique});
  defs.Add("BY_NAME", "NAME", {});
  EXPECT_EQ(defs.FindIndexForFields("cust_no")->Name(), "PK");
  EXPECT_EQ(defs.FindIndexForFields("CUST"), nullptr);
  EXPECT_EQ(defs.IndexOf("by_name"), 1);
  EXPECT_THROW(defs.Find("nope"), EDatabaseError);
}
