// Byte streams: memory, string and file.
#pragma once

#include "rtl/Object.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace rtl {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }
  int64_t Size();
  void ReadBuffer(void* Buffer, int64_t Count);         // raises EStreamError on a short read
  void WriteBuffer(const void* Buffer, int64_t Count);  // raises EStreamError on a short write
  String ReadRemaining();                               // everything from the position on
  void WriteString(const String& S) { WriteBuffer(S.data(), static_cast<int64_t>(S.size())); }
  int64_t CopyFrom(TStream* Source, int64_t Count);  // Count 0: all of Source from its start
};

class TMemoryStream : public TStream {
public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void Clear();
  const uint8_t* Memory() const { return FData.data(); }
  void SetSize(int64_t NewSize);

protected:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A stream over a string's bytes; DataString is the whole content.
class TStringStream : public TStream {
public:
  explicit TStringStream(String AString = {}) : FData(std::move(AString)) {}
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  const String& DataString() const { return FData; }

private:
  String FData;
  int64_t FPosition = 0;
};

enum class TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
public:
  // Raises EFOpenError (or EFCreateError for fmCreate) naming the file and the reason.
  TFileStream(const String& FileName, TFileMode Mode);
  ~TFileStream() override;
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  const String& FileName() const { return FFileName; }

private:
  String FFileName;
  std::FILE* FHandle = nullptr;
};

}  // namespace rtl
