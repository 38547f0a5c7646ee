#include "rtl/FormWriter.h"

#include "FormExtras.h"
#include "rtl/Collection.h"
#include "rtl/FormPrinter.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <algorithm>
#include <set>

namespace rtl {

namespace {

class TModuleWriter {
public:
  explicit TModuleWriter(TComponent* root) : FRoot(root) {}

  TDfmObject Write() {
    TDfmObject tree = WriteComponent(FRoot);
    PlaceUnknownComponents(tree);
    return tree;
  }

private:
  // How a reference is written, seen from the module being written.
  String ReferenceName(TComponent* c) const {
    if (!c) return {};
    if (c->Owner() == FRoot) return c->Name();
    if (c == FRoot) return "Owner";
    if (c->Owner() && !c->Owner()->Name().empty() && !c->Name().empty()) return c->Owner()->Name() + "." + c->Name();
    if (!c->Name().empty()) return c->Name() + ".Owner";
    return {};
  }

  TDfmObject WriteComponent(TComponent* comp) {
    FWritten.insert(comp);
    if (auto* unknown = dynamic_cast<TUnknownComponent*>(comp)) {
      TDfmObject node = unknown->Streamed();
      node.Name = unknown->Name();
      if (!unknown->StreamedParentName().empty()) FUnknownNested.push_back(unknown);
      return node;
    }
    TDfmObject node;
    node.Name = comp->Name();
    node.ClassName = comp->ClassName();
    const auto* extras = dynamic_cast<const TFormExtras*>(comp->StreamExtras());
    if (extras) {
      node.Kind = extras->Kind;
      node.Index = extras->Index;
    }
    node.Props = ContextProps(comp, extras, "");
    comp->GetChildren([&](TComponent* child) {
      if (child && !FWritten.count(child)) node.Children.push_back(WriteComponent(child));
    }, FRoot);
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
      for (size_t j = k->first; j-- > 0;) {
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
        if (IsStoredProp(obj, pi)) out.push_back({name, {}, TDfmValue::Integer(GetOrdProp(obj, pi))});
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

  static TDfmObject* FindNode(TDfmObject& node, const String& name) {
    if (SameText(node.Name, name)) return &node;
    for (TDfmObject& child : node.Children)
      if (TDfmObject* found = FindNode(child, name)) return found;
    return nullptr;
  }

  // Unknown components nested in another component go back there; any that the root's
  // GetChildren did not list are added at the top level so that none is lost.
  void PlaceUnknownComponents(TDfmObject& tree) {
    for (int i = 0; i < FRoot->ComponentCount(); ++i) {
      TComponent* c = FRoot->Components(i);
      if (!FWritten.count(c) && dynamic_cast<TUnknownComponent*>(c)) tree.Children.push_back(WriteComponent(c));
    }
    for (TUnknownComponent* u : FUnknownNested) {
      auto top = std::find_if(tree.Children.begin(), tree.Children.end(), [&](const TDfmObject& n) {
        return SameText(n.Name, u->Name()) && SameText(n.ClassName, u->ClassName());
      });
      if (top == tree.Children.end()) continue;
      const auto index = top - tree.Children.begin();
      TDfmObject moved = std::move(*top);
      tree.Children.erase(top);
      TDfmObject* parent = nullptr;
      for (TDfmObject& child : tree.Children)
        if ((parent = FindNode(child, u->StreamedParentName()))) break;
      auto& list = parent ? parent->Children : tree.Children;
      size_t at = parent ? std::min(static_cast<size_t>(std::max(u->StreamedChildIndex(), 0)), list.size())
                         : static_cast<size_t>(index);
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), std::move(moved));
    }
  }

  TComponent* FRoot;
  std::set<TComponent*> FWritten;
  std::vector<TUnknownComponent*> FUnknownNested;
};

} // namespace

TDfmObject ModuleToFormTree(TComponent* Root) { return TModuleWriter(Root).Write(); }

String WriteModule(TComponent* Root) { return PrintFormText(ModuleToFormTree(Root)); }

void SaveModuleToFile(TComponent* Root, const String& FileName) { WriteFileAtomic(FileName, WriteModule(Root)); }

} // namespace rtl
