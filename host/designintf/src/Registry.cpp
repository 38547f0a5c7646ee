#include "designintf/Registry.h"

#include "designintf/ComponentEditors.h"
#include "designintf/PropertyEditors.h"
#include "designintf/Sprigs.h"
#include "rtl/Collection.h"
#include "rtl/SysUtils.h"

#include <algorithm>
#include <climits>

namespace designintf {

namespace {

struct TPropertyEditorReg {
  const rtl::TTypeInfo* Type;
  rtl::TClass ComponentClass;
  String Name;
  TPropertyEditorClass Editor;
  String Package;
};

struct TComponentEditorReg {
  rtl::TClass ComponentClass;
  TComponentEditorClass Editor;
  String Package;
};

struct TSprigReg {
  rtl::TClass ComponentClass;
  TSprigClass Sprig;
  String Package;
};

struct TCategoryReg {
  String Category;
  rtl::TClass ComponentClass;
  std::vector<String> Filters;
  String Package;
};

// All lists in registration order; lookups scan them newest first.
struct TRegistries {
  std::vector<TPaletteEntry> Palette;
  std::vector<TPropertyEditorReg> PropertyEditors;
  std::vector<TComponentEditorReg> ComponentEditors;
  std::vector<TSprigReg> Sprigs;
  std::vector<TCategoryReg> Categories;
  String CurrentPackage;
  TRegistrationRecorder Recorder;
};

TRegistries& Regs() {
  static TRegistries regs;
  return regs;
}

void Record(TRegistration r) {
  r.Package = Regs().CurrentPackage;
  if (Regs().Recorder) Regs().Recorder(r);
}

String ClassNameOf(rtl::TClass c) { return c ? c->Name : String("nil"); }

String Quoted(const String& s) { return "\"" + s + "\""; }

bool TypeMatches(const rtl::TTypeInfo* registered, const rtl::TTypeInfo* actual) {
  if (registered == actual) return true;
  return registered->Kind == rtl::TTypeKind::tkClass && actual->Kind == rtl::TTypeKind::tkClass &&
         registered->ClassRef && actual->ClassRef && actual->ClassRef->InheritsFrom(registered->ClassRef);
}

bool StrictlyDescends(rtl::TClass c, rtl::TClass ancestor) {
  return c && ancestor && c != ancestor && c->InheritsFrom(ancestor);
}

int Generations(rtl::TClass c, rtl::TClass ancestor) {
  int n = 0;
  for (; c; c = c->Parent, ++n)
    if (c == ancestor) return n;
  return -1;
}

// The component's Name has a type of its own in the object model the packages were written
// for; registrations for plain strings do not reach it unless they name it.
bool IsComponentName(const rtl::TPropInfo* prop) {
  return prop->Declarer == rtl::TComponent::StaticClass() && rtl::SameText(prop->Name, "Name");
}

}  // namespace

// ---------------------------------------------------------------------------- registration

void RegisterComponents(const String& Page, const std::vector<rtl::TClass>& ComponentClasses) {
  for (rtl::TClass c : ComponentClasses)
    if (!c) throw ERegistrationError("RegisterComponents: a class of page " + Page + " is nil");
  TRegistration r;
  r.Kind = TRegistrationKind::rkComponents;
  r.Page = Page;
  r.ComponentClasses = ComponentClasses;
  Record(r);
  for (rtl::TClass c : ComponentClasses) {
    // A class known by name before stays known when the package goes.
    const bool known = rtl::GetClass(c->Name) == c;
    if (!known) rtl::RegisterClass(c);
    Regs().Palette.push_back({Page, c, Regs().CurrentPackage, !known});
  }
}

void RegisterPropertyEditor(const rtl::TTypeInfo* PropertyType, rtl::TClass ComponentClass, const String& PropertyName,
                            TPropertyEditorClass EditorClass) {
  if (!PropertyType) throw ERegistrationError("RegisterPropertyEditor: no property type for " + PropertyName);
  if (!EditorClass) throw ERegistrationError("RegisterPropertyEditor: no editor class for " + PropertyName);
  TRegistration r;
  r.Kind = TRegistrationKind::rkPropertyEditor;
  r.PropertyType = PropertyType;
  r.ComponentClass = ComponentClass;
  r.PropertyName = PropertyName;
  r.PropertyEditor = EditorClass;
  Record(r);
  // A name only counts together with a component class.
  Regs().PropertyEditors.push_back(
      {PropertyType, ComponentClass, ComponentClass ? PropertyName : String(), EditorClass, Regs().CurrentPackage});
}

void RegisterComponentEditor(rtl::TClass ComponentClass, TComponentEditorClass EditorClass) {
  if (!ComponentClass || !EditorClass)
    throw ERegistrationError("RegisterComponentEditor: class " + ClassNameOf(ComponentClass) + " or its editor is nil");
  TRegistration r;
  r.Kind = TRegistrationKind::rkComponentEditor;
  r.ComponentClass = ComponentClass;
  r.ComponentEditor = EditorClass;
  Record(r);
  Regs().ComponentEditors.push_back({ComponentClass, EditorClass, Regs().CurrentPackage});
}

void RegisterPropertiesInCategory(const String& Category, rtl::TClass ComponentClass,
                                  const std::vector<String>& Filters) {
  TRegistration r;
  r.Kind = TRegistrationKind::rkPropertiesInCategory;
  r.Category = Category;
  r.ComponentClass = ComponentClass;
  r.Filters = Filters;
  Record(r);
  Regs().Categories.push_back({Category, ComponentClass, Filters, Regs().CurrentPackage});
}

void RegisterSprigType(rtl::TClass ComponentClass, TSprigClass SprigClass) {
  if (!ComponentClass || !SprigClass)
    throw ERegistrationError("RegisterSprigType: class " + ClassNameOf(ComponentClass) + " or its sprig is nil");
  TRegistration r;
  r.Kind = TRegistrationKind::rkSprigType;
  r.ComponentClass = ComponentClass;
  r.Sprig = SprigClass;
  Record(r);
  Regs().Sprigs.push_back({ComponentClass, SprigClass, Regs().CurrentPackage});
}

// ---------------------------------------------------------------------------- packages

TPackageRegistrationScope::TPackageRegistrationScope(const String& PackageName) : FPrevious(Regs().CurrentPackage) {
  Regs().CurrentPackage = PackageName;
}

TPackageRegistrationScope::~TPackageRegistrationScope() { Regs().CurrentPackage = FPrevious; }

String CurrentRegistrationPackage() { return Regs().CurrentPackage; }

void UnregisterPackage(const String& PackageName) {
  TRegistries& regs = Regs();
  auto ofPackage = [&](const auto& reg) { return reg.Package == PackageName; };
  for (const TPaletteEntry& e : regs.Palette)
    if (e.Package == PackageName && e.RegisteredClass) rtl::UnRegisterClass(e.ComponentClass);
  std::erase_if(regs.Palette, ofPackage);
  std::erase_if(regs.PropertyEditors, ofPackage);
  std::erase_if(regs.ComponentEditors, ofPackage);
  std::erase_if(regs.Sprigs, ofPackage);
  std::erase_if(regs.Categories, ofPackage);
}

void ClearRegistrations() {
  TRegistries& regs = Regs();
  for (const TPaletteEntry& e : regs.Palette)
    if (e.RegisteredClass) rtl::UnRegisterClass(e.ComponentClass);
  regs.Palette.clear();
  regs.PropertyEditors.clear();
  regs.ComponentEditors.clear();
  regs.Sprigs.clear();
  regs.Categories.clear();
}

TRegistrationRecorder SetRegistrationRecorder(TRegistrationRecorder Recorder) {
  std::swap(Regs().Recorder, Recorder);
  return Recorder;
}

String TRegistration::ToString() const {
  switch (Kind) {
  case TRegistrationKind::rkComponents: {
    String list;
    for (rtl::TClass c : ComponentClasses) list += (list.empty() ? "" : ", ") + ClassNameOf(c);
    return "RegisterComponents(" + Quoted(Page) + ", [" + list + "])";
  }
  case TRegistrationKind::rkPropertyEditor:
    return "RegisterPropertyEditor(" + (PropertyType ? PropertyType->Name : String("nil")) + ", " +
           ClassNameOf(ComponentClass) + ", " + Quoted(PropertyName) + ", " +
           (PropertyEditor ? PropertyEditor->Name : String("nil")) + ")";
  case TRegistrationKind::rkComponentEditor:
    return "RegisterComponentEditor(" + ClassNameOf(ComponentClass) + ", " +
           (ComponentEditor ? ComponentEditor->Name : String("nil")) + ")";
  case TRegistrationKind::rkPropertiesInCategory: {
    String list;
    for (const String& f : Filters) list += (list.empty() ? "" : ", ") + Quoted(f);
    return "RegisterPropertiesInCategory(" + Quoted(Category) + ", " + ClassNameOf(ComponentClass) + ", [" + list +
           "])";
  }
  case TRegistrationKind::rkSprigType:
    return "RegisterSprigType(" + ClassNameOf(ComponentClass) + ", " + (Sprig ? Sprig->Name : String("nil")) + ")";
  }
  return {};
}

// ---------------------------------------------------------------------------- lookups

std::vector<TPaletteEntry> GetPaletteEntries() {
  std::vector<TPaletteEntry> entries;
  entries.reserve(Regs().Palette.size());
  for (const TPaletteEntry& e : Regs().Palette)
    if (!e.Package.empty()) entries.push_back(e);
  for (const TPaletteEntry& e : Regs().Palette)
    if (e.Package.empty()) entries.push_back(e);
  return entries;
}

rtl::TClass FindPaletteClass(const String& ClassName) {
  for (const TPaletteEntry& e : Regs().Palette)
    if (rtl::SameText(e.ComponentClass->Name, ClassName)) return e.ComponentClass;
  return nullptr;
}

TPropertyEditorClass FindRegisteredEditorClass(const rtl::TPropInfo* Prop, rtl::TClass ComponentClass) {
  if (!Prop || !Prop->PropType) return nullptr;
  const bool componentName = IsComponentName(Prop);
  const TPropertyEditorReg* best = nullptr;
  const auto& list = Regs().PropertyEditors;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    const TPropertyEditorReg& p = *it;
    if (!TypeMatches(p.Type, Prop->PropType)) continue;
    if (p.ComponentClass && !(ComponentClass && ComponentClass->InheritsFrom(p.ComponentClass))) continue;
    if (!p.Name.empty() && !rtl::SameText(p.Name, Prop->Name)) continue;
    if (componentName && p.Name.empty()) continue;
    if (!best) {
      best = &p;
      continue;
    }
    // Any one of these makes the newer-scanned, older registration the better one; equal ones
    // leave the newest in place.
    const TPropertyEditorReg& c = *best;
    const bool pExact = p.Type == Prop->PropType, cExact = c.Type == Prop->PropType;
    if ((!c.ComponentClass && p.ComponentClass) || (c.Name.empty() && !p.Name.empty()) || (pExact && !cExact) ||
        (p.Type->Kind == rtl::TTypeKind::tkClass && c.Type->Kind == rtl::TTypeKind::tkClass &&
         StrictlyDescends(p.Type->ClassRef, c.Type->ClassRef)) ||
        StrictlyDescends(p.ComponentClass, c.ComponentClass))
      best = &p;
  }
  return best ? best->Editor : nullptr;
}

