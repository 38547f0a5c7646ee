#include "rtl/FormWriter.h"

#include "FormTestClasses.h"
#include "rtl/FormReader.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace rtl;
using namespace formtest;

namespace {

String Corpus(const String& name) { return ReadFileToString(KORV_SOURCE_DIR "/tests/data/" + name); }

class FormWriter : public ::testing::Test {
protected:
  void SetUp() override { Register(); }
};

// Opening and saving a module loses nothing: unknown classes, unknown properties, references
// to other modules and to missing names all come back byte for byte.
TEST_F(FormWriter, CorpusModulesRoundTripByteForByte) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KORV_SOURCE_DIR "/tests/data/good")) {
    String text = ReadFileToString(entry.path().string());
    auto root = ReadModule(text, entry.path().filename().string());
    EXPECT_EQ(WriteModule(root.get()), text) << entry.path();
    ++files;
  }
  EXPECT_GE(files, 3);
}

TEST_F(FormWriter, WritesOnlyNonDefaultsInClassOrder) {
  TTestRoot root(nullptr);
  root.SetName("Mod");
  auto* a = new TTestWidget(&root);
  a->SetName("A");
  auto* b = new TTestWidget(&root);
  b->SetName("B");
  b->OnChange.MethodName = "WidgetChange";
  b->SetLink(a);
  b->Columns()->Add();
  b->Lines()->Add("x");
  b->Font()->SetName("Arial");
  b->SetKind(TTestKind::tkBeta);
  b->SetTag(1);
  EXPECT_EQ(WriteModule(&root),
            "object Mod: TTestRoot\n"
            "  object A: TTestWidget\n"
            "  end\n"
            "  object B: TTestWidget\n"
            "    Tag = 1\n"
            "    Kind = tkBeta\n"
            "    Font.Name = 'Arial'\n"
            "    Lines.Strings = (\n"
            "      'x')\n"
            "    Columns = <\n"
            "      item\n"
            "      end>\n"
            "    Link = A\n"
            "    OnChange = WidgetChange\n"
            "  end\n"
            "end\n");
}

TEST_F(FormWriter, ReferencesAreNamedFromTheModule) {
  TTestRoot root(nullptr);
  root.SetName("Mod");
  TTestRoot other(nullptr);
  other.SetName("Form2");
  auto* query = new TTestWidget(&other);
  query->SetName("Query1");
  auto* w = new TTestWidget(&root);
  w->SetName("W");
  w->SetLink(&root);
  EXPECT_NE(WriteModule(&root).find("    Link = Owner\n"), String::npos);
  w->SetLink(query);
  EXPECT_NE(WriteModule(&root).find("    Link = Form2.Query1\n"), String::npos);
  w->SetLink(&other);
  EXPECT_NE(WriteModule(&root).find("    Link = Form2.Owner\n"), String::npos);
}

TEST_F(FormWriter, KeptPropertiesStayInPlaceAndYieldToLiveValues) {
  auto root = ReadModule(Corpus("good/widgets.dfm"), "widgets.dfm");
  auto* third = As<TTestWidget>(root->FindComponent("Third"));
  // The kept "Form2.Query1" goes once the property is given a value of this module.
  third->SetLink(root->FindComponent("Title"));
  third->SetCount(3);
  String text = WriteModule(root.get());
  EXPECT_NE(text.find("  object Third: TTestWidget\n    Count = 3\n    Kind = tkBeta\n    Link = Title\n  end\n"),
            String::npos)
      << text;
  EXPECT_EQ(text.find("Form2.Query1"), String::npos);

  auto unknown = ReadModule(Corpus("good/unknown.dfm"), "unknown.dfm");
  auto* w = As<TTestWidget>(unknown->FindComponent("Widget1"));
  w->SetCount(0);      // Color and Left now follow Caption
  w->SetActive(true);  // Active comes after Count in the class, so after Left and Top
  unknown->FindComponent("ClientDataSet1")->SetName("Orders");
  text = WriteModule(unknown.get());
  EXPECT_NE(text.find("    Caption = 'Known'\n    Color = clRed\n    Left = 100\n    Top = 50\n    Active = True\n"),
            String::npos)
      << text;
  EXPECT_NE(text.find("  object Orders: TClientDataSet\n"), String::npos);
  EXPECT_NE(text.find("    Link = Orders\n"), String::npos);
}

