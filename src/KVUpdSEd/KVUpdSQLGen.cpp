#include "KVUpdSQLGen.h"

#include "korv/KVCommon.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <vector>

namespace dclkorv {

namespace {

// A statement's lines, written to the buffer as they are made. The last line waits until the
// next one comes, as a separator may still end it; it is written too when an error stops the
// statement, so the buffer then holds the lines appended so far.
class TStatementLines {
public:
  explicit TStatementLines(rtl::TStrings* Dest) : FDest(Dest) {
    FDest->BeginUpdate();
    FDest->Clear();
  }
  // On an error the lines written so far stay in the list and its change is still announced;
  // an error of that announcement is dropped then, the first error being the one to report.
  ~TStatementLines() {
    if (FFinished) return;
    try {
      Flush();
      FDest->EndUpdate();
    } catch (...) {
    }
  }
  TStatementLines(const TStatementLines&) = delete;
  TStatementLines& operator=(const TStatementLines&) = delete;

  // Starts a new line and returns it to be written.
  String& Add() {
    if (FHasLast) FDest->Add(FLast);
    FHasLast = true;
    FLast.clear();  // keeps its capacity: a line costs no allocation of its own
    return FLast;
  }
  void Add(std::string_view Line) { Add().assign(Line); }
  // "%s%s = :%s" with two blanks, the quoted column and the quoted parameter name.
  void AddCondition(std::string_view Column, std::string_view Param) {
    Add().append("  ").append(Column).append(" = :").append(Param);
  }
  // Adds the last line and announces the list's change, which may raise (an OnChange handler).
  void Finish() {
    Flush();
    FFinished = true;
    FDest->EndUpdate();
  }
  // Ends the last line with Separator unless that line is exactly Head: a list item follows.
  void Join(const char* Head, const char* Separator) {
    if (FHasLast && FLast != Head) FLast += Separator;
  }

private:
  void Flush() {
    if (FHasLast) FDest->Add(FLast);
    FHasLast = false;
  }

