// What the host dialog and code editor tests share: a designed data module over a real SQLite
// database built in a temporary folder, the scripted user interface and the designer's dialogs.
//
//   DataModule1: Database1 (SHOP), Customers (CUSTOMER), CustomerSource (on Customers),
//                Orders (ORDERS, master CustomerSource), Query1 (two parameters)
#pragma once

#include "TempFolder.h"

#include "designer/HostDialogs.h"
#include "designer/OpenModule.h"
#include "korv/KVDatabase.h"
#include "korv/KVQuery.h"
#include "korv/KVTable.h"
#include "vcl/Gestures.h"
#include "vcl/HeadlessUI.h"
#include "vcl/StdCtrls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

namespace dialogstest {

using Lines = std::vector<std::string>;

inline constexpr const char* kShopSchema = R"(
  CREATE TABLE CUSTOMER (ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL, TEL TEXT);
  CREATE TABLE ORDERS (CUST_ID INTEGER, BRANCH_ID INTEGER, CODE TEXT, AMOUNT REAL,
    PRIMARY KEY (CUST_ID, BRANCH_ID));
  CREATE INDEX ORDERS_AMOUNT ON ORDERS (AMOUNT);
)";

class TDialogsTest : public ::testing::Test {
protected:
  TDialogsTest() {
    std::ofstream(Temp.File("shop.db"));  // an empty file is an empty database
    {
      korv::TKVDatabase setup(nullptr);
      setup.SetDatabaseName("DIALOGS_SETUP");
      setup.SetServerType(korv::TKVServerType::stSQLite);
      setup.SetRemoteDatabase(Temp.File("shop.db"));
      setup.Execute(kShopSchema);
    }
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("DataModule1");
    Database = new korv::TKVDatabase(root.get());
    Database->SetName("Database1");
    Database->SetDatabaseName("SHOP");
    Database->SetServerType(korv::TKVServerType::stSQLite);
    Database->SetBaseDir(Temp.Path().string());
    Database->SetRemoteDatabase("shop.db");
    Customers = Table(root.get(), "Customers", "CUSTOMER");
    CustomerSource = new rtl::TDataSource(root.get());
    CustomerSource->SetName("CustomerSource");
    CustomerSource->SetDataSet(Customers);
    Orders = Table(root.get(), "Orders", "ORDERS");
    Orders->SetMasterSource(CustomerSource);
    Query = new korv::TKVQuery(root.get());
    Query->SetName("Query1");
    Query->SetDatabaseName("SHOP");
    Query->SQL()->SetText("select * from CUSTOMER where ID = :ID and NAME = :NAME");
    Module = std::make_unique<designer::TOpenModule>(std::move(root), Temp.File("DataModule1.dfm"));
  }
  ~TDialogsTest() override { EXPECT_TRUE(UI.AllConsumed()); }

  static korv::TKVTable* Table(rtl::TComponent* Owner, const char* Name, const char* TableName) {
    auto* t = new korv::TKVTable(Owner);
    t->SetName(Name);
    t->SetDatabaseName("SHOP");
    t->SetTableName(TableName);
    return t;
  }

  // Form F of the gesture driver's form, for a look at its controls.
  template <class F>
  static F* Form(vcl::TGestureDriver& d) {
    return rtl::As<F>(d.Form());
  }

  TTempFolder Temp;
  vcl::TScriptedUserInterface UI;
  vcl::TUserInterfaceScope UIScope{&UI};
  designer::THostDialogsInstallation Dialogs;
  std::unique_ptr<designer::TOpenModule> Module;
  korv::TKVDatabase* Database = nullptr;
  korv::TKVTable* Customers = nullptr;
  rtl::TDataSource* CustomerSource = nullptr;
  korv::TKVTable* Orders = nullptr;
  korv::TKVQuery* Query = nullptr;
};

inline Lines Items(const vcl::TListBox* List) { return List->Items()->ToVector(); }

// The row of lbProperties that shows property Name ("Name=..."), -1 when none.
inline int PropertyRow(const vcl::TListBox* List, const std::string& Name) {
  for (int i = 0; i < List->Items()->Count(); ++i)
    if (List->Items()->Get(i).rfind(Name + "=", 0) == 0) return i;
  return -1;
}

}  // namespace dialogstest
