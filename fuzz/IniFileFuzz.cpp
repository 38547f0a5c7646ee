// The ini reader and writer: whatever the file holds, a write of one value either is refused
// with an EIniFileException or keeps every other section as it read, reads back as written, and
// writing the same value again leaves the file's bytes alone.
#include "FuzzTarget.h"
#include "TempFolder.h"

#include "rtl/IniFiles.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"

#include <utility>
#include <vector>

namespace {

using Snapshot = std::vector<std::pair<rtl::String, rtl::String>>;  // section, its values as text

constexpr const char* kSection = "FuzzSection";
constexpr const char* kKey = "FuzzKey";
constexpr const char* kValue = "fuzz value";

Snapshot Read(const rtl::TIniFile& Ini) {
  Snapshot out;
  rtl::TStringList sections;
  Ini.ReadSections(&sections);
  for (int i = 0; i < sections.Count(); ++i) {
    const rtl::String name = sections[i];
    if (rtl::SameText(name, kSection)) continue;
    rtl::TStringList values;
    Ini.ReadSectionValues(name, &values);
    out.emplace_back(name, values.Text());
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  const std::string file = korvfuzz::TempFolder() + "/fuzz.ini";
  korvfuzz::WriteBytes(file, korvfuzz::AsText(Data, Size));
  Snapshot before;
  try {
    rtl::TIniFile ini(file);
    before = Read(ini);
    ini.WriteString(kSection, kKey, kValue);
  } catch (const rtl::Exception&) {
    return 0;  // a file the writer refuses to change
  }
  rtl::TIniFile again(file);
  korvfuzz::Check(again.ReadString(kSection, kKey, "") == kValue, "a written value does not read back");
  korvfuzz::Check(Read(again) == before, "writing one value changed another section");
  const std::string bytes = korvfuzz::ReadBytes(file);
  again.WriteString(kSection, kKey, kValue);
  korvfuzz::Check(korvfuzz::ReadBytes(file) == bytes, "writing the same value again changed the file");
  return 0;
}
