// Object-tree nodes ("sprigs"): one node per component of the module, placed by the node's own
// rules (FigureParent, FigureChildren) and rewired by drag and drop (DragOverTo, DragDropTo).
//
// The tree builder (the designer's) creates for each component of the root the node class
// registered for it (RegisterSprigType), puts every node under the root node, then walks the
// tree asking each node to place itself and its children until no node moves; transient nodes
// left without children are dropped. A node owns its children; Add moves a node from wherever
// it is (or takes ownership of a new one).
#pragma once

#include "designintf/ComponentEditors.h"
#include "designintf/DesignTypes.h"
#include "rtl/ProbeTable.h"

#include <memory>
#include <vector>

namespace designintf {

class TRootSprig;

RTL_DECLARE_EXCEPTION(ESprigError, rtl::Exception)

// Whether captions carry the item's class name; off unless the developer turns it on.
extern bool GShowClassNameInTreeView;

// "Name {Label}", "<?> {Label}" for an empty name with a label, "Name" without a label; then
// " (Class)" when class names are shown and AClass is not empty.
String CaptionFor(const String& AName, const String& ALabel = {}, const String& AClass = {});

enum class TSprigDeleteStyle { dsNormal, dsIgnore, dsAbort, dsCustom };

class TSprig {
  DESIGN_ROOT_CLASS(TSprig, TSprigClassInfo)

  explicit TSprig(rtl::TPersistent* AItem);
  virtual ~TSprig();
  TSprig(const TSprig&) = delete;
  TSprig& operator=(const TSprig&) = delete;

  // ------------------------------------------------------------ structure
  rtl::TPersistent* Item() const { return FItem; }
  TSprig* Parent() const { return FParent; }
  TRootSprig* Root() const;  // nil until the node is in a tree
  int Count() const {
    CloseGaps();
    return static_cast<int>(FItems.size());
  }
  TSprig* Items(int Index) const;
  int Index() const;  // among the parent's children; -1 without a parent

  // Makes AItem a child of this node, moving it from its current parent, or taking ownership
  // when it has none. Returns AItem. Raises ESprigError when AItem is this node or one of its
  // ancestors.
  TSprig* Add(TSprig* AItem);
  TSprig* Add(std::unique_ptr<TSprig> AItem);
  // Takes this node out of its parent; the caller owns it.
  std::unique_ptr<TSprig> Extract();
  // Frees every child.
  void Clear();
  // Orders the children as the tree shows them: by ItemIndex when SortByIndex, else by
  // Caption (letter case ignored) when SortItems, else as they are. Recurses.
  void SortChildren();

  // The child whose Name equals AName ignoring letter case; with ARecurse, children and then
  // their descendants depth-first, in index order. Nil when none.
  TSprig* Find(const String& AName, bool ARecurse = true);
  // The node standing for AItem among this node's children (and, with ARecurse, descendants).
  TSprig* FindItem(const rtl::TPersistent* AItem, bool ARecurse = true);
  // The children whose lookup name (Name) equals AName ignoring letter case, in child order;
  // the list stays valid until the next call on this node or until a child comes or goes. A
  // node with many children reads their names once into an index kept up to date as children
  // come and go: a node's Name must hold still while it hangs here (the tree is rebuilt after
  // every change of the module).
  const std::vector<TSprig*>& ChildrenNamed(const String& AName);
  TSprig* FindItemByName(const String& AName, rtl::TClass AClass, bool ARecurse = true);
  // A node by path from this node: UniqueNames joined by "\" (the first being this node's).
  TSprig* FindItemByPath(const String& APath);
  // The parent's path, "\" and UniqueName.
  String Path();
  // Whether ASprig is this node or one of its descendants.
  bool Contains(const TSprig* ASprig) const;

  // Where a node whose parent item is AItem belongs: the current parent if it stands for AItem,
  // else the node of AItem found from the owner node, else from the root, else the root.
  TSprig* SeekParent(rtl::TPersistent* AItem);
  // Calls Reparent on every child.
  void ReparentChildren();

  // 1 when the node reports problems, else 0.
  int GetStateIndex() { return AnyProblems() ? 1 : 0; }
  // Member form of the free CaptionFor.
  String CaptionFor(const String& AName, const String& ALabel = {}, const String& AClass = {}) const {
    return designintf::CaptionFor(AName, ALabel, AClass);
  }

