#include "rtl/FormBinary.h"

#include "FormTestClasses.h"
#include "rtl/FormPrinter.h"
#include "rtl/FormReader.h"
#include "rtl/FormWriter.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace rtl;

namespace {

// Builds a binary form file byte by byte, as the format describes it.
class TBytes {
public:
  String Data;

  TBytes& Raw(std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) Data += static_cast<char>(b);
    return *this;
  }
  TBytes& Text(const String& s) {
    Data += s;
    return *this;
  }
  TBytes& Short(const String& s) { return Raw({static_cast<unsigned>(s.size())}).Text(s); }
  TBytes& LE(uint64_t v, int n) {
    for (int i = 0; i < n; ++i) Data += static_cast<char>(v >> (8 * i));
    return *this;
  }
  // "TPF0", then an object of ClassName and Name with its properties open.
  TBytes& Begin(const String& ClassName, const String& Name) { return Text("TPF0").Short(ClassName).Short(Name); }
  TBytes& Prop(const String& Name) { return Short(Name); }
  TBytes& End() { return Raw({0}); }
};

// A module whose root has the one property Value, in bytes: the value's own bytes in between.
String OneValue(const TBytes& value) {
  TBytes b;
  b.Begin("TForm1", "Form1").Prop("Value");
  b.Data += value.Data;
  return b.End().End().Data;
}

TDfmValue ReadOneValue(const TBytes& value) {
  TDfmObject root = ParseFormBinary(OneValue(value), "v.dfm");
  EXPECT_EQ(root.Props.size(), 1u);
  return root.Props.at(0).Value;
}

String ParseError(const String& bytes) {
  try {
    ParseFormBinary(bytes, "bad.dfm");
  } catch (const EParserError& e) {
    return e.what();
  }
  return "(no error)";
}

// Every value type the format has, read into the tree the text parser would build.
TEST(FormBinary, ReadsEveryValueType) {
  EXPECT_EQ(ReadOneValue(TBytes().Raw({2, 0xFB})).Int, -5);
  EXPECT_EQ(ReadOneValue(TBytes().Raw({3}).LE(0xFC18, 2)).Int, -1000);
  EXPECT_EQ(ReadOneValue(TBytes().Raw({4}).LE(100000, 4)).Int, 100000);
  EXPECT_EQ(ReadOneValue(TBytes().Raw({19}).LE(uint64_t{1} << 40, 8)).Int, int64_t{1} << 40);

  // 1.5 in extended precision: mantissa $C000000000000000, exponent 16383; -2 has the sign bit.
  TDfmValue ext = ReadOneValue(TBytes().Raw({5}).LE(0xC000000000000000u, 8).LE(0x3FFF, 2));
  EXPECT_EQ(ext.Kind, TDfmValueKind::vkFloat);
  EXPECT_EQ(ext.Float, 1.5);
  EXPECT_EQ(ext.FloatSuffix, 0);
  EXPECT_EQ(ReadOneValue(TBytes().Raw({5}).LE(0x8000000000000000u, 8).LE(0xC000, 2)).Float, -2.0);

  TDfmValue single = ReadOneValue(TBytes().Raw({15}).LE(0x3DCCCCCD, 4));  // 0.1f
  EXPECT_EQ(single.Float, 0.1);  // the decimal that was meant, not 0.10000000149...
  EXPECT_EQ(single.FloatSuffix, 's');
  TDfmValue currency = ReadOneValue(TBytes().Raw({16}).LE(123456, 8));
  EXPECT_EQ(currency.Float, 12.3456);
  EXPECT_EQ(currency.FloatSuffix, 'c');
  TDfmValue date = ReadOneValue(TBytes().Raw({17}).LE(0x40E5F90000000000u, 8));  // 45000.0
  EXPECT_EQ(date.Float, 45000.0);
  EXPECT_EQ(date.FloatSuffix, 'd');
  EXPECT_EQ(ReadOneValue(TBytes().Raw({21}).LE(0x3FF8000000000000u, 8)).Float, 1.5);

  EXPECT_EQ(ReadOneValue(TBytes().Raw({6}).Short("it's")).Str, "it's");
  EXPECT_EQ(ReadOneValue(TBytes().Raw({12}).LE(3, 4).Text("abc")).Str, "abc");
  EXPECT_EQ(ReadOneValue(TBytes().Raw({6, 2, 0x80, 0xE9})).Str, "\u20AC\u00E9");  // Windows-1252 bytes
  EXPECT_EQ(ReadOneValue(TBytes().Raw({20}).LE(2, 4).Raw({0xC3, 0xA9})).Str, "\u00E9");
  // UTF-16: e-acute, then U+1F600 as a surrogate pair.
  EXPECT_EQ(ReadOneValue(TBytes().Raw({18}).LE(3, 4).LE(0xE9, 2).LE(0xD83D, 2).LE(0xDE00, 2)).Str, "\u00E9\U0001F600");

  TDfmValue ident = ReadOneValue(TBytes().Raw({7}).Short("Form2.Query1"));
  EXPECT_EQ(ident.Kind, TDfmValueKind::vkIdent);
  EXPECT_EQ(ident.Str, "Form2.Query1");
  EXPECT_EQ(ReadOneValue(TBytes().Raw({8})).Str, "False");
  EXPECT_EQ(ReadOneValue(TBytes().Raw({9})).Str, "True");
  EXPECT_EQ(ReadOneValue(TBytes().Raw({13})).Str, "nil");

  TDfmValue set = ReadOneValue(TBytes().Raw({11}).Short("toBold").Short("toItalic").End());
  EXPECT_EQ(set.Kind, TDfmValueKind::vkSet);
  EXPECT_EQ(set.Names, (std::vector<String>{"toBold", "toItalic"}));
  EXPECT_TRUE(ReadOneValue(TBytes().Raw({11, 0})).Names.empty());

  TDfmValue list = ReadOneValue(TBytes().Raw({1, 6}).Short("a").Raw({2, 7, 1}).Raw({6, 0}).End().End());
  ASSERT_EQ(list.Kind, TDfmValueKind::vkList);
  ASSERT_EQ(list.Items.size(), 3u);
  EXPECT_EQ(list.Items[0].Str, "a");
  EXPECT_EQ(list.Items[1].Int, 7);
  EXPECT_EQ(list.Items[2].Kind, TDfmValueKind::vkList);

  TDfmValue binary = ReadOneValue(TBytes().Raw({10}).LE(3, 4).Raw({0, 0xFF, 0x10}));
  EXPECT_EQ(binary.Kind, TDfmValueKind::vkBinary);
  EXPECT_EQ(binary.Str, String("\0\xFF\x10", 3));
}

