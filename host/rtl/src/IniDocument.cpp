#include "IniDocument.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace rtl {

namespace {

bool IsBlank(const String& Line) { return Trim(Line).empty(); }

bool IsComment(const String& Trimmed) { return !Trimmed.empty() && (Trimmed[0] == ';' || Trimmed[0] == '#'); }

bool HasNul(const String& S) { return S.find('\0') != String::npos; }

}  // namespace

TIniDocument::TIniDocument(const String& FileName, bool ForWrite) : FFileName(FileName), FSections(1) {
  FSections[0].HasHeader = false;
  struct stat st {};
  if (::stat(FileName.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || !ForWrite) return;
    throw EIniFileException("Cannot read ini file \"" + FileName + "\": " + std::strerror(errno));
  }
  String data, why;
  if (!ReadWholeFile(FileName, data, why)) {
    if (!ForWrite) return;
    throw EIniFileException("Cannot read ini file \"" + FileName + "\": " + why);
  }
  Parse(data);
}

// Splits the text into lines (LF, CRLF, or LF after a run of CRs as a file converted twice has;
// byte-order marks at the start dropped, all of them, as a write would otherwise turn a second
// one into the first) and sorts each into its section. Nothing else is dropped: what is not
// understood becomes a line of kind lkOther. Taking every CR before the LF as the line's end is
// what keeps a rewrite stable: a CR left at the end of a line would be read as part of the CRLF
// it makes once the line is written with its LF.
void TIniDocument::Parse(const String& Data) {
  size_t pos = 0;
  while (Data.compare(pos, 3, "\xEF\xBB\xBF") == 0) pos += 3;
  while (pos < Data.size()) {
    size_t eol = Data.find('\n', pos);
    if (eol == String::npos) eol = Data.size();
    String raw = Data.substr(pos, eol - pos);
    pos = eol + 1;
    while (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const String t = Trim(raw);
    if (!t.empty() && t[0] == '[') {
      // "[name]", optionally followed by a comment. Anything else starts a section that no
      // name finds, so that the keys under it are not taken for another section's.
      TSection s;
      s.HasHeader = true;
      s.Header = raw;
      const size_t close = t.find(']');
      const String rest = close == String::npos ? String() : Trim(t.substr(close + 1));
      s.Named = close != String::npos && (rest.empty() || IsComment(rest)) && !HasNul(raw);
      if (s.Named) s.Name = Trim(t.substr(1, close - 1));
      FSections.push_back(std::move(s));
      continue;
    }
    TLine line;
    line.Text = raw;
    const size_t eq = t.find('=');
    if (!IsComment(t) && eq != String::npos && !HasNul(raw)) {
      line.Key = Trim(t.substr(0, eq));
      if (!line.Key.empty()) {
        line.Kind = TLineKind::lkEntry;
        line.Value = Trim(t.substr(eq + 1));
      }
    }
    FSections.back().Lines.push_back(std::move(line));
  }
}

bool TIniDocument::Matches(const TSection& S, const String& Name) const {
  return S.Named && SameText(S.Name, Trim(Name));
}

TIniDocument::TSection* TIniDocument::FirstSection(const String& Name) {
  for (TSection& s : FSections)
    if (Matches(s, Name)) return &s;
  return nullptr;
}

bool TIniDocument::HasSection(const String& Section) const {
  for (const TSection& s : FSections) {
    if (!Matches(s, Section)) continue;
    if (s.HasHeader) return true;
    for (const TLine& l : s.Lines)
      if (l.Kind == TLineKind::lkEntry) return true;
  }
  return false;
}

std::vector<String> TIniDocument::Sections() const {
  std::vector<String> names;
  std::unordered_set<String> seen;
  for (const TSection& s : FSections)
    if (s.Named && HasSection(s.Name) && seen.insert(FoldCase(s.Name)).second) names.push_back(s.Name);
  return names;
}

TIniDocument::TValues TIniDocument::Entries(const String& Section) const {
  TValues entries;
  std::unordered_set<String> seen;
  for (const TSection& s : FSections) {
    if (!Matches(s, Section)) continue;
    for (const TLine& l : s.Lines)
      if (l.Kind == TLineKind::lkEntry && seen.insert(FoldCase(l.Key)).second) entries.emplace_back(l.Key, l.Value);
  }
  return entries;
}

std::vector<String> TIniDocument::Keys(const String& Section) const {
  std::vector<String> keys;
  for (auto& [key, value] : Entries(Section)) keys.push_back(key);
  return keys;
}

const String* TIniDocument::Value(const String& Section, const String& Key) const {
  // A key written twice gives its first value, as the platform's ini reader does.
  const String key = Trim(Key);
  for (const TSection& s : FSections) {
    if (!Matches(s, Section)) continue;
    for (const TLine& l : s.Lines)
      if (l.Kind == TLineKind::lkEntry && SameText(l.Key, key)) return &l.Value;
  }
  return nullptr;
}

TIniDocument::TLine TIniDocument::EntryLine(const String& Key, const String& Value) {
  TLine line;
  line.Kind = TLineKind::lkEntry;
  line.Key = Key;
  line.Value = Trim(Value);
  line.Text = Key + "=" + Value;
  return line;
}

// After the section's last key; in a section without keys, after the comment lines that open it.
size_t TIniDocument::InsertPos(const TSection& S) {
  size_t pos = S.Lines.size();
  while (pos > 0 && S.Lines[pos - 1].Kind != TLineKind::lkEntry) --pos;
  if (pos > 0) return pos;
  while (pos < S.Lines.size() && !IsBlank(S.Lines[pos].Text)) ++pos;
  return pos;
}

void TIniDocument::Set(const String& Section, const String& Key, const String& Value) {
  // An existing key keeps its spelling and its place; its other lines go.
  const String key = Trim(Key);
  bool found = false;
  for (TSection& s : FSections) {
    if (!Matches(s, Section)) continue;
    for (size_t i = 0; i < s.Lines.size();) {
      TLine& l = s.Lines[i];
      if (l.Kind != TLineKind::lkEntry || !SameText(l.Key, key)) {
        ++i;
      } else if (!found) {
        found = true;
        l = EntryLine(l.Key, Value);
        ++i;
      } else {
        s.Lines.erase(s.Lines.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
  }
  if (found) return;
  AddSection(Section);
  TSection* s = FirstSection(Section);
  s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(InsertPos(*s)), EntryLine(key, Value));
}

void TIniDocument::AddSection(const String& Section) {
  if (FirstSection(Section)) return;
  // One blank line between sections.
  const TSection& last = FSections.back();
  const bool written = last.HasHeader || !last.Lines.empty();
  if (written && (last.Lines.empty() || !IsBlank(last.Lines.back().Text))) FSections.back().Lines.push_back(TLine{});
  TSection s;
  s.HasHeader = true;
  s.Name = Trim(Section);
  s.Header = "[" + s.Name + "]";
  FSections.push_back(std::move(s));
}

bool TIniDocument::DeleteKey(const String& Section, const String& Key) {
  const String key = Trim(Key);
  bool deleted = false;
  for (TSection& s : FSections) {
    if (!Matches(s, Section)) continue;
    deleted |= std::erase_if(s.Lines,
                             [&](const TLine& l) { return l.Kind == TLineKind::lkEntry && SameText(l.Key, key); }) > 0;
  }
  return deleted;
}

bool TIniDocument::EraseSection(const String& Section) {
  bool erased = false;
  // The lines before the first header are no section of their own: only their keys go.
  if (Matches(FSections[0], Section))
    erased |= std::erase_if(FSections[0].Lines, [](const TLine& l) { return l.Kind == TLineKind::lkEntry; }) > 0;
  erased |= std::erase_if(FSections, [&](const TSection& s) { return s.HasHeader && Matches(s, Section); }) > 0;
  return erased;
}

void TIniDocument::ReplaceSection(const String& Section, const TValues& Values) {
  // Each key once, at the place of its first mention, with its last value.
  std::vector<TLine> lines;
  std::unordered_map<String, size_t> index;
  for (const auto& [ident, value] : Values) {
    const String key = Trim(ident);
    if (key.empty()) continue;
    auto [it, added] = index.try_emplace(FoldCase(key), lines.size());
    if (added)
      lines.push_back(EntryLine(key, value));
    else
      lines[it->second] = EntryLine(lines[it->second].Key, value);
  }
  AddSection(Section);
  TSection* first = FirstSection(Section);
  size_t pos = InsertPos(*first);
  for (size_t i = 0; i < first->Lines.size(); ++i)
    if (first->Lines[i].Kind == TLineKind::lkEntry) {
      pos = i;
      break;
    }
  for (TSection& s : FSections)
    if (Matches(s, Section)) std::erase_if(s.Lines, [](const TLine& l) { return l.Kind == TLineKind::lkEntry; });
  first->Lines.insert(first->Lines.begin() + static_cast<std::ptrdiff_t>(pos), std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
}

// The lines as read or as changed, each ended by a line feed; blank lines at the very end go.
String TIniDocument::Text() const {
  String out;
  for (const TSection& s : FSections) {
    if (s.HasHeader) {
      out += s.Header;
      out += '\n';
    }
    for (const TLine& l : s.Lines) {
      out += l.Text;
      out += '\n';
    }
  }
  while (out.size() >= 2 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n') out.pop_back();
  if (out == "\n") out.clear();
  return out;
}

void TIniDocument::Save() const {
  try {
    WriteFileAtomic(FFileName, Text());
  } catch (const EStreamError& e) {
    throw EIniFileException(e.Message());
  }
}

void TIniDocument::CheckWritable(const String& Section, const String& Key, const String& Value) {
  auto hasBreak = [](const String& s) { return s.find_first_of("\r\n") != String::npos; };
  const String key = Trim(Key);
  String why;
  if (HasNul(Section))
    why = "a section name holds a NUL character";
  else if (hasBreak(Section) || Section.find(']') != String::npos)
    why = "the section name \"" + Section + "\" cannot stand in an ini file";
  else if (HasNul(Key))
    why = "a key in section \"" + Section + "\" holds a NUL character";
  else if (hasBreak(Key) || Key.find('=') != String::npos || (!key.empty() && std::strchr("[;#", key[0])))
    why = "the key \"" + Key + "\" cannot stand in an ini file";
  else if (HasNul(Value))
    why = "the value of \"" + Key + "\" holds a NUL character";
  else if (hasBreak(Value))
    why = "the value of \"" + Key + "\" holds a line break";
  if (!why.empty()) throw EIniFileException(why);
}

}  // namespace rtl
