// TIniFile: an ini file read and written through the platform's method names.
//
// Section and key names ignore letter case. Creating the object does not touch the disk; a
// missing file reads as empty. Every read looks at the file as it is now; every write reads
// the file, changes it and replaces it atomically (a temporary file in the same folder,
// flushed, renamed), so that a failed write leaves the old file whole and raises
// EIniFileException naming the file and the reason. The file is written as UTF-8 without a
// byte-order mark; a mark, comments and lines that are not entries are accepted on reading.
#pragma once

#include "rtl/Object.h"

#include <utility>
#include <vector>

namespace rtl {

class TStrings;

class TIniFile : public TObject {
public:
  explicit TIniFile(const String& FileName) : FFileName(FileName) {}

  const String& FileName() const { return FFileName; }

  String ReadString(const String& Section, const String& Ident, const String& Default) const;
  // Raises EIniFileException for a section, key or value that the file could not hold (a line
  // break, a key with "=" or starting with "[", ";" or "#", a section with "]"). An empty key
  // is not written: no line could give it back.
  void WriteString(const String& Section, const String& Ident, const String& Value);
  // Anything that is not an integer (decimal, $hex or 0x hex) gives Default.
  int ReadInteger(const String& Section, const String& Ident, int Default) const;
  void WriteInteger(const String& Section, const String& Ident, int Value);
  // An integer: 0 is false, anything else true; a missing key or a non-integer gives Default.
  bool ReadBool(const String& Section, const String& Ident, bool Default) const;
  void WriteBool(const String& Section, const String& Ident, bool Value);  // "1" or "0"

  // Each clears Strings first. Key names, section names, and "key=value" lines (for a key that
  // appears twice, its first value), all in file order.
  void ReadSection(const String& Section, TStrings* Strings) const;
  void ReadSections(TStrings* Strings) const;
  void ReadSectionValues(const String& Section, TStrings* Strings) const;

  void EraseSection(const String& Section);
  // Replaces the whole section by Values, in order, in one atomic replacement of the file:
  // readers see the old section or the new one, never a part of it.
  void WriteSection(const String& Section, const std::vector<std::pair<String, String>>& Values);
  void DeleteKey(const String& Section, const String& Ident);
  bool SectionExists(const String& Section) const;
  bool ValueExists(const String& Section, const String& Ident) const;

  // Writes are saved at once; kept for callers written for buffered ini files.
  void UpdateFile() {}

private:
  String FFileName;
};

}  // namespace rtl
