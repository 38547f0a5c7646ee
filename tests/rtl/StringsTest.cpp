#include "rtl/Streams.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

using namespace rtl;

TEST(StringsNameValue, FirstLineOfANameWinsIgnoringCase) {
  TStringList l({"USER NAME=bob", "Password=x=y", "user name=alice", "noequals", "=empty"});
  EXPECT_EQ(l.Values("user name"), "bob");
  EXPECT_EQ(l.Values("PASSWORD"), "x=y");  // the value runs past later "="
  EXPECT_EQ(l.IndexOfName("User Name"), 0);
  EXPECT_EQ(l.Names(3), "");
  EXPECT_EQ(l.Names(4), "");
  EXPECT_EQ(l.ValueFromIndex(4), "empty");
  EXPECT_EQ(l.IndexOfName(""), 4);
  EXPECT_EQ(l.Values("absent"), "");
}

TEST(StringsNameValue, WritingReplacesAddsAndAnEmptyValueDeletes) {
  TStringList l({"A=1", "B=2", "a=3"});
  l.SetValues("a", "9");
  EXPECT_EQ(l.Text(), "a=9\nB=2\na=3\n");
  l.SetValues("C", "4");
  EXPECT_EQ(l[3], "C=4");
  l.SetValues("b", "");
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l.IndexOfName("B"), -1);
}

TEST(StringsText, SplitsOnEveryLineBreakAndEndsEachLineWithLF) {
  TStringList l;
  l.SetText("one\r\ntwo\nthree\rfour\n");
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(l.Text(), "one\ntwo\nthree\nfour\n");
  l.SetText("");
  EXPECT_EQ(l.Count(), 0);
  l.SetText("\n\n");
  EXPECT_EQ(l.Count(), 2);

  // An entry holding a line break stays one entry until something splits it.
  TStringList m;
  m.Add("select a\r\nfrom t");
  m.Add("where");
  EXPECT_EQ(m.Count(), 2);
  TStringList split;
  split.SetText(m.Text());
  EXPECT_EQ(split.Count(), 3);
}

TEST(StringsList, EditingOperationsKeepOrderAndObjects) {
  TStringList l({"a", "b", "c", "d"});
  TObject marker;
  l.PutObject(0, &marker);
  l.Move(0, 3);
  EXPECT_EQ(l.Text(), "b\nc\nd\na\n");
  EXPECT_EQ(l.Objects(3), &marker);
  l.Exchange(0, 3);
  EXPECT_EQ(l[0], "a");
  EXPECT_EQ(l.IndexOfObject(&marker), 0);
  l.Insert(1, "x");
  l.Delete(0);
  EXPECT_EQ(l.Text(), "x\nc\nd\nb\n");
  EXPECT_EQ(l.IndexOf("D"), 2);
  EXPECT_THROW(l.Delete(10), EListError);
  EXPECT_THROW(l.Insert(-1, "y"), EListError);
}

TEST(StringsList, SortedListsFindAndHandleDuplicates) {
  TStringList l;
  l.SetSorted(true);
  l.Add("pear");
  l.Add("Apple");
  l.Add("fig");
  EXPECT_EQ(l.Text(), "Apple\nfig\npear\n");
  EXPECT_EQ(l.Add("APPLE"), 0);  // ignored duplicate
  EXPECT_EQ(l.Count(), 3);
  l.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(l.Add("fig"), EListError);
  EXPECT_THROW(l.Insert(0, "z"), EListError);
  int i;
  EXPECT_TRUE(l.Find("PEAR", i));
  EXPECT_EQ(i, 2);
  EXPECT_FALSE(l.Find("grape", i));
  EXPECT_EQ(i, 2);
  l.SetCaseSensitive(true);
  EXPECT_EQ(l.IndexOf("apple"), -1);
}

TEST(StringsList, ChangeEventsFireOncePerUpdate) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.Add("a");
  EXPECT_EQ(changes, 1);
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  l.EndUpdate();
  EXPECT_EQ(changes, 2);
  TStringList other({"x", "y"});
  l.Assign(&other);
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(l.Equals(&other));
}

