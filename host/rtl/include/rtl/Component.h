// TPersistent and TComponent: assignable objects, and named components that own others.
//
// Ownership: a component created with an owner is owned by it (the owner holds the
// std::unique_ptr and destroys it); a component created with no owner belongs to whoever
// created it (hold it in a std::unique_ptr). Deleting an owned component removes it from its
// owner. Destruction sends Notification(opRemove) to every component that asked for
// FreeNotification, to the owner, and (unless the owner is being destroyed as well) to every
// other component the owner owns, so references are cleared. A component that holds a
// reference asks for FreeNotification: when a whole owner goes, its components hear only
// through that, which keeps destroying a module linear in its size. An insertion is told to
// the owner alone.
#pragma once

#include "rtl/NameIndex.h"
#include "rtl/Rtti.h"

#include <functional>
#include <memory>
#include <vector>

namespace rtl {

class TPersistent : public TObject {
  RTL_CLASS(TPersistent, TObject)

  // Copies Source into this object; raises EConvertError when neither side knows how.
  virtual void Assign(TPersistent* Source);
  virtual String GetNamePath() const;
  virtual TPersistent* GetOwner() const { return nullptr; }

protected:
  virtual void AssignTo(TPersistent* Dest);
};

enum class TOperation { opInsert, opRemove };

// clang-format off
enum class TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
// clang-format on
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
  RTL_CLASS(TComponent, TPersistent)
  using TOwnerType = TComponent;

  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  const String& Name() const { return FName; }
  // Raises EComponentError when the name is not a valid identifier or another component of the
  // same owner has it (letter case ignored).
  virtual void SetName(const String& NewName);
  int Tag() const { return FTag; }
  void SetTag(int Value) { FTag = Value; }

  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(const String& AName) const;  // letter case ignored; nil when absent

  // Takes ownership of AComponent (which must have no owner).
  void InsertComponent(TComponent* AComponent);
  // Gives up ownership of AComponent; the caller now owns it.
  std::unique_ptr<TComponent> RemoveComponent(TComponent* AComponent);
  void DestroyComponents();

  TComponentState ComponentState() const { return FComponentState; }
  void SetComponentState(TComponentStateItem Item, bool On);
  void SetDesigning(bool Value, bool SetChildren = true);
  bool Designing() const { return FComponentState.Contains(TComponentStateItem::csDesigning); }

  // Links this component and AComponent so that whichever goes first tells the other
  // (Notification opRemove). Each call is one link: asking twice is asking once, and two
  // components that refer to each other for separate reasons (a control's popup menu whose
  // popup component is that control) hold two links, so dropping one reference keeps the
  // other's notification. RemoveFreeNotification undoes the link this component's
  // FreeNotification(AComponent) made, or else the one AComponent's made.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);
  virtual void Notification(TComponent* AComponent, TOperation Operation);

  // Called once the form-file reader has set every property and resolved references.
  virtual void Loaded();

  // Streaming structure: children written nested under this component in a form file.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root);
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* /*Value*/) {}

  String GetNamePath() const override { return FName; }

  // What the form-file layer keeps for this component beyond its published properties
  // (properties no class knows, references to other modules); opaque to everyone else.
  TObject* StreamExtras() const { return FStreamExtras.get(); }
  void SetStreamExtras(std::unique_ptr<TObject> Extras) { FStreamExtras = std::move(Extras); }

protected:
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  void ValidateContainer(TComponent* AComponent);

private:
  // This component's free-notification links with one other component: Mine is the link its
  // own FreeNotification(Other) made, Theirs the one Other's FreeNotification(this) made.
  struct TFreeLinks {
    TComponent* Other;
    bool Mine;
    bool Theirs;
  };
  TFreeLinks* FindLinks(const TComponent* AComponent);
  void DropLink(TComponent* AComponent, bool TheMineOne);
  void RemoveNotification(TComponent* AComponent);
  void IndexName(TComponent* AComponent);
  void UnindexName(TComponent* AComponent, const String& OldName);

  String FName;
  int FTag = 0;
  TComponent* FOwner = nullptr;
  std::vector<std::unique_ptr<TComponent>> FComponents;
  TNameIndex FNameIndex;                  // owned components by name, the first of each name
  bool FNameClash = false;                // two owned components once shared a name: removals look again
  bool FDestroyingComponents = false;     // DestroyComponents runs: the owned ones all go
  std::vector<TFreeLinks> FFreeNotifies;  // one entry per linked component
  TComponentState FComponentState;
  std::unique_ptr<TObject> FStreamExtras;
};

// Whether Ident is a valid Pascal identifier (a letter or "_", then letters, digits or "_").
bool IsValidIdent(const String& Ident);

// The root of a module whose class is not a form: a data module. Its class name may be a user's
// class (TDataModule1) that nobody registered; it answers with that name.
class TDataModule : public TComponent {
  RTL_CLASS(TDataModule, TComponent)
  explicit TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

  String ClassName() const override;
  const String& StreamedClassName() const { return FStreamedClassName; }
  void SetStreamedClassName(const String& Value) { FStreamedClassName = Value; }

private:
  String FStreamedClassName;
};

}  // namespace rtl
