#include "DesignerWindow.h"

#include "CodeEditorPane.h"
#include "InspectorView.h"
#include "ModuleSurface.h"
#include "ObjectTreeView.h"
#include "PalettePane.h"
#include "QtGraphics.h"

#include "DesignSession.h"
#include "designer/OpenModule.h"
#include "designintf/Sprigs.h"
#include "vcl/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>

namespace designer {

namespace {

constexpr int MaxRecent = 8;

void ShowError(const std::exception& E) { vcl::MessageDlg(E.what(), vcl::mtError, {vcl::mbOK}, 0); }

QSettings RecentSettings() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "korvane", "korv-gui"); }

bool SameFile(const QString& A, const QString& B) {
  std::error_code ec;
  return std::filesystem::equivalent(StdStr(A), StdStr(B), ec);
}

}  // namespace

TDesignerWindow::TDesignerWindow(TDesignSession& Session, std::ostringstream* Warnings, QWidget* Parent)
    : QMainWindow(Parent), FSession(Session), FWarnings(Warnings) {
  setObjectName("DesignerWindow");
  FPalette = new TPalettePane(Session.Loader(), this);
  FSurface = new TModuleSurface(Session.Loader());
  FTree = new TObjectTreeView;
  FInspector = new TInspectorView;
  FCodeEditor = new TCodeEditorPane(Session.Services());
  FCodeEditor->hide();
  InstallCodeEditor(Session.Services(), std::make_shared<TPaneCodeEditor>(FCodeEditor));

  auto* scroll = new QScrollArea;
  scroll->setObjectName("SurfaceArea");
  scroll->setWidget(FSurface);
  scroll->setWidgetResizable(true);
  scroll->setBackgroundRole(QPalette::Base);

  auto* left = new QSplitter(Qt::Vertical);
  left->addWidget(FTree);
  left->addWidget(FInspector);
  left->setStretchFactor(1, 2);
  auto* right = new QSplitter(Qt::Vertical);
  right->addWidget(scroll);
  right->addWidget(FCodeEditor);
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 2);
  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(left);
  split->addWidget(right);
  split->setStretchFactor(1, 3);
  split->setSizes({280, 620});

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(FPalette);
  layout->addWidget(split, 1);
  setCentralWidget(central);

  BuildMenus();
  connect(FPalette, &TPalettePane::ClassArmed, this, [this](rtl::TClass c) { FSurface->SetArmedClass(c); });
  connect(FSurface, &TModuleSurface::ComponentDropped, this, [this] { FPalette->Disarm(); });
  connect(FSurface, &TModuleSurface::SelectionChanged, this, [this] {
    FTree->ShowSelection();
    FInspector->Refresh();
  });
  connect(FTree, &TObjectTreeView::SelectionChanged, this, [this] {
    FSurface->update();
    FInspector->Refresh();
  });
  connect(FInspector, &TInspectorView::Changed, this, [this] { ScheduleRefresh(); });
  // A component's node offers the surface's menu for it.
  FTree->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(FTree, &QWidget::customContextMenuRequested, this, [this](const QPoint& At) {
    designintf::TSprig* node = FTree->NodeOf(FTree->itemAt(At));
    auto* c = node ? dynamic_cast<rtl::TComponent*>(node->Item()) : nullptr;
    if (!c || !FModule || c == FModule->GetRoot()) return;
    FModule->SelectComponent(c);
    FTree->ShowSelection();
    FInspector->Refresh();
    FSurface->update();
    FSurface->ContextMenu(c)->exec(FTree->viewport()->mapToGlobal(At));
  });
  connect(FCodeEditor, &TCodeEditorPane::ModulesChanged, this, [this] { UpdateTitle(); });
  resize(960, 640);
  AttachModule();
}

TDesignerWindow::~TDesignerWindow() {
  FSession.Services().SetCodeEditor({});
  if (FModule && FModule == FSession.Module() && FListener) FModule->RemoveModifiedListener(FListener);
}

void TDesignerWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  QToolBar* bar = addToolBar("File");
  bar->setObjectName("FileToolBar");
  bar->setMovable(false);
  auto add = [&](const QString& text, QStyle::StandardPixmap icon, QKeySequence key, auto slot, bool onBar) {
    QAction* a = file->addAction(style()->standardIcon(icon), text, this, slot);
    a->setShortcut(key);
    a->setObjectName(QString(text).remove('&').remove("...").replace(' ', ""));
    if (onBar) bar->addAction(a);
    return a;
  };
  add(
      "&New Data Module", QStyle::SP_FileIcon, QKeySequence::New, [this] { NewModule(); }, true);
  add(
      "&Open...", QStyle::SP_DialogOpenButton, QKeySequence::Open,
      [this] {
        const QString name =
            QFileDialog::getOpenFileName(this, "Open Data Module", QString(), "Form files (*.dfm);;All files (*)",
                                         nullptr, QFileDialog::DontUseNativeDialog);
        if (!name.isEmpty()) OpenFile(name);
      },
      true);
  FRecentMenu = file->addMenu("&Reopen");
  add(
      "&Save", QStyle::SP_DialogSaveButton, QKeySequence::Save, [this] { Save(); }, true);
  add(
      "Save &As...", QStyle::SP_DriveFDIcon, QKeySequence::SaveAs, [this] { SaveAs(); }, false);
  add(
      "&Close", QStyle::SP_DialogCloseButton, QKeySequence::Close, [this] { CloseModule(); }, false);
  file->addSeparator();
  add(
      "&Quit", QStyle::SP_DialogCancelButton, QKeySequence::Quit, [this] { close(); }, false);

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->addAction("&Delete", this, [this] { FSurface->DeleteSelected(); });
  edit->addAction("&Rename...", this, [this] { FSurface->RenameSelected(); });
  QMenu* text = menuBar()->addMenu("&Text");
  text->addAction("&Save Text", this, [this] { FCodeEditor->SaveTab(FCodeEditor->currentIndex()); });
  text->addAction("&Close Text", this, [this] { FCodeEditor->CloseTab(FCodeEditor->currentIndex()); });
  UpdateRecentMenu();
}

// ------------------------------------------------------------------ the module

void TDesignerWindow::AttachModule() {
  if (FSession.Module() != FModule) {
    FModule = FSession.Module();
    FListener = FModule ? FModule->AddModifiedListener([this] { ScheduleRefresh(); }) : 0;
  }
  FSurface->SetModule(FModule);
  FTree->SetTree(FModule, FSession.Tree());
  FInspector->SetModule(FModule);
  FCodeEditor->Refresh();
  UpdateTitle();
}

void TDesignerWindow::ScheduleRefresh() {
  UpdateTitle();
  if (FRefreshPending) return;
  FRefreshPending = true;
  QTimer::singleShot(0, this, [this] { RefreshAll(); });
}

void TDesignerWindow::RefreshAll() {
  FRefreshPending = false;
  FSurface->Refresh();
  FTree->Refresh();
  FInspector->Refresh();
  FCodeEditor->Refresh();
  UpdateTitle();
}

void TDesignerWindow::UpdateTitle() {
  QString title = "Korvane Designer";
  if (FModule) {
    const QString file =
        FModule->FileName().empty() ? QString("not saved") : QFileInfo(QStr(FModule->FileName())).fileName();
    title = QStr(FModule->GetRoot()->Name()) + " (" + file + ")[*] - " + title;
  }
  setWindowTitle(title);
  setWindowModified(FSession.HasUnsavedChanges());
}

void TDesignerWindow::ShowWarnings() {
  if (!FWarnings || FWarnings->str().empty()) return;
  String text = FWarnings->str();
  FWarnings->str({});
  while (!text.empty() && text.back() == '\n') text.pop_back();
  vcl::MessageDlg(text, vcl::mtWarning, {vcl::mbOK}, 0);
}

