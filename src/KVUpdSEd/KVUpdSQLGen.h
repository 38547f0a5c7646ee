// The update statement generator of the UpdateSQL editor, as pure operations over what the
// dialog shows: the table text, the key and update field lists with their selections, the quote
// switch, the field information of the bound query and whether the server takes owner names.
// The dialog gathers these inputs from its controls afresh for every operation.
#pragma once

#include "rtl/Strings.h"

#include <string_view>
#include <unordered_map>
#include <vector>

namespace dclkorv {

using rtl::String;

struct TGenField {
  String Name;
  bool Selected = false;
};

struct TUpdateSQLGenInputs {
  String TableText;                 // the table-name box's text, unchanged
  std::vector<TGenField> KeyFields;     // list order
  std::vector<TGenField> UpdateFields;  // list order
  bool QuoteFields = false;
  bool ObjOwnerSupported = false;
  const rtl::TStrings* FieldInfo = nullptr;  // NAME=VALUE lines, VALUE = table "." column
};

// Answers FindFieldAlias for one state of the field information in constant time per call: the
// lookup reads every line once when built, instead of once per line per field.
class TFieldAliasMap {
public:
  explicit TFieldAliasMap(const rtl::TStrings* FieldInfo);
  // The NAME of the first line whose value (the value of the first line of that NAME, names
  // compared ignoring case) splits at its last dot with a character after it into exactly
  // TableText and Field; Field itself when no line does.
  String Find(const String& TableText, const String& Field) const;

private:
  struct TAlias {
    String TablePart;
    String Name;
  };
  struct THash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  // Column part -> (table part, NAME) in line order; the first matching entry wins.
  std::unordered_map<String, std::vector<TAlias>, THash, std::equal_to<>> FAliases;
};

// QuoteName: the runtime's identifier quoting with the quote switch.
String QuoteName(const TUpdateSQLGenInputs& Inputs, const String& AIdentName);

// Each operation clears Dest and writes its statement.
void GenerateModifySQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateRefreshSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateInsertSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateDeleteSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);

} // namespace dclkorv
