#include "rtl/FormReader.h"

#include "FormExtras.h"
#include "rtl/Collection.h"
#include "rtl/FormBinary.h"
#include "rtl/FormParser.h"
#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "rtl/UnknownComponent.h"

#include <fmt/format.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace rtl {

TClass TUnknownComponent::StaticClass() {
  static TClass info = ClassBuilder<TUnknownComponent>("TUnknownComponent").Build();
  return info;
}

namespace {

const char* ValueKindName(TDfmValueKind kind) {
  switch (kind) {
  case TDfmValueKind::vkInteger: return "an integer";
  case TDfmValueKind::vkFloat: return "a floating-point number";
  case TDfmValueKind::vkString: return "a string";
  case TDfmValueKind::vkIdent: return "an identifier";
  case TDfmValueKind::vkSet: return "a set";
  case TDfmValueKind::vkList: return "a list";
  case TDfmValueKind::vkBinary: return "binary data";
  case TDfmValueKind::vkCollection: return "a collection";
  }
  return "a value";
}

// "Owner" and "nil" in any letter case, as references and event handlers name them (the texts
// made once: a reference costs little more than making them).
bool IsOwnerName(const String& name) {
  static const String owner = "Owner";
  return SameText(name, owner);
}
bool IsNilName(const String& name) {
  static const String nil = "nil";
  return SameText(name, nil);
}

// Reads a module as the parser delivers it: the root with its properties, then each nested
// object; Finish resolves references and runs Loaded. Until Finish, the destructor takes the
// loading states off again, so that an error leaves no component marked as loading.
class TModuleReader : public TFormTextSink {
public:
  using TMakeRoot = std::function<TComponent*(TDfmObject& node)>;

  TModuleReader(const String& fileName, bool bindEvents, TMakeRoot makeRoot)
      : FFileName(fileName), FBindEvents(bindEvents), FMakeRoot(std::move(makeRoot)) {}

  ~TModuleReader() override {
    if (!FDone) Abandon();
  }

  void Root(TDfmObject& node) override {
    FRoot = FMakeRoot(node);
    FLoading.push_back(FRoot);
    FRoot->SetComponentState(TComponentStateItem::csLoading, true);
    FRoot->SetComponentState(TComponentStateItem::csReading, true);
    ReadHeaderAndProperties(FRoot, node);
  }

  void Child(TDfmObject& node) override { ReadChild(FRoot, node, FChildIndex++); }

  // Takes the loading states off before the caller destroys what was created.
  void Abandon() {
    for (TComponent* c : FLoading) {
      c->SetComponentState(TComponentStateItem::csReading, false);
      c->SetComponentState(TComponentStateItem::csLoading, false);
    }
    FLoading.clear();
    ClearFixups();
  }

  void Finish() {
    ResolveReferences();
    BindFields();
    FDone = true;
    for (TComponent* c : FLoading) DropIfEmpty(c);
    for (TComponent* c : FLoading) c->SetComponentState(TComponentStateItem::csReading, false);
    // Nested components first, the root last.
    for (size_t i = 1; i < FLoading.size(); ++i) CallLoaded(FLoading[i]);
    CallLoaded(FRoot);
  }

  // The components this read made, kept only when TrackCreated (a caller that must take them
  // back again on an error; a new module's root takes them all with it).
  bool TrackCreated = false;
  std::vector<TComponent*> Created;

private:
  // A place in a file in two words: a text file's line and column, or a binary file's offset
  // (a negative first word holding its upper part).
  struct TPackedPos {
    int32_t Line = 0;
    int32_t ColumnOrOffset = 0;

    static TPackedPos Of(TDfmPos p) {
      if (p.Offset < 0) return {p.Line, p.Column};
      return {static_cast<int32_t>(-1 - (p.Offset >> 31)), static_cast<int32_t>(p.Offset & 0x7FFFFFFF)};
    }
    TDfmPos Unpacked() const {
      if (Line >= 0) return {Line, ColumnOrOffset};
      return {0, 0, (static_cast<int64_t>(-1 - Line) << 31) | ColumnOrOffset};
    }
  };

