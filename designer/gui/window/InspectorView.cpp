#include "InspectorView.h"

#include "QtGraphics.h"

#include "designer/OpenModule.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace designer {

using designintf::TPropertyAttribute;

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ValueRole = Qt::UserRole + 1;

void ShowError(const std::exception& E) { vcl::MessageDlg(E.what(), vcl::mtError, {vcl::mbOK}, 0); }

}  // namespace

TInspectorView::TInspectorView(QWidget* Parent) : QWidget(Parent) {
  setObjectName("Inspector");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  FTabs = new QTabBar(this);
  FTabs->setObjectName("InspectorTabs");
  FTabs->addTab("Properties");
  FTabs->addTab("Events");
  FByCategory = new QCheckBox("Arrange by category", this);
  FByCategory->setObjectName("ArrangeByCategory");
  FRows = new QTreeWidget(this);
  FRows->setObjectName("InspectorRows");
  FRows->setColumnCount(2);
  FRows->setHeaderLabels({"Property", "Value"});
  FRows->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  FRows->setColumnWidth(0, 130);
  FRows->setRootIsDecorated(true);
  FRows->setIndentation(12);
  FRows->setAlternatingRowColors(true);
  layout->addWidget(FTabs);
  layout->addWidget(FByCategory);
  layout->addWidget(FRows);
  connect(FTabs, &QTabBar::currentChanged, this, [this] { Refresh(); });
  connect(FByCategory, &QCheckBox::toggled, this, [this] { Refresh(); });
  connect(FRows, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (FFilling) return;
    if (previous) FRows->removeItemWidget(previous, 1);
    if (current) MakeEditor(current);
  });
  connect(FRows, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const QString path = item->data(0, PathRole).toString();
    if (path.isEmpty()) return;
    auto editor = FInspector->Editor(StdStr(path));
    if (editor->GetAttributes().Contains(TPropertyAttribute::paDialog)) EditDialog(path);
  });
}

void TInspectorView::SetModule(TOpenModule* Module) {
  FModule = Module;
  FInspector = Module ? std::make_unique<TObjectInspector>(*Module) : nullptr;
  Refresh();
}

void TInspectorView::AddRow(const TInspectorRow& Row, QTreeWidgetItem* Parent, bool Event) {
  auto* item = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(FRows);
  item->setText(0, QStr(Row.Name));
  item->setText(1, QStr(Row.Value));
  item->setData(0, PathRole, QStr(Row.Path));
  item->setData(0, ValueRole, Event);
  if (Row.Attributes.Contains(TPropertyAttribute::paReadOnly) && !Row.Attributes.Contains(TPropertyAttribute::paDialog))
    item->setForeground(1, QColor(128, 128, 128));
}

void TInspectorView::Refresh() {
  const QString current = FRows->currentItem() ? FRows->currentItem()->data(0, PathRole).toString() : QString();
  FFilling = true;
  FRows->clear();
  if (FInspector) {
    try {
      const bool events = FTabs->currentIndex() == 1;
      std::vector<TInspectorRow> rows = FInspector->Rows(true);
      // Each top-level row with its sub-properties after it; events are the method properties.
      std::vector<std::pair<TInspectorRow, std::vector<TInspectorRow>>> groups;
      for (TInspectorRow& r : rows) {
        if (r.Level == 0)
          groups.push_back({r, {}});
        else if (!groups.empty())
          groups.back().second.push_back(r);
      }
      std::erase_if(groups, [&](const auto& g) {
        auto editor = FInspector->Editor(g.first.Path);
        const rtl::TTypeInfo* type = editor->GetPropType();
        return (type && type->Kind == rtl::TTypeKind::tkMethod) != events;
      });
      std::sort(groups.begin(), groups.end(),
                [](const auto& a, const auto& b) { return rtl::CompareText(a.first.Name, b.first.Name) < 0; });
      auto addGroup = [&](const auto& g, QTreeWidgetItem* under) {
        AddRow(g.first, under, events);
        QTreeWidgetItem* top =
            under ? under->child(under->childCount() - 1) : FRows->topLevelItem(FRows->topLevelItemCount() - 1);
        std::vector<QTreeWidgetItem*> levels{top};
        for (const TInspectorRow& sub : g.second) {
          levels.resize(static_cast<size_t>(sub.Level));
          AddRow(sub, levels.back(), events);
          levels.push_back(levels.back()->child(levels.back()->childCount() - 1));
        }
      };
      if (FByCategory->isChecked()) {
        std::map<std::string, QTreeWidgetItem*> categories;
        for (const auto& g : groups) {
          std::vector<std::string> names = g.first.Categories;
          if (names.empty()) names.push_back("Miscellaneous");
          for (const std::string& n : names) {
            QTreeWidgetItem*& cat = categories[n];
            if (!cat) {
              cat = new QTreeWidgetItem(FRows, QStringList{QStr(n)});
              QFont f = cat->font(0);
              f.setBold(true);
              cat->setFont(0, f);
              cat->setFirstColumnSpanned(true);
              cat->setExpanded(true);
            }
            addGroup(g, cat);
          }
        }
        FRows->sortItems(0, Qt::AscendingOrder);
      } else {
        for (const auto& g : groups) addGroup(g, nullptr);
      }
    } catch (const std::exception& e) {
      FFilling = false;
      ShowError(e);
      return;
    }
  }
  FFilling = false;
  if (!current.isEmpty())
    if (QTreeWidgetItem* item = RowOf(current)) {
      FRows->setCurrentItem(item);
      MakeEditor(item);
    }
}

