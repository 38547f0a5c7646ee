// Sets an environment variable for the life of a scope and restores the old value after.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class TScopedEnv {
public:
  TScopedEnv(std::string name, const std::string& value) : FName(std::move(name)) {
    if (const char* old = std::getenv(FName.c_str())) FOld = old;
    ::setenv(FName.c_str(), value.c_str(), 1);
  }
  ~TScopedEnv() {
    if (FOld)
      ::setenv(FName.c_str(), FOld->c_str(), 1);
    else
      ::unsetenv(FName.c_str());
  }
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
  std::string FName;
  std::optional<std::string> FOld;
};
