// The code editor pane: each text module shown (a property's SQL opened with Alt held, a
// dialog's "Code Editor" button) is a tab with line numbers and SQL colouring. Typing goes into
// the module's text (the module is then modified); saving the tab writes the text back through
// the module's file system, into the property; closing a changed tab asks.
#pragma once

#include "designer/CodeEditor.h"

#include <QPlainTextEdit>
#include <QTabWidget>

#include <memory>

namespace designer {

class TCodeEditorTab : public QPlainTextEdit {
  Q_OBJECT
public:
  TCodeEditorTab(std::shared_ptr<TTextModule> Module, QWidget* Parent);

  TTextModule* Module() const { return FModule.get(); }
  int LineNumberAreaWidth() const;
  void PaintLineNumbers(QPaintEvent* Event);

protected:
  void resizeEvent(QResizeEvent* Event) override;

private:
  std::shared_ptr<TTextModule> FModule;
  QWidget* FLineNumbers;
};

class TCodeEditorPane : public QTabWidget {
  Q_OBJECT
public:
  explicit TCodeEditorPane(TModuleServices& Services, QWidget* Parent = nullptr);

  // Opens (or brings forward) the tab of Module.
  void ShowModule(TTextModule& Module);
  TCodeEditorTab* Tab(int Index) const;
  TCodeEditorTab* CurrentTab() const;
  // Saves the current tab into its file system; false (after an error box) when that failed.
  bool SaveTab(int Index);
  // Closes a tab, asking about unsaved changes; false when the developer kept it open.
  bool CloseTab(int Index);
  // Drops the tabs of modules closed elsewhere, and renews the titles.
  void Refresh();

signals:
  // The text of a module changed, or a tab was saved or closed.
  void ModulesChanged();

private:
  TModuleServices& FServices;
};

// The code editor the module services show text modules through: the pane.
class TPaneCodeEditor : public TCodeEditor {
public:
  explicit TPaneCodeEditor(TCodeEditorPane* Pane) : FPane(Pane) {}
  void Show(TTextModule& Module) override { FPane->ShowModule(Module); }

private:
  TCodeEditorPane* FPane;
};

}  // namespace designer
