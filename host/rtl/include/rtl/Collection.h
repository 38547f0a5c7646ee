// TCollection and TCollectionItem: owned lists of items with published properties. Items are
// written to form files as `<item ... end>` blocks.
#pragma once

#include "rtl/Component.h"

#include <memory>
#include <vector>

namespace rtl {

class TCollection;

class TCollectionItem : public TPersistent {
  RTL_CLASS(TCollectionItem, TPersistent)
  using TOwnerType = TCollection;

  // Joins Collection (which then owns the item) when it is not nil.
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* Value);
  int Index() const;
  void SetIndex(int Value);
  int ID() const { return FID; }
  virtual String DisplayName() const;
  String GetNamePath() const override;  // "Params[0]" style
  TPersistent* GetOwner() const override;

protected:
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  RTL_CLASS(TCollection, TPersistent)

  explicit TCollection(TClass ItemClass);
  ~TCollection() override;

  TClass ItemClass() const { return FItemClass; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  TCollectionItem* FindItemID(int ID) const;

  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* Source) override;
  String GetNamePath() const override;
  // The property name under which the owner publishes this collection ("Params").
  String PropName() const;
  void SetPropName(const String& Value) { FPropName = Value; }

  TNotifyEvent OnChange;

protected:
  // Called after an item or the whole list (Item nil) changed, unless an update is open.
  virtual void Update(TCollectionItem* Item);
  virtual void Notify(TCollectionItem* Item, bool Added);

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  std::unique_ptr<TCollectionItem> RemoveItem(TCollectionItem* Item);
  void Changed();

  TClass FItemClass;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
  String FPropName;
};

// A collection that knows the object publishing it (so GetNamePath reads "Query1.Params").
class TOwnedCollection : public TCollection {
  RTL_CLASS(TOwnedCollection, TCollection)
  TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};

}  // namespace rtl
