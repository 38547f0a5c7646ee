#include "DesignTestClasses.h"
#include "FakeDesigner.h"

#include "toolsapi/StringsFileSystem.h"

#include <gtest/gtest.h>

namespace fstest {

using namespace toolsapi;
using namespace designtest;

// A module that records how it was closed or renamed.
class TRecordingModule : public TInterfacedObject, public IOTAModule {
public:
  explicit TRecordingModule(String AName) : Name(std::move(AName)) {}
  String GetFileName() override { return Name; }
  void SetFileName(const String& Value) override { Name = Value; }
  String GetFileSystem() override { return sTStringsFileSystem; }
  int GetModuleFileCount() override { return 1; }
  std::shared_ptr<IOTAEditor> GetModuleFileEditor(int) override { return nullptr; }
  bool Save(bool, bool) override { return true; }
  bool Close() override { return CloseModule(false); }
  bool CloseModule(bool ForceClosed) override {
    Closes.push_back(ForceClosed);
    return true;
  }
  String Name;
  std::vector<bool> Closes;
};

class TFakeServices : public TInterfacedObject, public IBorlandIDEServices, public IOTAModuleServices {
public:
  std::shared_ptr<IOTAModule> CreateModule(const std::shared_ptr<IOTACreator>&) override { return nullptr; }
  std::shared_ptr<IOTAModule> FindModule(const String& FileName) override {
    for (auto& m : Modules)
      if (rtl::SameText(m->Name, FileName)) return m;
    return nullptr;
  }
  int GetModuleCount() override { return static_cast<int>(Modules.size()); }
  std::shared_ptr<IOTAModule> GetModule(int Index) override { return Modules[static_cast<size_t>(Index)]; }
  bool CloseAll() override { return true; }
  bool SaveAll() override { return true; }
  int RegisterFileSystem(const std::shared_ptr<IOTAFileSystem>& fs) override {
    FileSystems.push_back(fs);
    return static_cast<int>(FileSystems.size() - 1);
  }
  void UnregisterFileSystem(int Index) override { FileSystems[static_cast<size_t>(Index)].reset(); }
  std::shared_ptr<IOTAFileSystem> FindFileSystem(const String& Name) override {
    for (auto& fs : FileSystems)
      if (fs && fs->GetIDString() == Name) return fs;
    return nullptr;
  }
  std::vector<std::shared_ptr<TRecordingModule>> Modules;
  std::vector<std::shared_ptr<IOTAFileSystem>> FileSystems;
};

TEST(InterfacesTest, CastsCheckTheInterface) {
  auto services = std::make_shared<TFakeServices>();
  std::shared_ptr<IBorlandIDEServices> ide = services;
  EXPECT_EQ(As<IOTAModuleServices>(ide).get(), static_cast<IOTAModuleServices*>(services.get()));
  EXPECT_EQ(Supports<IOTAFileSystem>(ide), nullptr);
  try {
    As<IOTAFileSystem>(ide);
    FAIL();
  } catch (const rtl::EIntfCastError& e) {
    EXPECT_STREQ(e.what(), "Interface not supported");
  }
  EXPECT_THROW(As<IOTAModuleServices>(std::shared_ptr<IBorlandIDEServices>()), rtl::EIntfCastError);
  std::shared_ptr<IOTAModuleServices> out;
  EXPECT_TRUE(Supports(ide, out));
  EXPECT_EQ(services->GetInterface<IOTAModuleServices>(), out);
}

class StringsFileSystemTest : public ::testing::Test {
protected:
  void SetUp() override {
    Root = std::make_unique<rtl::TDataModule>(nullptr);
    Root->SetName("Form1");
    Query = new TTestQuery(Root.get());
    Query->SetName("Query1");
    Query->SQL()->SetText("select 1\n");
    designintf::RegisterDesigner(&Designer);
    BorlandIDEServices = Services;
    StFilSys::Register();
  }
  void TearDown() override {
    StFilSys::Unregister();
    BorlandIDEServices.reset();
    Root.reset();
    designintf::UnregisterDesigner(&Designer);
  }