  // References are all set once the whole module is read, in file order. Most name a component
  // read already: such a one is found at once and waits in 32 bytes, the component itself in
  // place of its name (TKnownFixup). The others wait by name (TFixup).
  struct TKnownFixup {
    TObject* Target;
    const TPropInfo* Prop;
    TComponent* Value;
    TPackedPos ValuePos;
  };
  // A known fixup's spellings where they differ from its property's name and its component's
  // (a dotted name, another letter case, "Owner"), for the message should setting it fail.
  struct TSpelling {
    size_t Fixup;
    String Name;
    String Value;
  };

  // A reference waiting for the whole module: where it goes and what the file said. Its texts
  // are kept in one buffer (FFixupText), its context by number and its places packed, so that a
  // module of many references holds each in 64 bytes rather than three strings and more.
  struct TFixup {
    TComponent* Component;
    TObject* Target;
    const TPropInfo* Prop;
    TPackedPos Pos;
    TPackedPos ValuePos;
    uint32_t NameAt, NameLength;    // the property name as written, in FFixupText; SameName: Prop's
    uint32_t ValueAt, ValueLength;  // the component name as written, in FFixupText
    uint32_t Context;               // in FFixupContexts
    uint32_t OrderIndex;
  };
  static constexpr uint32_t SameName = std::numeric_limits<uint32_t>::max();

  String FixupName(const TFixup& f) const {
    return f.NameLength == SameName ? f.Prop->Name : FFixupText.substr(f.NameAt, f.NameLength);
  }

  void AddFixup(TComponent* comp, TObject* target, const TPropInfo* pi, const String& ctx, size_t orderIndex,
                const TDfmProperty& p) {
    if (FFixupContexts.empty() || FFixupContexts.back() != ctx) FFixupContexts.push_back(ctx);
    const size_t room = std::numeric_limits<uint32_t>::max();
    if (FFixupText.size() + p.Name.size() + p.Value.Str.size() > room || orderIndex > room)
      Error(p.Pos, "too many component references in one module");
    TFixup f{comp,
             target,
             pi,
             TPackedPos::Of(p.Pos),
             TPackedPos::Of(p.Value.Pos),
             0,
             SameName,
             0,
             0,
             0,
             static_cast<uint32_t>(orderIndex)};
    if (p.Name != pi->Name) {  // a dotted name, or another letter case
      f.NameAt = static_cast<uint32_t>(FFixupText.size());
      f.NameLength = static_cast<uint32_t>(p.Name.size());
      FFixupText += p.Name;
    }
    f.ValueAt = static_cast<uint32_t>(FFixupText.size());
    f.ValueLength = static_cast<uint32_t>(p.Value.Str.size());
    FFixupText += p.Value.Str;
    f.Context = static_cast<uint32_t>(FFixupContexts.size() - 1);
    FFixups.push_back(f);
    FFixupKnown.push_back(false);
  }

  void AddKnownFixup(TObject* target, const TPropInfo* pi, TComponent* value, const TDfmProperty& p) {
    if (p.Name != pi->Name || p.Value.Str != value->Name())
      FSpellings.push_back({FKnownFixups.size(), p.Name, p.Value.Str});
    FKnownFixups.push_back({target, pi, value, TPackedPos::Of(p.Value.Pos)});
    FFixupKnown.push_back(true);
  }

  [[noreturn]] void Error(TDfmPos pos, const String& message) const { RaiseFormError(FFileName, pos, message); }

  // The root's published fields, its ancestors' too, each given the component of its name; a
  // description without one is a fault of the program, named with the class and the field.
  void BindFields() {
    for (TClass cls = FRoot->ClassType(); cls; cls = cls->Parent)
      for (const TFieldInfo& field : cls->Fields) {
        TComponent* c = FRoot->FindComponent(field.Name);
        if (!c || !field.Set(FRoot, c))
          throw EComponentError(fmt::format("The description of {} has no {} named {}", FRoot->ClassName(),
                                            field.FieldClass->Name, field.Name));
      }
  }

