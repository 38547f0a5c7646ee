#include "rtl/FormWriter.h"

#include "FormExtras.h"
#include "rtl/Collection.h"
#include "rtl/FormBinary.h"
#include "rtl/FormPrinter.h"
#include "rtl/ProbeTable.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace rtl {

namespace {

// Builds the syntax tree of components. Unknown components that were nested in a known one go
// back into that one's subtree; the root's GetChildren lists them at the top.
class TModuleWriter {
public:
  explicit TModuleWriter(TComponent* root) : FRoot(root) {
    // One look at each component finds the unknown ones: a module of many components is not
    // walked again for them at the end.
    for (int i = 0; i < root->ComponentCount(); ++i) {
      auto* u = Cast<TUnknownComponent>(root->Components(i));
      if (!u) continue;
      FUnknown.push_back(u);
      if (!u->StreamedParentName().empty() && root->FindComponent(u->StreamedParentName()))
        FNested[FoldCase(u->StreamedParentName())].push_back(u);
    }
    for (auto& [name, list] : FNested)
      std::stable_sort(list.begin(), list.end(),
                       [](auto* a, auto* b) { return a->StreamedChildIndex() < b->StreamedChildIndex(); });
  }

  // The root's header and properties.
  TDfmObject RootNode() {
    TDfmObject node;
    Node(FRoot, node);
    return node;
  }