bool TDesignerWindow::OpenFile(const QString& FileName) {
  if (!ConfirmDiscard()) return false;
  try {
    // Changes the developer chose to discard go first; an unchanged module stays open when the
    // new one cannot be read.
    if (FSession.HasUnsavedChanges()) FSession.CloseModule(true);
    FSession.OpenModule(StdStr(FileName));
  } catch (const std::exception& e) {
    AttachModule();
    ShowWarnings();
    ShowError(e);
    return false;
  }
  AttachModule();
  ShowWarnings();
  AddRecent(QFileInfo(FileName).absoluteFilePath());
  return true;
}

bool TDesignerWindow::NewModule() {
  if (!ConfirmDiscard()) return false;
  try {
    FSession.CloseModule(true);
    FSession.Execute({"new", "TDataModule", "DataModule1"});
  } catch (const std::exception& e) {
    ShowError(e);
  }
  AttachModule();
  return FModule != nullptr;
}

bool TDesignerWindow::Save() {
  if (!FModule) return false;
  if (FModule->FileName().empty()) return SaveAs();
  try {
    FSession.Execute({"save"});
  } catch (const std::exception& e) {
    ShowError(e);
    return false;
  }
  RefreshAll();
  return true;
}

bool TDesignerWindow::SaveAs(const QString& FileName) {
  if (!FModule) return false;
  QString name = FileName;
  std::vector<String> command{"save"};
  if (name.isEmpty()) {
    // The file type chooses the format; it starts at the one the module came in.
    const QString text = "Text form files (*.dfm)", binary = "Binary form files (*.dfm)";
    QString type = FModule->Format() == rtl::TDfmFormat::dfText ? text : binary;
    name = QFileDialog::getSaveFileName(this, "Save Data Module As", QStr(FModule->FileName()),
                                        text + ";;" + binary + ";;All files (*)", &type,
                                        QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return false;
    if (type == text) command.push_back("--text");
    if (type == binary) command.push_back("--binary");
  }
  command.push_back(StdStr(name));
  try {
    FSession.Execute(command);
  } catch (const std::exception& e) {
    ShowError(e);
    return false;
  }
  // The session asks before it replaces another file; after a No the module keeps its name.
  if (!SameFile(name, QStr(FModule->FileName()))) return false;
  AddRecent(QFileInfo(name).absoluteFilePath());
  RefreshAll();
  return true;
}

bool TDesignerWindow::ConfirmDiscard() {
  if (!FModule || !FSession.HasUnsavedChanges()) return true;
  switch (vcl::MessageDlg("Save changes to " + FModule->GetRoot()->Name() + "?", vcl::mtConfirmation,
                          {vcl::mbYes, vcl::mbNo, vcl::mbCancel}, 0)) {
  case vcl::mrYes: return Save();
  case vcl::mrNo: return true;
  default: return false;
  }
}

bool TDesignerWindow::CloseModule() {
  if (!FModule) return true;
  if (!ConfirmDiscard()) return false;
  FSession.CloseModule(true);
  AttachModule();
  return true;
}

void TDesignerWindow::closeEvent(QCloseEvent* Event) {
  if (ConfirmDiscard()) {
    FSession.CloseModule(true);
    AttachModule();
    Event->accept();
  } else {
    Event->ignore();
  }
}

// ------------------------------------------------------------------ recent files

QStringList TDesignerWindow::RecentFiles() const { return RecentSettings().value("recent").toStringList(); }

void TDesignerWindow::AddRecent(const QString& FileName) {
  QStringList files = RecentFiles();
  files.removeAll(FileName);
  files.prepend(FileName);
  while (files.size() > MaxRecent) files.removeLast();
  RecentSettings().setValue("recent", files);
  UpdateRecentMenu();
}

void TDesignerWindow::UpdateRecentMenu() {
  FRecentMenu->clear();
  const QStringList files = RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    const QString f = files[i];
    FRecentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(f), this, [this, f] { OpenFile(f); });
  }
  FRecentMenu->setEnabled(!files.isEmpty());
}

}  // namespace designer
