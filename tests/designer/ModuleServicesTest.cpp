#include "DesignTestClasses.h"
#include "TempDir.h"

#include "designer/ModuleServices.h"
#include "designer/OpenModule.h"
#include "rtl/Streams.h"
#include "toolsapi/TextModuleCreator.h"
#include "vcl/HeadlessUI.h"

#include <gtest/gtest.h>

namespace servicestest {

using namespace designer;
using namespace designtest;
using namespace toolsapi;

// The creator a package hands over to open a string list as a text module.
class TTestCreator : public TTextModuleCreator {
public:
  TTestCreator(String AFileName, String AText, String AFileSystem = sTStringsFileSystem, String AType = sText)
      : TTextModuleCreator(std::move(AFileName), true),
        FText(std::move(AText)),
        FFileSystem(std::move(AFileSystem)),
        FType(std::move(AType)) {}
  String GetCreatorType() override { return FType; }
  String GetFileSystem() override { return FFileSystem; }
  std::shared_ptr<IOTAFile> NewImplSource(const String&, const String&, const String&) override {
    return std::make_shared<TSourceFile>(FText, rtl::Now());
  }

private:
  String FText, FFileSystem, FType;
};

class ModuleServicesTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto root = std::make_unique<rtl::TDataModule>(nullptr);
    root->SetName("Form1");
    Module = std::make_unique<TOpenModule>(std::move(root), Dir.File("Form1.dfm"));
    Query = As<TTestQuery>(Module->CreateComponent(TTestQuery::StaticClass(), "Query1"));
    Query->SQL()->SetText("select 1\n");
  }

  // What a package does to open a component's string list in the code editor.
  std::shared_ptr<IOTAModule> OpenStringsModule(rtl::TComponent* Component, const String& PropName,
                                                rtl::TStrings* Strings, bool Modified) {
    auto services = As<IOTAModuleServices>(BorlandIDEServices);
    String name = StringsModuleName(Module->GetDesignerExtension(), Module->GetRoot(), Component, PropName);
    StFilSys::Register();
    rtl::TStringStream stream;
    Strings->SaveToStream(&stream);
    auto module = services->CreateModule(std::make_shared<TTestCreator>(name, stream.DataString()));
    if (!module) return nullptr;
    StringsFileSystem->GetTStringsProperty(name, Component, PropName)->SetDiskAge(rtl::DateTimeToFileDate(rtl::Now()));
    auto editor = module->GetModuleFileEditor(0);
    if (Modified) editor->MarkModified();
    editor->Show();
    return module;
  }

  TTempDir Dir{"services"};
  TDesignerServices Designer;  // before the module: it outlives it
  std::unique_ptr<TOpenModule> Module;
  TTestQuery* Query = nullptr;
  vcl::TScriptedUserInterface UI;
  vcl::TUserInterfaceScope UIScope{&UI};
};

TEST_F(ModuleServicesTest, ServicesAreReachedThroughTheGlobalOnlyWhileInstalled) {
  EXPECT_EQ(As<IOTAModuleServices>(BorlandIDEServices).get(), static_cast<IOTAModuleServices*>(&Designer.Services()));
  {
    auto inner = std::make_unique<TDesignerServices>();
    EXPECT_EQ(As<IOTAModuleServices>(BorlandIDEServices).get(), static_cast<IOTAModuleServices*>(&inner->Services()));
  }
  EXPECT_EQ(As<IOTAModuleServices>(BorlandIDEServices).get(), static_cast<IOTAModuleServices*>(&Designer.Services()));
}

TEST_F(ModuleServicesTest, CreateFindMarkAndShow) {
  std::vector<String> shown;
  Designer.Services().SetCodeEditor([&](TTextModule& m) { shown.push_back(m.GetFileName() + ": " + m.Text()); });
  auto module = OpenStringsModule(Query, "SQL", Query->SQL(), true);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(module->GetFileName(), "dfm.Form1.Query1.SQL");
  EXPECT_EQ(shown, std::vector<String>{"dfm.Form1.Query1.SQL: select 1\n"});
  EXPECT_TRUE(module->GetModuleFileEditor(0)->GetModified());
  EXPECT_EQ(module->GetModuleFileCount(), 1);
  EXPECT_EQ(module->GetModuleFileEditor(1), nullptr);

  auto& services = Designer.Services();
  EXPECT_EQ(services.FindModule("dfm.Form1.Query1.SQL"), module);
  EXPECT_EQ(services.FindModule("Form1.Query1.SQL"), module);
  EXPECT_EQ(services.FindModule("FORM1.query1.sql"), module);
  EXPECT_EQ(services.FindModule("Query1.SQL"), nullptr);
  EXPECT_EQ(services.FindModule(""), nullptr);
  // Asking again for an open module gives that module.
  EXPECT_EQ(services.CreateModule(std::make_shared<TTestCreator>("DFM.Form1.Query1.SQL", "other")), module);
  EXPECT_EQ(services.GetModuleCount(), 1);
  // Only text modules are made.
  EXPECT_EQ(services.CreateModule(std::make_shared<TTestCreator>("Unit1.pas", "", "", sUnit)), nullptr);
}