// A reference that stays as written goes back between the properties it stood between, whether
// it names a component the module lacks or one of another module; one that resolves (to a
// component read before it, even one kept from an unknown class) is written in class order.
TEST_F(FormWriter, KeptReferencesKeepTheirPlaceWhereverTheyPoint) {
  const String text =
      "object Mod: TTestRoot\n"
      "  object Cds: TClientDataSet\n"
      "  end\n"
      "  object A: TTestWidget\n"
      "    Caption = 'a'\n"
      "    Count = 1\n"
      "    Link = Cds\n"
      "  end\n"
      "  object B: TTestWidget\n"
      "    Caption = 'b'\n"
      "    Link = Missing\n"
      "    Count = 2\n"
      "  end\n"
      "  object C: TTestWidget\n"
      "    Caption = 'c'\n"
      "    Link = Form2.Query1\n"
      "    Count = 3\n"
      "  end\n"
      "  object D: TTestWidget\n"
      "    Caption = 'd'\n"
      "    Count = 4\n"
      "    Link = A\n"
      "  end\n"
      "end\n";
  auto root = ReadModule(text, "refs.dfm");
  EXPECT_EQ(As<TTestWidget>(root->FindComponent("A"))->Link(), root->FindComponent("Cds"));
  EXPECT_EQ(As<TTestWidget>(root->FindComponent("D"))->Link(), root->FindComponent("A"));
  EXPECT_EQ(WriteModule(root.get()), text);
}

TEST_F(FormWriter, KeptPropertiesOfOneNameKeepTheirOrderFromSaveToSave) {
  const String text =
      "object Mod: TTestRoot\n"
      "  object W: TTestWidget\n"
      "    S = ()\n"
      "    Caption = 'x'\n"
      "    s = ''\n"
      "    S = ()\n"
      "    Count = 2\n"
      "    S = 1\n"
      "    s = 2\n"
      "  end\n"
      "end\n";
  const String once = WriteModule(ReadModule(text, "dup.dfm").get());
  EXPECT_EQ(once, text);
  EXPECT_EQ(WriteModule(ReadModule(once, "dup.dfm").get()), once);

  // Many of them, each after the one before: written back as they stood.
  String big = "object Mod: TTestRoot\n  object W: TTestWidget\n    Caption = 'x'\n";
  for (int i = 0; i < 20000; ++i) big += "    P" + std::to_string(i % 7) + " = " + std::to_string(i) + "\n";
  big += "  end\nend\n";
  EXPECT_EQ(WriteModule(ReadModule(big, "big.dfm").get()), big);
}

TEST_F(FormWriter, UnknownComponentNestedInAKnownOneGoesBackThere) {
  String text =
      "object R: TTestRoot\n"
      "  object A: TTestWidget\n"
      "    Caption = 'a'\n"
      "    object Inner: TMystery\n"
      "      Foo = 1\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto root = ReadModule(text, "n.dfm");
  EXPECT_EQ(WriteModule(root.get()), text);
}

TEST_F(FormWriter, SaveIsAtomic) {
  auto dir = std::filesystem::temp_directory_path() / ("formwriter-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  String file = (dir / "Mod.dfm").string();
  auto root = ReadModule(Corpus("good/widgets.dfm"), "widgets.dfm");
  SaveModuleToFile(root.get(), file);
  EXPECT_EQ(ReadFileToString(file), Corpus("good/widgets.dfm"));

  // A folder that is really a file: the save fails and nothing changes.
  String blocked = (dir / "plain").string();
  WriteFileAtomic(blocked, "old");
  EXPECT_THROW(SaveModuleToFile(root.get(), blocked + "/Mod.dfm"), EStreamError);
  EXPECT_EQ(ReadFileToString(blocked), "old");
  std::filesystem::remove_all(dir);
}

}  // namespace