// UTF-16 strings are decoded four ASCII units at a time: a unit beyond ASCII anywhere among
// them, and strings of any length, decode as one unit at a time would.
TEST(FormBinary, Utf16StringsDecodeAlikeWhereverTheirUnitsStand) {
  const std::pair<std::vector<unsigned>, String> odd[] = {
      {{0x7F}, "\x7F"},      {{0x80}, "\xC2\x80"}, {{0xE9}, "\xC3\xA9"},
      {{0x100}, "\xC4\x80"}, {{0x20AC}, "\u20AC"}, {{0xD83D, 0xDE00}, "\U0001F600"},
  };
  for (size_t length = 0; length <= 11; ++length)
    for (size_t at = 0; at <= length; ++at)
      for (const auto& [units, meant] : odd) {
        SCOPED_TRACE(std::to_string(length) + "/" + std::to_string(at) + "/" + meant);
        TBytes b;
        b.Raw({18}).LE(length + units.size(), 4);
        String expected;
        for (size_t i = 0; i <= length; ++i) {
          if (i == at)
            for (unsigned u : units) b.LE(u, 2);
          if (i == at) expected += meant;
          if (i < length) {
            b.LE('a' + i, 2);
            expected += static_cast<char>('a' + i);
          }
        }
        EXPECT_EQ(ReadOneValue(b).Str, expected);
      }
  // A lone low surrogate after a run of ASCII is found at its own place.
  const String head = TBytes().Begin("TForm1", "Form1").Data;
  EXPECT_EQ(ParseError(head + TBytes()
                                  .Prop("P")
                                  .Raw({18})
                                  .LE(6, 4)
                                  .LE('a', 2)
                                  .LE('b', 2)
                                  .LE('c', 2)
                                  .LE('d', 2)
                                  .LE('e', 2)
                                  .LE(0xDC00, 2)
                                  .End()
                                  .End()
                                  .Data),
            "bad.dfm: byte 34: invalid character code #56320: a low surrogate without its high half");
}

// Names: each dotted part starts with a letter or "_"; a dot only where dots are allowed.
TEST(FormBinary, NamesAreCheckedPartByPart) {
  const String head = TBytes().Begin("TForm1", "Form1").Data;
  for (const String good : {"a", "_", "a1.b2", "Font.Name", "x.y.z"}) {
    TDfmObject root = ParseFormBinary(head + TBytes().Short(good).Raw({2, 1}).End().End().Data, "n.dfm");
    EXPECT_EQ(root.Props.at(0).Name, good);
  }
  for (const String bad : {"1a", ".a", "a.", "a..b", "a.1", "a-b", "\xC3\xA9"})
    EXPECT_EQ(ParseError(head + TBytes().Short(bad).Raw({2, 1}).End().End().Data).substr(0, 40),
              "bad.dfm: byte 17: invalid property name ")
        << bad;
}

