// String, number, date and file-name helpers. Letter case is folded one way everywhere
// (Unicode simple case folding, with an ASCII fast path).
#pragma once

#include "rtl/Exceptions.h"

#include <cstdint>
#include <fmt/format.h>
#include <string>

namespace rtl {

// Drop characters up to and including U+0020 (blanks and control characters) at the ends.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);

bool SameText(const String& S1, const String& S2);    // equal ignoring letter case
int CompareText(const String& S1, const String& S2);  // <0, 0, >0 ignoring letter case
int CompareStr(const String& S1, const String& S2);   // <0, 0, >0 by bytes
String UpperCase(const String& S);
String LowerCase(const String& S);
String FoldCase(const String& S);    // the key SameText compares
uint64_t TextHash(const String& S);  // the same for texts that SameText calls equal

// Hashed containers keyed by names with letter case ignored, looked up without folding a copy.
struct TTextHash {
  size_t operator()(const String& S) const { return static_cast<size_t>(TextHash(S)); }
};
struct TSameText {
  bool operator()(const String& A, const String& B) const { return SameText(A, B); }
};

int StrToIntDef(const String& S, int Default);  // 32-bit; anything that is not an integer: Default
int StrToInt(const String& S);                  // raises EConvertError
String IntToStr(int64_t Value);

// Days since 1899-12-30, fraction = time of day, local time.
using TDateTime = double;
TDateTime Now();
// The file system's time stamp (seconds since the epoch) of a local date and time.
int64_t DateTimeToFileDate(TDateTime Value);
TDateTime FileDateToDateTime(int64_t FileDate);

String ExtractFileName(const String& FileName);
String ExtractFilePath(const String& FileName);  // with the trailing separator
String ExtractFileExt(const String& FileName);   // with the dot
String ChangeFileExt(const String& FileName, const String& Extension);
String IncludeTrailingPathDelimiter(const String& S);
bool FileExists(const String& FileName);
bool DirectoryExists(const String& Directory);

// Format("{} ({})", a, b): fmt's syntax, the platform Format's role.
template <class... Args>
String Format(fmt::format_string<Args...> Fmt, Args&&... args) {
  return fmt::format(Fmt, std::forward<Args>(args)...);
}

// Writes Data to FileName atomically: a temporary file in the same folder, flushed, then renamed
// over the old one. A symbolic link is followed and its target replaced (in the target's
// folder), so the link stays. On failure the old file is untouched, no temporary file is left,
// and EFCreateError names file and reason; a folder, a device or pipe, or a read-only file is
// refused. (A process that writes under a file size limit should ignore SIGXFSZ, so that the
// limit gives an error instead of ending it.)
void WriteFileAtomic(const String& FileName, const String& Data);

// The system calls WriteFileAtomic makes for its steps, as the C library's (errno set on
// failure); a test replaces one to make that step fail as a full disk or a lost server would.
struct TFileWriteCalls {
  int (*MakeTemp)(char* Template);                       // mkstemp
  long (*Write)(int Fd, const char* Data, size_t Size);  // write: may write less than Size
  int (*Sync)(int Fd);                                   // fsync
  int (*Close)(int Fd);                                  // close
  int (*Rename)(const char* From, const char* To);       // rename
  static const TFileWriteCalls& System();
};
void WriteFileAtomic(const String& FileName, const String& Data, const TFileWriteCalls& Calls);

// Nothing this system reads comes near this size; a larger file is refused.
constexpr int64_t kMaxReadFileSize = int64_t{256} << 20;
// Reads the whole of a regular file of at most kMaxReadFileSize bytes into Data. Returns false,
// with Why saying what is wrong, for a missing file, a folder, a device or pipe (which could
// never end, or block), or a larger file. Never blocks on a pipe without a writer.
bool ReadWholeFile(const String& FileName, String& Data, String& Why);
// The whole file, as ReadWholeFile reads it; raises EFOpenError naming file and reason.
String ReadFileToString(const String& FileName);

}  // namespace rtl
