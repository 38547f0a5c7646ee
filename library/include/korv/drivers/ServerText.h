// The text sent to a server whose parameter markers are a bare "?": every "?N" (and a bare "?")
// becomes "?"; Order says which value goes to each "?" in turn, Shifts where the text got
// shorter (to map the server's error positions back). Each driver finds the markers outside its
// own strings, quoted names and comments, and hands each to AppendMarker.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace korv::drivers {

struct TServerText {
  std::string Text;
  std::vector<int> Order;                                   // 1-based value numbers, one per "?"
  std::vector<std::pair<std::size_t, std::size_t>> Shifts;  // (offset in Text, bytes removed)

  // At sql[i], a "?": appends the marker as "?" and returns the offset after "?N". Next is the
  // highest number so far; a bare "?" takes the one after it.
  std::size_t AppendMarker(const std::string& sql, std::size_t i, int& Next) {
    std::size_t end = i + 1;
    while (end < sql.size() && sql[end] >= '0' && sql[end] <= '9') ++end;
    const int number = end > i + 1 ? std::atoi(sql.substr(i + 1, end - i - 1).c_str()) : Next + 1;
    Next = std::max(Next, number);
    Order.push_back(number);
    Text += '?';
    if (end > i + 1) Shifts.emplace_back(Text.size(), end - i - 1);
    return end;
  }

  // The byte offset in the original text of one in Text.
  std::size_t OriginalOffset(std::size_t Offset) const {
    std::size_t original = Offset;
    for (const auto& [at, removed] : Shifts)
      if (at <= Offset) original += removed;
    return original;
  }
};

}  // namespace korv::drivers
