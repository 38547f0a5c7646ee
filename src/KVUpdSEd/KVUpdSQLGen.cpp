#include "KVUpdSQLGen.h"

#include "korv/KVCommon.h"
#include "rtl/SysUtils.h"


namespace dclkorv {

namespace {

// The statement table: the table text as the server takes it, quoted as one identifier.
String StatementTable(const TUpdateSQLGenInputs& Inputs) {
  return QuoteName(Inputs, korv::GetValidObjName(Inputs.TableText, !Inputs.ObjOwnerSupported));
}

// "%s%s = :%s" with two blanks, the quoted column and the quoted parameter name.
String Condition(const TUpdateSQLGenInputs& Inputs, const String& Column, const String& Param) {
  return "  " + QuoteName(Inputs, Column) + " = :" + QuoteName(Inputs, Param);
}

// Appends Line, first ending the last line with Separator unless that line is exactly Head.
void AppendJoined(rtl::TStrings* Dest, const String& Head, const String& Separator, const String& Line) {
  int last = Dest->Count() - 1;
  if (last >= 0 && Dest->Get(last) != Head) Dest->Put(last, Dest->Get(last) + Separator);
  Dest->Add(Line);
}

void AppendKeyConditions(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  for (const TGenField& k : Inputs.KeyFields)
    if (k.Selected)
      AppendJoined(Dest, "where", " and",
                   Condition(Inputs, k.Name, "OLD_" + Aliases.Find(Inputs.TableText, k.Name)));
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
  Dest->Clear();
  Dest->Add("update " + StatementTable(Inputs));
  Dest->Add("set");
  for (const TGenField& f : Inputs.UpdateFields)
    if (f.Selected) AppendJoined(Dest, "set", ",", Condition(Inputs, f.Name, Aliases.Find(Inputs.TableText, f.Name)));
  Dest->Add("where");
  AppendKeyConditions(Inputs, Aliases, Dest);
}

void GenerateRefreshSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  Dest->Clear();
  String columns;
  for (const TGenField& f : Inputs.UpdateFields) {
    if (!f.Selected) continue;
    if (!columns.empty()) columns += ", ";
    columns += QuoteName(Inputs, f.Name);
    String alias = Aliases.Find(Inputs.TableText, f.Name);
    if (alias != f.Name) columns += " as " + QuoteName(Inputs, alias);
  }
  // One entry holding two text lines.
  Dest->Add("select " + columns + "\r\n" + "from " + StatementTable(Inputs));
  Dest->Add("where");
  AppendKeyConditions(Inputs, Aliases, Dest);
}

void GenerateInsertSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  Dest->Clear();
  Dest->Add("insert into " + StatementTable(Inputs));
  String columns, values;
  for (const TGenField& f : Inputs.UpdateFields) {
    if (!f.Selected) continue;
    if (!columns.empty()) columns += ", ";
    columns += QuoteName(Inputs, f.Name);
    if (!values.empty()) values += ", ";
    values += ":" + QuoteName(Inputs, Aliases.Find(Inputs.TableText, f.Name));
  }
  Dest->Add("  (" + columns + ")");
  Dest->Add("values");
  Dest->Add("  (" + values + ")");
}

void GenerateDeleteSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest) {
  Dest->Clear();
  Dest->Add("delete from " + StatementTable(Inputs));
  Dest->Add("where");
  AppendKeyConditions(Inputs, Aliases, Dest);
}

} // namespace dclkorv
