#include "rtl/IniFiles.h"

#include "IniDocument.h"
#include "rtl/Strings.h"

namespace rtl {

namespace {

// Fills Strings with Lines, cleared first, inside one update.
void FillStrings(TStrings* Strings, const std::vector<String>& Lines) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    for (const String& s : Lines) Strings->Add(s);
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

}  // namespace

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  TIniDocument doc(FFileName, false);
  const String* v = doc.Value(Section, Ident);
  return v ? *v : Default;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TIniDocument::CheckWritable(Section, Ident, Value);
  if (Trim(Ident).empty()) return;
  TIniDocument doc(FFileName, true);
  doc.Set(Section, Ident, Value);
  doc.Save();
}

int TIniFile::ReadInteger(const String& Section, const String& Ident, int Default) const {
  return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TIniFile::WriteInteger(const String& Section, const String& Ident, int Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) const {
  TIniDocument doc(FFileName, false);
  FillStrings(Strings, doc.Keys(Section));
}

void TIniFile::ReadSections(TStrings* Strings) const {
  TIniDocument doc(FFileName, false);
  FillStrings(Strings, doc.Sections());
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const {
  TIniDocument doc(FFileName, false);
  std::vector<String> lines;
  for (const auto& [key, value] : doc.Entries(Section)) lines.push_back(key + "=" + value);
  FillStrings(Strings, lines);
}

void TIniFile::EraseSection(const String& Section) {
  TIniDocument doc(FFileName, true);
  if (doc.EraseSection(Section)) doc.Save();
}

void TIniFile::WriteSection(const String& Section, const std::vector<std::pair<String, String>>& Values) {
  for (const auto& [ident, value] : Values) TIniDocument::CheckWritable(Section, ident, value);
  TIniDocument doc(FFileName, true);
  doc.ReplaceSection(Section, Values);
  doc.Save();
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
  TIniDocument doc(FFileName, true);
  if (doc.DeleteKey(Section, Ident)) doc.Save();
}

bool TIniFile::SectionExists(const String& Section) const {
  TIniDocument doc(FFileName, false);
  return doc.HasSection(Section);
}

bool TIniFile::ValueExists(const String& Section, const String& Ident) const {
  TIniDocument doc(FFileName, false);
  return doc.Value(Section, Ident) != nullptr;
}

}  // namespace rtl
