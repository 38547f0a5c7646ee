// The ini file as a document: loaded whole, changed in memory, saved atomically. Shared by
// TIniFile and TRegistry.
#pragma once

#include "rtl/SysUtils.h"

// Narrow UTF-8 only: no wide-character converter is needed (or shipped with the header).
#ifndef SI_NO_CONVERSION
#define SI_NO_CONVERSION
#endif
#include <SimpleIni.h>

#include <memory>
#include <vector>

namespace rtl {

// Section and key order that ignores letter case, as the rest of the system folds it.
struct TIniFoldLess {
  bool operator()(const char* a, const char* b) const { return CompareText(a, b) < 0; }
};

using TIniData = CSimpleIniTempl<char, TIniFoldLess, SI_ConvertA<char>>;

class TIniDocument {
public:
  // ForWrite: a file that exists but cannot be read raises EIniFileException (it must not be
  // replaced by what little we know); for reading it counts as empty.
  TIniDocument(const String& FileName, bool ForWrite);

  TIniData& Data() { return FData; }
  const TIniData& Data() const { return FData; }

  // Keys of a section in file order, each once.
  std::vector<String> Keys(const String& Section) const;
  // Section names in file order.
  std::vector<String> Sections() const;
  // The first value of a key; nullptr when absent.
  const char* Value(const String& Section, const String& Key) const;

  // Sets a key's value: one line, at the place and with the spelling of the first one.
  void Set(const String& Section, const String& Key, const String& Value);

  String Text() const;
  // Replaces the file atomically; raises EIniFileException naming the file and the reason.
  void Save() const;

  static void CheckWritable(const String& Section, const String& Key, const String& Value);

private:
  String FFileName;
  String FFileComment;
  TIniData FData;
};

} // namespace rtl
