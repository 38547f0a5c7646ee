// TStrings and TStringList: ordered lists of lines with name=value access.
//
// A line's name is the text before its first "="; name lookups find the first line of that
// name, ignoring letter case. A line may itself contain line breaks: it stays one entry until
// something splits it (SetText).
#pragma once

#include "rtl/Component.h"

#include <functional>
#include <vector>

namespace rtl {

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
  RTL_CLASS(TStrings, TPersistent)

  TStrings() = default;

  // Primitive operations that descendants implement.
  virtual int Count() const = 0;
  virtual String Get(int Index) const = 0;
  virtual void Put(int Index, const String& S);
  virtual TObject* GetObject(int /*Index*/) const { return nullptr; }
  virtual void PutObject(int /*Index*/, TObject* /*AObject*/) {}
  virtual void Insert(int Index, const String& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  String operator[](int Index) const { return Get(Index); }
  String Strings(int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }

  virtual int Add(const String& S);
  int AddObject(const String& S, TObject* AObject);
  void InsertObject(int Index, const String& S, TObject* AObject);
  void AddStrings(const TStrings* Strings);
  void AddStrings(const std::vector<String>& Strings);
  virtual void Move(int CurIndex, int NewIndex);
  virtual void Exchange(int Index1, int Index2);
  virtual int IndexOf(const String& S) const;  // letter case ignored
  int IndexOfName(const String& Name) const;   // first line of that name, letter case ignored
  int IndexOfObject(const TObject* AObject) const;

  String Names(int Index) const;            // "" for a line without "="
  String ValueFromIndex(int Index) const;   // text after the first "="
  String Values(const String& Name) const;  // value of the first line of that name; "" if none
  // Replaces the first line of that name, adds one when absent; an empty value deletes it.
  void SetValues(const String& Name, const String& Value);

  // Each line followed by a line feed.
  String Text() const;
  // Splits on CR LF, LF or CR; a final line break adds no empty line.
  virtual void SetText(const String& Value);
  String CommaText() const;
  void SetCommaText(const String& Value);
  std::vector<String> ToVector() const;

  void Assign(TPersistent* Source) override;
  bool Equals(const TStrings* Strings) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void SaveToStream(TStream* Stream) const;  // UTF-8, each line ended by a line feed
  void LoadFromStream(TStream* Stream);      // UTF-8; a byte-order mark is skipped

protected:
  virtual void SetUpdateState(bool /*Updating*/) {}
  virtual int CompareStrings(const String& S1, const String& S2) const;

private:
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
  RTL_CLASS(TStringList, TStrings)

  TStringList() = default;
  explicit TStringList(std::vector<String> Lines);
  ~TStringList() override;

  int Count() const override { return static_cast<int>(FList.size()); }
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int Add(const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  int IndexOf(const String& S) const override;

  // Binary search of a sorted list; Index is where S is or would go.
  bool Find(const String& S, int& Index) const;
  void Sort();
  void CustomSort(const std::function<int(TStringList*, int, int)>& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // Plain handlers, not published events: a list's events are bound in code, never by a
  // method name in a form file, and a big module holds tens of thousands of lists, so the name
  // a TNotifyEvent keeps beside its handler would cost 64 bytes a list.
  std::function<void(TObject* Sender)> OnChange;
  std::function<void(TObject* Sender)> OnChanging;

protected:
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const String& S1, const String& S2) const override;
  virtual void Changed();
  virtual void Changing();

private:
  struct TStringItem {
    String FString;
    TObject* FObject = nullptr;
  };
  void InsertItem(int Index, const String& S, TObject* AObject);
  void CheckIndex(int Index) const;

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

}  // namespace rtl
