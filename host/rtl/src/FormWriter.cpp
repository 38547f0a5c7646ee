#include "rtl/FormWriter.h"

#include "FormExtras.h"
#include "rtl/Collection.h"
#include "rtl/FormPrinter.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <algorithm>
#include <map>
#include <set>

namespace rtl {

namespace {

// Builds the syntax tree of components. Unknown components that were nested in a known one go
// back into that one's subtree; the root's GetChildren lists them at the top.
class TModuleWriter {
public:
  explicit TModuleWriter(TComponent* root) : FRoot(root) {
    for (int i = 0; i < root->ComponentCount(); ++i)
      if (auto* u = dynamic_cast<TUnknownComponent*>(root->Components(i));
          u && !u->StreamedParentName().empty() && root->FindComponent(u->StreamedParentName()))
        FNested[FoldCase(u->StreamedParentName())].push_back(u);
    for (auto& [name, list] : FNested)
      std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->StreamedChildIndex() < b->StreamedChildIndex(); });
  }

  // The root's header and properties.
  TDfmObject RootNode() { return Node(FRoot); }

  // Calls Proc with each nested object of the root, complete, in order.
  void ForEachChild(const std::function<void(TDfmObject&)>& Proc) {
    FWritten.insert(FRoot);
    FRoot->GetChildren([&](TComponent* child) {
      if (!child || FWritten.count(child) || IsNested(child)) return;
      TDfmObject node = WriteComponent(child);
      Proc(node);
    }, FRoot);
    // None is lost: unknown components that were not listed, or whose parent was not written.
    for (int i = 0; i < FRoot->ComponentCount(); ++i) {
      auto* u = dynamic_cast<TUnknownComponent*>(FRoot->Components(i));
      if (u && !FWritten.count(u)) {
        TDfmObject node = WriteComponent(u);
        Proc(node);
      }
    }
  }

private:
  bool IsNested(TComponent* c) const {
    auto* u = dynamic_cast<TUnknownComponent*>(c);
    return u && FNested.count(FoldCase(u->StreamedParentName()));
  }

  // How a reference is written, seen from the module being written.
  String ReferenceName(TComponent* c) const {
    if (!c) return {};
    if (c->Owner() == FRoot) return c->Name();
    if (c == FRoot) return "Owner";
    if (c->Owner() && !c->Owner()->Name().empty() && !c->Name().empty()) return c->Owner()->Name() + "." + c->Name();
    if (!c->Name().empty()) return c->Name() + ".Owner";
    return {};
  }

  // A component's header and properties, without nested objects.
  TDfmObject Node(TComponent* comp) {
    TDfmObject node;
    node.Name = comp->Name();
    node.ClassName = comp->ClassName();
    const auto* extras = dynamic_cast<const TFormExtras*>(comp->StreamExtras());
    if (extras) {
      node.Kind = extras->Kind;
      node.Index = extras->Index;
    }
    node.Props = ContextProps(comp, extras, "");
    return node;
  }

  TDfmObject WriteComponent(TComponent* comp) {
    FWritten.insert(comp);
    if (auto* unknown = dynamic_cast<TUnknownComponent*>(comp)) {
      TDfmObject node = unknown->Streamed();
      node.Name = unknown->Name();
      return node;
    }
    TDfmObject node = Node(comp);
    comp->GetChildren([&](TComponent* child) {
      if (child && !FWritten.count(child)) node.Children.push_back(WriteComponent(child));
    }, FRoot);
    auto nested = FNested.find(FoldCase(comp->Name()));
    if (nested != FNested.end() && !comp->Name().empty()) {
      for (TUnknownComponent* u : nested->second) {
        if (FWritten.count(u)) continue;
        size_t at = std::min(static_cast<size_t>(std::max(u->StreamedChildIndex(), 0)), node.Children.size());
        node.Children.insert(node.Children.begin() + static_cast<std::ptrdiff_t>(at), WriteComponent(u));
      }
    }
    return node;
  }

  // The properties of one context: live ones in class order, kept ones at their old place.
  std::vector<TDfmProperty> ContextProps(TObject* obj, const TFormExtras* extras, const String& ctx) {
    std::vector<TDfmProperty> out;
    WriteProps(obj, extras, ctx, "", out);
    if (extras) {
      auto it = extras->Contexts.find(ctx);
      if (it != extras->Contexts.end()) MergeLeftovers(out, it->second);
    }
    return out;
  }

