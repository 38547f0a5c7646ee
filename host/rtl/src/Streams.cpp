#include "rtl/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rtl {

int64_t TStream::Size() {
  int64_t pos = Seek(0, TSeekOrigin::soCurrent);
  int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(pos, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EStreamError("Stream write error");
}

String TStream::ReadRemaining() {
  int64_t left = Size() - Position();
  String s(static_cast<size_t>(std::max<int64_t>(left, 0)), '\0');
  ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
  return s;
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  String buf(static_cast<size_t>(Count), '\0');
  Source->ReadBuffer(buf.data(), Count);
  WriteBuffer(buf.data(), Count);
  return Count;
}

namespace {

int64_t NewPosition(int64_t current, int64_t size, int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == TSeekOrigin::soBeginning ? 0 : (origin == TSeekOrigin::soCurrent ? current : size);
  return std::max<int64_t>(0, base + offset);
}

}  // namespace

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  int64_t n = std::clamp<int64_t>(static_cast<int64_t>(FData.size()) - FPosition, 0, Count);
  if (n > 0) std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (FPosition + Count > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(FPosition + Count));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition += Count;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  return FPosition = NewPosition(FPosition, static_cast<int64_t>(FData.size()), Offset, Origin);
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  FData.resize(static_cast<size_t>(NewSize));
  FPosition = std::min(FPosition, NewSize);
}

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
  int64_t n = std::clamp<int64_t>(static_cast<int64_t>(FData.size()) - FPosition, 0, Count);
  if (n > 0) std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (FPosition + Count > static_cast<int64_t>(FData.size())) FData.resize(static_cast<size_t>(FPosition + Count));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition += Count;
  return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  return FPosition = NewPosition(FPosition, static_cast<int64_t>(FData.size()), Offset, Origin);
}

TFileStream::TFileStream(const String& FileName, TFileMode Mode) : FFileName(FileName) {
  const char* mode = "rb";
  switch (Mode) {
  case TFileMode::fmOpenRead: mode = "rb"; break;
  case TFileMode::fmOpenWrite:
  case TFileMode::fmOpenReadWrite: mode = "r+b"; break;
  case TFileMode::fmCreate: mode = "w+b"; break;
  }
  FHandle = std::fopen(FileName.c_str(), mode);
  if (!FHandle) {
    String why = std::strerror(errno);
    if (Mode == TFileMode::fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\": " + why);
    throw EFOpenError("Cannot open file \"" + FileName + "\": " + why);
  }
}

TFileStream::~TFileStream() {
  if (FHandle) std::fclose(FHandle);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FHandle));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FHandle));
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int whence = Origin == TSeekOrigin::soBeginning ? SEEK_SET : (Origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END);
  if (std::fseek(FHandle, Offset, whence) != 0) throw EStreamError("Cannot seek in \"" + FFileName + "\"");
  return std::ftell(FHandle);
}

}  // namespace rtl