  // Calls Proc with each nested object of the root, complete, in order. The object passed is
  // filled again for the next one (its storage reused), so Proc takes what it keeps.
  void ForEachChild(const std::function<void(TDfmObject&)>& Proc) {
    FWritten.Reserve(static_cast<size_t>(FRoot->ComponentCount()) + 1);
    MarkWritten(FRoot);
    TDfmObject node;
    FRoot->GetChildren(
        [&](TComponent* child) {
          if (!child || Written(child) || IsNested(child)) return;
          WriteComponent(child, node);
          Proc(node);
        },
        FRoot);
    // None is lost: unknown components that were not listed, or whose parent was not written.
    for (TUnknownComponent* u : FUnknown)
      if (!Written(u)) {
        WriteComponent(u, node);
        Proc(node);
      }
  }

private:
  bool IsNested(TComponent* c) const {
    if (FNested.empty()) return false;
    auto* u = Cast<TUnknownComponent>(c);
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

  // A component's header and properties, without nested objects, into node (whose storage a
  // module of many components uses again and again).
  void Node(TComponent* comp, TDfmObject& node) {
    node.Name = comp->Name();
    node.ClassName = comp->ClassName();
    const auto* extras = Cast<const TFormExtras>(comp->StreamExtras());
    node.Kind = extras ? extras->Kind : TDfmObjectKind::okObject;
    node.Index = extras ? extras->Index : std::nullopt;
    node.Pos = node.NamePos = {};
    ContextProps(comp, extras, "", node.Props);
    node.Children.clear();
  }

  void WriteComponent(TComponent* comp, TDfmObject& node) {
    MarkWritten(comp);
    if (auto* unknown = Cast<TUnknownComponent>(comp)) {
      node = unknown->Streamed();
      node.Name = unknown->Name();
      return;
    }
    Node(comp, node);
    comp->GetChildren(
        [&](TComponent* child) {
          if (child && !Written(child)) WriteComponent(child, node.Children.emplace_back());
        },
        FRoot);
    if (FNested.empty()) return;
    auto nested = FNested.find(FoldCase(comp->Name()));
    if (nested != FNested.end() && !comp->Name().empty()) {
      for (TUnknownComponent* u : nested->second) {
        if (Written(u)) continue;
        size_t at = std::min(static_cast<size_t>(std::max(u->StreamedChildIndex(), 0)), node.Children.size());
        TDfmObject written;
        WriteComponent(u, written);
        node.Children.insert(node.Children.begin() + static_cast<std::ptrdiff_t>(at), std::move(written));
      }
    }
  }

  // The properties of one context into out: live ones in class order, kept ones at their old
  // place. The properties out held before are filled again, not made anew.
  void ContextProps(TObject* obj, const TFormExtras* extras, const String& ctx, std::vector<TDfmProperty>& out) {
    out.reserve(obj->ClassType()->PropList().size());  // at most one each, but for sub-objects
    size_t used = 0;
    WriteProps(obj, extras, ctx, "", out, used);
    out.resize(used);
    if (extras) {
      auto it = extras->Contexts.find(ctx);
      if (it != extras->Contexts.end()) MergeLeftovers(out, it->second);
    }
  }

  // The next property of out, named prefix + name, with an empty value of the given kind.
  static TDfmValue& Add(std::vector<TDfmProperty>& out, size_t& used, const String& prefix, const String& name,
                        TDfmValueKind kind) {
    TDfmProperty& p = RefillDfmProperty(out, used);
    p.Name.assign(prefix).append(name);
    p.Pos = {};
    p.Value.Reset(kind);
    return p.Value;
  }

  // Each kept property goes right after the nearest property that preceded it in the file and
  // is written now (live, or kept and placed already); one the live object writes itself (a
  // reference set since) is dropped. Kept properties are placed by where they stood, not by
  // name, so that several of one name keep their order; one walk over the file order and a
  // linked list keep it linear. One that stands past the end of the file order (added since,
  // to a component whose order was not kept) goes after the live ones.
  static void MergeLeftovers(std::vector<TDfmProperty>& out, const TFormLeftovers& left) {
    if (left.Props.empty()) return;
    std::unordered_map<String, size_t> live;  // folded name -> first live property of that name
    for (size_t i = 0; i < out.size(); ++i) live.emplace(FoldCase(out[i].Name), i);
    std::vector<const std::pair<size_t, TDfmProperty>*> kept;
    kept.reserve(left.Props.size());
    for (const auto& p : left.Props) kept.push_back(&p);
    std::stable_sort(kept.begin(), kept.end(), [](auto* a, auto* b) { return a->first < b->first; });

    // Nodes: 0 is the head, 1..out.size() the live properties, then the kept ones placed.
    constexpr size_t None = SIZE_MAX;
    std::vector<size_t> next(out.size() + 1, None);
    for (size_t i = 0; i + 1 < next.size(); ++i) next[i] = i + 1;
    std::vector<const TDfmProperty*> keptAt;      // node - out.size() - 1 -> kept property
    std::unordered_map<size_t, size_t> placedAt;  // index in the file order -> node of a kept one
    size_t lastPlaced = None;                     // file index of the last kept property placed
    size_t tail = out.size();                     // the last node of the list
    for (const auto* k : kept) {
      if (live.count(FoldCase(k->second.Name))) continue;
      const size_t at = std::min(k->first, left.Order.size());
      size_t anchor = 0;
      // Between the last placed kept property and this one, the nearest live name; else the
      // last placed one; else the head.
      const size_t from = lastPlaced == None ? 0 : lastPlaced + 1;
      bool found = false;
      for (size_t j = at; j-- > from;) {
        if (placedAt.count(j)) {
          anchor = placedAt[j];
          found = true;
          break;
        }
        if (auto it = live.find(FoldCase(left.Order[j])); it != live.end()) {
          anchor = it->second + 1;
          found = true;
          break;
        }
      }
      if (!found && lastPlaced != None) anchor = placedAt[lastPlaced];
      if (!found && lastPlaced == None && k->first >= left.Order.size()) anchor = tail;
      const size_t node = next.size();
      next.push_back(next[anchor]);
      next[anchor] = node;
      if (anchor == tail) tail = node;
      keptAt.push_back(&k->second);
      placedAt[k->first] = node;
      if (lastPlaced == None || k->first > lastPlaced) lastPlaced = k->first;
    }
    if (keptAt.empty()) return;
    std::vector<TDfmProperty> merged;
    merged.reserve(out.size() + keptAt.size());
    for (size_t n = next[0]; n != None; n = next[n])
      merged.push_back(n <= out.size() ? std::move(out[n - 1]) : *keptAt[n - out.size() - 1]);
    out = std::move(merged);
  }

  void WriteProps(TObject* obj, const TFormExtras* extras, const String& ctx, const String& prefix,
                  std::vector<TDfmProperty>& out, size_t& used) {
    for (const TPropInfo* pi : obj->ClassType()->PropList()) {
      switch (pi->Kind()) {
      case TTypeKind::tkClass:
        if (pi->IsReference) {
          if (!IsStoredProp(obj, pi)) break;
          String ref = ReferenceName(Cast<TComponent>(GetObjectProp(obj, pi)));
          if (!ref.empty()) Add(out, used, prefix, pi->Name, TDfmValueKind::vkIdent).Str = std::move(ref);
        } else {
          if (pi->IsStored && !pi->IsStored(obj)) break;
          // A collection its class says to store goes in even when empty (`<>`): reading may
          // otherwise fill it where the module had it empty.
          WriteSubObject(GetObjectProp(obj, pi), extras, ctx, prefix + pi->Name, out, used, pi->IsStored != nullptr);
        }
        break;
      case TTypeKind::tkMethod:
        if (IsStoredProp(obj, pi))
          Add(out, used, prefix, pi->Name, TDfmValueKind::vkIdent).Str = pi->GetMethodName(obj);
        break;
      case TTypeKind::tkInteger:
        if (IsStoredProp(obj, pi)) {
          const int64_t v = GetOrdProp(obj, pi);
          TDfmValue& value = Add(out, used, prefix, pi->Name, TDfmValueKind::vkInteger);
          if (IntToIdentOfType(pi->PropType, v, value.Str))
            value.Kind = TDfmValueKind::vkIdent;
          else
            value.Int = v;
        }
        break;
      case TTypeKind::tkEnumeration:
        if (IsStoredProp(obj, pi))
          Add(out, used, prefix, pi->Name, TDfmValueKind::vkIdent).Str = GetEnumName(pi->PropType, GetOrdProp(obj, pi));
        break;
      case TTypeKind::tkSet:
        if (IsStoredProp(obj, pi)) {
          auto mask = static_cast<uint64_t>(GetOrdProp(obj, pi));
          std::vector<String>& names = Add(out, used, prefix, pi->Name, TDfmValueKind::vkSet).Names;
          const TTypeInfo* e = pi->PropType->CompType;
          for (size_t i = 0; e && i < e->EnumNames.size() && i < 64; ++i)
            if ((mask >> i) & 1u) names.push_back(e->EnumNames[i]);
        }
        break;
      case TTypeKind::tkString: {
        // IsStoredProp's test, with the value asked for once.
        if (pi->IsStored && !pi->IsStored(obj)) break;
        String v = GetStrProp(obj, pi);
        if (!pi->IsStored && v == pi->DefaultStr) break;
        Add(out, used, prefix, pi->Name, TDfmValueKind::vkString).Str = std::move(v);
        break;
      }
      case TTypeKind::tkFloat:
        if (IsStoredProp(obj, pi)) Add(out, used, prefix, pi->Name, TDfmValueKind::vkFloat).Float = pi->GetFloat(obj);
        break;
      default: break;
      }
    }
  }

  void WriteSubObject(TObject* sub, const TFormExtras* extras, const String& ctx, const String& name,
                      std::vector<TDfmProperty>& out, size_t& used, bool StoreEmpty = false) {
    if (!sub) return;
    if (auto* strings = Cast<TStrings>(sub)) {
      if (strings->Count() == 0) return;
      std::vector<TDfmValue>& lines = Add(out, used, name, ".Strings", TDfmValueKind::vkList).Items;
      lines.reserve(static_cast<size_t>(strings->Count()));
      for (int i = 0; i < strings->Count(); ++i) lines.push_back(TDfmValue::StringValue(strings->Get(i)));
    } else if (auto* coll = Cast<TCollection>(sub)) {
      if (coll->Count() == 0 && !StoreEmpty) return;
      std::vector<TDfmItem>& items = Add(out, used, name, "", TDfmValueKind::vkCollection).CollItems;
      items.resize(static_cast<size_t>(coll->Count()));
      for (int i = 0; i < coll->Count(); ++i)
        ContextProps(coll->Items(i), extras, FormItemContext(ctx, name, i), items[static_cast<size_t>(i)].Props);
    } else if (!Cast<TComponent>(sub)) {
      WriteProps(sub, extras, ctx, name + ".", out, used);
    }
  }

  TComponent* FRoot;
  // The components written so far, in a flat table: a module may hold tens of thousands.
  TProbeTable<TComponent> FWritten;
  bool Written(const TComponent* c) const {
    return FWritten.Find(PointerHash(c), [c](const TComponent* w) { return w == c; }) != nullptr;
  }
  void MarkWritten(TComponent* c) {
    FWritten.FindOrInsert(PointerHash(c), c, [c](const TComponent* w) { return w == c; });
  }
  std::vector<TUnknownComponent*> FUnknown;                   // in component order
  std::map<String, std::vector<TUnknownComponent*>> FNested;  // by folded parent name
};

}  // namespace

TDfmObject ModuleToFormTree(TComponent* Root) {
  TModuleWriter writer(Root);
  TDfmObject tree = writer.RootNode();
  writer.ForEachChild([&](TDfmObject& child) { tree.Children.push_back(std::move(child)); });
  return tree;
}

// One nested object at a time, so that the whole tree never exists at once.
String WriteModule(TComponent* Root, TDfmFormat Format) {
  TModuleWriter writer(Root);
  const TDfmObject root = writer.RootNode();
  String out;
  if (Format == TDfmFormat::dfText) {
    PrintFormObject(out, root, 0, false);
    writer.ForEachChild([&](TDfmObject& child) { PrintFormObject(out, child, 1); });
    out += "end\n";
  } else {
    BinaryFormBegin(out, Format, root.ClassName);
    PrintFormBinaryObject(out, root, false);
    writer.ForEachChild([&](TDfmObject& child) { PrintFormBinaryObject(out, child); });
    BinaryListEnd(out);
    BinaryFormEnd(out, Format);
  }
  return out;
}

void SaveModuleToFile(TComponent* Root, const String& FileName, TDfmFormat Format) {
  WriteFileAtomic(FileName, WriteModule(Root, Format));
}

}  // namespace rtl
