// The name index behind FindComponent, against a plain map of folded names through long runs of
// additions, renames and removals (the table grows and closes gaps behind every removal); and
// the letter-case rules it and the property lookup share: SameText, TextHash.
#include "rtl/Component.h"
#include "rtl/NameIndex.h"
#include "rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace rtl;

TEST(TextCase, SameTextAndTextHashAgreeOnAsciiAndFoldedLetters) {
  const std::vector<std::pair<String, String>> same = {
      {"Query1", "QUERY1"},
      {"_a_B9", "_A_b9"},
      {"Größe", "GRÖßE"},
      {"\xE2\x84\xAA"
       "elvin",
       "kelvin"},  // the Kelvin sign folds to an ASCII k: lengths differ
      {"ÉtÉ", "été"},
      {"", ""},
  };
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(SameText(a, b)) << a << " / " << b;
    EXPECT_TRUE(SameText(b, a)) << b << " / " << a;
    EXPECT_EQ(TextHash(a), TextHash(b)) << a << " / " << b;
  }
  const std::vector<std::pair<String, String>> different = {
      {"Query1", "Query2"}, {"Query1", "Query10"},      {"abc", "abd"}, {"été", "ete"},
      {"Größe", "Grosse1"}, {"a\xC3\xA9", "b\xC3\xA9"}, {"x", ""},
  };
  for (const auto& [a, b] : different) {
    EXPECT_FALSE(SameText(a, b)) << a << " / " << b;
    EXPECT_FALSE(SameText(b, a)) << b << " / " << a;
  }
  EXPECT_NE(TextHash("Query1"), TextHash("Query2"));
}

// Every length and every byte position, with the bytes next to the letters' range.
TEST(TextCase, EveryByteCountsWhateverItsPlaceInAWord) {
  std::mt19937 random(11);
  const String alphabet = "@AZ[`az{_09";  // the neighbours of the capitals and small letters
  for (size_t length = 1; length <= 20; ++length) {
    for (int round = 0; round < 20; ++round) {
      String a, b;
      for (size_t i = 0; i < length; ++i) {
        const char c = alphabet[random() % alphabet.size()];
        a += c;
        b += (c >= 'A' && c <= 'Z' && random() % 2) ? static_cast<char>(c + 32) : c;
      }
      ASSERT_TRUE(SameText(a, b)) << a << " / " << b;
      ASSERT_EQ(TextHash(a), TextHash(b)) << a << " / " << b;
      ASSERT_EQ(FoldCase(a), FoldCase(b));
      ASSERT_FALSE(SameText(a + "x", a)) << a;
      // '@' and '`', '[' and '{' differ by the letter-case bit alone, and are no letters.
      for (size_t at = 0; at < length; ++at)
        for (const char x : {'@', '['}) {
          String c = a;
          c[at] = c[at] == x ? static_cast<char>(x + 32) : x;
          ASSERT_FALSE(SameText(a, c)) << a << " / " << c;
        }
    }
  }
}

TEST(NameIndex, AgreesWithAMapOfFoldedNamesThroughRenamesAndRemovals) {
  TComponent root(nullptr);
  std::vector<TComponent*> comps;
  for (int i = 0; i < 400; ++i) comps.push_back(new TComponent(&root));
  std::map<String, TComponent*> expected;  // folded name -> component
  std::map<TComponent*, String> names;
  std::mt19937 random(7);
  // A small pool of names, so that names are taken, freed and taken again by others.
  auto name = [&](unsigned n) { return (n % 2 ? "Item" : "ITEM") + std::to_string(n % 600); };
  auto check = [&] {
    for (unsigned n = 0; n < 600; ++n) {
      const auto it = expected.find(FoldCase(name(n)));
      ASSERT_EQ(root.FindComponent(name(n)), it == expected.end() ? nullptr : it->second) << name(n);
    }
  };
  for (int step = 0; step < 6000; ++step) {
    TComponent* c = comps[random() % comps.size()];
    const String wanted = random() % 4 == 0 ? String() : name(static_cast<unsigned>(random()));
    const auto taken = expected.find(FoldCase(wanted));
    if (!wanted.empty() && taken != expected.end() && taken->second != c) {
      EXPECT_THROW(c->SetName(wanted), EComponentError);
    } else {
      c->SetName(wanted);
      if (names.count(c)) expected.erase(FoldCase(names[c]));
      names.erase(c);
      if (!wanted.empty()) {
        expected[FoldCase(wanted)] = c;
        names[c] = wanted;
      }
    }
    if (step % 100 == 0) check();
  }
  check();
  // Components leaving their owner leave the index; the rest stay found.
  for (size_t i = 0; i < comps.size(); i += 2) {
    if (names.count(comps[i])) expected.erase(FoldCase(names[comps[i]]));
    delete comps[i];
  }
  check();
}

TEST(NameIndex, TheFirstOfTwoEqualNamesIsFoundUntilItGoes) {
  TComponent root(nullptr);
  auto* first = new TComponent(&root);
  auto* second = new TComponent(&root);
  TNameIndex index;
  EXPECT_EQ(index.Find("A"), nullptr);
  EXPECT_FALSE(index.Erase("A", first));
  first->SetName("A");
  second->SetName("B");
  EXPECT_EQ(index.Insert("A", first), first);
  EXPECT_EQ(index.Insert("a", second), first) << "taken: the one indexed is answered";
  EXPECT_FALSE(index.Erase("A", second)) << "not what is indexed under A";
  EXPECT_EQ(index.Find("a"), first);
  EXPECT_TRUE(index.Erase("a", first));
  EXPECT_EQ(index.Find("A"), nullptr);
}
