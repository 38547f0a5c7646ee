// Binary form files with the real korv: convert both ways, design a binary module, save it back
// in the format it came in or the one asked for.
#include "KorvRun.h"

namespace {

class BinaryFormFilesTest : public TKorvTest {
protected:
  bool IsBinary(const std::string& Name) const { return Read(Name).rfind("TPF0", 0) == 0; }
};

TEST_F(BinaryFormFilesTest, ConvertGoesBothWaysAndLosesNothing) {
  CopyExample();
  const std::string text = Read("Shop.dfm");
  TKorvResult r = Korv({"convert", "Shop.dfm", "ShopBin.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  const std::string binary = Read("ShopBin.dfm");
  EXPECT_EQ(r.Out, "ShopBin.dfm: binary form file, " + std::to_string(binary.size()) + " bytes\n");
  EXPECT_TRUE(IsBinary("ShopBin.dfm"));
  EXPECT_LT(binary.size(), text.size());

  r = Korv({"convert", "ShopBin.dfm", "Back.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(Read("Back.dfm"), text);
  r = Korv({"convert", "Back.dfm", "Again.dfm", "--text"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(Read("Again.dfm"), text);

  // An existing file is replaced only when asked.
  r = Korv({"convert", "Shop.dfm", "Back.dfm"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "korv: Back.dfm already exists: give --force to replace it\n");
  EXPECT_EQ(Read("Back.dfm"), text);
  r = Korv({"convert", "Shop.dfm", "Back.dfm", "--binary", "--force"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(Read("Back.dfm"), binary);

  EXPECT_EQ(Korv({"convert", "Shop.dfm", "X.dfm", "--binary", "--text"}).Exit, 2);
}

TEST_F(BinaryFormFilesTest, ABrokenBinaryFileIsNamedWithItsOffsetAndNothingIsWritten) {
  CopyExample();
  ASSERT_EQ(Korv({"convert", "Shop.dfm", "ShopBin.dfm"}).Exit, 0);
  Write("Cut.dfm", Read("ShopBin.dfm").substr(0, 100));
  TKorvResult r = Korv({"convert", "Cut.dfm", "Out.dfm"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err.rfind("korv: Cut.dfm: byte ", 0), 0u) << r;
  EXPECT_NE(r.Err.find("but found end of file"), std::string::npos) << r;
  EXPECT_FALSE(Exists("Out.dfm"));

  r = Korv({"tree", "Cut.dfm"});
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err.rfind("korv: Cut.dfm: byte ", 0), 0u) << r;
}

// The tree, the UpdateSQL editor and scripts work on a binary module as on the text one, and a
// save keeps the format the file came in.
TEST_F(BinaryFormFilesTest, ABinaryModuleIsDesignedAndSavedBackAsBinary) {
  CopyExample();
  ASSERT_EQ(Korv({"convert", "Shop.dfm", "ShopBin.dfm"}).Exit, 0);
  TKorvResult textTree = Korv({"tree", "Shop.dfm"});
  TKorvResult binaryTree = Korv({"tree", "ShopBin.dfm"});
  ASSERT_EQ(binaryTree.Exit, 0) << binaryTree;
  EXPECT_EQ(binaryTree.Out, textTree.Out);

  TKorvResult r = Korv(
      {"updatesql", "ShopBin.dfm", "CustomersUpdate", "--table", "ORDER_LINE", "--table-fields", "--primary-keys"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Out, "Saved ShopBin.dfm\n");
  EXPECT_TRUE(IsBinary("ShopBin.dfm"));
  ASSERT_EQ(Korv({"convert", "ShopBin.dfm", "Generated.dfm"}).Exit, 0);
  EXPECT_NE(Read("Generated.dfm").find("      'delete from ORDER_LINE'\n      'where'\n"), std::string::npos);

  r = RunScript(
      "open ShopBin.dfm\nselect ShopModule\nset Tag 7\nsave\n"
      "save --text AsText.dfm\nset Tag 8\nsave\nsave --binary AsBinary.dfm\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_TRUE(IsBinary("ShopBin.dfm"));
  EXPECT_FALSE(IsBinary("AsText.dfm"));
  EXPECT_NE(Read("AsText.dfm").find("  Tag = 8\n"), std::string::npos);  // the text format stayed for "save"
  EXPECT_TRUE(IsBinary("AsBinary.dfm"));

  r = RunScript("open Shop.dfm\nsave --binary --text\n");
  EXPECT_EQ(r.Exit, 1) << r;
  EXPECT_EQ(r.Err, "script.korv:2: Usage: save [--binary|--text] [FILE]\n");
}

}  // namespace