TEST(FormBinary, ReadsCollectionsWithAndWithoutOrderValues) {
  TDfmValue coll = ReadOneValue(TBytes()
                                    .Raw({14})
                                    .Raw({1})
                                    .Prop("Caption")
                                    .Raw({6})
                                    .Short("first")
                                    .End()
                                    .Raw({3})
                                    .LE(300, 2)
                                    .Raw({1})
                                    .Prop("Width")
                                    .Raw({2, 9})
                                    .End()
                                    .Raw({1})
                                    .End()
                                    .End());
  ASSERT_EQ(coll.Kind, TDfmValueKind::vkCollection);
  ASSERT_EQ(coll.CollItems.size(), 3u);
  EXPECT_FALSE(coll.CollItems[0].Index);
  EXPECT_EQ(coll.CollItems[0].Props.at(0).Name, "Caption");
  EXPECT_EQ(coll.CollItems[0].Props.at(0).Value.Str, "first");
  EXPECT_EQ(coll.CollItems[1].Index, 300);
  EXPECT_EQ(coll.CollItems[1].Props.at(0).Value.Int, 9);
  EXPECT_TRUE(coll.CollItems[2].Props.empty());
  EXPECT_EQ(PrintFormValue(coll),
            "<\n"
            "    item\n"
            "      Caption = 'first'\n"
            "    end\n"
            "    item [300]\n"
            "      Width = 9\n"
            "    end\n"
            "    item\n"
            "    end>");
}

TEST(FormBinary, ReadsNestedObjectsWithTheirFlags) {
  TBytes b;
  b.Begin("TShop", "Shop").Prop("Tag").Raw({2, 1}).End();
  b.Raw({0xF1}).Short("TQuery").Short("Inherited1").End().End();  // inherited
  b.Raw({0xF2, 2, 3}).Short("TQuery").Short("Placed").End();      // child position 3
  b.Short("TPanel").Short("").End().End();                        // no name
  b.Raw({0xF4}).Short("TFrame1").Short("Frame").End().End();      // inline
  b.End();                                                        // Placed's objects
  b.End();                                                        // the root's
  TDfmObject root = ParseFormBinary(b.Data, "shop.dfm");
  EXPECT_EQ(PrintFormText(root),
            "object Shop: TShop\n"
            "  Tag = 1\n"
            "  inherited Inherited1: TQuery\n"
            "  end\n"
            "  object Placed: TQuery [3]\n"
            "    object TPanel\n"
            "    end\n"
            "    inline Frame: TFrame1\n"
            "    end\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(root.Children.at(1).Pos.Offset, 43);
  EXPECT_EQ(root.Children.at(1).Pos.Line, 0);
}

// A resource header ($FF, type 10, the upper-case name, flags, the stream's size) before the
// signature; the writer makes the same header.
TEST(FormBinary, ResourceHeaderIsReadAndWritten) {
  const String stream = TBytes().Begin("TShop", "Shop").End().End().Data;
  String file = TBytes().Raw({0xFF, 0x0A, 0x00}).Text("TSHOP").Raw({0, 0x30, 0x10}).LE(stream.size(), 4).Data + stream;
  EXPECT_EQ(DetectFormFormat(file), TDfmFormat::dfBinaryResource);
  EXPECT_EQ(DetectFormFormat(stream), TDfmFormat::dfBinary);
  EXPECT_EQ(DetectFormFormat("object A: TA\nend\n"), TDfmFormat::dfText);
  TDfmObject root = ParseFormBinary(file, "shop.dfm");
  EXPECT_EQ(root.Name, "Shop");
  EXPECT_EQ(PrintFormBinary(root, TDfmFormat::dfBinaryResource), file);
  EXPECT_EQ(PrintFormBinary(root), stream);

  // Offsets count from the file's start, header included.
  String bad = file;
  bad[bad.size() - 1] = 7;
  EXPECT_EQ(ParseError(bad), "bad.dfm: byte 32: expected 7 more bytes of class name but found end of file");
  String shortSize = file;
  shortSize[11] = 100;
  EXPECT_EQ(ParseError(shortSize), "bad.dfm: byte 32: expected 100 bytes of the resource but found end of file");
}

// The writer's bytes are canonical: the smallest integer encoding, ASCII strings short or long,
// others as UTF-16; True, False and nil as their own types.
TEST(FormBinary, WritesCanonicalBytes) {
  TDfmObject root;
  root.ClassName = "TForm1";
  root.Name = "Form1";
  auto add = [&](TDfmValue v) { root.Props.push_back({"P", {}, std::move(v)}); };
  add(TDfmValue::Integer(-128));
  add(TDfmValue::Integer(128));
  add(TDfmValue::Integer(-40000));
  add(TDfmValue::Integer(int64_t{1} << 33));
  add(TDfmValue::FloatValue(1.5));
  add(TDfmValue::FloatValue(12.3456, 'c'));
  add(TDfmValue::StringValue(String(256, 'x')));
  add(TDfmValue::StringValue("\u00E9"));
  add(TDfmValue::Ident("TRUE"));
  add(TDfmValue::Ident("alClient"));
  String expected = TBytes().Begin("TForm1", "Form1").Data;
  TBytes e;
  e.Prop("P").Raw({2, 0x80});
  e.Prop("P").Raw({3}).LE(128, 2);
  e.Prop("P").Raw({4}).LE(static_cast<uint32_t>(-40000), 4);
  e.Prop("P").Raw({19}).LE(uint64_t{1} << 33, 8);
  e.Prop("P").Raw({5}).LE(0xC000000000000000u, 8).LE(0x3FFF, 2);
  e.Prop("P").Raw({16}).LE(123456, 8);
  e.Prop("P").Raw({12}).LE(256, 4).Text(String(256, 'x'));
  e.Prop("P").Raw({18}).LE(1, 4).LE(0xE9, 2);
  e.Prop("P").Raw({9});
  e.Prop("P").Raw({7}).Short("alClient");
  e.End().End();
  EXPECT_EQ(PrintFormBinary(root), expected + e.Data);
}

// Text to binary and back gives the text again; binary written by the writer reads and writes
// back to the same bytes. Over the corpus, through the component reader and writer.
class FormBinaryModules : public ::testing::Test {
protected:
  void SetUp() override { formtest::Register(); }
};

TEST_F(FormBinaryModules, CorpusRoundTripsThroughBinary) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KORV_SOURCE_DIR "/tests/data/good")) {
    const String name = entry.path().filename().string();
    const String text = ReadFileToString(entry.path().string());
    auto fromText = ReadModule(text, name);
    for (TDfmFormat format : {TDfmFormat::dfBinary, TDfmFormat::dfBinaryResource}) {
      const String binary = WriteModule(fromText.get(), format);
      EXPECT_EQ(DetectFormFormat(binary), format);
      auto fromBinary = ReadModule(binary, name);
      EXPECT_EQ(WriteModule(fromBinary.get(), format), binary) << name;
      EXPECT_EQ(WriteModule(fromBinary.get()), text) << name;
    }
    ++files;
  }
  EXPECT_GE(files, 3);
}

