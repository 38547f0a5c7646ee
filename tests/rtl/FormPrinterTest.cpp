#include "rtl/FormParser.h"
#include "rtl/FormPrinter.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace rtl;

namespace {

String Str(const String& s, int level = 1) { return PrintFormValue(TDfmValue::StringValue(s), level); }

TEST(FormPrinter, StringsQuotePrintableAsciiAndCodeTheRest) {
  EXPECT_EQ(Str(""), "''");
  EXPECT_EQ(Str("It's"), "'It''s'");
  EXPECT_EQ(Str("a\r\nb"), "'a'#13#10'b'");
  EXPECT_EQ(Str("Grüße"), "'Gr'#252#223'e'");
  EXPECT_EQ(Str("\xF0\x9F\x98\x80"), "#55357#56832");
  EXPECT_EQ(Str("\t"), "#9");
}

TEST(FormPrinter, LongStringsStartOnTheirOwnLineAndBreakEvery64Units) {
  TDfmObject obj;
  obj.Name = "A";
  obj.ClassName = "TA";
  obj.Props.push_back({"Exact", {}, TDfmValue::StringValue(String(64, 'a'))});
  obj.Props.push_back({"Long", {}, TDfmValue::StringValue(String(64, 'b') + "c")});
  // #n codes count one unit each, as in the platform's writer.
  obj.Props.push_back({"Coded", {}, TDfmValue::StringValue(String(63, 'd') + "\xC3\xA9" + "ee")});
  obj.Props.push_back(
      {"Lines.Strings", {}, TDfmValue::List({TDfmValue::StringValue(String(65, 'f')), TDfmValue::StringValue("g")})});
  EXPECT_EQ(PrintFormText(obj),
            "object A: TA\n"
            "  Exact = '" +
                String(64, 'a') +
                "'\n"
                "  Long =\n"
                "    '" +
                String(64, 'b') +
                "' +\n"
                "    'c'\n"
                "  Coded =\n"
                "    '" +
                String(63, 'd') +
                "'#233 +\n"
                "    'ee'\n"
                "  Lines.Strings = (\n"
                "    '" +
                String(64, 'f') +
                "' +\n"
                "      'f'\n"
                "    'g')\n"
                "end\n");
}

TEST(FormPrinter, BinaryListsSetsCollectionsAndNumbers) {
  String bytes;
  for (int i = 0; i < 40; ++i) bytes += static_cast<char>(i * 7);
  String hex = PrintFormValue(TDfmValue::Binary(bytes), 2);
  EXPECT_EQ(hex.substr(0, 8), "{\n      ");
  EXPECT_EQ(hex.find('\n', 2), 8u + 64u);  // 32 bytes per line
  EXPECT_EQ(hex.back(), '}');
  EXPECT_EQ(PrintFormValue(TDfmValue::Binary("")), "{}");
  EXPECT_EQ(PrintFormValue(TDfmValue::Set({})), "[]");
  EXPECT_EQ(PrintFormValue(TDfmValue::Set({"a", "b"})), "[a, b]");
  EXPECT_EQ(PrintFormValue(TDfmValue::List({})), "()");
  EXPECT_EQ(PrintFormValue(TDfmValue::Collection({})), "<>");
  EXPECT_EQ(PrintFormValue(TDfmValue::FloatValue(100)), "100.0");
  EXPECT_EQ(PrintFormValue(TDfmValue::FloatValue(0.1)), "0.1");
  EXPECT_EQ(PrintFormValue(TDfmValue::FloatValue(12.5, 'c')), "12.5c");
  EXPECT_THROW(PrintFormValue(TDfmValue::FloatValue(std::numeric_limits<double>::infinity())), EConvertError);
  // Bytes that are not UTF-8 still print, as the characters of those numbers.
  EXPECT_EQ(Str("\xFF"), "#255");
}

TEST(FormPrinter, CorpusRoundTripsByteForByte) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KORV_SOURCE_DIR "/tests/data/good")) {
    String text = ReadFileToString(entry.path().string());
    EXPECT_EQ(PrintFormText(ParseFormText(text, entry.path().filename().string())), text) << entry.path();
    ++files;
  }
  EXPECT_GE(files, 3);
}

TEST(FormPrinter, AnyValidTextIsStableAfterOnePrint) {
  const String messy =
      "\xEF\xBB\xBF"
      "OBJECT A:TA\r\n Caption='x'+'y'#$41  N=$10 F=1.50 S=[ a ,b ]\r\n"
      " L=(1 'a' (2)) D={ 0a 0B } C=<ITEM[1] X=1 END item end>\r\n"
      " Long = '" +
      String(200, 'q') +
      "'\r\n"
      " object TB end END\r\n";
  String once = PrintFormText(ParseFormText(messy, "m.dfm"));
  EXPECT_EQ(PrintFormText(ParseFormText(once, "m.dfm")), once);
  EXPECT_NE(once.find("  Caption = 'xyA'\n  N = 16\n  F = 1.5\n  S = [a, b]\n"), String::npos) << once;
  EXPECT_NE(once.find("  object TB\n  end\n"), String::npos) << once;
}

}  // namespace
