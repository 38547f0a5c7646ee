// A form of the model drawn as a QDialog: each control becomes the matching widget at its exact
// bounds (no layouts), every widget named after its control.
//
// What the user does goes through vcl's gesture driver, so the model sees it as from any user
// (focus first, then the click; typing fires OnChange; the close box runs OnCloseQuery). After
// each action the widgets are brought up to date from the model with their signals blocked,
// so nothing the model changed echoes back; an exception from a handler shows as an error box
// and the dialog stays. The dialog closes when the form's modal loop has ended.
#pragma once

#include "vcl/Gestures.h"

#include <QDialog>

#include <functional>
#include <vector>

class QMenu;

namespace vcl {
class TPopupMenu;
}  // namespace vcl

namespace designer {

class TQtFormDialog : public QDialog {
  Q_OBJECT
public:
  TQtFormDialog(vcl::TForm* Form, QWidget* Parent);
  ~TQtFormDialog() override;

  vcl::TForm* Form() const { return FForm; }
  // The widget drawing a control (nil when none does).
  QWidget* WidgetOf(const vcl::TControl* Control) const;

  // Brings every widget up to date from the model.
  void Sync();
  // Runs a user's action on the model, then shows what it changed; closes when it ended the
  // modal loop. Source is the widget the user acts on (its text is left as the user typed it).
  void Act(QWidget* Source, const std::function<void(vcl::TGestureDriver&)>& Action);

protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void reject() override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  struct TBinding {
    vcl::TControl* Control;
    QWidget* Widget;
    std::function<void()> Update;  // model to widget
  };

  void Build(vcl::TWinControl* Container, QWidget* Into);
  QWidget* BuildControl(vcl::TControl* Control, QWidget* Into);
  void Bind(vcl::TControl* Control, QWidget* Widget, std::function<void()> Update);
  void SetTabOrders(vcl::TWinControl* Container);
  void ShowPopup(vcl::TControl* Control, QWidget* Widget, const QPoint& At);
  void FillMenu(QMenu* Menu, vcl::TMenuItem* Items, vcl::TControl* Control, const std::string& Path);
  void CloseIfEnded();

  vcl::TForm* FForm;
  vcl::TGestureDriver FDriver;
  std::vector<TBinding> FBindings;
  bool FSyncing = false;
  QWidget* FSource = nullptr;
};

}  // namespace designer