// Unknown classes and properties in a binary file are kept as the text path keeps them.
TEST_F(FormBinaryModules, KeepsWhatNoClassKnows) {
  TBytes b;
  b.Begin("TTestRoot", "Shop").End();
  b.Short("TNoSuchClass").Short("Odd").Prop("Whatever").Raw({2, 5}).End().End();
  b.Short("TTestWidget").Short("W").Prop("NoSuchProp").Raw({6}).Short("kept").End().End();
  b.End();
  std::vector<String> notes;
  TFormReadOptions options;
  options.OnNote = [&](const String& n) { notes.push_back(n); };
  auto root = ReadModule(b.Data, "shop.dfm", options);
  EXPECT_EQ(notes, (std::vector<String>{
                       "shop.dfm: byte 20: class TNoSuchClass is not registered; the component is kept as written"}));
  EXPECT_EQ(WriteModule(root.get(), TDfmFormat::dfBinary), b.Data);
}

// Every truncation of a small but complete file is a positioned error, and no module comes of it.
TEST_F(FormBinaryModules, EveryTruncationIsAPositionedError) {
  TBytes b;
  b.Begin("TTestRoot", "Shop").End();
  b.Short("TTestWidget").Short("W").Prop("Caption").Raw({20}).LE(2, 4).Raw({0xC3, 0xA9});
  b.Prop("Lines.Strings").Raw({1, 6}).Short("x").End();
  b.Prop("Columns").Raw({14, 2, 4, 1}).Prop("Width").Raw({2, 9}).End().End();
  b.End().End();
  b.End();
  ASSERT_NO_THROW(ReadModule(b.Data, "full.dfm"));
  for (size_t n = 0; n < b.Data.size(); ++n) {
    try {
      ReadModule(std::string_view(b.Data).substr(0, n), "cut.dfm");
      ADD_FAILURE() << "read a file cut at " << n;
    } catch (const EParserError& e) {
      const String message = e.what();
      if (n < 4) continue;  // too short to be taken for a binary file: a text error
      EXPECT_EQ(message.rfind("cut.dfm: byte ", 0), 0u) << message;
      EXPECT_NE(message.find("end of file"), String::npos) << n << ": " << message;
    }
  }
}

