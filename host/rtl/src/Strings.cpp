#include "rtl/Strings.h"

#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace rtl {

namespace {

[[noreturn]] void IndexError(int Index) { throw EListError("List index out of bounds (" + IntToStr(Index) + ")"); }

// The name part of a line: the text before its first "=", or "" when there is none.
bool SplitNameValue(const String& line, String* name, String* value) {
  auto eq = line.find('=');
  if (eq == String::npos) return false;
  if (name) *name = line.substr(0, eq);
  if (value) *value = line.substr(eq + 1);
  return true;
}

}  // namespace

// ---------------------------------------------------------------- TStrings

TClass TStrings::StaticClass() {
  static TClass info = ClassBuilder<TStrings>("TStrings").Build();
  return info;
}

void TStrings::Put(int Index, const String& S) {
  TObject* obj = GetObject(Index);
  BeginUpdate();
  Delete(Index);
  InsertObject(Index, S, obj);
  EndUpdate();
}

int TStrings::Add(const String& S) {
  int i = Count();
  Insert(i, S);
  return i;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
  int i = Add(S);
  PutObject(i, AObject);
  return i;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::AddStrings(const TStrings* Strings) {
  BeginUpdate();
  for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  EndUpdate();
}

void TStrings::AddStrings(const std::vector<String>& Strings) {
  BeginUpdate();
  for (const String& s : Strings) Add(s);
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  String s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
  EndUpdate();
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  String s1 = Get(Index1);
  TObject* o1 = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s1);
  PutObject(Index2, o1);
  EndUpdate();
}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return CompareText(S1, S2); }

int TStrings::IndexOf(const String& S) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& Name) const {
  String n;
  for (int i = 0, c = Count(); i < c; ++i)
    if (SplitNameValue(Get(i), &n, nullptr) && CompareStrings(n, Name) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
  for (int i = 0, n = Count(); i < n; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

String TStrings::Names(int Index) const {
  String n;
  return SplitNameValue(Get(Index), &n, nullptr) ? n : String();
}

String TStrings::ValueFromIndex(int Index) const {
  String v;
  return SplitNameValue(Get(Index), nullptr, &v) ? v : String();
}

String TStrings::Values(const String& Name) const {
  int i = IndexOfName(Name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0)
    Add(Name + "=" + Value);
  else
    Put(i, Name + "=" + Value);
}

String TStrings::Text() const {
  String s;
  for (int i = 0, n = Count(); i < n; ++i) {
    s += Get(i);
    s += '\n';
  }
  return s;
}

void TStrings::SetText(const String& Value) {
  BeginUpdate();
  Clear();
  size_t start = 0, i = 0;
  const size_t n = Value.size();
  while (i < n) {
    char c = Value[i];
    if (c == '\r' || c == '\n') {
      Add(Value.substr(start, i - start));
      if (c == '\r' && i + 1 < n && Value[i + 1] == '\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < n) Add(Value.substr(start));
  EndUpdate();
}

String TStrings::CommaText() const {
  String out;
  for (int i = 0, n = Count(); i < n; ++i) {
    String s = Get(i);
    if (i) out += ',';
    bool quote = s.empty() || s.find_first_of(" ,\"") != String::npos ||
                 std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStrings::SetCommaText(const String& Value) {
  BeginUpdate();
  Clear();
  size_t i = 0;
  const size_t n = Value.size();
  auto skipBlanks = [&] {
    while (i < n && static_cast<unsigned char>(Value[i]) <= 0x20) ++i;
  };
  skipBlanks();
  while (i < n) {
    String item;
    if (Value[i] == '"') {
      ++i;
      while (i < n) {
        if (Value[i] == '"') {
          if (i + 1 < n && Value[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += Value[i++];
      }
      while (i < n && Value[i] != ',' && static_cast<unsigned char>(Value[i]) > 0x20) item += Value[i++];
    } else {
      while (i < n && Value[i] != ',' && static_cast<unsigned char>(Value[i]) > 0x20) item += Value[i++];
    }
    Add(item);
    skipBlanks();
    if (i < n && Value[i] == ',') {
      ++i;
      skipBlanks();
      if (i >= n) Add(String());
    }
  }
  EndUpdate();
}

std::vector<String> TStrings::ToVector() const {
  std::vector<String> v;
  v.reserve(static_cast<size_t>(Count()));
  for (int i = 0, n = Count(); i < n; ++i) v.push_back(Get(i));
  return v;
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = Cast<TStrings>(Source)) {
    if (src == this) return;
    BeginUpdate();
    Clear();
    AddStrings(src);
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings* Strings) const {
  if (!Strings || Strings->Count() != Count()) return false;
  for (int i = 0, n = Count(); i < n; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SaveToStream(TStream* Stream) const { Stream->WriteString(Text()); }

void TStrings::LoadFromStream(TStream* Stream) {
  String s = Stream->ReadRemaining();
  if (s.size() >= 3 && s.compare(0, 3, "\xEF\xBB\xBF") == 0) s.erase(0, 3);
  SetText(s);
}

// ---------------------------------------------------------------- TStringList

TClass TStringList::StaticClass() {
  static TClass info = ClassBuilder<TStringList>("TStringList").Build();
  return info;
}

TStringList::TStringList(std::vector<String> Lines) {
  FList.reserve(Lines.size());
  for (auto& s : Lines) FList.push_back({std::move(s), nullptr});
}

TStringList::~TStringList() {
  if (FOwnsObjects)
    for (auto& item : FList) delete item.FObject;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
}

String TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].FString;
}

void TStringList::Put(int Index, const String& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  CheckIndex(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FString = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<size_t>(Index)].FObject = AObject;
  Changed();
}

int TStringList::Add(const String& S) {
  int index = Count();
  if (FSorted) {
    if (Find(S, index)) {
      switch (FDuplicates) {
      case TDuplicates::dupIgnore: return index;
      case TDuplicates::dupError: throw EListError("String list does not allow duplicates");
      case TDuplicates::dupAccept: break;
      }
    }
  }
  InsertItem(index, S, nullptr);
  return index;
}

void TStringList::Insert(int Index, const String& S) {
  if (FSorted) throw EListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) IndexError(Index);
  InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* obj = FList[static_cast<size_t>(Index)].FObject;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete obj;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  if (FOwnsObjects)
    for (auto& item : FList) delete item.FObject;
  FList.clear();
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
  Changed();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const {
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

int TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const String& S, int& Index) const {
  bool found = false;
  int l = 0, h = Count() - 1;
  while (l <= h) {
    int i = (l + h) / 2;
    int c = CompareStrings(FList[static_cast<size_t>(i)].FString, S);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != TDuplicates::dupAccept) l = i;
      }
    }
  }
  Index = l;
  return found;
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->FList[static_cast<size_t>(a)].FString,
                                list->FList[static_cast<size_t>(b)].FString);
  });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& Compare) {
  if (FList.size() < 2) return;
  Changing();
  // Sort a permutation through the caller's index-based comparison, then apply it.
  std::vector<int> order(FList.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
  std::vector<TStringItem> sorted;
  sorted.reserve(FList.size());
  for (int i : order) sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
  FList = std::move(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

}  // namespace rtl