  // ------------------------------------------------------------ overridable operations
  // (The view-only operations of a drawn tree, its tree and structure nodes and glyphs, have
  // no counterpart in a designer that draws nothing.)
  // The node's item changed: the tree is rebuilt before it is next looked at.
  virtual void Changed();
  // The item's name path; for components the Name, "<Components[i]>" when unnamed.
  virtual String UniqueName();
  // Selects the node's item in the designer.
  virtual void SelectItems();
  // The item changed a value the module stores / a design-time value: tell the designer.
  virtual void RuntimeChange();
  virtual void DesigntimeChange();
  virtual IDesigner* GetDesigner();
  virtual int GetImageIndex() { return FImageIndex; }
  virtual void SetImageIndex(int Value) { FImageIndex = Value; }
  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EnsureUpdate() {}
  virtual void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  virtual bool Transient() { return false; }
  virtual bool AnyProblems() { return false; }
  virtual bool Hidden() { return false; }
  virtual bool Ghosted() { return false; }
  // Whether selecting the node selects an item.
  virtual bool FocusItem() { return FItem != nullptr; }
  // The class of the item the node stands for (nil when none).
  virtual rtl::TClass ItemClass();
  // The node of the item's owner (the root's node when the root owns it).
  virtual TSprig* Owner();
  virtual void VisualRefresh() {}
  virtual String Name() { return UniqueName(); }
  virtual String Caption() { return CaptionFor(Name()); }
  virtual String Hint() { return {}; }
  // Adds the node's own entries to its context menu.
  virtual void PrepareMenu(IMenuItem* /*AItems*/) {}
  virtual bool ShowRegisteredMenus() { return true; }
  // Drag and drop, target side: asks the dragged node.
  virtual bool DragOver(TSprig* ASource) { return ASource && ASource->DragOverTo(this); }
  virtual bool DragDrop(TSprig* ASource) { return ASource && ASource->DragDropTo(this); }
  // Drag and drop, dragged side: may this node go onto AItem; put it there (true when the
  // module changed).
  virtual bool DragOverTo(TSprig* AItem);
  virtual bool DragDropTo(TSprig* AItem);
  // Palette drop, target side: asks the node class registered for AClass.
  virtual bool PaletteOver(TSprigClass ASprigClass, rtl::TClass AClass);
  // Palette drop, class side (class-level: replaced, not overridden, by a descendant class).
  static bool PaletteOverTo(TSprig* AParent, rtl::TClass AClass);
  virtual TSprigDeleteStyle DeleteStyle() { return TSprigDeleteStyle::dsNormal; }
  virtual bool CustomDelete() { return false; }
  virtual bool CanMove(bool /*AUp*/) { return false; }
  virtual bool Move(bool /*AUp*/) { return false; }
  virtual bool CanAdd() { return false; }
  virtual int AddTypeCount() { return 0; }
  virtual String AddType(int /*Index*/) { return {}; }
  virtual String GetAddType(int Index) { return AddType(Index); }
  // Children are shown sorted by caption, or by ItemIndex when SortByIndex.
  virtual bool SortItems() { return true; }
  virtual bool SortByIndex() { return false; }
  virtual bool IncludeIndexInCaption() { return false; }
  virtual int ItemIndex() { return 0; }
  // Follow the parent's changes (called through the parent's ReparentChildren).
  virtual void Reparent() {}
  // Creates a new item of AClass under this node's item; nil when the node cannot.
  virtual rtl::TPersistent* Construct(rtl::TClass /*AClass*/) { return nullptr; }
  // The published reference property naming the item this node hangs under ("" for none).
  virtual String ParentProperty() { return {}; }
  virtual void FigureParent() {}
  virtual void FigureChildren() {}
  // Whether an orphaned node may hang under this node when it stands for an owner of its item.
  virtual bool ParentOrphanedSprigs() { return false; }

protected:
  // The item of ParentProperty (nil when unset or when the property is missing).
  rtl::TPersistent* ParentPropertyItem();

private:
  friend class TRootSprig;
  void NoteParentChange();
  // Extract leaves an empty slot behind, closed the next time the children are looked at, so
  // that taking thousands of nodes out of one parent one by one stays linear.
  void CloseGaps() const;
  // The first child, in child order, that stands for AItem; nil when none does.
  TSprig* ChildOfItem(const rtl::TPersistent* AItem);
  // Makes the child index when this node has more than a few children and none yet.
  void EnsureIndex();
  void IndexChild(TSprig* AChild);
  void UnindexChild(TSprig* AChild);

