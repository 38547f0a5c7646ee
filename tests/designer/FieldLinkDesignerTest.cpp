// The field-link designer behind TFieldLinkProperty: a detail table on SQLite linked to its
// master's fields (not index-based), and an index-based editor that answers with its own index
// definitions and treats the SPrimary text as the primary index, as a package's editor does.
#include "DialogsFixture.h"

#include "designer/FieldLinkDesigner.h"
#include "designintf/DBEditors.h"
#include "korv/KVConsts.h"

namespace dialogstest {

using designer::TFieldLinkDesignerForm;
using rtl::String;
using testing::HasSubstr;
using vcl::TGestureDriver;

// Index-based, with ORDERS' indexes as a navigational back end would report them.
class TIndexBasedLink : public designintf::TFieldLinkProperty {
public:
  using TFieldLinkProperty::TFieldLinkProperty;
  bool GetIndexBased() override { return true; }
  rtl::TIndexDefs* GetIndexDefs() override { return &Defs; }
  void SetIndexName(const String& Value) override {
    Calls.push_back("IndexName=" + Value);
    TFieldLinkProperty::SetIndexName(Value == korv::SPrimary ? String() : Value);
  }
  void SetIndexFieldNames(const String& Value) override {
    Calls.push_back("IndexFieldNames=" + Value);
    TFieldLinkProperty::SetIndexFieldNames(Value);
  }
  void SetMasterFields(const String& Value) override {
    Calls.push_back("MasterFields=" + Value);
    TFieldLinkProperty::SetMasterFields(Value);
  }

  rtl::TIndexDefs Defs{nullptr};
  std::vector<String> Calls;
};

class FieldLinkDesignerTest : public TDialogsTest {
protected:
  FieldLinkDesignerTest() {
    using O = rtl::TIndexOption;
    Indexed.Defs.Add("PK_ORDERS", "CUST_ID;BRANCH_ID", {O::ixPrimary, O::ixUnique});
    Indexed.Defs.Add("ORDERS_UPPER_CODE", "", {O::ixExpression});
    Indexed.Defs.Add("ORDERS_AMOUNT", "AMOUNT", {});
    for (designintf::TFieldLinkProperty* e : {&Plain, static_cast<designintf::TFieldLinkProperty*>(&Indexed)}) {
      e->SetPropEntry(0, Orders, rtl::GetPropInfo(Orders, "MasterFields"));
      e->Initialize();
    }
  }

  designintf::TFieldLinkProperty Plain{Module.get(), 1};
  TIndexBasedLink Indexed{Module.get(), 1};
};

TEST_F(FieldLinkDesignerTest, JoinsDetailFieldsToTheMastersAndWritesTheLinkOnOk) {
  UI.QueueForm("TFieldLinkDesignerForm", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    EXPECT_FALSE(f->cbIndexes->Visible());
    EXPECT_THROW(d.Choose("cbIndexes", "0"), vcl::EGestureError);
    EXPECT_EQ(Items(f->lbDetailFields), (Lines{"CUST_ID", "BRANCH_ID", "CODE", "AMOUNT"}));
    EXPECT_EQ(Items(f->lbMasterFields), (Lines{"ID", "NAME", "TEL"}));
    EXPECT_FALSE(f->btAdd->Enabled());
    EXPECT_FALSE(f->btClear->Enabled());
    d.Choose("lbDetailFields", "CUST_ID");
    EXPECT_FALSE(f->btAdd->Enabled());
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    EXPECT_EQ(Items(f->lbJoinedFields), (Lines{"CUST_ID -> ID"}));
    EXPECT_EQ(Items(f->lbDetailFields), (Lines{"BRANCH_ID", "CODE", "AMOUNT"}));
    EXPECT_EQ(Items(f->lbMasterFields), (Lines{"NAME", "TEL"}));
    d.Choose("lbDetailFields", "CODE");
    d.Choose("lbMasterFields", "TEL");
    d.Click("btAdd");
    d.Click("btOk");
  });
  int before = Module->ModifiedCount();
  Plain.Edit();
  EXPECT_TRUE(Plain.Changed());
  EXPECT_EQ(Orders->MasterFields(), "ID;TEL");
  EXPECT_EQ(Orders->IndexFieldNames(), "CUST_ID;CODE");
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  // Neither data set was left open.
  EXPECT_FALSE(Orders->Active());
  EXPECT_FALSE(Customers->Active());
}

TEST_F(FieldLinkDesignerTest, ShowsTheCurrentLinkAndCancelWritesNothing) {
  Orders->SetMasterFields("ID");
  Orders->SetIndexFieldNames("CUST_ID");
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    EXPECT_EQ(Items(f->lbJoinedFields), (Lines{"CUST_ID -> ID"}));
    EXPECT_EQ(Items(f->lbMasterFields), (Lines{"NAME", "TEL"}));
    d.Click("btClear");
    EXPECT_TRUE(Items(f->lbJoinedFields).empty());
    d.Choose("lbDetailFields", "AMOUNT");
    d.Choose("lbMasterFields", "NAME");
    d.Click("btAdd");
    d.Click("btCancel");
  });
  Plain.Edit();
  EXPECT_FALSE(Plain.Changed());
  EXPECT_EQ(Orders->MasterFields(), "ID");
  EXPECT_EQ(Orders->IndexFieldNames(), "CUST_ID");
  EXPECT_EQ(Module->ModifiedCount(), 0);
}