TEST(FormBinary, CorruptInputsGivePositionedErrors) {
  const String head = TBytes().Begin("TForm1", "Form1").Data;  // 17 bytes
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({99}).Data),
            "bad.dfm: byte 19: expected a value but found byte 0x63");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({0}).Data),
            "bad.dfm: byte 19: expected a value but found end of list");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({12}).LE(0xFFFFFFFF, 4).Data),
            "bad.dfm: byte 24: expected 4294967295 more bytes of a string but found end of file");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({18}).LE(0x7FFFFFFF, 4).Data),
            "bad.dfm: byte 24: expected 4294967294 bytes of a UTF-16 string but found end of file");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({18}).LE(1, 4).LE(0xD800, 2).End().End().Data),
            "bad.dfm: byte 24: invalid character code #55296: a high surrogate without its low half");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({20}).LE(1, 4).Raw({0xE9}).End().End().Data),
            "bad.dfm: byte 24: invalid UTF-8 byte 0xE9 in a string");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({5}).LE(0xC000000000000000u, 8).LE(0x7FFF, 2).End().End().Data),
            "bad.dfm: byte 19: an extended value out of range or not a number");
  EXPECT_EQ(ParseError(head + TBytes().Short("a b").Raw({2, 1}).End().End().Data),
            "bad.dfm: byte 17: invalid property name \"a b\"");
  EXPECT_EQ(ParseError(TBytes().Text("TPF0").Short("TForm1").Short("Bad.Name").End().End().Data),
            "bad.dfm: byte 11: invalid component name \"Bad.Name\"");
  EXPECT_EQ(ParseError(head + TBytes().End().End().Raw({7}).Data),
            "bad.dfm: byte 19: expected end of file but found byte 0x07");
  EXPECT_EQ(ParseError(head + TBytes().Prop("P").Raw({14, 6}).Data),
            "bad.dfm: byte 20: expected the start of an item (a list) but found string");
  EXPECT_EQ(ParseError("TPF"), "bad.dfm: byte 0: expected the signature \"TPF0\" but found byte 0x54");
}

// Hostile nesting is refused with one message, in lists and in objects alike.
TEST(FormBinary, DeepNestingIsRefused) {
  TBytes objects;
  objects.Begin("TForm1", "Form1").End();
  for (int i = 0; i < 100000; ++i) objects.Short("TPanel").Short("").End();
  EXPECT_EQ(ParseError(objects.Data), "bad.dfm: byte 2322: nesting deeper than 256 levels");
  TBytes lists;
  lists.Begin("TForm1", "Form1").Prop("P");
  lists.Data.append(100000, '\x01');
  EXPECT_EQ(ParseError(lists.Data), "bad.dfm: byte 275: nesting deeper than 256 levels");
}

// A class name whose length byte would read as an object prefix is written behind an empty
// prefix, and reads back as written.
TEST(FormBinary, LongClassNamesGetAPrefix) {
  TDfmObject root;
  root.ClassName = "T" + String(249, 'x');
  root.Name = "A";
  const String bytes = PrintFormBinary(root);
  EXPECT_EQ(bytes.substr(4, 2), "\xF0\xFA");
  const TDfmObject back = ParseFormBinary(bytes, "long.dfm");
  EXPECT_EQ(back.ClassName, root.ClassName);
  EXPECT_EQ(back.Kind, TDfmObjectKind::okObject);
  EXPECT_EQ(PrintFormBinary(back), bytes);
}

TEST(FormBinary, WriterRefusesWhatTheFormatCannotHold) {
  TDfmObject root;
  root.ClassName = "TForm1";
  root.Props.push_back({String(300, 'P'), {}, TDfmValue::Integer(1)});
  try {
    PrintFormBinary(root);
    ADD_FAILURE() << "a 300-byte name was written";
  } catch (const EConvertError& e) {
    EXPECT_EQ(String(e.what()), "The property name \"" + String(40, 'P') +
                                    "...\" is longer than 255 bytes, which a binary form file cannot hold");
  }
  root.Props.front() = {"P", {}, TDfmValue::FloatValue(1e300, 's')};
  EXPECT_THROW(PrintFormBinary(root), EConvertError);
}

}  // namespace