  // Runs fn; an error of the object model becomes a positioned parser error, "<what> <name>: "
  // before its message when given (built only then: this runs for every property).
  template <class Fn>
  void Guarded(TDfmPos pos, Fn&& fn, const char* what = nullptr, const String* name = nullptr) {
    try {
      fn();
    } catch (const EParserError&) {
      throw;
    } catch (const Exception& e) {
      if (!what) Error(pos, e.Message());
      Error(pos, fmt::format("{} {}: {}", what, name ? *name : String(), e.Message()));
    }
  }

  static void CallLoaded(TComponent* c) {
    c->Loaded();
    c->SetComponentState(TComponentStateItem::csLoading, false);
  }

  TFormExtras& ExtrasOf(TComponent* c) {
    if (auto* e = Cast<TFormExtras>(c->StreamExtras())) return *e;
    auto extras = std::make_unique<TFormExtras>();
    TFormExtras& ref = *extras;
    c->SetStreamExtras(std::move(extras));
    return ref;
  }

  // Extras without leftovers go at once, unless a reference may still need the file order.
  void DropIfEmpty(TComponent* c) {
    auto* e = Cast<TFormExtras>(c->StreamExtras());
    if (!e || !e->Empty()) return;
    if (!FDone && FOrderNeededBy == c) return;
    c->SetStreamExtras(nullptr);
  }

  // The component a reference names when the module has it already: the root for "Owner" and
  // for the root's name. Nil when the reference must wait for the whole module and may then be
  // kept as written, so that its place among the properties must be remembered: one to another
  // module (a dotted name), to a component not read yet, or to one kept from an unknown class.
  TComponent* KnownTarget(const String& name) const {
    TComponent* target = Named(name);
    return target && !Is<TUnknownComponent>(target) ? target : nullptr;
  }

  // The component of the module a reference names now: the root for "Owner" and for the
  // root's name; nil for a dotted name (another module's) or a name the module lacks.
  TComponent* Named(const String& name) const {
    if (IsOwnerName(name) || SameText(name, FRoot->Name())) return FRoot;
    if (name.find('.') != String::npos) return nullptr;
    return FRoot->FindComponent(name);
  }

  void ReadChildren(TComponent* parent, TDfmObject& node) {
    for (size_t i = 0; i < node.Children.size(); ++i) ReadChild(parent, node.Children[i], static_cast<int>(i));
  }

  void ReadChild(TComponent* parent, TDfmObject& node, int childIndex) {
    TComponent* comp = nullptr;
    if (node.Kind != TDfmObjectKind::okObject && !node.Name.empty()) comp = FRoot->FindComponent(node.Name);
    TClass cls = comp ? comp->ClassType() : ClassNamed(node.ClassName);
    if (!comp && cls) {
      if (!cls->InheritsFrom(TComponent::StaticClass()))
        Error(node.NamePos, fmt::format("class {} is not a component class", node.ClassName));
      Guarded(
          node.NamePos,
          [&] {
            std::unique_ptr<TObject> made(cls->Create(FRoot));
            comp = Cast<TComponent>(made.get());
            if (!comp) throw EComponentError("class " + node.ClassName + " did not make a component");
            if (comp->Owner() != FRoot) FRoot->InsertComponent(comp);
            made.release();  // the root owns it now
          },
          "cannot create", &node.ClassName);
      if (TrackCreated) Created.push_back(comp);
    }
    if (!comp) {
      ReadUnknown(parent, node, childIndex);
      return;
    }
    FLoading.push_back(comp);
    comp->SetComponentState(TComponentStateItem::csLoading, true);
    comp->SetComponentState(TComponentStateItem::csReading, true);
    if (!node.Name.empty()) Guarded(node.NamePos, [&] { comp->SetName(node.Name); });
    Guarded(node.Pos, [&] { comp->SetParentComponent(parent); });
    ReadHeaderAndProperties(comp, node);
    ReadChildren(comp, node);
  }