TPropertyEditorClass DefaultEditorClass(const rtl::TPropInfo* Prop) {
  if (!Prop || !Prop->PropType) return TPropertyEditor::StaticClass();
  if (IsComponentName(Prop)) return TComponentNameProperty::StaticClass();
  const rtl::TTypeInfo* t = Prop->PropType;
  switch (t->Kind) {
  case rtl::TTypeKind::tkInteger: return TIntegerProperty::StaticClass();
  case rtl::TTypeKind::tkEnumeration:
    return t == rtl::TypeInfoBoolean() ? TBoolProperty::StaticClass() : TEnumProperty::StaticClass();
  case rtl::TTypeKind::tkFloat: return TFloatProperty::StaticClass();
  case rtl::TTypeKind::tkString: return TStringProperty::StaticClass();
  case rtl::TTypeKind::tkSet: return TSetProperty::StaticClass();
  case rtl::TTypeKind::tkMethod: return TMethodProperty::StaticClass();
  case rtl::TTypeKind::tkClass:
    if (Prop->IsReference) return TComponentProperty::StaticClass();
    if (t->ClassRef && t->ClassRef->InheritsFrom(rtl::TStrings::StaticClass()))
      return TStringListProperty::StaticClass();
    if (t->ClassRef && t->ClassRef->InheritsFrom(rtl::TCollection::StaticClass()))
      return TCollectionProperty::StaticClass();
    return TClassProperty::StaticClass();
  default: return TPropertyEditor::StaticClass();
  }
}

