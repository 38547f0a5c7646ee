// The syntax tree of a text form file (`object Name: TClass ... end`).
//
// The tree holds what the text says, nothing more: it is what the parser (FormParser.h)
// produces, what the printer (FormPrinter.h) writes, and what the component reader keeps for
// properties and components no registered class knows. Every node knows where it came from
// (line and column, both counted from 1; 0 for nodes built in memory; a byte offset for nodes
// read from a binary form file).
#pragma once

#include "rtl/Types.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rtl {

struct TDfmPos {
  int Line = 0;
  int Column = 0;
  int64_t Offset = -1;  // from a binary form file: the byte offset (Line and Column are 0)
};

// The two encodings of a form file: the text one and the binary object stream ("TPF0"), the
// latter bare or behind a resource header. A module is saved back in the one it came in.
enum class TDfmFormat { dfText, dfBinary, dfBinaryResource };

enum class TDfmValueKind {
  vkInteger,    // 12, -3, $FF
  vkFloat,      // 1.5, 2e3, 1.5s (single), 12.5c (currency), 45000.5d (date)
  vkString,     // 'text'#13#10'more' + 'next line'; UTF-8 in memory
  vkIdent,      // True, False, nil, alNone, Query1, Form2.Query1
  vkSet,        // [a, b]
  vkList,       // ( value value ... )
  vkBinary,     // { hex pairs }; the bytes themselves in Str
  vkCollection  // < item ... end item ... end >
};

struct TDfmProperty;

// One `item ... end` block of a collection.
struct TDfmItem {
  TDfmPos Pos;
  std::optional<int64_t> Index;  // item[n]
  std::vector<TDfmProperty> Props;
};

struct TDfmValue {
  TDfmValueKind Kind = TDfmValueKind::vkInteger;
  TDfmPos Pos;
  int64_t Int = 0;                  // vkInteger
  double Float = 0;                 // vkFloat
  char FloatSuffix = 0;             // vkFloat: 0, 's', 'c' or 'd' as written
  String Str;                       // vkString (UTF-8), vkIdent (as written), vkBinary (raw bytes)
  std::vector<String> Names;        // vkSet: element names as written
  std::vector<TDfmValue> Items;     // vkList
  std::vector<TDfmItem> CollItems;  // vkCollection

  static TDfmValue Integer(int64_t v);
  static TDfmValue FloatValue(double v, char suffix = 0);
  static TDfmValue StringValue(String s);
  static TDfmValue Ident(String s);
  static TDfmValue Set(std::vector<String> names);
  static TDfmValue List(std::vector<TDfmValue> items);
  static TDfmValue Binary(String bytes);
  static TDfmValue Collection(std::vector<TDfmItem> items);

  // Empties the value to one of the given kind, keeping the storage of Str and Names, so that a
  // node filled again and again allocates once; lists and collections are let go.
  void Reset(TDfmValueKind kind);
};

struct TDfmProperty {
  String Name;  // dotted as written: Caption, Font.Name, SQL.Strings
  TDfmPos Pos;
  TDfmValue Value;
};

inline void TDfmValue::Reset(TDfmValueKind kind) {
  Kind = kind;
  Pos = {};
  Int = 0;
  Float = 0;
  FloatSuffix = 0;
  Str.clear();
  Names.clear();
  // (Assigning {} would keep the capacity: it is the empty initializer list.)
  if (Items.capacity()) std::vector<TDfmValue>().swap(Items);
  if (CollItems.capacity()) std::vector<TDfmItem>().swap(CollItems);
}

// The Used-th entry of Props to fill, added when Props has no more: a list filled again and
// again (one component's properties after another's) keeps its entries' storage. The caller
// erases what stands past Used once all are filled.
inline TDfmProperty& RefillDfmProperty(std::vector<TDfmProperty>& Props, size_t& Used) {
  if (Used == Props.size()) Props.emplace_back();
  return Props[Used++];
}

enum class TDfmObjectKind { okObject, okInherited, okInline };

struct TDfmObject {
  TDfmObjectKind Kind = TDfmObjectKind::okObject;
  TDfmPos Pos;      // of the keyword
  TDfmPos NamePos;  // of the name (of the class name when there is no name)
  String Name;      // may be empty: `object TClass`
  String ClassName;
  std::optional<int64_t> Index;  // `object Name: TClass [n]`
  std::vector<TDfmProperty> Props;
  std::vector<TDfmObject> Children;
};

// "object", "inherited" or "inline".
const char* DfmObjectKeyword(TDfmObjectKind kind);

}  // namespace rtl
