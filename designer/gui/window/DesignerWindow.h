// The designer window of korv gui: menus and tool bar (new, open, save, save as, close, quit,
// recent files), the palette, the data-module surface, the object tree, the object inspector
// and the code-editor pane, all over one design session. A component's node in the tree offers
// the surface's context menu for it. Closing or quitting with unsaved changes asks Save /
// Discard / Cancel (the close box too); the title names the module and marks unsaved changes.
#pragma once

#include <QMainWindow>

#include <sstream>

namespace designer {

class TCodeEditorPane;
class TDesignSession;
class TInspectorView;
class TModuleSurface;
class TObjectTreeView;
class TOpenModule;
class TPalettePane;

class TDesignerWindow : public QMainWindow {
  Q_OBJECT
public:
  // Warnings (a database that stays closed while a module is read) are taken from Warnings
  // and shown after each open.
  TDesignerWindow(TDesignSession& Session, std::ostringstream* Warnings, QWidget* Parent = nullptr);
  ~TDesignerWindow() override;

  // Each shows its errors as message boxes and returns whether it was done.
  bool OpenFile(const QString& FileName);
  bool NewModule();
  bool Save();
  // Saves under FileName (empty: asks for one); another file of that name is replaced only
  // when the developer agrees.
  bool SaveAs(const QString& FileName = {});
  // Closes the module, asking about unsaved changes; false when the developer cancelled.
  bool CloseModule();

  // Brings every pane up to date with the module (it runs by itself after each change).
  void RefreshAll();
  QStringList RecentFiles() const;

  TPalettePane* Palette() const { return FPalette; }
  TModuleSurface* Surface() const { return FSurface; }
  TObjectTreeView* Tree() const { return FTree; }
  TInspectorView* Inspector() const { return FInspector; }
  TCodeEditorPane* CodeEditor() const { return FCodeEditor; }

protected:
  void closeEvent(QCloseEvent* Event) override;

private:
  void BuildMenus();
  void AttachModule();
  void ScheduleRefresh();
  void UpdateTitle();
  void UpdateRecentMenu();
  void AddRecent(const QString& FileName);
  // Save / Discard / Cancel for unsaved changes: true when the caller may go on.
  bool ConfirmDiscard();
  void ShowWarnings();

  TDesignSession& FSession;
  std::ostringstream* FWarnings;
  TOpenModule* FModule = nullptr;
  int FListener = 0;
  bool FRefreshPending = false;
  TPalettePane* FPalette;
  TModuleSurface* FSurface;
  TObjectTreeView* FTree;
  TInspectorView* FInspector;
  TCodeEditorPane* FCodeEditor;
  QMenu* FRecentMenu = nullptr;
};

}  // namespace designer
