// The object tree of an open module: one node per component, made from the registered node
// classes and placed by the nodes' own rules; drag and drop and palette drops rewire components.
//
// The tree is rebuilt after every change of the module (Modified), lazily: the next access
// rebuilds it, so node pointers are valid only until the module next changes.
#pragma once

#include "designer/OpenModule.h"
#include "designintf/Sprigs.h"

#include <nlohmann/json.hpp>

namespace designer {

// Builds the tree of Root's designing components: one node each (its registered node class, a
// TComponentSprig when none is registered, none when the registered class is no component
// node), all under the root node; then placement passes (each node FigureParent, then
// FigureChildren; pre-order, children last to first) until no node changes parent; then
// transient nodes without children are dropped and children sorted as their parents ask.
std::unique_ptr<designintf::TRootSprig> BuildSprigTree(rtl::TComponent* Root, designintf::IDesigner* Designer);

class TObjectTree {
public:
  // Follows Module's changes; Module must outlive the tree.
  explicit TObjectTree(TOpenModule& Module);
  ~TObjectTree();
  TObjectTree(const TObjectTree&) = delete;
  TObjectTree& operator=(const TObjectTree&) = delete;

  // The current tree (rebuilt first when the module changed since).
  designintf::TRootSprig* Root();
  void Rebuild();
  // How often the tree was built.
  int BuildCount() const { return FBuildCount; }

  // A node by path ("DataModule1\<DefaultSession>\Database1") or, anywhere in the tree, by
  // Name, then UniqueName, then Caption (letter case ignored). Nil when none.
  designintf::TSprig* FindNode(const String& NameOrPath);

  // Dragging Source onto Target: whether the target takes it, and the drop (true when the
  // module changed; the designer then hears Modified).
  bool DragOver(designintf::TSprig* Source, designintf::TSprig* Target);
  bool DragDrop(designintf::TSprig* Source, designintf::TSprig* Target);

  // Dropping a new component of ComponentClass from the palette onto Target: whether the
  // target takes it, and the drop: creates the component and lets its node move onto the target
  // (so a database dropped on a session node joins that session). Nil when refused.
  bool PaletteOver(rtl::TClass ComponentClass, designintf::TSprig* Target);
  rtl::TComponent* PaletteDrop(rtl::TClass ComponentClass, designintf::TSprig* Target);

  // One line per node: two blanks per level, "! " before the caption of a node that reports
  // problems.
  String Print();
  // The tree as data: caption, name, node class, item class, problems, transient, children.
  nlohmann::ordered_json ToJson();

private:
  TOpenModule& FModule;
  int FListener;
  bool FDirty = true;
  int FBuildCount = 0;
  std::unique_ptr<designintf::TRootSprig> FRoot;
};

}  // namespace designer
