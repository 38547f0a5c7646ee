#include "KorvRun.h"

#include <algorithm>

namespace {

std::string WithoutCarriageReturns(std::string S) {
  std::erase(S, '\r');
  return S;
}

class TourTest : public TKorvTest {};

}  // namespace

// The README's tour: the example opened, its tree printed, the update object's statements
// generated from the real table and printed, the copy saved.
TEST_F(TourTest, PrintsTheTreeAndTheStatementsGeneratedFromTheRealTable) {
  CopyExample();
  const std::string committed = ReadSource("examples/Shop.dfm");
  TKorvResult r = Korv({"run", std::string(KORV_SOURCE_DIR) + "/examples/tour.korv", "Shop.dfm"});
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(r.Err, "");
  // The whole output, as the README shows it (the refresh statement's first entry holds a
  // CR LF, which the comparison leaves out).
  EXPECT_EQ(WithoutCarriageReturns(r.Out), ReadSource("tests/e2e/expected/tour.out"))
      << "the tour's output changed: update tests/e2e/expected/tour.out and the README's tour";

  // The copy was saved with the statements; the committed example is untouched.
  const std::string saved = Read("Shop.dfm");
  EXPECT_NE(saved.find("    ModifySQL.Strings = (\n      'update CUSTOMER'\n      'set'\n      '  NAME = :NAME,'"),
            std::string::npos)
      << saved;
  EXPECT_NE(saved.find("'select NAME, CITY, TEL as PHONE, \"E-MAIL\"'#13#10'from CUSTOMER'"), std::string::npos)
      << saved;
  EXPECT_EQ(ReadSource("examples/Shop.dfm"), committed);
}

// Opening and saving the example changes nothing: every property survives as written.
TEST_F(TourTest, TheExampleSurvivesOpeningAndSaving) {
  CopyExample();
  TKorvResult r = RunScript("open Shop.dfm\nsave Again.dfm\n");
  ASSERT_EQ(r.Exit, 0) << r;
  EXPECT_EQ(Read("Again.dfm"), ReadSource("examples/Shop.dfm"));
}