TEST_F(ModuleServicesTest, SavingWritesIntoThePropertyAndTellsTheDesigner) {
  auto module = OpenStringsModule(Query, "SQL", Query->SQL(), false);
  auto text = Designer.Services().FindTextModule("Form1.Query1.SQL");
  text->ReplaceText("select *\nfrom orders\n");
  EXPECT_EQ(Query->SQL()->Count(), 1);  // not before it is saved
  const int before = Module->ModifiedCount();
  EXPECT_TRUE(module->Save(false, false));
  EXPECT_EQ(Query->SQL()->Text(), "select *\nfrom orders\n");
  EXPECT_EQ(Module->ModifiedCount(), before + 1);
  EXPECT_FALSE(text->IsModified());
}

TEST_F(ModuleServicesTest, ClosingAChangedModuleAsks) {
  auto module = OpenStringsModule(Query, "SQL", Query->SQL(), false);
  auto text = Designer.Services().FindTextModule("dfm.Form1.Query1.SQL");
  EXPECT_TRUE(module->Close());  // unchanged: no question
  EXPECT_TRUE(UI.Messages().empty());
  EXPECT_EQ(module->GetModuleFileCount(), 0);

  module = OpenStringsModule(Query, "SQL", Query->SQL(), false);
  text = Designer.Services().FindTextModule("dfm.Form1.Query1.SQL");
  text->ReplaceText("select 2\n");
  UI.QueueAnswer(vcl::mrCancel, "Save changes to dfm.Form1.Query1.SQL?");
  EXPECT_FALSE(module->Close());
  EXPECT_EQ(Designer.Services().FindModule("Form1.Query1.SQL"), module);

  UI.QueueAnswer(vcl::mrNo);
  EXPECT_TRUE(module->Close());
  EXPECT_EQ(Query->SQL()->Text(), "select 1\n");
  EXPECT_EQ(Designer.Services().FindModule("Form1.Query1.SQL"), nullptr);

  module = OpenStringsModule(Query, "SQL", Query->SQL(), false);
  Designer.Services().FindTextModule("dfm.Form1.Query1.SQL")->ReplaceText("select 3\n");
  UI.QueueAnswer(vcl::mrYes);
  EXPECT_TRUE(module->Close());
  EXPECT_EQ(Query->SQL()->Text(), "select 3\n");
  EXPECT_TRUE(UI.AllConsumed());
}

TEST_F(ModuleServicesTest, TheFormSavesItsTextModulesFirst) {
  OpenStringsModule(Query, "SQL", Query->SQL(), false);
  Designer.Services().FindTextModule("Form1.Query1.SQL")->ReplaceText("select 4\n");
  Module->Save();
  EXPECT_NE(rtl::ReadFileToString(Module->FileName()).find("'select 4'"), String::npos);
  EXPECT_FALSE(Module->IsModified());
}

TEST_F(ModuleServicesTest, ComponentLifecycleReachesTheModule) {
  auto module = OpenStringsModule(Query, "SQL", Query->SQL(), true);
  Module->RenameComponent(Query, "Orders");
  EXPECT_EQ(module->GetFileName(), "dfm.Form1.Orders.SQL");
  EXPECT_EQ(Designer.Services().FindModule("Form1.Orders.SQL"), module);
  // Deleting the component closes its module without asking, changed or not.
  Module->DeleteComponent(Query);
  EXPECT_EQ(Designer.Services().GetModuleCount(), 0);
  EXPECT_EQ(module->GetModuleFileCount(), 0);
  EXPECT_TRUE(UI.Messages().empty());
}

TEST_F(ModuleServicesTest, CloseTextModulesOfTheFormAsksForEach) {
  OpenStringsModule(Query, "SQL", Query->SQL(), true);
  UI.QueueAnswer(vcl::mrCancel);
  EXPECT_FALSE(Module->CloseTextModules());
  UI.QueueAnswer(vcl::mrNo);
  EXPECT_TRUE(Module->CloseTextModules());
  EXPECT_EQ(Designer.Services().GetModuleCount(), 0);
}

TEST_F(ModuleServicesTest, DiskModulesAndUnnamedOnes) {
  auto& services = Designer.Services();
  String file = Dir.File("notes.txt");
  auto module = services.CreateModule(std::make_shared<TTestCreator>(file, "hello\n", ""));
  Designer.Services().FindTextModule(file)->ReplaceText("bye\n");
  EXPECT_TRUE(module->Save(false, false));
  EXPECT_EQ(rtl::ReadFileToString(file), "bye\n");
  EXPECT_EQ(services.FindModule("txt"), nullptr);  // a path is no designer extension
  // A module on the string-list file system that is tied to nothing cannot be saved.
  auto unnamed = services.CreateModule(std::make_shared<TTestCreator>("", "text\n"));
  ASSERT_NE(unnamed, nullptr);
  EXPECT_EQ(unnamed->GetFileName(), "Text1.txt");
  unnamed->GetModuleFileEditor(0)->MarkModified();
  EXPECT_THROW(unnamed->Save(false, false), rtl::EStreamError);
  EXPECT_TRUE(unnamed->CloseModule(true));
}

}  // namespace servicestest