QTreeWidgetItem* TInspectorView::RowOf(const QString& Path) const {
  for (QTreeWidgetItemIterator it(FRows); *it; ++it)
    if ((*it)->data(0, PathRole).toString().compare(Path, Qt::CaseInsensitive) == 0) return *it;
  return nullptr;
}

void TInspectorView::EditRow(const QString& Path) {
  if (QTreeWidgetItem* item = RowOf(Path)) {
    if (FRows->currentItem() == item)
      MakeEditor(item);
    else
      FRows->setCurrentItem(item);
  }
}

QWidget* TInspectorView::CurrentEditor() const {
  return FRows->currentItem() ? FRows->itemWidget(FRows->currentItem(), 1) : nullptr;
}

bool TInspectorView::SetValue(const QString& Path, const QString& Value) {
  if (!FInspector) return false;
  bool taken = false;
  try {
    FInspector->SetValue(StdStr(Path), StdStr(Value));
    taken = true;
  } catch (const std::exception& e) {
    ShowError(e);
  }
  // The rows go after the editor that called here has returned.
  QTimer::singleShot(0, this, [this] { Refresh(); });
  emit Changed();
  return taken;
}

void TInspectorView::EditDialog(const QString& Path) {
  if (!FInspector) return;
  try {
    FInspector->Edit(StdStr(Path));
  } catch (const std::exception& e) {
    ShowError(e);
  }
  QTimer::singleShot(0, this, [this] { Refresh(); });
  emit Changed();
}

void TInspectorView::MakeEditor(QTreeWidgetItem* Item) {
  const QString path = Item->data(0, PathRole).toString();
  if (path.isEmpty() || !FInspector) return;
  designintf::TPropertyAttributes attrs;
  std::vector<std::string> values;
  const rtl::TTypeInfo* type = nullptr;
  bool autoFill = false;
  try {
    auto editor = FInspector->Editor(StdStr(path));
    attrs = editor->GetAttributes();
    type = editor->GetPropType();
    if (attrs.Contains(TPropertyAttribute::paValueList)) {
      values = FInspector->GetValues(StdStr(path));
      autoFill = editor->AutoFill();
    }
  } catch (const std::exception& e) {
    ShowError(e);
    return;
  }
  const QString value = Item->text(1);
  const bool readOnly = attrs.Contains(TPropertyAttribute::paReadOnly);
  auto* box = new QWidget;
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  if (type && type->Name == "Boolean" && !readOnly) {
    auto* check = new QCheckBox(value, box);
    check->setObjectName("InspectorCheck");
    check->setChecked(rtl::SameText(StdStr(value), "True"));
    connect(check, &QCheckBox::toggled, this, [this, path](bool on) { SetValue(path, on ? "True" : "False"); });
    layout->addWidget(check);
  } else if (attrs.Contains(TPropertyAttribute::paValueList) && !readOnly) {
    auto* combo = new QComboBox(box);
    combo->setObjectName("InspectorCombo");
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QStringList items;
    for (const std::string& v : values) items << QStr(v);
    combo->addItems(items);
    combo->setEditText(value);
    combo->completer()->setCompletionMode(autoFill ? QCompleter::InlineCompletion : QCompleter::PopupCompletion);
    if (!autoFill) combo->setCompleter(nullptr);
    connect(combo, &QComboBox::activated, this, [this, path, combo](int i) { SetValue(path, combo->itemText(i)); });
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this,
            [this, path, combo] { SetValue(path, combo->currentText()); });
    layout->addWidget(combo);
  } else if (!readOnly || attrs.Contains(TPropertyAttribute::paDialog)) {
    auto* line = new QLineEdit(value, box);
    line->setObjectName("InspectorEdit");
    line->setReadOnly(readOnly);
    line->setFrame(false);
    if (!readOnly)
      connect(line, &QLineEdit::editingFinished, this, [this, path, line, value] {
        // Once only: the edit also finishes when the rows are rebuilt under it.
        if (line->property("committed").toBool() || line->text() == value) return;
        line->setProperty("committed", true);
        SetValue(path, line->text());
      });
    layout->addWidget(line);
  } else {
    delete box;
    return;
  }
  if (attrs.Contains(TPropertyAttribute::paDialog)) {
    auto* ellipsis = new QToolButton(box);
    ellipsis->setObjectName("InspectorEllipsis");
    ellipsis->setText("...");
    ellipsis->setFixedWidth(22);
    connect(ellipsis, &QToolButton::clicked, this, [this, path] { EditDialog(path); });
    layout->addWidget(ellipsis);
  }
  FRows->setItemWidget(Item, 1, box);
}

}  // namespace designer
