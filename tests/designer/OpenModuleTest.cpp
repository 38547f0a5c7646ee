#include "DesignTestClasses.h"
#include "TempDir.h"

#include "designer/OpenModule.h"
#include "designintf/Registry.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace moduletest {

using namespace designer;
using namespace designtest;

const char* const kModuleText =
    "object DataModule1: TDataModule\n"
    "  object Session1: TTestSession\n"
    "    SessionName = 'S1'\n"
    "  end\n"
    "  object Query1: TTestQuery\n"
    "    DatabaseName = 'main'\n"
    "    SQL.Strings = (\n"
    "      'select 1')\n"
    "  end\n"
    "end\n";

class OpenModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterTestClasses();
    rtl::WriteFileAtomic(FileName, kModuleText);
    Module = TOpenModule::Open(FileName);
  }
  TTempDir Dir{"module"};
  std::string FileName = Dir.File("DataModule1.dfm");
  std::unique_ptr<TOpenModule> Module;
};

TEST_F(OpenModuleTest, OpensForDesignAndIsTheModulesDesigner) {
  rtl::TComponent* root = Module->GetRoot();
  EXPECT_EQ(root->Name(), "DataModule1");
  EXPECT_EQ(Module->GetDesignerExtension(), "dfm");
  auto* query = As<TTestQuery>(Module->FindComponent("query1"));
  ASSERT_NE(query, nullptr);
  EXPECT_TRUE(query->Designing());
  EXPECT_EQ(query->SQL()->Text(), "select 1\n");
  EXPECT_EQ(designintf::FindRootDesigner(query), Module.get());
  EXPECT_EQ(designintf::FindRootDesigner(root), Module.get());
  EXPECT_FALSE(Module->IsModified());
  Module.reset();
  EXPECT_EQ(designintf::FindRootDesigner(nullptr), nullptr);
}

TEST_F(OpenModuleTest, NewComponentsAreNamedAsTheDesignerNamesThem) {
  EXPECT_EQ(Module->UniqueName("TTestQuery"), "TestQuery1");
  auto* a = Module->CreateComponent(TTestQuery::StaticClass());
  auto* b = Module->CreateComponent(TTestQuery::StaticClass());
  EXPECT_EQ(a->Name(), "TestQuery1");
  EXPECT_EQ(b->Name(), "TestQuery2");
  EXPECT_TRUE(a->Designing());
  EXPECT_EQ(a->Owner(), Module->GetRoot());
  Module->DeleteComponent(a);
  EXPECT_EQ(Module->UniqueName("TTestQuery"), "TestQuery1");  // the first free number
  EXPECT_EQ(Module->ModifiedCount(), 3);

  const int count = Module->GetRoot()->ComponentCount();
  EXPECT_THROW(Module->CreateComponent(TTestQuery::StaticClass(), "session1"), rtl::EComponentError);
  EXPECT_THROW(Module->CreateComponent(TTestQuery::StaticClass(), "1st"), rtl::EComponentError);
  EXPECT_THROW(Module->CreateComponent(rtl::TStringList::StaticClass()), rtl::EComponentError);
  EXPECT_EQ(Module->GetRoot()->ComponentCount(), count);
  EXPECT_THROW(Module->DeleteComponent(Module->GetRoot()), rtl::EComponentError);
}

TEST_F(OpenModuleTest, ModifiedCountsAndTellsListeners) {
  int heard = 0;
  int id = Module->AddModifiedListener([&] { ++heard; });
  Module->Modified();
  Module->RenameComponent(Module->FindComponent("Session1"), "Main");
  EXPECT_THROW(Module->RenameComponent(Module->FindComponent("Main"), "Query1"), rtl::EComponentError);
  EXPECT_EQ(heard, 2);
  Module->RemoveModifiedListener(id);
  Module->Modified();
  EXPECT_EQ(heard, 2);
  EXPECT_EQ(Module->ModifiedCount(), 3);
  EXPECT_TRUE(Module->IsModified());
}

TEST_F(OpenModuleTest, SelectionForgetsDeletedComponents) {
  rtl::TComponent* session = Module->FindComponent("Session1");
  rtl::TComponent* query = Module->FindComponent("Query1");
  Module->SetSelections({session, query, session});
  EXPECT_EQ(Module->GetSelections().size(), 2u);
  Module->DeleteComponent(session);
  EXPECT_EQ(Module->GetSelections(), designintf::TDesignerSelections{query});
}

TEST_F(OpenModuleTest, SavesOnlyWhenAskedAndAtomically) {
  Module->CreateComponent(TTestSession::StaticClass());
  EXPECT_EQ(rtl::ReadFileToString(FileName), kModuleText);
  Module->Save();
  EXPECT_FALSE(Module->IsModified());
  String saved = rtl::ReadFileToString(FileName);
  EXPECT_NE(saved.find("object TestSession1: TTestSession"), String::npos);
  EXPECT_EQ(saved, Module->Text());

  // Saving over a folder fails: the error comes through, the old file and the state stay.
  Module->Modified();
  std::filesystem::create_directory(Dir.File("folder.dfm"));
  EXPECT_THROW(Module->SaveAs(Dir.File("folder.dfm")), rtl::Exception);
  EXPECT_TRUE(Module->IsModified());
  EXPECT_EQ(Module->FileName(), FileName);
  EXPECT_EQ(rtl::ReadFileToString(FileName), saved);

  // What was saved reads back the same.
  auto again = TOpenModule::Open(FileName);
  EXPECT_EQ(again->Text(), saved);
}

// A module keeps the format its file came in; a save in another format changes it only when
// the save succeeds.
TEST_F(OpenModuleTest, SavesInTheFormatTheFileCameIn) {
  EXPECT_EQ(Module->Format(), rtl::TDfmFormat::dfText);
  Module->SaveAs(FileName, rtl::TDfmFormat::dfBinary);
  EXPECT_EQ(rtl::ReadFileToString(FileName).substr(0, 4), "TPF0");
  auto binary = TOpenModule::Open(FileName);
  EXPECT_EQ(binary->Format(), rtl::TDfmFormat::dfBinary);
  EXPECT_EQ(binary->Text(), kModuleText);

  binary->CreateComponent(TTestSession::StaticClass());
  binary->Save();
  binary->SaveRecoveryCopy(FileName + ".recover");
  EXPECT_EQ(rtl::ReadFileToString(FileName).substr(0, 4), "TPF0");
  EXPECT_EQ(rtl::ReadFileToString(FileName + ".recover"), rtl::ReadFileToString(FileName));

  std::filesystem::create_directory(Dir.File("folder.dfm"));
  EXPECT_THROW(binary->SaveAs(Dir.File("folder.dfm"), rtl::TDfmFormat::dfText), rtl::Exception);
  EXPECT_EQ(binary->Format(), rtl::TDfmFormat::dfBinary);
  EXPECT_EQ(binary->FileName(), FileName);
}

TEST(OpenModuleErrors, ABadFileOpensNothing) {
  TTempDir dir("bad");
  rtl::WriteFileAtomic(dir.File("bad.dfm"), "object X: TDataModule\n  Oops = \n");
  EXPECT_THROW(TOpenModule::Open(dir.File("bad.dfm")), rtl::EParserError);
  EXPECT_THROW(TOpenModule::Open(dir.File("none.dfm")), rtl::EFOpenError);
}

}  // namespace moduletest
