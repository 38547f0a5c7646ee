// The ini file as a document: loaded whole, changed in memory, saved atomically. Shared by
// TIniFile and TRegistry.
//
// The document is the file's lines. Headers, "key=value" entries, comments and blank lines are
// understood; any other line (a header without "]", a line without "=", one holding a NUL byte)
// is kept exactly as it was read and written back unchanged, so that saving never loses what a
// reader did not understand. Only the lines a write changes are rewritten; a second identical
// write leaves the file as the first one did.
#pragma once

#include "rtl/SysUtils.h"

#include <utility>
#include <vector>

namespace rtl {

class TIniDocument {
public:
  using TValues = std::vector<std::pair<String, String>>;

  // ForWrite: a file that exists but cannot be read raises EIniFileException (it must not be
  // replaced by what little we know); for reading it counts as empty.
  TIniDocument(const String& FileName, bool ForWrite);

  // Names are compared ignoring letter case and blanks at either end, as they read back.
  bool HasSection(const String& Section) const;
  // Section names in file order, each once.
  std::vector<String> Sections() const;
  // Keys of a section with their first values, in file order, each once.
  TValues Entries(const String& Section) const;
  std::vector<String> Keys(const String& Section) const;
  // The first value of a key; nullptr when absent.
  const String* Value(const String& Section, const String& Key) const;

  // Sets a key's value: one line, at the place and with the spelling of the first one.
  void Set(const String& Section, const String& Key, const String& Value);
  // Adds an empty section at the end unless the section is there.
  void AddSection(const String& Section);
  // Whether there was anything to delete.
  bool DeleteKey(const String& Section, const String& Key);
  bool EraseSection(const String& Section);
  // The section's keys become Values (in order; for a key given twice, the last value), where
  // the section's first key stood; its comments and unread lines stay.
  void ReplaceSection(const String& Section, const TValues& Values);

  String Text() const;
  // Replaces the file atomically; raises EIniFileException naming the file and the reason.
  void Save() const;

  static void CheckWritable(const String& Section, const String& Key, const String& Value);

private:
  enum class TLineKind { lkOther, lkEntry };
  struct TLine {
    String Text;  // as read, or as last written
    TLineKind Kind = TLineKind::lkOther;
    String Key;    // trimmed (entries)
    String Value;  // trimmed (entries)
  };
  struct TSection {
    bool HasHeader = false;  // false only for the lines before the first header
    bool Named = true;       // false for a header that names nothing (no "]", a NUL byte)
    String Header;           // the header line as read
    String Name;             // trimmed
    std::vector<TLine> Lines;
  };

  bool Matches(const TSection& S, const String& Name) const;
  TSection* FirstSection(const String& Name);
  static TLine EntryLine(const String& Key, const String& Value);
  static size_t InsertPos(const TSection& S);
  void Parse(const String& Data);

  String FFileName;
  std::vector<TSection> FSections;  // [0]: the lines before the first header
};

}  // namespace rtl
