// Reading and writing whole files: the one way every module, ini file and text module reaches
// the disk.
#include "rtl/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rtl {

namespace fs = std::filesystem;

namespace {

// Closes a descriptor at the end of a scope.
struct TFd {
  int Fd;
  ~TFd() {
    if (Fd >= 0) ::close(Fd);
  }
};

// Removes the temporary file unless it has been renamed into place.
struct TTempFile {
  String Name;
  bool Keep = false;
  ~TTempFile() {
    if (!Keep) ::unlink(Name.c_str());
  }
};

String SizeLimitText() { return IntToStr(static_cast<int>(kMaxReadFileSize >> 20)) + " MB"; }

}  // namespace

bool ReadWholeFile(const String& FileName, String& Data, String& Why) {
  // Non-blocking, so that a pipe without a writer is refused instead of waited for.
  TFd fd{::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (fd.Fd < 0) {
    Why = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd.Fd, &st) != 0) {
    Why = std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    Why = "it is a folder";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    Why = "it is not a regular file";
    return false;
  }
  const String tooLarge = "it is larger than " + SizeLimitText();
  if (st.st_size > kMaxReadFileSize) {
    Why = tooLarge;
    return false;
  }
  String data;
  data.reserve(static_cast<size_t>(st.st_size));
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = ::read(fd.Fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Why = std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    data.append(buffer.data(), static_cast<size_t>(n));
    // The file may grow while it is read.
    if (static_cast<int64_t>(data.size()) > kMaxReadFileSize) {
      Why = tooLarge;
      return false;
    }
  }
  Data = std::move(data);
  return true;
}

String ReadFileToString(const String& FileName) {
  String data, why;
  if (!ReadWholeFile(FileName, data, why)) throw EFOpenError("Cannot open file \"" + FileName + "\": " + why);
  return data;
}

const TFileWriteCalls& TFileWriteCalls::System() {
  static const TFileWriteCalls calls{
      [](char* Template) { return ::mkstemp(Template); },
      [](int Fd, const char* Data, size_t Size) { return static_cast<long>(::write(Fd, Data, Size)); },
      [](int Fd) { return ::fsync(Fd); }, [](int Fd) { return ::close(Fd); },
      [](const char* From, const char* To) { return ::rename(From, To); }};
  return calls;
}

void WriteFileAtomic(const String& FileName, const String& Data) {
  WriteFileAtomic(FileName, Data, TFileWriteCalls::System());
}

void WriteFileAtomic(const String& FileName, const String& Data, const TFileWriteCalls& Calls) {
  auto fail = [&](const String& what) { throw EFCreateError("Cannot write file \"" + FileName + "\": " + what); };

  // Follow symbolic links to the file they name (which may not exist yet): replacing the link
  // itself would leave its target stale.
  fs::path target(FileName);
  for (int hops = 0;; ++hops) {
    struct stat lst {};
    if (::lstat(target.c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) break;
    if (hops == 40) fail(std::strerror(ELOOP));
    std::error_code ec;
    fs::path link = fs::read_symlink(target, ec);
    if (ec) fail(ec.message());
    target = link.is_absolute() ? link : target.parent_path() / link;
  }

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) fail("it is a folder");
    if (!S_ISREG(st.st_mode)) fail("it is not a regular file");
    // A read-only file is not replaced behind its owner's back (root included, who could).
    if ((st.st_mode & 0222) == 0 || (::access(target.c_str(), W_OK) != 0 && errno == EACCES))
      fail("the file is read-only");
  } else if (target.filename().empty()) {
    fail("no file name after the folder");
  }

  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  const String tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  TFd fd{Calls.MakeTemp(name.data())};
  if (fd.Fd < 0) fail(std::strerror(errno));
  TTempFile temp{name.data()};

  const char* p = Data.data();
  size_t left = Data.size();
  while (left > 0) {
    const long n = Calls.Write(fd.Fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(std::strerror(errno));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  // Keep the permissions of a file being replaced; a new file gets the usual 0666 & ~umask.
  if (exists) {
    ::fchmod(fd.Fd, st.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.Fd, 0666 & ~mask);
  }
  if (Calls.Sync(fd.Fd) != 0) fail(std::strerror(errno));
  const int closed = Calls.Close(fd.Fd);
  fd.Fd = -1;
  if (closed != 0) fail(std::strerror(errno));
  if (Calls.Rename(temp.Name.c_str(), target.c_str()) != 0) fail(std::strerror(errno));
  temp.Keep = true;
  // The rename itself reaches the disk with the folder.
  TFd folder{::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (folder.Fd >= 0) ::fsync(folder.Fd);
}

}  // namespace rtl
