// The form designer as editors see it: one open module (form or data module) being designed.
//
// Editors and tree nodes hold a plain IDesigner*: the designer outlives every editor it creates.
// Open designers register themselves so that anything holding only a component (the string-list
// file system) can find the designer of the module it belongs to.
#pragma once

#include "rtl/Component.h"

#include <functional>
#include <vector>

namespace designintf {

using rtl::String;
using TDesignerSelections = std::vector<rtl::TPersistent*>;
using TGetStrProc = std::function<void(const String& S)>;

class IDesigner {
public:
  virtual ~IDesigner() = default;

  // Something in the module changed: the designer marks the module modified and refreshes its
  // views (object tree, inspector).
  virtual void Modified() = 0;
  // The component being designed (the form or data module); it owns the module's components.
  virtual rtl::TComponent* GetRoot() = 0;
  // The kind of file the module is stored in ("dfm").
  virtual String GetDesignerExtension() = 0;

  virtual TDesignerSelections GetSelections() = 0;
  virtual void SetSelections(const TDesignerSelections& List) = 0;
  void SelectComponent(rtl::TPersistent* Instance) { SetSelections({Instance}); }

  // A name no component of the module has, made from a class name as the designer names new
  // components: "TKVQuery" gives "KVQuery1", or the first free number after it.
  virtual String UniqueName(const String& BaseName) = 0;

  // Components of the module by name ("" and unknown names give nil), and their names.
  virtual rtl::TComponent* GetComponent(const String& Name);
  virtual String GetComponentName(rtl::TComponent* Component);
  // Names of the module's components that are of the class of TypeInfo (a tkClass type).
  virtual void GetComponentNames(const rtl::TTypeInfo* TypeInfo, const TGetStrProc& Proc);

  // Renames a component of the module (validating the name) and tells whoever keeps names
  // derived from it.
  virtual void RenameComponent(rtl::TComponent* Component, const String& NewName);

  // Event handlers: the root's methods usable for an event, whether one exists, and showing
  // one. The default designer has no code behind the module, so it knows no methods.
  virtual void GetMethods(const rtl::TTypeInfo* TypeInfo, const TGetStrProc& Proc);
  virtual bool MethodExists(const String& Name);
  virtual void ShowMethod(const String& Name);
};

// The designer of the module whose root is Root (or that owns the component Root), nil if none.
IDesigner* FindRootDesigner(rtl::TPersistent* Obj);
void RegisterDesigner(IDesigner* Designer);
void UnregisterDesigner(IDesigner* Designer);

// A context-menu entry a component editor may adjust before it is shown (PrepareItem).
class IMenuItem {
public:
  virtual ~IMenuItem() = default;
  virtual String Caption() const = 0;
  virtual void SetCaption(const String& Value) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool Value) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool Value) = 0;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool Value) = 0;
};

}  // namespace designintf
