#include "KVUpdSQLGen.h"

#include "korv/KVCommon.h"
#include "rtl/SysUtils.h"

#include <vector>

namespace dclkorv {

namespace {

// The statement table: the table text as the server takes it, quoted as one identifier.
String StatementTable(const TUpdateSQLGenInputs& Inputs) {
  return QuoteName(Inputs, korv::GetValidObjName(Inputs.TableText, !Inputs.ObjOwnerSupported));
}

// "%s%s = :%s" with two blanks, the quoted column and the quoted parameter name.
String Condition(const TUpdateSQLGenInputs& Inputs, const String& Column, const String& Param) {
  const String column = QuoteName(Inputs, Column), param = QuoteName(Inputs, Param);
  String text;
  text.reserve(column.size() + param.size() + 6);
  text.append("  ").append(column).append(" = :").append(param);
  return text;
}

// A statement's lines, gathered here and handed to the buffer when the statement is done, or
// when an error stops it (the buffer then holds the lines appended so far).
class TStatementLines {
public:
  explicit TStatementLines(rtl::TStrings* Dest) : FDest(Dest) { FDest->Clear(); }
  ~TStatementLines() { FDest->AddStrings(FLines); }
  TStatementLines(const TStatementLines&) = delete;
  TStatementLines& operator=(const TStatementLines&) = delete;

  void Add(String Line) { FLines.push_back(std::move(Line)); }
  // Appends Line, first ending the last line with Separator unless that line is exactly Head.
  void AddJoined(const char* Head, const char* Separator, String Line) {
    if (!FLines.empty() && FLines.back() != Head) FLines.back() += Separator;
    FLines.push_back(std::move(Line));
  }

private:
  rtl::TStrings* FDest;
  std::vector<String> FLines;
};

void AppendKeyConditions(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, TStatementLines& Lines) {
  for (const TGenField& k : Inputs.KeyFields)
    if (k.Selected)
      Lines.AddJoined("where", " and", Condition(Inputs, k.Name, "OLD_" + Aliases.Find(Inputs.TableText, k.Name)));
}

} // namespace

TFieldAliasMap::TFieldAliasMap(const rtl::TStrings* FieldInfo) {
  if (!FieldInfo) return;
  const int count = FieldInfo->Count();
  // The value of a NAME is the value of the first line carrying it (names ignoring case).
  std::unordered_map<String, int> firstOfName;
  for (int i = 0; i < count; ++i) {
    String line = FieldInfo->Get(i);
    auto eq = line.find('=');
    if (eq != String::npos) firstOfName.emplace(rtl::FoldCase(line.substr(0, eq)), i);
  }
  for (int i = 0; i < count; ++i) {
    String name = FieldInfo->Names(i);
    auto first = firstOfName.find(rtl::FoldCase(name));
    if (first == firstOfName.end()) continue;
    String value = FieldInfo->ValueFromIndex(first->second);
    // The last dot that has at least one character after it.
    if (value.size() < 2) continue;
    auto dot = value.rfind('.', value.size() - 2);
    if (dot == String::npos) continue;
    FAliases[value.substr(dot + 1)].push_back({value.substr(0, dot), std::move(name)});
  }
}

String TFieldAliasMap::Find(const String& TableText, const String& Field) const {
  auto it = FAliases.find(std::string_view(Field));
  if (it != FAliases.end())
    for (const TAlias& a : it->second)
      if (a.TablePart == TableText) return a.Name;
  return Field;
}

String QuoteName(const TUpdateSQLGenInputs& Inputs, const String& AIdentName) {
  return korv::QuoteIdentifier(AIdentName, Inputs.QuoteFields);
}

void GenerateModifySQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  TStatementLines lines(Dest);
  lines.Add("update " + StatementTable(Inputs));
  lines.Add("set");
  for (const TGenField& f : Inputs.UpdateFields)
    if (f.Selected) lines.AddJoined("set", ",", Condition(Inputs, f.Name, Aliases.Find(Inputs.TableText, f.Name)));
  lines.Add("where");
  AppendKeyConditions(Inputs, Aliases, lines);
}

void GenerateRefreshSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  TStatementLines lines(Dest);
  String columns;
  for (const TGenField& f : Inputs.UpdateFields) {
    if (!f.Selected) continue;
    if (!columns.empty()) columns += ", ";
    columns += QuoteName(Inputs, f.Name);
    String alias = Aliases.Find(Inputs.TableText, f.Name);
    if (alias != f.Name) columns += " as " + QuoteName(Inputs, alias);
  }
  // One entry holding two text lines.
  lines.Add("select " + columns + "\r\n" + "from " + StatementTable(Inputs));
  lines.Add("where");
  AppendKeyConditions(Inputs, Aliases, lines);
}

void GenerateInsertSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  TStatementLines lines(Dest);
  lines.Add("insert into " + StatementTable(Inputs));
  String columns, values;
  for (const TGenField& f : Inputs.UpdateFields) {
    if (!f.Selected) continue;
    if (!columns.empty()) columns += ", ";
    columns += QuoteName(Inputs, f.Name);
    if (!values.empty()) values += ", ";
    values += ":" + QuoteName(Inputs, Aliases.Find(Inputs.TableText, f.Name));
  }
  lines.Add("  (" + columns + ")");
  lines.Add("values");
  lines.Add("  (" + values + ")");
}

void GenerateDeleteSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  TStatementLines lines(Dest);
  lines.Add("delete from " + StatementTable(Inputs));
  lines.Add("where");
  AppendKeyConditions(Inputs, Aliases, lines);
}

} // namespace dclkorv
