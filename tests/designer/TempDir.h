// A temporary folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace designtest {

class TTempDir {
public:
  explicit TTempDir(const std::string& Tag) {
    static int counter = 0;
    FPath = std::filesystem::temp_directory_path() /
            ("korv-" + Tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(FPath);
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
  std::filesystem::path FPath;
};

}  // namespace designtest
