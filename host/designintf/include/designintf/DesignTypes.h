// The class-record types of the design-time families and the property attribute set, declared
// apart from the classes so that the registries can name them without the class bodies.
#pragma once

#include "designintf/DesignClass.h"
#include "designintf/Designer.h"
#include "rtl/Sets.h"

namespace designintf {

class TComponentEditor;
class TPropertyEditor;
class TSprig;
class TDSDesigner;
class TCollectionEditor;

using TComponentEditorClassInfo = TDesignClassRecord<TComponentEditor, rtl::TComponent*, IDesigner*>;
using TComponentEditorClass = const TComponentEditorClassInfo*;

using TPropertyEditorClassInfo = TDesignClassRecord<TPropertyEditor, IDesigner*, int>;
using TPropertyEditorClass = const TPropertyEditorClassInfo*;

// A tree-node class also carries its class-level palette test: may a new component of class
// AClass be dropped from the palette onto the node AParent?
struct TSprigClassInfo : TDesignClassRecord<TSprig, rtl::TPersistent*> {
  std::function<bool(TSprig* AParent, rtl::TClass AClass)> PaletteOverTo;

  template <class T>
  static void Complete(TSprigClassInfo& r) {
    r.PaletteOverTo = [](TSprig* AParent, rtl::TClass AClass) { return T::PaletteOverTo(AParent, AClass); };
  }
  const TSprigClassInfo* ParentSprigClass() const { return static_cast<const TSprigClassInfo*>(Parent); }
};
using TSprigClass = const TSprigClassInfo*;

// The class the fields editor designs a data set with.
using TDSDesignerClassInfo = TDesignClassRecord<TDSDesigner, rtl::TComponent*>;
using TDSDesignerClass = const TDSDesignerClassInfo*;

// The class of the host's collection editor window.
using TCollectionEditorClassInfo = TDesignClassRecord<TCollectionEditor>;
using TCollectionEditorClass = const TCollectionEditorClassInfo*;

enum class TPropertyAttribute {
  paValueList,              // offers a drop-down list of values (GetValues)
  paSubProperties,          // unfolds into sub-properties (GetProperties)
  paDialog,                 // has an ellipsis button that calls Edit
  paMultiSelect,            // shown when several components are selected
  paAutoUpdate,             // SetValue on every change of the typed text
  paSortList,               // the value list is sorted before it is shown
  paReadOnly,               // the value cannot be typed (a dialog may still change it)
  paRevertable,             // can be reverted to the inherited value
  paFullWidthName,          // the name takes the whole row
  paVolatileSubProperties,  // sub-properties change with the value
  paVCL,                    // a property of the visual component library
  paNotNestable,            // not shown when the owning object is a sub-property
  paDisplayReadOnly,        // shown greyed
  paCustomDropDown,         // the drop-down is drawn by the editor
  paValueEditable           // the value may be typed although the list is offered
};
using TPropertyAttributes = rtl::TSet<TPropertyAttribute>;

// Names of the attributes ("paValueList" ...), for the inspector's output.
String PropertyAttributeName(TPropertyAttribute Attribute);
String PropertyAttributesToString(TPropertyAttributes Attributes);  // "[paValueList,paSortList]"

}  // namespace designintf
