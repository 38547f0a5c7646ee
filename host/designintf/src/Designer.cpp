#include "designintf/Designer.h"

#include "designintf/DesignTypes.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace designintf {

namespace {

std::vector<IDesigner*>& OpenDesigners() {
  static std::vector<IDesigner*> designers;
  return designers;
}

}  // namespace

rtl::TComponent* IDesigner::GetComponent(const String& Name) {
  rtl::TComponent* root = GetRoot();
  if (!root || Name.empty()) return nullptr;
  if (rtl::SameText(Name, root->Name())) return root;
  return root->FindComponent(Name);
}

String IDesigner::GetComponentName(rtl::TComponent* Component) { return Component ? Component->Name() : String(); }

void IDesigner::GetComponentNames(const rtl::TTypeInfo* TypeInfo, const TGetStrProc& Proc) {
  rtl::TComponent* root = GetRoot();
  if (!root || !TypeInfo || TypeInfo->Kind != rtl::TTypeKind::tkClass) return;
  for (int i = 0; i < root->ComponentCount(); ++i) {
    rtl::TComponent* c = root->Components(i);
    if (!c->Name().empty() && c->InheritsFrom(TypeInfo->ClassRef)) Proc(c->Name());
  }
}

void IDesigner::RenameComponent(rtl::TComponent* Component, const String& NewName) {
  if (!Component) return;
  Component->SetName(NewName);
  Modified();
}

void IDesigner::GetMethods(const rtl::TTypeInfo*, const TGetStrProc&) {}
bool IDesigner::MethodExists(const String&) { return false; }
void IDesigner::ShowMethod(const String&) {}

IDesigner* FindRootDesigner(rtl::TPersistent* Obj) {
  // Walk up to the component that owns no other: the module's root.
  rtl::TComponent* c = dynamic_cast<rtl::TComponent*>(Obj);
  if (!c && Obj) c = dynamic_cast<rtl::TComponent*>(Obj->GetOwner());
  while (c && c->Owner()) c = c->Owner();
  if (!c) return nullptr;
  for (IDesigner* d : OpenDesigners())
    if (d->GetRoot() == c) return d;
  return nullptr;
}

void RegisterDesigner(IDesigner* Designer) {
  auto& list = OpenDesigners();
  if (Designer && std::find(list.begin(), list.end(), Designer) == list.end()) list.push_back(Designer);
}

void UnregisterDesigner(IDesigner* Designer) {
  auto& list = OpenDesigners();
  list.erase(std::remove(list.begin(), list.end(), Designer), list.end());
}

String PropertyAttributeName(TPropertyAttribute Attribute) {
  static const char* const names[] = {
      "paValueList", "paSubProperties", "paDialog",          "paMultiSelect",    "paAutoUpdate",
      "paSortList",  "paReadOnly",      "paRevertable",      "paFullWidthName",  "paVolatileSubProperties",
      "paVCL",       "paNotNestable",   "paDisplayReadOnly", "paCustomDropDown", "paValueEditable"};
  auto i = static_cast<size_t>(Attribute);
  return i < std::size(names) ? names[i] : String();
}

String PropertyAttributesToString(TPropertyAttributes Attributes) {
  String s = "[";
  for (int i = 0; i <= static_cast<int>(TPropertyAttribute::paValueEditable); ++i) {
    auto a = static_cast<TPropertyAttribute>(i);
    if (!Attributes.Contains(a)) continue;
    if (s.size() > 1) s += ",";
    s += PropertyAttributeName(a);
  }
  return s + "]";
}

}  // namespace designintf