  // Each kept property goes right after the nearest property that preceded it in the file and
  // is written now; one the live object writes itself (a reference set since) is dropped.
  static void MergeLeftovers(std::vector<TDfmProperty>& out, const TFormLeftovers& left) {
    if (left.Props.empty()) return;
    std::vector<String> live;
    for (const TDfmProperty& p : out) live.push_back(p.Name);
    std::vector<const std::pair<size_t, TDfmProperty>*> kept;
    for (const auto& p : left.Props) kept.push_back(&p);
    std::sort(kept.begin(), kept.end(), [](auto* a, auto* b) { return a->first < b->first; });
    for (const auto* k : kept) {
      if (std::any_of(live.begin(), live.end(), [&](const String& n) { return SameText(n, k->second.Name); })) continue;
      size_t insertAt = 0;
      for (size_t j = std::min(k->first, left.Order.size()); j-- > 0;) {
        const String& anchor = left.Order[j];
        auto pos = std::find_if(out.begin(), out.end(), [&](const TDfmProperty& p) { return SameText(p.Name, anchor); });
        if (pos != out.end()) {
          insertAt = static_cast<size_t>(pos - out.begin()) + 1;
          break;
        }
      }
      out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), k->second);
    }
  }

  void WriteProps(TObject* obj, const TFormExtras* extras, const String& ctx, const String& prefix,
                  std::vector<TDfmProperty>& out) {
    for (const TPropInfo* pi : obj->ClassType()->PropList()) {
      const String name = prefix + pi->Name;
      switch (pi->Kind()) {
      case TTypeKind::tkClass:
        if (pi->IsReference) {
          if (!IsStoredProp(obj, pi)) break;
          String ref = ReferenceName(dynamic_cast<TComponent*>(GetObjectProp(obj, pi)));
          if (!ref.empty()) out.push_back({name, {}, TDfmValue::Ident(std::move(ref))});
        } else {
          if (pi->IsStored && !pi->IsStored(obj)) break;
          WriteSubObject(GetObjectProp(obj, pi), extras, ctx, name, out);
        }
        break;
      case TTypeKind::tkMethod:
        if (IsStoredProp(obj, pi)) out.push_back({name, {}, TDfmValue::Ident(pi->GetMethodName(obj))});
        break;
      case TTypeKind::tkInteger:
        if (IsStoredProp(obj, pi)) {
          int64_t v = GetOrdProp(obj, pi);
          String ident;
          out.push_back({name, {}, IntToIdentOfType(pi->PropType, v, ident) ? TDfmValue::Ident(ident) : TDfmValue::Integer(v)});
        }
        break;
      case TTypeKind::tkEnumeration:
        if (IsStoredProp(obj, pi))
          out.push_back({name, {}, TDfmValue::Ident(GetEnumName(pi->PropType, GetOrdProp(obj, pi)))});
        break;
      case TTypeKind::tkSet:
        if (IsStoredProp(obj, pi)) {
          std::vector<String> names;
          auto mask = static_cast<uint64_t>(GetOrdProp(obj, pi));
          const TTypeInfo* e = pi->PropType->CompType;
          for (size_t i = 0; e && i < e->EnumNames.size() && i < 64; ++i)
            if ((mask >> i) & 1u) names.push_back(e->EnumNames[i]);
          out.push_back({name, {}, TDfmValue::Set(std::move(names))});
        }
        break;
      case TTypeKind::tkString:
        if (IsStoredProp(obj, pi)) out.push_back({name, {}, TDfmValue::StringValue(GetStrProp(obj, pi))});
        break;
      case TTypeKind::tkFloat:
        if (IsStoredProp(obj, pi)) out.push_back({name, {}, TDfmValue::FloatValue(pi->GetFloat(obj))});
        break;
      default:
        break;
      }
    }
  }

  void WriteSubObject(TObject* sub, const TFormExtras* extras, const String& ctx, const String& name,
                      std::vector<TDfmProperty>& out) {
    if (!sub) return;
    if (auto* strings = dynamic_cast<TStrings*>(sub)) {
      if (strings->Count() == 0) return;
      std::vector<TDfmValue> lines;
      lines.reserve(static_cast<size_t>(strings->Count()));
      for (int i = 0; i < strings->Count(); ++i) lines.push_back(TDfmValue::StringValue(strings->Get(i)));
      out.push_back({name + ".Strings", {}, TDfmValue::List(std::move(lines))});
    } else if (auto* coll = dynamic_cast<TCollection*>(sub)) {
      if (coll->Count() == 0) return;
      std::vector<TDfmItem> items(static_cast<size_t>(coll->Count()));
      for (int i = 0; i < coll->Count(); ++i)
        items[static_cast<size_t>(i)].Props = ContextProps(coll->Items(i), extras, FormItemContext(ctx, name, i));
      out.push_back({name, {}, TDfmValue::Collection(std::move(items))});
    } else if (!dynamic_cast<TComponent*>(sub)) {
      WriteProps(sub, extras, ctx, name + ".", out);
    }
  }

  TComponent* FRoot;
  std::set<TComponent*> FWritten;
  std::map<String, std::vector<TUnknownComponent*>> FNested;  // by folded parent name
};

} // namespace

TDfmObject ModuleToFormTree(TComponent* Root) {
  TModuleWriter writer(Root);
  TDfmObject tree = writer.RootNode();
  writer.ForEachChild([&](TDfmObject& child) { tree.Children.push_back(std::move(child)); });
  return tree;
}

// One nested object at a time, so that the whole tree never exists at once.
String WriteModule(TComponent* Root) {
  TModuleWriter writer(Root);
  String out;
  PrintFormObject(out, writer.RootNode(), 0, false);
  writer.ForEachChild([&](TDfmObject& child) { PrintFormObject(out, child, 1); });
  out += "end\n";
  return out;
}

void SaveModuleToFile(TComponent* Root, const String& FileName) { WriteFileAtomic(FileName, WriteModule(Root)); }

} // namespace rtl