TPropertyEditorClass GetEditorClass(const rtl::TPropInfo* Prop, rtl::TClass ComponentClass) {
  if (TPropertyEditorClass c = FindRegisteredEditorClass(Prop, ComponentClass)) return c;
  return DefaultEditorClass(Prop);
}

TComponentEditorClass GetComponentEditorClass(rtl::TClass ComponentClass) {
  TComponentEditorClass best = TDefaultEditor::StaticClass();
  rtl::TClass bestClass = rtl::TPersistent::StaticClass();
  if (!ComponentClass) return best;
  const auto& list = Regs().ComponentEditors;
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (ComponentClass->InheritsFrom(it->ComponentClass) && StrictlyDescends(it->ComponentClass, bestClass)) {
      best = it->Editor;
      bestClass = it->ComponentClass;
    }
  return best;
}

std::unique_ptr<TComponentEditor> GetComponentEditor(rtl::TComponent* Component, IDesigner* Designer) {
  if (!Component) return nullptr;
  return GetComponentEditorClass(Component->ClassType())->Create(Component, Designer);
}

TSprigClass FindSprigClass(rtl::TClass ComponentClass) {
  TSprigClass best = nullptr;
  int bestGenerations = INT_MAX;
  const auto& list = Regs().Sprigs;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    int g = Generations(ComponentClass, it->ComponentClass);
    if (g >= 0 && g < bestGenerations) {
      best = it->Sprig;
      bestGenerations = g;
    }
  }
  return best;
}

