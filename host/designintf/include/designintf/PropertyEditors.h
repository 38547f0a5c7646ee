// Property editors: how the object inspector shows and changes one published property of the
// selected components.
//
// The inspector creates the editor class that the registries give for the property (Registry.h)
// with (designer, number of selected components), tells it each component and its property
// record (SetPropEntry), then calls Initialize. The editor reads the value of the first
// component; a write goes to every selected component, then the designer hears Modified once.
#pragma once

#include "designintf/ComponentEditors.h"
#include "designintf/DesignTypes.h"
#include "rtl/Strings.h"

#include <vector>

namespace designintf {

// The value shown when an editor cannot tell one.
inline constexpr const char* srUnknown = "(Unknown)";

class TPropertyEditor;
using TGetPropProc = std::function<void(std::unique_ptr<TPropertyEditor> Prop)>;

class TPropertyEditor {
  DESIGN_ROOT_CLASS(TPropertyEditor, TPropertyEditorClassInfo)

  TPropertyEditor(IDesigner* ADesigner, int APropCount);
  virtual ~TPropertyEditor() = default;
  TPropertyEditor(const TPropertyEditor&) = delete;
  TPropertyEditor& operator=(const TPropertyEditor&) = delete;

  // Set by whoever creates the editor, for each Index below PropCount.
  void SetPropEntry(int Index, rtl::TPersistent* AInstance, const rtl::TPropInfo* APropInfo);
  // Called once every entry is set.
  virtual void Initialize() {}

  // ------------------------------------------------------------ overridable operations
  // True when every selected component has the same value (base: only one is selected).
  virtual bool AllEqual();
  // Whether the inspector completes typed text from the value list (asked with paValueList).
  virtual bool AutoFill();
  // Double-click or ellipsis: with a value list, moves to the next value (wrapping round).
  virtual void Edit();
  virtual TPropertyAttributes GetAttributes();
  virtual int GetEditLimit() { return 255; }
  virtual String GetName();
  // Editors of the sub-properties (paSubProperties).
  virtual void GetProperties(const TGetPropProc& Proc);
  virtual String GetValue();                        // srUnknown
  virtual void GetValues(const TGetStrProc& Proc);  // nothing
  virtual void SetValue(const String& Value);       // does nothing
  // Whether the value can be read for every selected component.
  virtual bool ValueAvailable();
  // Puts back the inherited value; without an ancestor module, the property's default.
  virtual void Revert();

  // ------------------------------------------------------------ access
  rtl::TPersistent* GetComponent(int Index) const;
  int PropCount() const { return static_cast<int>(FPropList.size()); }
  IDesigner* Designer() const { return FDesigner; }
  const rtl::TPropInfo* GetPropInfo() const;
  const rtl::TTypeInfo* GetPropType() const;
  // The value with every instance's text when they differ: "" unless AllEqual.
  String GetVisualValue();

  // Values of the first instance (or of instance Index); writes go to every instance that has
  // a setter (a property none can set raises EPropertyError), then Modified once.
  int64_t GetOrdValue() const { return GetOrdValueAt(0); }
  int64_t GetOrdValueAt(int Index) const;
  void SetOrdValue(int64_t Value);
  String GetStrValue() const { return GetStrValueAt(0); }
  String GetStrValueAt(int Index) const;
  void SetStrValue(const String& Value);
  double GetFloatValue() const { return GetFloatValueAt(0); }
  double GetFloatValueAt(int Index) const;
  void SetFloatValue(double Value);
  // Object properties (owned sub-objects and component references). Writing an owned
  // sub-object assigns Value into each instance's own object.
  rtl::TObject* GetObjValue() const { return GetObjValueAt(0); }
  rtl::TObject* GetObjValueAt(int Index) const;
  void SetObjValue(rtl::TObject* Value);
  // Event properties: the handler's method name.
  String GetMethodValue() const { return GetMethodValueAt(0); }
  String GetMethodValueAt(int Index) const;
  void SetMethodValue(const String& Value);

