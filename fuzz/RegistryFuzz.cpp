// The registry stand-in's reader: whatever its file holds, reading never fails, and writing a
// value under another key keeps the value that was read.
#include "FuzzTarget.h"
#include "TempFolder.h"

#include "rtl/Registry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  static const bool environment = [] { return ::setenv("XDG_CONFIG_HOME", korvfuzz::TempFolder().c_str(), 1) == 0; }();
  korvfuzz::Check(environment, "cannot point the registry at the fuzz folder");
  korvfuzz::WriteBytes(rtl::TRegistry::FileName(), korvfuzz::AsText(Data, Size));

  rtl::String rootDir;
  {
    rtl::TRegistry reg;
    if (reg.OpenKeyReadOnly("\\Software\\Korvane")) rootDir = reg.ReadString("RootDir");
  }
  try {
    rtl::TRegistry reg;
    if (!reg.OpenKey("\\Software\\Korvane\\Fuzz", true)) return 0;
    reg.WriteString("Value", "written");
  } catch (const rtl::Exception&) {
    return 0;  // a file the writer refuses to change
  }
  rtl::TRegistry reg;
  korvfuzz::Check(reg.OpenKeyReadOnly("\\Software\\Korvane\\Fuzz") && reg.ReadString("Value") == "written",
                  "a written value does not read back");
  rtl::String after;
  if (reg.OpenKeyReadOnly("\\Software\\Korvane")) after = reg.ReadString("RootDir");
  korvfuzz::Check(after == rootDir, "writing one key changed the value of another");
  return 0;
}