std::vector<String> GetPropertyCategories(rtl::TClass ComponentClass, const String& PropName) {
  std::vector<String> result;
  for (const TCategoryReg& r : Regs().Categories) {
    if (r.ComponentClass && !(ComponentClass && ComponentClass->InheritsFrom(r.ComponentClass))) continue;
    bool matched =
        std::any_of(r.Filters.begin(), r.Filters.end(), [&](const String& f) { return MatchesMask(PropName, f); });
    if (!matched) continue;
    if (std::none_of(result.begin(), result.end(), [&](const String& c) { return rtl::SameText(c, r.Category); }))
      result.push_back(r.Category);
  }
  if (result.empty()) result.push_back(sMiscellaneousCategoryName);
  return result;
}

bool IsPropertyInCategory(const String& Category, rtl::TClass ComponentClass, const String& PropName) {
  for (const String& c : GetPropertyCategories(ComponentClass, PropName))
    if (rtl::SameText(c, Category)) return true;
  return false;
}

bool MatchesMask(const String& Name, const String& Mask) {
  const String n = rtl::FoldCase(Name), m = rtl::FoldCase(Mask);
  // Iterative glob with one backtrack point for the last "*" (folded text keeps "*" and "?").
  size_t i = 0, j = 0, star = String::npos, mark = 0;
  while (i < n.size()) {
    if (j < m.size() && (m[j] == '?' || m[j] == n[i])) {
      if (m[j] == '?') {
        // "?" stands for one character, not one byte.
        size_t len = 1;
        auto b = static_cast<unsigned char>(n[i]);
        if (b >= 0xF0)
          len = 4;
        else if (b >= 0xE0)
          len = 3;
        else if (b >= 0xC0)
          len = 2;
        i += len;
      } else {
        ++i;
      }
      ++j;
    } else if (j < m.size() && m[j] == '*') {
      star = j++;
      mark = i;
    } else if (star != String::npos) {
      j = star + 1;
      i = ++mark;
    } else {
      return false;
    }
  }
  while (j < m.size() && m[j] == '*') ++j;
  return j == m.size();
}

}  // namespace designintf