  // The registered class of the name; a module names the same few classes again and again.
  TClass ClassNamed(const String& name) {
    if (name != FLastClassName) {
      FLastClass = GetClass(name);
      FLastClassName = name;
    }
    return FLastClass;
  }

  void ReadUnknown(TComponent* parent, TDfmObject& node, int childIndex) {
    if (FUnknownClasses.insert(FoldCase(node.ClassName)).second)
      Notes.push_back(fmt::format("{}: class {} is not registered; the component is kept as written",
                                  FormPlace(FFileName, node.NamePos, false), node.ClassName));
    auto* comp = new TUnknownComponent(FRoot);
    if (TrackCreated) Created.push_back(comp);
    if (!node.Name.empty()) Guarded(node.NamePos, [&] { comp->SetName(node.Name); });
    if (parent != FRoot) comp->SetStreamedParent(parent->Name(), childIndex);
    comp->SetStreamed(std::move(node));
  }

  // ---- properties -------------------------------------------------------------------------
  // How the object was written goes into extras only when it is not plain `object Name: TClass`.
  void ReadHeaderAndProperties(TComponent* comp, TDfmObject& node) {
    if (node.Kind != TDfmObjectKind::okObject || node.Index) {
      TFormExtras& extras = ExtrasOf(comp);
      extras.Kind = node.Kind;
      extras.Index = node.Index;
    }
    ReadProperties(comp, comp, "", node.Props);
    DropIfEmpty(comp);
  }

  // The file order of a context's property names is stored only where it is used: beside
  // properties kept as written, for references that may stay so, and for the component's own
  // properties whenever it has extras at all (a design position added later goes after them).
  void ReadProperties(TComponent* comp, TObject* target, const String& ctx, std::vector<TDfmProperty>& props) {
    const size_t base = OrderSize(comp, ctx);
    std::vector<size_t> kept;
    const bool outerWanted = std::exchange(FOrderWanted, false);
    for (size_t i = 0; i < props.size(); ++i)
      if (!ReadProperty(comp, target, ctx, base + i, i, props[i])) kept.push_back(i);
    const bool wanted = std::exchange(FOrderWanted, outerWanted);
    if (kept.empty() && !wanted && !(ctx.empty() && comp->StreamExtras()) && base == 0) return;
    TFormLeftovers& left = ExtrasOf(comp).Contexts[ctx];
    left.Order.reserve(base + props.size());
    for (const TDfmProperty& p : props) left.Order.push_back(p.Name);
    for (size_t i : kept) left.Props.emplace_back(base + i, std::move(props[i]));
  }

  // How many property names of the context are stored already (a component read twice).
  static size_t OrderSize(const TComponent* comp, const String& ctx) {
    const auto* extras = Cast<const TFormExtras>(comp->StreamExtras());
    if (!extras) return 0;
    auto it = extras->Contexts.find(ctx);
    return it == extras->Contexts.end() ? 0 : it->second.Order.size();
  }

  // The property of a name at a place in an object's list. A module's objects come in runs of
  // one class with their properties in one order, so the property the last object of the class
  // had at that place is tried first, then the names the class has been asked for as written
  // (the lookup gives the same for the same name; comparing costs less than looking up).
  const TPropInfo* FindPropAt(TObject* obj, size_t place, const String& name) {
    const TClass cls = obj->ClassType();
    if (cls != FGuessClass) {
      FGuessClass = cls;
      FGuess = &FGuesses[cls];
    }
    TPropGuesses& guess = *FGuess;
    if (place < guess.ByPlace.size() && guess.ByPlace[place] && guess.ByPlace[place]->Name == name)
      return guess.ByPlace[place];
    const TPropInfo* pi = nullptr;
    auto seen = std::find_if(guess.Seen.begin(), guess.Seen.end(), [&](const auto& s) { return s.first == name; });
    if (seen != guess.Seen.end()) {
      pi = seen->second;
    } else {
      pi = cls->FindProp(name);
      if (guess.Seen.size() < MaxSeenNames) guess.Seen.emplace_back(name, pi);
    }
    if (place >= guess.ByPlace.size()) guess.ByPlace.resize(place + 1);
    guess.ByPlace[place] = pi;
    return pi;
  }

