#include "rtl/DesignInfo.h"

#include "FormTestClasses.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace rtl;

std::unique_ptr<TComponent> Read(const String& Text) {
  formtest::Register();
  TFormReadOptions options;
  options.Designing = true;
  return ReadModule(Text, "Test.dfm", options);
}

const char* kModule =
    "object Module1: TTestRoot\n"
    "  object Placed: TTestWidget\n"
    "    Count = 3\n"
    "    Left = 48\n"
    "    Top = 300\n"
    "  end\n"
    "  object Loose: TTestWidget\n"
    "  end\n"
    "  object Counted: TTestWidget\n"
    "    Count = 4\n"
    "  end\n"
    "end\n";

TEST(DesignInfoTest, PositionsComeFromLeftAndTopAndGoBackUnchanged) {
  auto root = Read(kModule);
  TComponent* placed = root->FindComponent("Placed");
  ASSERT_TRUE(DesignPosition(placed));
  EXPECT_EQ(DesignPosition(placed)->Left, 48);
  EXPECT_EQ(DesignPosition(placed)->Top, 300);
  EXPECT_EQ(DesignInfo(placed), (300 << 16) | 48);
  EXPECT_FALSE(DesignPosition(root->FindComponent("Loose")));
  EXPECT_EQ(DesignInfo(root->FindComponent("Loose")), 0);
  EXPECT_EQ(WriteModule(root.get()), kModule);
}

TEST(DesignInfoTest, ANewPositionIsWrittenAfterTheOtherProperties) {
  auto root = Read(kModule);
  SetDesignPosition(root->FindComponent("Placed"), {60, 12});
  SetDesignInfo(root->FindComponent("Loose"), (7 << 16) | 5);
  const String text = WriteModule(root.get());
  EXPECT_NE(text.find("    Count = 3\n    Left = 60\n    Top = 12\n"), String::npos) << text;
  EXPECT_NE(text.find("object Loose: TTestWidget\n    Left = 5\n    Top = 7\n  end"), String::npos) << text;
  // A component the file gave nothing kept: the position still follows its properties.
  SetDesignPosition(root->FindComponent("Counted"), {1, 2});
  EXPECT_NE(
      WriteModule(root.get()).find("object Counted: TTestWidget\n    Count = 4\n    Left = 1\n    Top = 2\n  end"),
      String::npos)
      << WriteModule(root.get());
  // Out of the words' range: clamped, never wrapped round.
  SetDesignPosition(root->FindComponent("Loose"), {-4, 70000});
  EXPECT_EQ(DesignPosition(root->FindComponent("Loose"))->Left, 0);
  EXPECT_EQ(DesignPosition(root->FindComponent("Loose"))->Top, 0xFFFF);
}

}  // namespace