  rtl::TStrings* FDest;
  String FLast;
  bool FHasLast = false;
  bool FFinished = false;
};

void AppendKeyConditions(TGenNames& Names, TStatementLines& Lines) {
  const auto& keys = Names.Inputs().KeyFields;
  for (std::size_t i = 0; i < keys.size(); ++i)
    if (keys[i].Selected) {
      const auto& k = Names.Key(i);  // made before the last line is touched
      Lines.Join("where", " and");
      Lines.AddCondition(k.Column, k.Param);
    }
}

}  // namespace

namespace {

constexpr std::uint32_t kEmptySlot = ~std::uint32_t{0};

// A name as a case-blind comparison takes it: ASCII folded in place, anything else as SameText
// folds it.
String FoldName(std::string_view Name) {
  String folded(Name);
  for (char& c : folded) {
    if (static_cast<unsigned char>(c) >= 0x80) return rtl::FoldCase(String(Name));
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// A table of Count entries found by a text key: open addressing over a power of two at least
// twice as many slots, so that nothing is allocated per entry.
std::vector<std::uint32_t> SlotTable(std::size_t Count) {
  return std::vector<std::uint32_t>(std::bit_ceil(std::max<std::size_t>(2 * Count, 16)), kEmptySlot);
}

// The position of Key in Slots: the slot holding the entry whose key (KeyOf) it is, or the
// empty slot where it belongs.
template <class TKeyOf>
std::size_t SlotOf(const std::vector<std::uint32_t>& Slots, std::string_view Key, TKeyOf KeyOf) {
  const std::size_t mask = Slots.size() - 1;
  std::size_t i = std::hash<std::string_view>()(Key) & mask;
  while (Slots[i] != kEmptySlot && KeyOf(Slots[i]) != Key) i = (i + 1) & mask;
  return i;
}

}  // namespace

TFieldAliasMap::TFieldAliasMap(const rtl::TStrings* FieldInfo) {
  if (!FieldInfo) return;
  const auto count = static_cast<std::size_t>(FieldInfo->Count());
  FLines.reserve(count);
  std::vector<std::string_view> names(count), values(count);
  std::vector<String> folded(count);  // each NAME ignoring case; a line without "=" has ""
  // The value of a NAME is the value of the first line carrying it (names ignoring case). It
  // may come after a line without "=", so every line is read before any is looked up.
  std::vector<std::uint32_t> firstOfName = SlotTable(count);
  auto nameOf = [&](std::uint32_t line) -> std::string_view { return folded[line]; };
  for (std::size_t i = 0; i < count; ++i) {
    const String& line = FLines.emplace_back(FieldInfo->Get(static_cast<int>(i)));
    const auto eq = line.find('=');
    if (eq == String::npos) continue;
    names[i] = std::string_view(line).substr(0, eq);
    values[i] = std::string_view(line).substr(eq + 1);
    folded[i] = FoldName(names[i]);
    std::uint32_t& slot = firstOfName[SlotOf(firstOfName, folded[i], nameOf)];
    if (slot == kEmptySlot) slot = static_cast<std::uint32_t>(i);
  }
  FEntries.reserve(count);
  FColumns = SlotTable(count);
  auto columnOf = [&](std::uint32_t entry) { return FEntries[entry].Column; };
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t first = firstOfName[SlotOf(firstOfName, folded[i], nameOf)];
    if (first == kEmptySlot) continue;
    const std::string_view value = values[first];
    // The last dot that has at least one character after it.
    if (value.size() < 2) continue;
    const auto dot = value.rfind('.', value.size() - 2);
    if (dot == std::string_view::npos) continue;
    const auto entry = static_cast<std::uint32_t>(FEntries.size());
    FEntries.push_back({value.substr(dot + 1), value.substr(0, dot), names[i]});
    std::uint32_t& head = FColumns[SlotOf(FColumns, FEntries.back().Column, columnOf)];
    if (head == kEmptySlot) {
      head = entry;
    } else {
      FEntries[FEntries[head].Last].Next = entry;
    }
    FEntries[head].Last = entry;
  }
}

String TFieldAliasMap::Find(const String& TableText, const String& Field) const {
  if (FColumns.empty()) return Field;
  const std::uint32_t head = FColumns[SlotOf(FColumns, Field, [&](std::uint32_t e) { return FEntries[e].Column; })];
  for (std::uint32_t e = head; e != kNone; e = FEntries[e].Next)
    if (FEntries[e].TablePart == TableText) return String(FEntries[e].Name);
  return Field;
}

String QuoteName(const TUpdateSQLGenInputs& Inputs, const String& AIdentName) {
  return korv::QuoteIdentifierFor(Inputs.ServerType, AIdentName, Inputs.QuoteFields);
}

String QuoteParamName(const TUpdateSQLGenInputs& Inputs, const String& AParamName) {
  return korv::QuoteParamNameFor(Inputs.ServerType, AParamName, Inputs.QuoteFields);
}

// ------------------------------------------------------------------ names

TGenNames::TGenNames(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases)
    : FInputs(Inputs), FAliases(Aliases), FUpdate(Inputs.UpdateFields.size()), FKey(Inputs.KeyFields.size()) {}

const String& TGenNames::Table() {
  if (!FTable) FTable = QuoteName(FInputs, korv::GetValidObjName(FInputs.TableText, !FInputs.ObjOwnerSupported));
  return *FTable;
}

const TGenNames::TUpdateNames& TGenNames::Update(std::size_t Index) {
  auto& names = FUpdate[Index];
  if (!names) {
    const String& field = FInputs.UpdateFields[Index].Name;
    TUpdateNames made;
    made.Column = QuoteName(FInputs, field);
    made.Alias = FAliases.Find(FInputs.TableText, field);
    made.Param = QuoteParamName(FInputs, made.Alias);
    names = std::move(made);
  }
  return *names;
}

const TGenNames::TKeyNames& TGenNames::Key(std::size_t Index) {
  auto& names = FKey[Index];
  if (!names) {
    const String& field = FInputs.KeyFields[Index].Name;
    TKeyNames made;
    made.Column = QuoteName(FInputs, field);
    made.Param = QuoteParamName(FInputs, "OLD_" + FAliases.Find(FInputs.TableText, field));
    names = std::move(made);
  }
  return *names;
}

// ------------------------------------------------------------------ statements

void GenerateModifySQL(TGenNames& Names, rtl::TStrings* Dest) {
  const auto& in = Names.Inputs();
  TStatementLines lines(Dest);
  lines.Add("update " + Names.Table());
  lines.Add("set");
  for (std::size_t i = 0; i < in.UpdateFields.size(); ++i) {
    if (!in.UpdateFields[i].Selected) continue;
    const auto& f = Names.Update(i);
    lines.Join("set", ",");
    lines.AddCondition(f.Column, f.Param);
  }
  lines.Add("where");
  AppendKeyConditions(Names, lines);
  lines.Finish();
}

void GenerateRefreshSQL(TGenNames& Names, rtl::TStrings* Dest) {
  const auto& in = Names.Inputs();
  TStatementLines lines(Dest);
  String columns;
  for (std::size_t i = 0; i < in.UpdateFields.size(); ++i) {
    if (!in.UpdateFields[i].Selected) continue;
    const auto& f = Names.Update(i);
    if (!columns.empty()) columns += ", ";
    columns += f.Column;
    if (f.Alias != in.UpdateFields[i].Name) columns.append(" as ").append(f.Param);
  }
  // One entry holding two text lines.
  lines.Add("select " + columns + "\r\n" + "from " + Names.Table());
  lines.Add("where");
  AppendKeyConditions(Names, lines);
  lines.Finish();
}

void GenerateInsertSQL(TGenNames& Names, rtl::TStrings* Dest) {
  const auto& in = Names.Inputs();
  TStatementLines lines(Dest);
  lines.Add("insert into " + Names.Table());
  String columns, values;
  for (std::size_t i = 0; i < in.UpdateFields.size(); ++i) {
    if (!in.UpdateFields[i].Selected) continue;
    const auto& f = Names.Update(i);
    if (!columns.empty()) columns += ", ";
    columns += f.Column;
    if (!values.empty()) values += ", ";
    values.append(":").append(f.Param);
  }
  lines.Add("  (" + columns + ")");
  lines.Add("values");
  lines.Add("  (" + values + ")");
  lines.Finish();
}

void GenerateDeleteSQL(TGenNames& Names, rtl::TStrings* Dest) {
  TStatementLines lines(Dest);
  lines.Add("delete from " + Names.Table());
  lines.Add("where");
  AppendKeyConditions(Names, lines);
  lines.Finish();
}

// One statement on its own: names made for it alone.
template <void (*Generate)(TGenNames&, rtl::TStrings*)>
void GenerateAlone(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  TGenNames names(Inputs, Aliases);
  Generate(names, Dest);
}

void GenerateModifySQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  GenerateAlone<GenerateModifySQL>(Inputs, Aliases, Dest);
}
void GenerateRefreshSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  GenerateAlone<GenerateRefreshSQL>(Inputs, Aliases, Dest);
}
void GenerateInsertSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  GenerateAlone<GenerateInsertSQL>(Inputs, Aliases, Dest);
}
void GenerateDeleteSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  GenerateAlone<GenerateDeleteSQL>(Inputs, Aliases, Dest);
}

}  // namespace dclkorv