  // Sets one property, the place-th of its object's list; false when no class knows it, so
  // that the caller keeps it as written.
  bool ReadProperty(TComponent* comp, TObject* target, const String& ctx, size_t orderIndex, size_t place,
                    TDfmProperty& p) {
    TObject* obj = target;
    const TPropInfo* pi = nullptr;
    String segment;  // the last part of a dotted name
    if (size_t dot = p.Name.find('.'); dot != String::npos) {
      // Walk the dotted path through owned sub-objects.
      for (size_t start = 0;; dot = p.Name.find('.', start)) {
        segment = p.Name.substr(start, dot == String::npos ? String::npos : dot - start);
        if (dot == String::npos) break;
        pi = GetPropInfo(obj, segment);
        if (!pi || pi->Kind() != TTypeKind::tkClass || pi->IsReference) return false;
        TObject* sub = nullptr;
        Guarded(p.Pos, [&] { sub = GetObjectProp(obj, pi); });
        if (!sub) return false;
        obj = sub;
        start = dot + 1;
      }
      if (SameText(segment, "Strings"))
        if (auto* strings = Cast<TStrings>(obj)) {
          ReadStrings(strings, p);
          return true;
        }
      pi = GetPropInfo(obj, segment);
    } else {
      pi = FindPropAt(obj, place, p.Name);
    }
    if (!pi) return false;
    const TDfmValue& v = p.Value;
    switch (pi->Kind()) {
    case TTypeKind::tkInteger: {
      if (!pi->SetOrd) return false;
      int64_t value = v.Int;
      if (v.Kind == TDfmValueKind::vkIdent) {
        if (!IdentToIntOfType(pi->PropType, v.Str, value))
          Error(v.Pos, fmt::format("invalid value \"{}\" for property {}: not a constant of {}", v.Str, p.Name,
                                   pi->PropType->Name));
      } else if (v.Kind != TDfmValueKind::vkInteger) {
        WrongKind(p, "an integer");
      }
      if (pi->PropType == TypeInfoInteger()) {
        if (value < INT32_MIN || value > UINT32_MAX)
          Error(v.Pos, fmt::format("value {} out of range for property {}", value, p.Name));
        value = static_cast<int32_t>(static_cast<uint32_t>(value));
      }
      Guarded(
          v.Pos, [&] { SetOrdProp(obj, pi, value); }, "cannot set", &p.Name);
      return true;
    }
    case TTypeKind::tkEnumeration: {
      if (!pi->SetOrd) return false;
      if (v.Kind != TDfmValueKind::vkIdent) WrongKind(p, "an identifier");
      int value = GetEnumValue(pi->PropType, v.Str);
      if (value < 0)
        Error(v.Pos, fmt::format("invalid value \"{}\" for property {}: not a value of {}", v.Str, p.Name,
                                 pi->PropType->Name));
      Guarded(
          v.Pos, [&] { SetOrdProp(obj, pi, value); }, "cannot set", &p.Name);
      return true;
    }
    case TTypeKind::tkSet: {
      if (!pi->SetOrd) return false;
      if (v.Kind != TDfmValueKind::vkSet) WrongKind(p, "a set");
      uint64_t mask = 0;
      for (const String& name : v.Names) {
        int e = GetEnumValue(pi->PropType->CompType, name);
        if (e < 0 || e >= 64)
          Error(v.Pos, fmt::format("invalid value \"{}\" for property {}: not an element of {}", name, p.Name,
                                   pi->PropType->Name));
        mask |= uint64_t{1} << e;
      }
      Guarded(
          v.Pos, [&] { SetOrdProp(obj, pi, static_cast<int64_t>(mask)); }, "cannot set", &p.Name);
      return true;
    }
    case TTypeKind::tkString:
      if (!pi->SetStr) return false;
      if (v.Kind != TDfmValueKind::vkString) WrongKind(p, "a string");
      Guarded(
          v.Pos, [&] { SetStrProp(obj, pi, v.Str); }, "cannot set", &p.Name);
      return true;
    case TTypeKind::tkFloat: {
      if (!pi->SetFloat) return false;
      if (v.Kind != TDfmValueKind::vkFloat && v.Kind != TDfmValueKind::vkInteger) WrongKind(p, "a number");
      double d = v.Kind == TDfmValueKind::vkFloat ? v.Float : static_cast<double>(v.Int);
      Guarded(
          v.Pos, [&] { pi->SetFloat(obj, d); }, "cannot set", &p.Name);
      return true;
    }
    case TTypeKind::tkMethod:
      if (!pi->SetMethodName) return false;
      if (v.Kind != TDfmValueKind::vkIdent) WrongKind(p, "a method name");
      ReadEvent(obj, pi, p);
      return true;
    case TTypeKind::tkClass:
      if (pi->IsReference) {
        if (!pi->SetObj) return false;
        if (v.Kind != TDfmValueKind::vkIdent) WrongKind(p, "a component name");
        if (IsNilName(v.Str)) {
          Guarded(
              v.Pos, [&] { SetObjectProp(obj, pi, nullptr); }, "cannot set", &p.Name);
        } else if (TComponent* known = KnownTarget(v.Str)) {
          AddKnownFixup(obj, pi, known, p);
        } else {
          FOrderNeededBy = comp;
          FOrderWanted = true;
          AddFixup(comp, obj, pi, ctx, orderIndex, p);
        }
        return true;
      }
      if (v.Kind == TDfmValueKind::vkCollection) {
        TObject* sub = nullptr;
        Guarded(p.Pos, [&] { sub = GetObjectProp(obj, pi); });
        auto* coll = Cast<TCollection>(sub);
        if (!coll) WrongKind(p, "a value of its kind");
        ReadCollection(comp, coll, ctx, p);
        return true;
      }
      WrongKind(p, pi->PropType->Name == "TStrings" ? "a list in " + p.Name + ".Strings" : "a value it can take");
    default: return false;
    }
  }