  // Tells the designer that the selected components changed (nothing without a designer).
  void Modified();

protected:
  struct TInstProp {
    rtl::TPersistent* Instance = nullptr;
    const rtl::TPropInfo* PropInfo = nullptr;
  };
  const TInstProp& Entry(int Index) const;
  // Write(entry) for every instance that has a setter, then Modified once.
  template <class F>
  void WriteAll(F&& Write);

private:
  IDesigner* FDesigner;
  std::vector<TInstProp> FPropList;
};

// Integers, enumerations, Booleans and sets: compare as ordinals.
class TOrdinalProperty : public TPropertyEditor {
  DESIGN_CLASS(TOrdinalProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  int GetEditLimit() override { return 63; }
};

class TIntegerProperty : public TOrdinalProperty {
  DESIGN_CLASS(TIntegerProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  String GetValue() override;
  void SetValue(const String& Value) override;  // raises EConvertError for a non-integer
};

// Enumerations: the value names, in ordinal order, as a sorted drop-down.
class TEnumProperty : public TOrdinalProperty {
  DESIGN_CLASS(TEnumProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const String& Value) override;  // raises EPropertyError for an unknown name
};

class TBoolProperty : public TEnumProperty {
  DESIGN_CLASS(TBoolProperty, TEnumProperty)
  using TEnumProperty::TEnumProperty;
};

class TFloatProperty : public TPropertyEditor {
  DESIGN_CLASS(TFloatProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  String GetValue() override;
  void SetValue(const String& Value) override;  // raises EConvertError for a non-number
};

class TStringProperty : public TPropertyEditor {
  DESIGN_CLASS(TStringProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  int GetEditLimit() override;
  String GetValue() override;
  void SetValue(const String& Value) override;
};

// A component's Name: renamed through the designer; never shown for several components.
class TComponentNameProperty : public TStringProperty {
  DESIGN_CLASS(TComponentNameProperty, TStringProperty)
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 63; }
  void SetValue(const String& Value) override;
};

// One element of a set, as a True/False sub-property.
class TSetElementProperty : public TPropertyEditor {
  DESIGN_CLASS(TSetElementProperty, TPropertyEditor)
  TSetElementProperty(IDesigner* ADesigner, int APropCount) : TPropertyEditor(ADesigner, APropCount) {}
  void SetElement(int Element) { FElement = Element; }
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  String GetName() override;
  String GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const String& Value) override;

private:
  int FElement = 0;
};

// Sets: shown as "[a,b]", changed through one sub-property per element.
class TSetProperty : public TOrdinalProperty {
  DESIGN_CLASS(TSetProperty, TOrdinalProperty)
  using TOrdinalProperty::TOrdinalProperty;
  TPropertyAttributes GetAttributes() override;
  void GetProperties(const TGetPropProc& Proc) override;
  String GetValue() override;
  void SetValue(const String& Value) override;  // "[a,b]"
};

// Owned sub-objects: shown as "(TClassName)", unfolding into the object's properties.
class TClassProperty : public TPropertyEditor {
  DESIGN_CLASS(TClassProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  void GetProperties(const TGetPropProc& Proc) override;
  String GetValue() override;
};

// References to another component of the module, picked by name.
class TComponentProperty : public TPropertyEditor {
  DESIGN_CLASS(TComponentProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 127; }
  String GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  // "" sets nil; any other name must be a component of the property's class.
  void SetValue(const String& Value) override;
};

// Events: the handler's method name; Edit names a new handler after the component and event.
class TMethodProperty : public TPropertyEditor {
  DESIGN_CLASS(TMethodProperty, TPropertyEditor)
  using TPropertyEditor::TPropertyEditor;
  bool AllEqual() override;
  void Edit() override;
  TPropertyAttributes GetAttributes() override;
  int GetEditLimit() override { return 63; }
  String GetValue() override;
  void GetValues(const TGetStrProc& Proc) override;
  void SetValue(const String& Value) override;  // "" clears; otherwise a valid identifier
  // "Query1AfterOpen" for OnAfterOpen of Query1 ("AfterOpen" of Query1 alike).
  String GetFormMethodName();
};

// The host's editor of string lists: a dialog (IHostDialogs::EditStrings) on a copy of the list,
// written back when the developer accepts.
class TStringListProperty : public TClassProperty {
  DESIGN_CLASS(TStringListProperty, TClassProperty)
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
};

// Collections: the host's collection editor, items may be added, deleted and moved.
class TCollectionProperty : public TClassProperty {
  DESIGN_CLASS(TCollectionProperty, TClassProperty)
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
  virtual TCollectionEditorClass GetEditorClass();
  virtual TColOptions GetColOptions();
};

// The editors of every property of the selected components that all of them have and that may
// be shown for a selection of that size, in the first component's property order. Filter
// limits the kinds (empty: all).
using TTypeKinds = std::vector<rtl::TTypeKind>;
void GetComponentProperties(const TDesignerSelections& Components, const TTypeKinds& Filter, IDesigner* Designer,
                            const TGetPropProc& Proc);

}  // namespace designintf
