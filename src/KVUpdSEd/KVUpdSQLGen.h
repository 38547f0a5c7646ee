// The update statement generator of the UpdateSQL editor, as pure operations over what the
// dialog shows: the table text, the key and update field lists with their selections, the quote
// switch, the field information of the bound query and whether the server takes owner names.
// The dialog gathers these inputs from its controls afresh for every operation.
#pragma once

#include "korv/ServerTypes.h"
#include "rtl/Strings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace dclkorv {

using rtl::String;

struct TGenField {
  String Name;
  bool Selected = false;
};

struct TUpdateSQLGenInputs {
  String TableText;                     // the table-name box's text, unchanged
  std::vector<TGenField> KeyFields;     // list order
  std::vector<TGenField> UpdateFields;  // list order
  bool QuoteFields = false;
  bool ObjOwnerSupported = false;
  korv::TKVServerType ServerType = korv::TKVServerType::stSQLite;  // whose spelling names are quoted in
  const rtl::TStrings* FieldInfo = nullptr;                        // NAME=VALUE lines, VALUE = table "." column
};

// Answers FindFieldAlias for one state of the field information in constant time per call: the
// lookup reads every line once when built, instead of once per line per field.
class TFieldAliasMap {
public:
  explicit TFieldAliasMap(const rtl::TStrings* FieldInfo);
  TFieldAliasMap(const TFieldAliasMap&) = delete;  // its entries point into its own lines
  TFieldAliasMap& operator=(const TFieldAliasMap&) = delete;
  // The NAME of the first line whose value (the value of the first line of that NAME, names
  // compared ignoring case) splits at its last dot with a character after it into exactly
  // TableText and Field; Field itself when no line does.
  String Find(const String& TableText, const String& Field) const;

private:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  struct TAlias {
    std::string_view Column;  // the column part of the value
    std::string_view TablePart;
    std::string_view Name;
    std::uint32_t Next = kNone;  // the next entry of the same column part, in line order
    std::uint32_t Last = kNone;  // in the first entry of a column part: the last one
  };
  std::vector<String> FLines;    // the field information's lines, which the entries point into
  std::vector<TAlias> FEntries;  // in line order
  // The first entry of each column part, in an open-addressing table (kNone: an empty slot).
  std::vector<std::uint32_t> FColumns;
};

// QuoteName: the runtime's identifier quoting with the quote switch.
String QuoteName(const TUpdateSQLGenInputs& Inputs, const String& AIdentName);
// The same for a parameter's name, which the runtime reads itself: letters never folded.
String QuoteParamName(const TUpdateSQLGenInputs& Inputs, const String& AParamName);

// The names one generation writes: the statement table and, per field, its quoted column, its
// alias and its quoted parameter name. Each is worked out the first time a statement writes it
// and reused by the statements after it, so that generating all four quotes each name once.
// It refers to the inputs and the alias map it was made from, which must outlive it.
class TGenNames {
public:
  TGenNames(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases);

  struct TUpdateNames {
    String Column;  // the field, quoted
    String Alias;   // its alias
    String Param;   // its alias, quoted: the parameter of its new value
  };

  const TUpdateSQLGenInputs& Inputs() const { return FInputs; }
  // The statement table: the table text as the server takes it, quoted as one identifier.
  const String& Table();
  // The names of the Index-th update field (selected or not).
  const TUpdateNames& Update(std::size_t Index);
  struct TKeyNames {
    String Column;  // the key field, quoted
    String Param;   // "OLD_" and its alias, quoted: the parameter of its old value
  };
  // The names of the Index-th key field (selected or not).
  const TKeyNames& Key(std::size_t Index);

private:
  const TUpdateSQLGenInputs& FInputs;
  const TFieldAliasMap& FAliases;
  std::optional<String> FTable;
  std::vector<std::optional<TUpdateNames>> FUpdate;
  std::vector<std::optional<TKeyNames>> FKey;
};

// Each operation clears Dest and writes its statement. The forms with an alias map make the
// names for that statement alone.
void GenerateModifySQL(TGenNames& Names, rtl::TStrings* Dest);
void GenerateRefreshSQL(TGenNames& Names, rtl::TStrings* Dest);
void GenerateInsertSQL(TGenNames& Names, rtl::TStrings* Dest);
void GenerateDeleteSQL(TGenNames& Names, rtl::TStrings* Dest);
void GenerateModifySQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateRefreshSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateInsertSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);
void GenerateDeleteSQL(const TUpdateSQLGenInputs& Inputs, const TFieldAliasMap& Aliases, rtl::TStrings* Dest);

}  // namespace dclkorv