  [[noreturn]] void WrongKind(const TDfmProperty& p, const String& expected) {
    Error(p.Value.Pos, fmt::format("invalid value for property {}: expected {} but found {}", p.Name, expected,
                                   ValueKindName(p.Value.Kind)));
  }

  void ReadStrings(TStrings* strings, const TDfmProperty& p) {
    if (p.Value.Kind != TDfmValueKind::vkList) WrongKind(p, "a list of strings");
    for (const TDfmValue& item : p.Value.Items)
      if (item.Kind != TDfmValueKind::vkString)
        Error(item.Pos,
              fmt::format("invalid value in {}: expected a string but found {}", p.Name, ValueKindName(item.Kind)));
    Guarded(
        p.Value.Pos,
        [&] {
          strings->BeginUpdate();
          try {
            strings->Clear();
            for (const TDfmValue& item : p.Value.Items) strings->Add(item.Str);
          } catch (...) {
            strings->EndUpdate();
            throw;
          }
          strings->EndUpdate();
        },
        "cannot set", &p.Name);
  }

  void ReadCollection(TComponent* comp, TCollection* coll, const String& ctx, TDfmProperty& p) {
    coll->BeginUpdate();
    struct TEnd {
      TCollection* C;
      ~TEnd() { C->EndUpdate(); }
    } end{coll};
    Guarded(
        p.Value.Pos, [&] { coll->Clear(); }, "cannot set", &p.Name);
    auto& items = p.Value.CollItems;
    for (size_t i = 0; i < items.size(); ++i) {
      TCollectionItem* item = nullptr;
      Guarded(
          items[i].Pos, [&] { item = coll->Add(); }, "cannot add an item to", &p.Name);
      ReadProperties(comp, item, FormItemContext(ctx, p.Name, static_cast<int>(i)), items[i].Props);
    }
  }

