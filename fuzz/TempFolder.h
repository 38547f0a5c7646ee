// A folder of the fuzz run's own for the targets that need files, made once and removed at exit.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace korvfuzz {

inline const std::string& TempFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "korv-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  static const struct TRemove {
    ~TRemove() {
      std::error_code ec;
      std::filesystem::remove_all(folder, ec);
    }
  } remove;
  return folder;
}

inline void WriteBytes(const std::string& File, std::string_view Bytes) {
  std::filesystem::create_directories(std::filesystem::path(File).parent_path());
  std::ofstream(File, std::ios::binary | std::ios::trunc).write(Bytes.data(), std::streamsize(Bytes.size()));
}

inline std::string ReadBytes(const std::string& File) {
  std::ifstream in(File, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace korvfuzz
