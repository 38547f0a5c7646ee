#include "rtl/FormParser.h"

#include "rtl/FormBinary.h"
#include "rtl/FormPrinter.h"

#include <gtest/gtest.h>

using namespace rtl;

namespace {

String ParseError(const String& text, const String& file = "t.dfm") {
  try {
    ParseFormText(text, file);
  } catch (const EParserError& e) {
    return e.Message();
  }
  return "no error";
}

TEST(FormParser, ReadsEveryValueKindWithPositions) {
  TDfmObject root = ParseFormText(
      "object Shop: TShop\n"
      "  Count = -12\n"
      "  Mask = $FF\n"
      "  Ratio = 2.5e1\n"
      "  Money = 12.5c\n"
      "  Caption = 'It''s'#13#10 +\n"
      "    ' next'\n"
      "  Link = Form2.Query1\n"
      "  Options = [a, b]\n"
      "  SQL.Strings = (\n"
      "    'one'\n"
      "    'two')\n"
      "  Data = {0A0b\n   FF}\n"
      "  Params = <\n"
      "    item\n"
      "      Name = 'x'\n"
      "    end>\n"
      "  object Child: TChild [3]\n"
      "  end\n"
      "end\n",
      "Shop.dfm");
  EXPECT_EQ(root.Name, "Shop");
  EXPECT_EQ(root.ClassName, "TShop");
  ASSERT_EQ(root.Props.size(), 10u);
  EXPECT_EQ(root.Props[0].Value.Int, -12);
  EXPECT_EQ(root.Props[1].Value.Int, 255);
  EXPECT_EQ(root.Props[2].Value.Kind, TDfmValueKind::vkFloat);
  EXPECT_DOUBLE_EQ(root.Props[2].Value.Float, 25.0);
  EXPECT_EQ(root.Props[3].Value.FloatSuffix, 'c');
  EXPECT_EQ(root.Props[4].Value.Str, "It's\r\n next");
  EXPECT_EQ(root.Props[5].Value.Kind, TDfmValueKind::vkIdent);
  EXPECT_EQ(root.Props[5].Value.Str, "Form2.Query1");
  EXPECT_EQ(root.Props[6].Value.Names, (std::vector<String>{"a", "b"}));
  EXPECT_EQ(root.Props[7].Name, "SQL.Strings");
  ASSERT_EQ(root.Props[7].Value.Items.size(), 2u);
  EXPECT_EQ(root.Props[7].Value.Items[1].Str, "two");
  EXPECT_EQ(root.Props[7].Value.Items[1].Pos.Line, 12);
  EXPECT_EQ(root.Props[8].Value.Str, String("\x0A\x0B\xFF", 3));
  ASSERT_EQ(root.Props[9].Value.CollItems.size(), 1u);
  EXPECT_EQ(root.Props[9].Value.CollItems[0].Props[0].Value.Str, "x");
  EXPECT_EQ(root.Props[9].Value.CollItems[0].Props[0].Pos.Line, 17);
  EXPECT_EQ(root.Props[9].Value.CollItems[0].Props[0].Pos.Column, 7);
  ASSERT_EQ(root.Children.size(), 1u);
  EXPECT_EQ(root.Children[0].Index, 3);
  EXPECT_EQ(root.Children[0].Pos.Line, 19);
  EXPECT_EQ(root.Children[0].Pos.Column, 3);
}

TEST(FormParser, KeywordsIgnoreCaseAndMayBePropertyNames) {
  TDfmObject root = ParseFormText("OBJECT A: TA\n  End = 1\n  Object = 2\n  INHERITED B: TB\n  END\nEnD", "k.dfm");
  EXPECT_EQ(root.Props.size(), 2u);
  ASSERT_EQ(root.Children.size(), 1u);
  EXPECT_EQ(root.Children[0].Kind, TDfmObjectKind::okInherited);
}

TEST(FormParser, StringsJoinSurrogatesAndTakeRawUtf8) {
  // A surrogate pair split by " +" over two lines is one character.
  TDfmObject root = ParseFormText("object A: TA\n  S = #55357 +\n  #56832'Grüße'#$41\nend", "s.dfm");
  EXPECT_EQ(root.Props[0].Value.Str,
            "\xF0\x9F\x98\x80Grüße"
            "A");
  EXPECT_EQ(root.Pos.Line, 1);
}

TEST(FormParser, ColumnsCountCharactersAndLinesAnyEnding) {
  EXPECT_EQ(ParseError("object A: TA\r\n  S = 'é' @\r\nend", "c.dfm"),
            "c.dfm:2:11: expected a property, an object or \"end\" but found \"@\"");
  EXPECT_EQ(ParseError("object A: TA\r  X = \r  =\rend"), "t.dfm:3:3: expected a value but found \"=\"");
  // Letters beyond ASCII in a name count one each; the next line counts afresh.
  EXPECT_EQ(ParseError("object A: TA\n  Größe.Maß = 1 @\nend"),
            "t.dfm:2:17: expected a property, an object or \"end\" but found \"@\"");
  EXPECT_EQ(ParseError("object A: TA\n  S = 'é'\n  T = 1 @\nend"),
            "t.dfm:3:9: expected a property, an object or \"end\" but found \"@\"");
}

// Strings and blanks are scanned a word at a time: whatever stands at each place of a word, and
// wherever the text ends, the outcome is the one a byte-by-byte reading gives.
TEST(FormParser, WordAtATimeScansMissNothingAtAnyPlace) {
  for (size_t at = 0; at < 20; ++at) {
    SCOPED_TRACE(at);
    const String before(at, 'a'), after(19 - at, 'b'), col = std::to_string(8 + at);
    const std::pair<String, String> kinds[] = {{"''", "'"}, {"\t", "\t"}, {"\xC3\xA9", "\xC3\xA9"}, {"'#65'", "A"}};
    for (const auto& [written, meant] : kinds)
      EXPECT_EQ(
          ParseFormText("object A: TA\n  S = '" + before + written + after + "'\nend", "w.dfm").Props[0].Value.Str,
          before + meant + after);
    EXPECT_EQ(ParseError("object A: TA\n  S = '" + before + "\r\n" + after + "'\nend"),
              "t.dfm:2:7: unterminated string: expected \"'\" but found end of line");
    EXPECT_EQ(ParseError("object A: TA\n  S = '" + before + String(1, '\0') + after + "'\nend"),
              "t.dfm:2:" + col + ": unexpected NUL byte (binary data is not a text form file)");
    EXPECT_EQ(ParseError("object A: TA\n  S = '" + before + "\xFF" + after + "'\nend"),
              "t.dfm:2:" + col + ": invalid UTF-8 byte 0xFF in a string");
    EXPECT_EQ(ParseError("object A: TA\n  S = '" + before),
              "t.dfm:2:7: unterminated string: expected \"'\" but found end of file");
    // A name ends at the first byte that is not a letter, digit or "_", the neighbours of
    // their ranges included.
    for (char c : String("AZaz09_")) {
      const String name = "n" + before + c + after;
      EXPECT_EQ(ParseFormText("object A: TA\n  S = " + name + "\nend", "w.dfm").Props[0].Value.Str, name);
    }
    for (char c : String("@[`{/:^")) {
      EXPECT_EQ(ParseError("object A: TA\n  S = n" + before + c + "\nend"),
                "t.dfm:2:" + col + ": expected a property, an object or \"end\" but found \"" + c + "\"");
    }
    const String blanks(at, ' ');
    EXPECT_EQ(ParseError("object A: TA\n  S" + blanks + "=" + blanks + "1" + blanks + "@\nend"),
              "t.dfm:2:" + std::to_string(6 + 3 * at) + ": expected a property, an object or \"end\" but found \"@\"");
    EXPECT_EQ(ParseError("object A: TA\n" + blanks),
              "t.dfm:2:" + std::to_string(1 + at) + ": expected \"end\" but found end of file");
  }
  // Every blank separates alike: "end" before an "=" is a property's name.
  EXPECT_EQ(ParseFormText("object A: TA\n  End\f\v\t= 1\nend", "b.dfm").Props.size(), 1u);
}

TEST(FormParser, MalformedInputsNameWhatWasExpected) {
  EXPECT_EQ(ParseError("object A: TA\n  X = 99999999999999999999\nend"), "t.dfm:2:7: integer out of range");
  EXPECT_EQ(ParseError("object A: TA\n  X = {0A1}\nend"),
            "t.dfm:2:11: odd number of hexadecimal digits in binary data");
  EXPECT_EQ(ParseError("object A: TA\n  X = {0A1G}\nend"),
            "t.dfm:2:11: expected a hexadecimal digit or \"}\" but found \"G\"");
  EXPECT_EQ(ParseError("object A: TA\n  X = [a b]\nend"), "t.dfm:2:10: expected \",\" or \"]\" but found \"b\"");
  EXPECT_EQ(ParseError("object A: TA\n  X = <item end\nend"),
            "t.dfm:3:1: expected \"item\" or \">\" but found \"end\"");
  EXPECT_EQ(ParseError("object A: TA\n  X = 'a' +\nend"), "t.dfm:3:1: expected a string after \"+\" but found \"end\"");
  EXPECT_EQ(ParseError("object A: TA\nend\nend"), "t.dfm:3:1: expected end of file but found \"end\"");
  EXPECT_EQ(ParseError("object A: TA\n  X = #\nend"), "t.dfm:2:7: expected a character code after \"#\"");
  EXPECT_EQ(ParseError("object A: TA\n  X = 12abc\nend"), "t.dfm:2:9: invalid character in a number");
}

TEST(FormParser, PropertiesComeBeforeNestedObjectsAndStreamOneObjectAtATime) {
  EXPECT_EQ(ParseError("object A: TA\n  object B: TB\n  end\n  X = 1\nend"),
            "t.dfm:4:3: expected an object or \"end\" but found \"X\"");
  struct TSink : TFormTextSink {
    std::vector<String> Seen;
    void Root(TDfmObject& r) override { Seen.push_back(r.Name + ":" + std::to_string(r.Props.size())); }
    void Child(TDfmObject& c) override { Seen.push_back(c.Name + "/" + std::to_string(c.Children.size())); }
  } sink;
  ParseFormText("object A: TA\n  X = 1\n  object B: TB\n    object C: TC\n    end\n  end\n  object D: TD\n  end\nend",
                "s.dfm", sink);
  EXPECT_EQ(sink.Seen, (std::vector<String>{"A:1", "B/1", "D/0"}));
}

// Streamed objects are built in the storage of the ones before: whatever kinds of value stood
// at a place before, each object comes out as the whole tree has it, in text and in binary.
TEST(FormParser, StreamedObjectsCarryNothingOfTheOnesBefore) {
  const String text =
      "object A: TA\n"
      "  object B: TB\n"
      "    X = 'a long text, longer than the short-string buffer'\n"
      "    Y = [a, b]\n"
      "    Z = (\n      'one'\n      'two')\n"
      "    W = <\n      item\n        Z = 1\n      end>\n"
      "    V = 1.5d\n"
      "  end\n"
      "  object C: TC\n"
      "    X = 'short'\n"
      "    Y = [c]\n"
      "    Z = (\n      'three')\n"
      "    W = <\n      item\n        Q = 2\n      end>\n"
      "    V = 2.5\n"
      "  end\n"
      "  object D: TD [2]\n"
      "    X = {0A0B}\n"
      "    Y = Ident\n"
      "    Z = -3\n"
      "  end\n"
      "  inherited E: TE\n"
      "  end\n"
      "end\n";
  struct TSink : TFormTextSink {
    std::vector<String> Printed;
    std::vector<std::vector<TDfmPos>> Places;
    void Root(TDfmObject&) override {}
    void Child(TDfmObject& c) override {
      Printed.push_back(PrintFormText(c));
      auto& places = Places.emplace_back();
      for (const TDfmProperty& p : c.Props) {
        places.push_back(p.Pos);
        places.push_back(p.Value.Pos);
      }
    }
  };
  const TDfmObject tree = ParseFormText(text, "s.dfm");
  for (const String& file : {text, PrintFormBinary(tree)}) {
    TSink sink;
    ParseForm(file, "s.dfm", sink);
    const TDfmObject whole = file == text ? tree : ParseFormBinary(file, "s.dfm");
    ASSERT_EQ(sink.Printed.size(), whole.Children.size());
    for (size_t i = 0; i < whole.Children.size(); ++i) {
      EXPECT_EQ(sink.Printed[i], PrintFormText(whole.Children[i]));
      size_t k = 0;
      for (const TDfmProperty& p : whole.Children[i].Props) {
        EXPECT_EQ(sink.Places[i][k].Line, p.Pos.Line);
        EXPECT_EQ(sink.Places[i][k++].Offset, p.Pos.Offset);
        EXPECT_EQ(sink.Places[i][k].Column, p.Value.Pos.Column);
        EXPECT_EQ(sink.Places[i][k++].Offset, p.Value.Pos.Offset);
      }
    }
  }
}

// Hostile sizes: a 10 MB line, a huge list, deep nesting. Each ends in a positioned error or a
// result, without exhausting the stack or taking quadratic time.
TEST(FormParser, HugeAndDeepInputs) {
  const size_t big = 10u << 20;
  String line = "object A: TA X = '" + String(big, 'x');
  EXPECT_EQ(ParseError(line), "t.dfm:1:18: unterminated string: expected \"'\" but found end of file");

  String ok = "object A: TA X = '" + String(big, 'y') + "' end";
  EXPECT_EQ(ParseFormText(ok, "t.dfm").Props[0].Value.Str.size(), big);

  String list = "object A: TA X = (";
  for (int i = 0; i < 1000000; ++i) list += "1 ";
  EXPECT_EQ(ParseError(list), "t.dfm:1:2000019: expected a value or \")\" but found end of file");

  String deep = "object A: TA X = " + String(200000, '(');
  EXPECT_EQ(ParseError(deep), "t.dfm:1:274: nesting deeper than 256 levels");

  String idents = "object A: TA X = " + String(big, 'z');
  EXPECT_EQ(ParseError(idents), "t.dfm:1:10485778: expected \"end\" but found end of file");
}

}  // namespace