  rtl::TPersistent* FItem;
  TSprig* FParent = nullptr;
  mutable std::vector<std::unique_ptr<TSprig>> FItems;
  mutable size_t FGaps = 0;
  mutable size_t FSlot = 0;  // this node's slot in the parent's FItems
  // Children by item and by lookup name (letter case ignored), made when a node with more than
  // a few children is first asked, and kept up to date from then on; a few are just scanned.
  // Every child is in them, so answers are picked in child order by slot.
  struct TChildIndex {
    rtl::TProbeTable<TSprig> ByItem;
    rtl::TProbeTable<TSprig> ByName;
  };
  std::unique_ptr<TChildIndex> FIndex;
  uint64_t FNameHash = 0;       // the hash the parent's name index holds this node under
  std::vector<TSprig*> FNamed;  // ChildrenNamed's answer
  bool FIsRoot = false;         // a TRootSprig: Root needs no cast
  int FImageIndex = -1;
  int FUpdateCount = 0;
};

// A node that stands for a component.
class TComponentSprig : public TSprig {
  DESIGN_CLASS(TComponentSprig, TSprig)
  explicit TComponentSprig(rtl::TPersistent* AItem) : TSprig(AItem), FComponent(rtl::Cast<rtl::TComponent>(AItem)) {}

  // The item as a component; nil when it is none.
  rtl::TComponent* Component() const { return FComponent; }

  String UniqueName() override;
  TSprig* Owner() override;
  // Under the node of ParentProperty's item or of the component's parent component, else
  // under the owner's node.
  void FigureParent() override;
  // One node per owned collection property.
  void FigureChildren() override;
  // True when ParentProperty names a property that is missing or empty.
  bool AnyProblems() override;
  // With a component-reference ParentProperty: the root, or a node of an item of that class.
  bool DragOverTo(TSprig* AItem) override;
  // Sets ParentProperty to AItem's item (nil for the root) unless it already holds it; true
  // when it changed.
  bool DragDropTo(TSprig* AItem) override;
  static bool PaletteOverTo(TSprig* AParent, rtl::TClass AClass);

private:
  rtl::TComponent* FComponent;  // cast once: the tree asks for it at every step of every build
};

// A node that stands for no component and is dropped when it has no children.
class TTransientSprig : public TSprig {
  DESIGN_CLASS(TTransientSprig, TSprig)
  explicit TTransientSprig(rtl::TPersistent* AItem = nullptr) : TSprig(AItem) {}
  bool Transient() override { return true; }
};

// The node of a data set.
class TDataSetSprig : public TComponentSprig {
  DESIGN_CLASS(TDataSetSprig, TComponentSprig)
  explicit TDataSetSprig(rtl::TPersistent* AItem) : TComponentSprig(AItem) {}
  void FigureChildren() override;
  virtual TDSDesignerClass GetDSDesignerClass();
};

// A collection property of a component: one child per item.
class TCollectionSprig : public TSprig {
  DESIGN_CLASS(TCollectionSprig, TSprig)
  TCollectionSprig(rtl::TPersistent* AItem, String APropName = {}) : TSprig(AItem), FPropName(std::move(APropName)) {}
  String UniqueName() override;
  void FigureChildren() override;
  bool SortByIndex() override { return true; }

private:
  String FPropName;
};

class TCollectionItemSprig : public TSprig {
  DESIGN_CLASS(TCollectionItemSprig, TSprig)
  explicit TCollectionItemSprig(rtl::TPersistent* AItem) : TSprig(AItem) {}
  String UniqueName() override;
  String Caption() override;  // "<index> - DisplayName"
  int ItemIndex() override;
  bool IncludeIndexInCaption() override { return true; }
};

// The node of the module's root component; it owns the whole tree.
class TRootSprig : public TSprig {
  DESIGN_CLASS(TRootSprig, TSprig)
  TRootSprig(rtl::TPersistent* AItem, IDesigner* ADesigner = nullptr) : TSprig(AItem), FDesigner(ADesigner) {
    FIsRoot = true;
  }

  IDesigner* GetDesigner() override { return FDesigner; }
  void SetDesigner(IDesigner* Value) { FDesigner = Value; }
  String UniqueName() override;
  // The root takes anything from the palette.
  bool PaletteOver(TSprigClass ASprigClass, rtl::TClass AClass) override;
  TSprig* Owner() override { return this; }

  // How often a node changed parent in this tree (the builder repeats placement until it
  // stays the same).
  int ParentChanges() const { return FParentChanges; }
  // Set by Changed on any node; the builder clears it.
  bool RepopulateNeeded() const { return FRepopulateNeeded; }
  void SetRepopulateNeeded(bool Value) { FRepopulateNeeded = Value; }

private:
  friend class TSprig;
  IDesigner* FDesigner;
  int FParentChanges = 0;
  bool FRepopulateNeeded = false;
};

}  // namespace designintf
