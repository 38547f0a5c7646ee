// Reading the texts a user gives the PostgreSQL driver: the RemoteDatabase address and object
// names in SQL spelling. Pure functions, no connection needed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korv::drivers::postgres {

struct TPGServerAddress {
  std::string Host;      // empty: libpq's default (PGHOST, else the local socket)
  std::string Port;      // empty: libpq's default
  std::string Database;  // never empty
};

// Reads "host[:port]/database" ("[::1]:5432/db" for an IPv6 address). Raises rtl::EDatabaseError
// saying which form is expected when the text does not have it.
TPGServerAddress ParseRemoteDatabase(const std::string& text);

// What becomes of the letters of an unquoted part of a name.
enum class TUnquotedCase {
  Fold,      // lower case, as the server reads SQL
  AsWritten  // kept: the spelling of a name whose quotes someone has already taken off
};

// Splits a possibly qualified name the way the server reads one: parts separated by dots, blanks
// allowed around them; an unquoted part is folded to lower case (unless told to keep it), a
// quoted part ("a""b") is kept as written; each part is cut to 63 bytes. Gives nothing for text
// the server would not take as a name (an open quote, an empty part, words separated by blanks).
std::optional<std::vector<std::string>> SplitQualifiedName(std::string_view text,
                                                           TUnquotedCase unquoted = TUnquotedCase::Fold);

// True when the text carries an argument list, "name(type, ...)", outside any quotes.
bool HasArgumentList(std::string_view text);

}  // namespace korv::drivers::postgres