TEST_F(FieldLinkDesignerTest, DeletingEveryJoinClearsTheMasterFieldsOnly) {
  Orders->SetMasterFields("ID");
  Orders->SetIndexFieldNames("CUST_ID");
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    EXPECT_FALSE(f->btDelete->Enabled());
    d.Choose("lbJoinedFields", "CUST_ID -> ID");
    d.Click("btDelete");
    EXPECT_EQ(Items(f->lbDetailFields), (Lines{"CUST_ID", "BRANCH_ID", "CODE", "AMOUNT"}));
    d.Click("btOk");
  });
  Plain.Edit();
  EXPECT_EQ(Orders->MasterFields(), "");
  EXPECT_EQ(Orders->IndexFieldNames(), "CUST_ID");  // the order stays the developer's
}

TEST_F(FieldLinkDesignerTest, IndexBasedLinkOffersTheIndexesWithThePrimaryOneUnderSPrimary) {
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    ASSERT_TRUE(f->cbIndexes->Visible());
    EXPECT_EQ(f->cbIndexes->Items()->ToVector(), (Lines{korv::SPrimary, "ORDERS_AMOUNT"}));
    EXPECT_EQ(f->cbIndexes->Text(), korv::SPrimary);
    EXPECT_EQ(Items(f->lbDetailFields), (Lines{"CUST_ID", "BRANCH_ID"}));
    // Joined out of order: written in the index's order.
    d.Choose("lbDetailFields", "BRANCH_ID");
    d.Choose("lbMasterFields", "TEL");
    d.Click("btAdd");
    d.Choose("lbDetailFields", "CUST_ID");
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    d.Click("btOk");
  });
  Orders->SetIndexName("");  // the primary index
  Indexed.Edit();
  EXPECT_EQ(Indexed.Calls, (Lines{"MasterFields=ID;TEL", std::string("IndexName=") + korv::SPrimary}));
  EXPECT_EQ(Orders->IndexName(), "");
  EXPECT_EQ(Orders->MasterFields(), "ID;TEL");
}

TEST_F(FieldLinkDesignerTest, IndexBasedLinkRefusesJoinsThatSkipLeadingIndexFields) {
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    d.Choose("lbDetailFields", "BRANCH_ID");
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    d.Click("btOk");
    EXPECT_FALSE(d.Closed());
    d.Click("btCancel");
  });
  UI.QueueAnswer(vcl::mrOk, "leading fields of the index");
  Indexed.Edit();
  EXPECT_TRUE(Indexed.Calls.empty());
  EXPECT_FALSE(Indexed.Changed());
}

TEST_F(FieldLinkDesignerTest, AnotherIndexStartsTheJoinsAfreshAndIsWrittenByName) {
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    d.Choose("lbDetailFields", "CUST_ID");
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    d.Choose("cbIndexes", "ORDERS_AMOUNT");
    EXPECT_TRUE(Items(f->lbJoinedFields).empty());
    EXPECT_EQ(Items(f->lbDetailFields), (Lines{"AMOUNT"}));
    d.Choose("lbDetailFields", "AMOUNT");
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    d.Click("btOk");
  });
  Indexed.Edit();
  EXPECT_EQ(Indexed.Calls, (Lines{"MasterFields=ID", "IndexName=ORDERS_AMOUNT"}));
  EXPECT_EQ(Orders->IndexName(), "ORDERS_AMOUNT");
}

TEST_F(FieldLinkDesignerTest, IndexBasedLinkKeepsToIndexFieldNamesWhenTheDataSetUsesThem) {
  Orders->SetIndexFieldNames("amount");
  UI.QueueForm("FieldLinkDesigner", [&](TGestureDriver& d) {
    auto* f = Form<TFieldLinkDesignerForm>(d);
    EXPECT_EQ(f->cbIndexes->Text(), "ORDERS_AMOUNT");
    d.Choose("lbDetailFields", "AMOUNT");
    d.Choose("lbMasterFields", "ID");
    d.Click("btAdd");
    d.Click("btOk");
  });
  Indexed.Edit();
  EXPECT_EQ(Indexed.Calls, (Lines{"MasterFields=ID", "IndexFieldNames=AMOUNT"}));
}

TEST_F(FieldLinkDesignerTest, AMasterThatCannotBeOpenedStopsTheDesignerBeforeItShows) {
  Customers->SetTableName("NO_SUCH_TABLE");
  EXPECT_THROW(Plain.Edit(), rtl::EDatabaseError);
  EXPECT_FALSE(Plain.Changed());
  EXPECT_EQ(Orders->MasterFields(), "");
}

}  // namespace dialogstest