  void ReadEvent(TObject* obj, const TPropInfo* pi, const TDfmProperty& p) {
    const String& name = p.Value.Str;
    if (IsNilName(name)) {
      Guarded(p.Value.Pos, [&] { pi->SetMethodName(obj, String()); });
      return;
    }
    Guarded(
        p.Value.Pos, [&] { pi->SetMethodName(obj, name); }, "cannot set", &p.Name);
    if (!FBindEvents) return;
    const TMethodInfo* method = FRoot->ClassType()->FindMethod(name);
    if (!method)
      Error(p.Value.Pos,
            fmt::format("method {} of {} not found (named by event {})", name, FRoot->ClassName(), p.Name));
    if (!pi->BindMethod) Error(p.Value.Pos, fmt::format("event {} cannot be bound", p.Name));
    Guarded(
        p.Value.Pos, [&] { pi->BindMethod(obj, method->Bind(FRoot)); }, "cannot bind the method to", &p.Name);
  }

  // References name components of the module, or "Owner" for the root. A name with a dot
  // (another module's component) or a name the module lacks is kept as written.
  void ResolveReferences() {
    size_t known = 0, byName = 0;
    for (const bool isKnown : FFixupKnown) {
      if (isKnown) {
        SetKnown(FKnownFixups[known], known);
        ++known;
      } else {
        Resolve(FFixups[byName++]);
      }
    }
    ClearFixups();
  }

  void ClearFixups() {
    FFixups.clear();
    FFixupText.clear();
    FFixupContexts.clear();
    FKnownFixups.clear();
    FSpellings.clear();
    FFixupKnown.clear();
  }

  // A reference to a component read before it: set, or an error under the names as written.
  void SetKnown(const TKnownFixup& f, size_t number) {
    try {
      SetObjectProp(f.Target, f.Prop, f.Value);
    } catch (const Exception& e) {
      String name = f.Prop->Name, value = f.Value->Name();
      for (const TSpelling& spelling : FSpellings)
        if (spelling.Fixup == number) {
          name = spelling.Name;
          value = spelling.Value;
        }
      Error(f.ValuePos.Unpacked(), fmt::format("cannot set {} to {}: {}", name, value, e.Message()));
    }
  }

