#include "korv/VersionInfo.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace korv {

namespace {

constexpr std::string_view kSectionName = ".korv.version";

struct TFileHandle {
  int Fd;
  ~TFileHandle() {
    if (Fd >= 0) ::close(Fd);
  }
};

struct TElfEnd {
  void operator()(Elf* elf) const { elf_end(elf); }
};

// Fills the texts from "Key=Value" lines; the first occurrence of a key wins.
void ReadVersionLines(std::string_view content, std::string& productName, std::string& version) {
  bool haveName = false, haveVersion = false;
  while (!content.empty()) {
    const auto stop = content.find_first_of(std::string_view("\n\0", 2));
    auto line = content.substr(0, stop);
    content.remove_prefix(stop == std::string_view::npos ? content.size() : stop + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const auto key = line.substr(0, eq);
    const auto value = line.substr(eq + 1);
    if (key == "ProductName" && !haveName) {
      productName = value;
      haveName = true;
    } else if (key == "ProductVersion" && !haveVersion) {
      version = value;
      haveVersion = true;
    }
  }
}

}  // namespace

std::string GetModuleFileNameStr(const void* addressInModule) {
  Dl_info info{};
  if (addressInModule == nullptr || dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr) return {};
  std::string name = info.dli_fname;
  // The main program may be reported by the name it was started with, or not at all.
  if (name.empty() || name.find('/') == std::string::npos) {
    char path[PATH_MAX];
    const auto len = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (len > 0) return std::string(path, static_cast<std::size_t>(len));
    return name;
  }
  if (char* real = ::realpath(name.c_str(), nullptr)) {
    name = real;
    std::free(real);
  }
  return name;
}

void ReadFileVersInfo(const std::string& fileName, std::string& productName, std::string& version) {
  if (elf_version(EV_CURRENT) == EV_NONE) return;
  TFileHandle file{::open(fileName.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.Fd < 0) return;
  std::unique_ptr<Elf, TElfEnd> elf(elf_begin(file.Fd, ELF_C_READ, nullptr));
  if (!elf || elf_kind(elf.get()) != ELF_K_ELF) return;
  std::size_t namesIndex = 0;
  if (elf_getshdrstrndx(elf.get(), &namesIndex) != 0) return;
  for (Elf_Scn* section = elf_nextscn(elf.get(), nullptr); section; section = elf_nextscn(elf.get(), section)) {
    GElf_Shdr header;
    if (gelf_getshdr(section, &header) == nullptr || header.sh_type == SHT_NOBITS) continue;
    const char* name = elf_strptr(elf.get(), namesIndex, header.sh_name);
    if (name == nullptr || kSectionName != name) continue;
    std::string content;
    for (Elf_Data* data = elf_getdata(section, nullptr); data; data = elf_getdata(section, data))
      if (data->d_buf && data->d_size) content.append(static_cast<const char*>(data->d_buf), data->d_size);
    ReadVersionLines(content, productName, version);
    return;
  }
}

}  // namespace korv
