#include "korv/KVCommon.h"

#include <array>

namespace korv {

namespace {

constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The parts of name between dots that are not inside double quotes, as written.
std::vector<std::string_view> RawParts(std::string_view name) {
  std::vector<std::string_view> parts;
  bool inQuotes = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '"')
      inQuotes = !inQuotes;
    else if (name[i] == '.' && !inQuotes) {
      parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(name.substr(start));
  return parts;
}

// A part in double quotes whose inner double quotes all come in pairs: safe to write as it is.
bool IsQuotedPart(std::string_view part) {
  if (part.size() < 2 || part.front() != '"' || part.back() != '"') return false;
  for (std::size_t i = 1; i + 1 < part.size(); ++i) {
    if (part[i] != '"') continue;
    if (i + 2 >= part.size() || part[i + 1] != '"') return false;
    ++i;
  }
  return true;
}

// What a server does to the letters of a name written bare: keeps them (and finds the name
// whatever their case), or folds them to lower or upper case.
enum class TBareLetters { AnyCase, Lower, Upper };

TBareLetters BareLettersOf(TKVServerType serverType) {
  switch (serverType) {
  case TKVServerType::stPostgreSQL: return TBareLetters::Lower;
  case TKVServerType::stFirebird: return TBareLetters::Upper;
  default: return TBareLetters::AnyCase;
  }
}

// Whether the part, written bare, reads back as this very name. Servers that fold letters also
// take "$" after the first character.
bool CanStandBare(std::string_view part, TBareLetters letters) {
  if (part.empty() || IsAsciiDigit(part.front())) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    const char c = part[i];
    if (IsAsciiDigit(c) || c == '_') continue;
    if (c >= 'a' && c <= 'z' && letters != TBareLetters::Upper) continue;
    if (c >= 'A' && c <= 'Z' && letters != TBareLetters::Lower) continue;
    if (c == '$' && i > 0 && letters != TBareLetters::AnyCase) continue;
    return false;
  }
  return !IsReservedWord(part);
}

void AppendQuoted(std::string& out, std::string_view part) {
  out += '"';
  for (char c : part) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

// What a character of a name is to the quoting: part of a bare name, a dot or quote that needs
// the full reading of the name, or anything else.
enum class TNameChar : unsigned char { Other, Bare, Special };

constexpr auto kNameChars = [] {
  std::array<TNameChar, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = IsAsciiLetter(static_cast<char>(c)) || IsAsciiDigit(static_cast<char>(c)) || c == '_' ? TNameChar::Bare
               : c == '.' || c == '"' || c == '[' || c == ']' || c == '`' ? TNameChar::Special
                                                                          : TNameChar::Other;
  return table;
}();

std::string QuoteDoubleQuoted(const std::string& name, bool quoted, TBareLetters letters) {
  // Fast path for the common case, a plain name without dots or quotes, read in one pass.
  bool plain =
      !name.empty() && static_cast<unsigned char>(name.front()) > ' ' && static_cast<unsigned char>(name.back()) > ' ';
  bool bare = plain && !IsAsciiDigit(name.front());
  for (std::size_t i = 0; plain && i < name.size(); ++i) {
    const TNameChar kind = kNameChars[static_cast<unsigned char>(name[i])];
    plain = kind != TNameChar::Special;
    bare = bare && kind == TNameChar::Bare;
  }
  if (plain) {
    if (!quoted && (letters == TBareLetters::AnyCase ? bare && !IsReservedWord(name) : CanStandBare(name, letters)))
      return name;
    std::string result;
    result.reserve(name.size() + 2);
    AppendQuoted(result, name);
    return result;
  }
  std::vector<std::string_view> parts = RawParts(name);
  for (auto part : parts)
    if (part.empty()) {  // a stray dot: not an owner-qualified name, so one identifier
      parts.assign(1, name);
      break;
    }

  bool changed = false;
  std::string result;
  result.reserve(name.size() + 2 * parts.size() + 2);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '.';
    const auto part = parts[i];
    if (IsQuotedPart(part) || (!quoted && CanStandBare(part, letters))) {
      result += part;
    } else if (!quoted && part.empty()) {
      // nothing to write, and nothing to protect
    } else {
      AppendQuoted(result, part);
      changed = true;
    }
  }
  return changed ? result : name;
}

}  // namespace

std::string QuoteIdentifier(const std::string& name, bool quoted) {
  return QuoteDoubleQuoted(name, quoted, TBareLetters::AnyCase);
}

std::string QuoteIdentifierFor(TKVServerType serverType, const std::string& name, bool quoted) {
  if (serverType == TKVServerType::stMariaDB) return QuoteMariaDBIdentifier(name, quoted);
  return QuoteDoubleQuoted(name, quoted, BareLettersOf(serverType));
}

std::string QuoteParamNameFor(TKVServerType serverType, const std::string& name, bool quoted) {
  if (serverType == TKVServerType::stMariaDB) return QuoteMariaDBIdentifier(name, quoted);
  return QuoteIdentifier(name, quoted);
}

std::string ServerSpelling(TKVServerType serverType, std::string name) {
  const TBareLetters letters = BareLettersOf(serverType);
  if (letters == TBareLetters::AnyCase) return name;
  bool inQuotes = false;
  for (char& c : name) {
    if (c == '"')
      inQuotes = !inQuotes;  // a doubled quote toggles twice: still inside
    else if (!inQuotes && letters == TBareLetters::Lower && c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    else if (!inQuotes && letters == TBareLetters::Upper && c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

std::string GetValidObjName(const std::string& name, bool noOwner) {
  if (!noOwner) return name;
  bool inQuotes = false;
  std::size_t lastDot = std::string::npos;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '"')
      inQuotes = !inQuotes;
    else if (name[i] == '.' && !inQuotes)
      lastDot = i;
  }
  return lastDot == std::string::npos ? name : name.substr(lastDot + 1);
}

std::vector<std::string> SplitObjName(std::string_view name) {
  std::vector<std::string> parts;
  std::string part;
  std::size_t i = 0;
  const auto n = name.size();
  while (true) {
    // One part: quoted, or bare up to the next dot.
    while (i < n && static_cast<unsigned char>(name[i]) <= ' ') ++i;
    part.clear();
    if (i < n && (name[i] == '"' || name[i] == '[' || name[i] == '`')) {
      const char close = name[i] == '[' ? ']' : name[i];
      ++i;
      while (i < n) {
        if (name[i] == close) {
          if (close != ']' && i + 1 < n && name[i + 1] == close) {
            part += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        part += name[i++];
      }
      // Anything between the closing quote and the next dot belongs to the same part.
      const auto dot = name.find('.', i);
      part += TrimBlanks(name.substr(i, dot == std::string_view::npos ? n - i : dot - i));
      i = dot == std::string_view::npos ? n : dot;
    } else {
      const auto dot = name.find('.', i);
      part = TrimBlanks(name.substr(i, dot == std::string_view::npos ? n - i : dot - i));
      i = dot == std::string_view::npos ? n : dot;
    }
    parts.push_back(part);
    if (i >= n) break;
    ++i;  // the dot
  }
  return parts;
}

}  // namespace korv
