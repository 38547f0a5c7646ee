// The header's member definitions are compiled here, once, for the one instantiation we use.
#define SI_IMPLEMENTATION
#include "IniDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

template class CSimpleIniTempl<char, rtl::TIniFoldLess, SI_ConvertA<char>>;

namespace rtl {

namespace {

// The comment lines at the top of the file: the ini library keeps them as the file's comment
// without handing them out, so they are taken from the text.
String LeadingComment(const String& data) {
  size_t pos = data.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  size_t end = pos;
  while (pos < data.size()) {
    size_t eol = data.find('\n', pos);
    if (eol == String::npos) eol = data.size();
    String line = Trim(data.substr(pos, eol - pos));
    if (line.empty() || (line[0] != ';' && line[0] != '#')) break;
    pos = end = std::min(eol + 1, data.size());
  }
  size_t start = data.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  String comment = data.substr(start, end - start);
  comment.erase(std::remove(comment.begin(), comment.end(), '\r'), comment.end());
  return comment;
}

} // namespace

TIniDocument::TIniDocument(const String& FileName, bool ForWrite) : FFileName(FileName), FData(true, true, false) {
  FData.SetSpaces(false);
  struct stat st {};
  if (::stat(FileName.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || !ForWrite) return;
    throw EIniFileException("Cannot read ini file \"" + FileName + "\": " + std::strerror(errno));
  }
  std::ifstream in(FileName, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || S_ISDIR(st.st_mode)) {
    if (!ForWrite) return;
    throw EIniFileException("Cannot read ini file \"" + FileName + "\": " +
                            (S_ISDIR(st.st_mode) ? String("it is a folder") : String(std::strerror(errno))));
  }
  String data = text.str();
  FFileComment = LeadingComment(data);
  if (FData.LoadData(data.data(), data.size()) < 0 && ForWrite)
    throw EIniFileException("Cannot read ini file \"" + FileName + "\"");
}

std::vector<String> TIniDocument::Keys(const String& Section) const {
  TIniData::TNamesDepend names;
  FData.GetAllKeys(Section.c_str(), names);
  names.sort(TIniData::Entry::LoadOrder());
  std::vector<String> keys;
  for (const auto& e : names) keys.emplace_back(e.pItem);
  return keys;
}

std::vector<String> TIniDocument::Sections() const {
  TIniData::TNamesDepend names;
  FData.GetAllSections(names);
  names.sort(TIniData::Entry::LoadOrder());
  std::vector<String> sections;
  for (const auto& e : names) sections.emplace_back(e.pItem);
  return sections;
}

const char* TIniDocument::Value(const String& Section, const String& Key) const {
  // A key written twice gives its first value, as the platform's ini reader does.
  TIniData::TNamesDepend values;
  if (!FData.GetAllValues(Section.c_str(), Key.c_str(), values) || values.empty()) return nullptr;
  auto first = std::min_element(values.begin(), values.end(),
                                [](const auto& a, const auto& b) { return a.nOrder < b.nOrder; });
  return first->pItem;
}

void TIniDocument::Set(const String& Section, const String& Key, const String& Value) {
  // An existing key keeps its spelling and its place; its other lines go.
  String key = Key;
  for (const String& k : Keys(Section))
    if (SameText(k, Key)) key = k;
  if (FData.SetValue(Section.c_str(), key.c_str(), Value.c_str(), nullptr, true) < 0)
    throw EIniFileException("Cannot write ini file \"" + FFileName + "\": out of memory");
}

// The text of the document: sections and keys in file order, comments kept, one blank line
// between sections. (The library's own writer adds a blank line at each save.)
String TIniDocument::Text() const {
  String out;
  auto comment = [&](const char* c) {
    if (!c || !*c) return;
    out += c;
    if (out.back() != '\n') out += '\n';
  };
  TIniData::TNamesDepend sections;
  FData.GetAllSections(sections);
  sections.sort(TIniData::Entry::LoadOrder());
  bool first = true;
  if (!FFileComment.empty()) {
    comment(FFileComment.c_str());
    first = false;
  }
  for (const auto& section : sections) {
    const TIniData::TKeyVal* keys = FData.GetSection(section.pItem);
    std::vector<std::pair<const TIniData::Entry*, const char*>> entries;
    if (keys)
      for (const auto& kv : *keys) entries.emplace_back(&kv.first, kv.second);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first->nOrder < b.first->nOrder; });
    if (!*section.pItem && entries.empty() && !section.pComment) continue;
    if (!first) out += '\n';
    first = false;
    comment(section.pComment);
    if (*section.pItem) {
      out += '[';
      out += section.pItem;
      out += "]\n";
    }
    for (const auto& [entry, value] : entries) {
      comment(entry->pComment);
      out += entry->pItem;
      out += '=';
      out += value ? value : "";
      out += '\n';
    }
  }
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
  String why;
  if (hasBreak(Section) || Section.find(']') != String::npos)
    why = "the section name \"" + Section + "\" cannot stand in an ini file";
  else if (hasBreak(Key) || Key.find('=') != String::npos || (!Key.empty() && std::strchr("[;#", Key[0])))
    why = "the key \"" + Key + "\" cannot stand in an ini file";
  else if (hasBreak(Value))
    why = "the value of \"" + Key + "\" holds a line break";
  if (!why.empty()) throw EIniFileException(why);
}

} // namespace rtl