TEST(StringsCommaText, QuotesWhatNeedsIt) {
  TStringList l({"a", "b c", "", "say \"hi\"", "d,e"});
  EXPECT_EQ(l.CommaText(), "a,\"b c\",\"\",\"say \"\"hi\"\"\",\"d,e\"");
  TStringList back;
  back.SetCommaText(l.CommaText());
  EXPECT_TRUE(back.Equals(&l));
}

TEST(StringsStreams, SaveAndLoadAsUtf8) {
  TStringList l({"größe", "naïve"});
  TStringStream s;
  l.SaveToStream(&s);
  EXPECT_EQ(s.DataString(), "größe\nnaïve\n");
  TStringStream bom("\xEF\xBB\xBFone\r\ntwo");
  TStringList back;
  back.LoadFromStream(&bom);
  EXPECT_EQ(back.Text(), "one\ntwo\n");
}

TEST(SysUtils, TrimDropsBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\n abc \x01"), "abc");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \n"), "  a");
  EXPECT_EQ(Trim("   "), "");
}

TEST(SysUtils, CaseFoldingIsUnicodeAware) {
  EXPECT_TRUE(SameText("Customer", "CUSTOMER"));
  EXPECT_TRUE(SameText("STRASSE", "strasse"));
  EXPECT_TRUE(SameText("ÄÖÜ", "äöü"));
  EXPECT_TRUE(SameText("Σίσυφος", "ΣΊΣΥΦΟΣ"));
  EXPECT_FALSE(SameText("abc", "abd"));
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_EQ(UpperCase("öl"), "ÖL");
  EXPECT_EQ(UpperCase("tkvsession"), "TKVSESSION");
}

TEST(SysUtils, CompareTextOrdersByTheFirstFoldedByteAtAnyPlace) {
  for (size_t at = 0; at < 20; ++at) {
    SCOPED_TRACE(at);
    const String same(at, 'q'), SAME(at, 'Q');
    EXPECT_EQ(CompareText(same + "Tail", SAME + "tAIL"), 0);
    // Folded, "Z" is "z": after "_", which lies between the capitals and the small letters.
    EXPECT_GT(CompareText(same + "Z", SAME + "_"), 0);
    EXPECT_LT(CompareText(same + "a" + same, SAME + "B"), 0);
    EXPECT_LT(CompareText(same + "az" + String(8, 'z'), SAME + "BA" + String(8, 'a')), 0);  // not a later byte
    EXPECT_LT(CompareText(same + "9", SAME + "A"), 0);
    EXPECT_LT(CompareText(same, SAME + "x"), 0);  // a text before those it begins
    EXPECT_GT(CompareText(same + "y" + same, SAME + "X" + SAME + "zzz"), 0);
  }
}

TEST(SysUtils, StrToIntDefAcceptsOnly32BitIntegers) {
  EXPECT_EQ(StrToIntDef("42", 0), 42);
  EXPECT_EQ(StrToIntDef(" -7 ", 0), -7);
  EXPECT_EQ(StrToIntDef("$1F", 0), 31);
  EXPECT_EQ(StrToIntDef("false", 5), 5);
  EXPECT_EQ(StrToIntDef("1.5", 5), 5);
  EXPECT_EQ(StrToIntDef("", 5), 5);
  EXPECT_EQ(StrToIntDef("2147483648", 5), 5);
  EXPECT_EQ(StrToIntDef("-2147483648", 5), INT32_MIN);
  EXPECT_THROW(StrToInt("x"), EConvertError);
}

TEST(SysUtils, FileDatesRoundTripThroughLocalTime) {
  TDateTime now = Now();
  int64_t fileDate = DateTimeToFileDate(now);
  EXPECT_NEAR(FileDateToDateTime(fileDate), now, 1.0 / 86400.0);
  EXPECT_NEAR(static_cast<double>(fileDate), static_cast<double>(time(nullptr)), 2.0);
}

TEST(SysUtils, FileNameParts) {
  EXPECT_EQ(ExtractFileName("/a/b/c.dfm"), "c.dfm");
  EXPECT_EQ(ExtractFilePath("/a/b/c.dfm"), "/a/b/");
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ChangeFileExt("x/y.dfm", ".bak"), "x/y.bak");
}