  // A reference by name: set to the component of that name the module now has, or kept as written.
  void Resolve(const TFixup& f) {
    const String name = FFixupText.substr(f.ValueAt, f.ValueLength);
    TComponent* target = Named(name);
    bool set = false;
    if (target) {
      try {
        SetObjectProp(f.Target, f.Prop, target);
        set = true;
      } catch (const Exception& e) {
        // A component kept from an unknown class cannot be checked against the property's
        // class: keep the reference as written. A known one of the wrong class is an error.
        if (!Is<TUnknownComponent>(target))
          Error(f.ValuePos.Unpacked(), fmt::format("cannot set {} to {}: {}", FixupName(f), name, e.Message()));
      }
    }
    if (!set) {
      TDfmProperty kept{FixupName(f), f.Pos.Unpacked(), TDfmValue::Ident(name)};
      kept.Value.Pos = f.ValuePos.Unpacked();
      ExtrasOf(f.Component).Contexts[FFixupContexts[f.Context]].Props.emplace_back(f.OrderIndex, std::move(kept));
    }
  }

public:
  std::vector<String> Notes;  // what a caller is told once the module is read

private:
  std::unordered_set<String> FUnknownClasses;  // folded names already noted
  const String& FFileName;
  bool FBindEvents;
  TMakeRoot FMakeRoot;
  bool FDone = false;
  int FChildIndex = 0;
  TComponent* FRoot = nullptr;
  std::vector<TComponent*> FLoading;  // root first, then in creation order
  std::deque<TFixup> FFixups;         // a deque: no copy of them all, and no double of them, at each growth
  static_assert(sizeof(TFixup) == 64, "eight fixups fill one block of the deque");
  std::deque<TKnownFixup> FKnownFixups;
  std::vector<TSpelling> FSpellings;     // by fixup number
  std::vector<bool> FFixupKnown;         // for each reference in file order: whether it is a known one
  String FFixupText;                     // the fixups' names and values, one after another
  std::vector<String> FFixupContexts;    // the fixups' contexts, each run of one stored once
  TComponent* FOrderNeededBy = nullptr;  // the last component read with a reference that may stay
  bool FOrderWanted = false;             // such a reference was met in the context being read
  String FLastClassName;                 // ClassNamed's last question and answer
  TClass FLastClass = nullptr;
  struct TPropGuesses {
    std::vector<const TPropInfo*> ByPlace;                  // as found at each place last
    std::vector<std::pair<String, const TPropInfo*>> Seen;  // names as written, and what they gave
  };
  static constexpr size_t MaxSeenNames = 32;          // a longer list would cost more than the lookup
  std::unordered_map<TClass, TPropGuesses> FGuesses;  // FindPropAt's, by class
  TClass FGuessClass = nullptr;                       // and the last class asked for
  TPropGuesses* FGuess = nullptr;
};

std::unique_ptr<TComponent> MakeRoot(const TDfmObject& node, const TFormReadOptions& options, const String& fileName) {
  std::unique_ptr<TComponent> root;
  try {
    if (options.CreateRoot) root = options.CreateRoot(node.ClassName);
    if (!root) {
      if (TClass cls = GetClass(node.ClassName); cls && cls->InheritsFrom(TComponent::StaticClass())) {
        std::unique_ptr<TObject> made(cls->Create(nullptr));
        if (auto* c = Cast<TComponent>(made.get())) {
          made.release();
          root.reset(c);
        }
      }
    }
    if (!root) {
      auto dm = std::make_unique<TDataModule>(nullptr);
      if (!SameText(node.ClassName, "TDataModule")) dm->SetStreamedClassName(node.ClassName);
      root = std::move(dm);
    }
  } catch (const EParserError&) {
    throw;
  } catch (const Exception& e) {
    RaiseFormError(fileName, node.NamePos, "cannot create " + node.ClassName + ": " + e.Message());
  }
  return root;
}

}  // namespace

std::unique_ptr<TComponent> ReadModule(std::string_view Text, const String& FileName, const TFormReadOptions& Options) {
  std::unique_ptr<TComponent> root;
  {
    TModuleReader reader(FileName, Options.BindEvents, [&](TDfmObject& node) {
      root = MakeRoot(node, Options, FileName);
      if (Options.Designing) root->SetDesigning(true);
      if (!node.Name.empty()) {
        try {
          root->SetName(node.Name);
        } catch (const Exception& e) {
          RaiseFormError(FileName, node.NamePos, e.Message());
        }
      }
      return root.get();
    });
    ParseForm(Text, FileName, reader);
    reader.Finish();
    if (Options.OnNote)
      for (const String& note : reader.Notes) Options.OnNote(note);
  }
  return root;
}

std::unique_ptr<TComponent> ReadModuleFromFile(const String& FileName, const TFormReadOptions& Options) {
  return ReadModule(ReadFileToString(FileName), ExtractFileName(FileName), Options);
}

void ReadRootComponent(TComponent* Root, std::string_view Text, const String& FileName, bool BindEvents) {
  TModuleReader reader(FileName, BindEvents, [&](TDfmObject& node) {
    // A second instance of a form takes a free name (Form1_1) beside the first.
    if (!node.Name.empty() && Root->Name().empty()) {
      String name = node.Name;
      for (int i = 1; Root->Owner() && Root->Owner()->FindComponent(name); ++i)
        name = node.Name + "_" + std::to_string(i);
      try {
        Root->SetName(name);
      } catch (const Exception& e) {
        RaiseFormError(FileName, node.NamePos, e.Message());
      }
    }
    return Root;
  });
  reader.TrackCreated = true;
  try {
    ParseForm(Text, FileName, reader);
    reader.Finish();
  } catch (...) {
    reader.Abandon();
    for (auto it = reader.Created.rbegin(); it != reader.Created.rend(); ++it) Root->RemoveComponent(*it).reset();
    throw;
  }
}

}  // namespace rtl
