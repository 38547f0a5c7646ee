// The library's SQL readers: the SELECT reader behind field information, and the ":name" and
// "&name" marker scanner behind parameters and macros. Neither may fail on any text; markers lie
// inside the text, in order, without overlapping, and start with their marker character.
#include "FuzzTarget.h"

#include "../library/src/SqlMarkers.h"
#include "korv/KVCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  const std::string_view sql = korvfuzz::AsText(Data, Size);
  korv::ParseSelectInfo(sql);
  for (char prefix : {':', '&'}) {
    std::size_t end = 0;
    for (const auto& m : korv::detail::FindSqlMarkers(sql, prefix)) {
      korvfuzz::Check(m.Start >= end, "markers overlap or go backwards");
      korvfuzz::Check(m.Length > 0 && m.Start + m.Length <= sql.size(), "a marker reaches past the text");
      korvfuzz::Check(sql[m.Start] == prefix, "a marker does not start with its character");
      end = m.Start + m.Length;
    }
  }
  return 0;
}
