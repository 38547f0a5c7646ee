#include "designer/ObjectTree.h"

#include "designintf/Registry.h"
#include "rtl/SysUtils.h"

namespace designer {

using designintf::TSprig;

namespace {

std::vector<TSprig*> ChildrenOf(TSprig* node) {
  std::vector<TSprig*> children;
  children.reserve(static_cast<size_t>(node->Count()));
  for (int i = 0; i < node->Count(); ++i) children.push_back(node->Items(i));
  return children;
}

void Place(TSprig* node) {
  node->FigureParent();
  node->FigureChildren();
  // The children as they were, last to first; one that has moved away since is placed where it
  // went. (Placement moves nodes and makes new ones, it frees none.)
  const std::vector<TSprig*> children = ChildrenOf(node);
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if ((*it)->Parent() == node) Place(*it);
}

void PruneTransients(TSprig* node) {
  const std::vector<TSprig*> children = ChildrenOf(node);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    TSprig* child = *it;
    PruneTransients(child);
    if (child->Transient() && child->Count() == 0) child->Extract();
  }
}

int CountNodes(TSprig* node) {
  int n = 1;
  for (int i = 0; i < node->Count(); ++i) n += CountNodes(node->Items(i));
  return n;
}

template <class Pred>
TSprig* Search(TSprig* node, Pred&& pred) {
  if (pred(node)) return node;
  for (int i = 0; i < node->Count(); ++i)
    if (TSprig* found = Search(node->Items(i), pred)) return found;
  return nullptr;
}

void PrintNode(TSprig* node, int level, String& out) {
  out.append(static_cast<size_t>(level) * 2, ' ');
  if (node->AnyProblems()) out += "! ";
  out += node->Caption();
  out += '\n';
  for (int i = 0; i < node->Count(); ++i) PrintNode(node->Items(i), level + 1, out);
}

nlohmann::ordered_json NodeJson(TSprig* node) {
  nlohmann::ordered_json j;
  j["caption"] = node->Caption();
  j["name"] = node->Name();
  j["sprig"] = node->ClassName();
  j["item"] = node->Item() ? nlohmann::ordered_json(node->Item()->ClassName()) : nlohmann::ordered_json();
  j["problems"] = node->AnyProblems();
  j["transient"] = node->Transient();
  auto children = nlohmann::ordered_json::array();
  for (int i = 0; i < node->Count(); ++i) children.push_back(NodeJson(node->Items(i)));
  j["children"] = std::move(children);
  return j;
}

designintf::TSprigClass SprigClassFor(rtl::TClass ComponentClass) {
  designintf::TSprigClass c = designintf::FindSprigClass(ComponentClass);
  return c ? c : designintf::TComponentSprig::StaticClass();
}

}  // namespace

std::unique_ptr<designintf::TRootSprig> BuildSprigTree(rtl::TComponent* Root, designintf::IDesigner* Designer) {
  auto root = std::make_unique<designintf::TRootSprig>(Root, Designer);
  if (!Root) return root;
  for (int i = 0; i < Root->ComponentCount(); ++i) {
    rtl::TComponent* c = Root->Components(i);
    auto state = c->ComponentState();
    if (!state.Contains(rtl::TComponentStateItem::csDesigning) ||
        state.Contains(rtl::TComponentStateItem::csDestroying))
      continue;
    designintf::TSprigClass sprigClass = SprigClassFor(c->ClassType());
    if (!sprigClass->InheritsFrom(designintf::TComponentSprig::StaticClass())) continue;
    root->Add(sprigClass->Create(c));
  }
  // Placement until nothing moves; a node set that never settles stops after a bound rather
  // than hanging the designer.
  const int limit = 2 * CountNodes(root.get()) + 16;
  for (int pass = 0; pass < limit; ++pass) {
    int before = root->ParentChanges();
    Place(root.get());
    if (root->ParentChanges() == before) break;
  }
  PruneTransients(root.get());
  root->SortChildren();
  root->SetRepopulateNeeded(false);
  return root;
}

TObjectTree::TObjectTree(TOpenModule& Module)
    : FModule(Module), FListener(Module.AddModifiedListener([this] { FDirty = true; })) {}

TObjectTree::~TObjectTree() { FModule.RemoveModifiedListener(FListener); }

designintf::TRootSprig* TObjectTree::Root() {
  if (FDirty || !FRoot || FRoot->RepopulateNeeded()) Rebuild();
  return FRoot.get();
}

void TObjectTree::Rebuild() {
  FRoot.reset();
  FRoot = BuildSprigTree(FModule.GetRoot(), &FModule);
  FDirty = false;
  ++FBuildCount;
}

TSprig* TObjectTree::FindNode(const String& NameOrPath) {
  TSprig* root = Root();
  if (NameOrPath.find('\\') != String::npos) return root->FindItemByPath(NameOrPath);
  if (rtl::SameText(NameOrPath, root->UniqueName())) return root;
  if (TSprig* s = root->Find(NameOrPath, true)) return s;
  if (TSprig* s = Search(root, [&](TSprig* n) { return n != root && rtl::SameText(n->UniqueName(), NameOrPath); }))
    return s;
  return Search(root, [&](TSprig* n) { return n != root && rtl::SameText(n->Caption(), NameOrPath); });
}

bool TObjectTree::DragOver(TSprig* Source, TSprig* Target) {
  return Source && Target && Source != Target && Target->DragOver(Source);
}

bool TObjectTree::DragDrop(TSprig* Source, TSprig* Target) {
  if (!DragOver(Source, Target)) return false;
  bool changed = Target->DragDrop(Source);
  if (changed) FModule.Modified();
  return changed;
}

bool TObjectTree::PaletteOver(rtl::TClass ComponentClass, TSprig* Target) {
  return ComponentClass && Target && Target->PaletteOver(SprigClassFor(ComponentClass), ComponentClass);
}

rtl::TComponent* TObjectTree::PaletteDrop(rtl::TClass ComponentClass, TSprig* Target) {
  if (!PaletteOver(ComponentClass, Target)) return nullptr;
  const bool onRoot = Target == Root();
  const String targetPath = Target->Path();
  rtl::TComponent* component = FModule.CreateComponent(ComponentClass);
  if (!onRoot) {
    // The tree was rebuilt with the new component; let its node go onto the target.
    TSprig* root = Root();
    TSprig* node = root->FindItem(component, true);
    TSprig* target = root->FindItemByPath(targetPath);
    if (node && target && target->DragOver(node) && target->DragDrop(node)) FModule.Modified();
  }
  return component;
}

String TObjectTree::Print() {
  String out;
  PrintNode(Root(), 0, out);
  return out;
}

nlohmann::ordered_json TObjectTree::ToJson() { return NodeJson(Root()); }

}  // namespace designer