  std::unique_ptr<rtl::TDataModule> Root;
  TTestQuery* Query = nullptr;
  TFakeDesigner Designer{nullptr};
  std::shared_ptr<TFakeServices> Services = std::make_shared<TFakeServices>();
};

TEST_F(StringsFileSystemTest, RegisterIsHarmlessToRepeatAndNeedsServices) {
  StFilSys::Register();
  StFilSys::Register();
  EXPECT_EQ(Services->FileSystems.size(), 1u);
  EXPECT_EQ(Services->FindFileSystem("Delphi.TStringsFileSystem"), StringsFileSystem);
  BorlandIDEServices.reset();
  EXPECT_THROW(StFilSys::Register(), rtl::EIntfCastError);
}

TEST_F(StringsFileSystemTest, ModuleNameNeedsANamedRootThatOwnsTheComponent) {
  EXPECT_EQ(StringsModuleName("dfm", Root.get(), Query, "SQL"), "dfm.Form1.Query1.SQL");
  rtl::TDataModule other(nullptr);
  other.SetName("Other");
  EXPECT_EQ(StringsModuleName("dfm", &other, Query, "SQL"), "");
  Root->SetName("");
  EXPECT_EQ(StringsModuleName("dfm", Root.get(), Query, "SQL"), "");
}

TEST_F(StringsFileSystemTest, SavingWritesTheTextIntoThePropertyAndTellsTheDesigner) {
  Designer.Root = Root.get();
  auto* entry = StringsFileSystem->GetTStringsProperty("dfm.Form1.Query1.SQL", Query, "SQL");
  entry->SetDiskAge(1234);
  EXPECT_EQ(StringsFileSystem->FileAge("DFM.form1.query1.sql"), 1234);
  EXPECT_EQ(StringsFileSystem->LoadText("dfm.Form1.Query1.SQL"), "select 1\n");

  StringsFileSystem->SaveText("dfm.Form1.Query1.SQL", "\xEF\xBB\xBFselect *\r\nfrom \xC3\xA9t\xC3\xA9\r\n");
  EXPECT_EQ(Query->SQL()->Count(), 2);
  EXPECT_EQ(Query->SQL()->Strings(1), "from \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Designer.ModifiedCount, 1);
  EXPECT_GT(StringsFileSystem->FileAge("dfm.Form1.Query1.SQL"), 1234);

  EXPECT_EQ(StringsFileSystem->FileAge("dfm.Form1.Query2.SQL"), -1);
  EXPECT_THROW(StringsFileSystem->LoadText("dfm.Form1.Query2.SQL"), rtl::EFOpenError);
  StringsFileSystem->GetTStringsProperty("dfm.Form1.Query1.Nothing", Query, "Nothing");
  EXPECT_THROW(StringsFileSystem->SaveText("dfm.Form1.Query1.Nothing", "x"), rtl::EFOpenError);
  // An empty name ties nothing.
  StringsFileSystem->GetTStringsProperty("", Query, "SQL")->SetDiskAge(5);
  EXPECT_FALSE(StringsFileSystem->FileExists(""));
}

TEST_F(StringsFileSystemTest, DestroyingTheComponentClosesItsModulesUnsaved) {
  auto module = std::make_shared<TRecordingModule>("dfm.Form1.Query1.SQL");
  Services->Modules.push_back(module);
  StringsFileSystem->GetTStringsProperty("dfm.Form1.Query1.SQL", Query, "SQL");
  EXPECT_EQ(StringsFileSystem->EntryCount(), 1);
  delete Query;
  EXPECT_EQ(module->Closes, std::vector<bool>{true});
  EXPECT_EQ(StringsFileSystem->EntryCount(), 0);
}

TEST_F(StringsFileSystemTest, RenamesFollowTheComponentAndTheRoot) {
  Designer.Root = Root.get();
  auto module = std::make_shared<TRecordingModule>("dfm.Form1.Query1.SQL");
  Services->Modules.push_back(module);
  StringsFileSystem->GetTStringsProperty("dfm.Form1.Query1.SQL", Query, "SQL");
  Query->SetName("Orders");
  StringsFileSystem->ComponentRenamed(Query);
  EXPECT_EQ(module->Name, "dfm.Form1.Orders.SQL");
  Root->SetName("Main");
  StringsFileSystem->ComponentRenamed(Root.get());
  EXPECT_EQ(module->Name, "dfm.Main.Orders.SQL");
  EXPECT_NE(StringsFileSystem->FindEntry("dfm.Main.Orders.SQL"), nullptr);
}

}  // namespace fstest
