#include "QtFormDialog.h"

#include "QtGraphics.h"

#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

namespace designer {

using namespace vcl;

namespace {

QStringList ItemsOf(const rtl::TStrings* Items) {
  QStringList r;
  for (int i = 0; i < Items->Count(); ++i) r << QStr(Items->Get(i));
  return r;
}

Qt::Alignment QtAlignment(TAlignment A) {
  switch (A) {
  case taRightJustify: return Qt::AlignRight;
  case taCenter: return Qt::AlignHCenter;
  default: return Qt::AlignLeft;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers M, Qt::MouseButtons B) {
  TShiftState s;
  if (M & Qt::ShiftModifier) s.Include(ssShift);
  if (M & Qt::AltModifier) s.Include(ssAlt);
  if (M & Qt::ControlModifier) s.Include(ssCtrl);
  if (B & Qt::LeftButton) s.Include(ssLeft);
  if (B & Qt::RightButton) s.Include(ssRight);
  if (B & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

void SetCommon(TControl* C, QWidget* W) {
  W->setObjectName(QStr(C->Name()));
  W->setFont(QtFont(*C->Font()));
  if (C->ShowHint() && !C->Hint().empty()) W->setToolTip(QStr(C->Hint()));
  if (C->Cursor() == crHandPoint)
    W->setCursor(Qt::PointingHandCursor);
  else if (C->Cursor() == crIBeam)
    W->setCursor(Qt::IBeamCursor);
  else if (C->Cursor() == crHourGlass || C->Cursor() == crSQLWait)
    W->setCursor(Qt::WaitCursor);
}

// Enabled and shown as the control itself says (its parents are widgets of their own).
void UpdateState(TControl* C, QWidget* W) {
  W->setEnabled(C->Enabled());
  if (W->isVisibleTo(W->parentWidget()) != C->Visible()) W->setVisible(C->Visible());
}

void UpdateBounds(TControl* C, QWidget* W) {
  if (W->geometry() != QRect(C->Left(), C->Top(), C->Width(), C->Height()))
    W->setGeometry(C->Left(), C->Top(), C->Width(), C->Height());
}

}  // namespace

TQtFormDialog::TQtFormDialog(TForm* Form, QWidget* Parent) : QDialog(Parent), FForm(Form), FDriver(Form) {
  setObjectName(QStr(Form->Name()));
  setWindowTitle(QStr(Form->Caption()));
  setFont(QtFont(*Form->Font()));
  setFixedSize(Form->ClientWidth(), Form->ClientHeight());
  setModal(true);
  Build(Form, this);
  SetTabOrders(Form);
  Sync();
}

TQtFormDialog::~TQtFormDialog() = default;

QWidget* TQtFormDialog::WidgetOf(const TControl* Control) const {
  for (const TBinding& b : FBindings)
    if (b.Control == Control) return b.Widget;
  return nullptr;
}

// ------------------------------------------------------------------ building

void TQtFormDialog::Build(TWinControl* Container, QWidget* Into) {
  for (int i = 0; i < Container->ControlCount(); ++i) BuildControl(Container->Controls(i), Into);
}

void TQtFormDialog::Bind(TControl* Control, QWidget* Widget, std::function<void()> Update) {
  SetCommon(Control, Widget);
  Widget->installEventFilter(this);
  if (Control->PopupMenu()) {
    Widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Widget, &QWidget::customContextMenuRequested, this,
            [this, Control, Widget](const QPoint& at) { ShowPopup(Control, Widget, at); });
    // A right click in a list shows the menu without changing what is selected.
    if (auto* view = qobject_cast<QAbstractItemView*>(Widget)) view->viewport()->installEventFilter(this);
  }
  FBindings.push_back({Control, Widget, std::move(Update)});
}

QWidget* TQtFormDialog::BuildControl(TControl* C, QWidget* Into) {
  if (auto* b = dynamic_cast<TButton*>(C)) {
    auto* w = new QPushButton(Into);
    w->setAutoDefault(false);
    w->setDefault(b->Default());
    connect(w, &QPushButton::clicked, this, [this, b, w] { Act(w, [b](TGestureDriver& d) { d.Click(b); }); });
    Bind(C, w, [b, w] {
      w->setText(QStr(b->Caption()));
      w->setDefault(b->Default());
    });
    return w;
  }
  if (auto* cb = dynamic_cast<TCheckBox*>(C)) {
    auto* w = new QCheckBox(Into);
    connect(w, &QCheckBox::clicked, this, [this, cb, w] { Act(w, [cb](TGestureDriver& d) { d.Click(cb); }); });
    Bind(C, w, [cb, w] {
      w->setText(QStr(cb->Caption()));
      w->setTristate(cb->AllowGrayed());
      w->setCheckState(cb->State() == cbChecked  ? Qt::Checked
                       : cb->State() == cbGrayed ? Qt::PartiallyChecked
                                                 : Qt::Unchecked);
    });
    return w;
  }
  if (auto* e = dynamic_cast<TEdit*>(C)) {
    auto* w = new QLineEdit(Into);
    connect(w, &QLineEdit::textEdited, this, [this, e, w](const QString& text) {
      Act(w, [e, text](TGestureDriver& d) { d.Type(e->Name(), StdStr(text)); });
    });
    Bind(C, w, [this, e, w] {
      w->setEchoMode(e->PasswordChar().empty() ? QLineEdit::Normal : QLineEdit::Password);
      w->setReadOnly(e->ReadOnly());
      if (e->MaxLength() > 0) w->setMaxLength(e->MaxLength());
      if (FSource != w && w->text() != QStr(e->Text())) w->setText(QStr(e->Text()));
    });
    return w;
  }
  if (auto* m = dynamic_cast<TMemo*>(C)) {
    auto* w = new QPlainTextEdit(Into);
    connect(w, &QPlainTextEdit::textChanged, this,
            [this, m, w] { Act(w, [m, w](TGestureDriver& d) { d.Type(m->Name(), StdStr(w->toPlainText())); }); });
    Bind(C, w, [this, m, w] {
      w->setReadOnly(m->ReadOnly());
      w->setTabChangesFocus(!m->WantTabs());
      w->setLineWrapMode(m->WordWrap() && m->ScrollBars() != ssHorizontal && m->ScrollBars() != ssBoth
                             ? QPlainTextEdit::WidgetWidth
                             : QPlainTextEdit::NoWrap);
      const bool v = m->ScrollBars() == ssVertical || m->ScrollBars() == ssBoth;
      const bool h = m->ScrollBars() == ssHorizontal || m->ScrollBars() == ssBoth;
      w->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      w->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      if (FSource != w && w->toPlainText() != QStr(m->Text())) w->setPlainText(QStr(m->Text()));
    });
    return w;
  }
  if (auto* cb = dynamic_cast<TComboBox*>(C)) {
    auto* w = new QComboBox(Into);
    w->setEditable(cb->Editable());
    w->setInsertPolicy(QComboBox::NoInsert);
    connect(w, &QComboBox::activated, this,
            [this, cb, w](int index) { Act(w, [cb, index](TGestureDriver& d) { d.ChooseIndex(cb->Name(), index); }); });
    if (QLineEdit* line = w->lineEdit())
      connect(line, &QLineEdit::textEdited, this, [this, cb, w](const QString& text) {
        Act(w, [cb, text](TGestureDriver& d) { d.Type(cb->Name(), StdStr(text)); });
      });
    Bind(C, w, [this, cb, w] {
      const QStringList items = ItemsOf(cb->Items());
      QStringList shown;
      for (int i = 0; i < w->count(); ++i) shown << w->itemText(i);
      if (shown != items) {
        w->clear();
        w->addItems(items);
      }
      w->setMaxVisibleItems(std::max(1, cb->DropDownCount()));
      if (w->currentIndex() != cb->ItemIndex()) w->setCurrentIndex(cb->ItemIndex());
      if (w->isEditable() && FSource != w && w->currentText() != QStr(cb->Text())) w->setEditText(QStr(cb->Text()));
    });
    return w;
  }
  if (auto* lb = dynamic_cast<TListBox*>(C)) {
    auto* w = new QListWidget(Into);
    w->setSelectionMode(!lb->MultiSelect()     ? QAbstractItemView::SingleSelection
                        : lb->ExtendedSelect() ? QAbstractItemView::ExtendedSelection
                                               : QAbstractItemView::MultiSelection);
    connect(w, &QListWidget::itemSelectionChanged, this, [this, lb, w] {
      // The user's selection, by index (items may share a caption): as the driver's pick does,
      // the focus moves first, then the selection is made and the list clicks.
      std::vector<int> picked;
      for (int i = 0; i < w->count(); ++i)
        if (w->item(i)->isSelected()) picked.push_back(i);
      const int current = w->currentRow();
      Act(w, [lb, picked, current](TGestureDriver& d) {
        TGestureDriver::CheckUsable(lb);
        if (d.Form()->ActiveControl() != lb && lb->CanFocus()) d.Focus(lb);
        lb->ClearSelection();
        for (int i : picked) lb->SetSelected(i, true);
        if (lb->MultiSelect() && current >= 0) lb->SetItemIndex(current);
        lb->Click();
        d.Form()->CheckModalClose();
      });
    });
    Bind(C, w, [lb, w] {
      const QStringList items = ItemsOf(lb->Items());
      bool same = w->count() == items.size();
      for (int i = 0; same && i < w->count(); ++i) same = w->item(i)->text() == items[i];
      if (!same) {
        w->clear();
        w->addItems(items);
      }
      for (int i = 0; i < w->count(); ++i)
        if (w->item(i)->isSelected() != lb->Selected(i)) w->item(i)->setSelected(lb->Selected(i));
      if (lb->ItemIndex() >= 0 && lb->ItemIndex() < w->count() && w->currentRow() != lb->ItemIndex())
        w->setCurrentRow(lb->ItemIndex(), QItemSelectionModel::NoUpdate);
    });
    return w;
  }
  if (auto* rg = dynamic_cast<TRadioGroup*>(C)) {
    auto* w = new QGroupBox(Into);
    auto* group = new QButtonGroup(w);
    connect(group, &QButtonGroup::idClicked, this,
            [this, rg, w](int index) { Act(w, [rg, index](TGestureDriver& d) { d.ChooseIndex(rg->Name(), index); }); });
    Bind(C, w, [rg, w, group] {
      w->setTitle(QStr(rg->Caption()));
      const QStringList items = ItemsOf(rg->Items());
      QList<QAbstractButton*> buttons = group->buttons();
      bool same = buttons.size() == items.size();
      for (int i = 0; same && i < items.size(); ++i) same = group->button(i) && group->button(i)->text() == items[i];
      if (!same) {
        for (QAbstractButton* b : buttons) delete b;
        const int columns = std::max(1, rg->Columns());
        const int rows = std::max(1, (static_cast<int>(items.size()) + columns - 1) / columns);
        // The items fill the area below the caption, column by column.
        const int top = 16, left = 8;
        const int colWidth = std::max(1, (rg->Width() - 2 * left) / columns);
        const int rowHeight = std::max(1, (rg->Height() - top - 4) / rows);
        for (int i = 0; i < items.size(); ++i) {
          auto* rb = new QRadioButton(items[i], w);
          rb->setObjectName(w->objectName() + "_" + QString::number(i));
          rb->setGeometry(left + (i / rows) * colWidth, top + (i % rows) * rowHeight, colWidth,
                          std::min(rowHeight, 20));
          group->addButton(rb, i);
          rb->show();
        }
      }
      group->setExclusive(false);
      for (QAbstractButton* b : group->buttons()) b->setChecked(group->id(b) == rg->ItemIndex());
      group->setExclusive(true);
    });
    return w;
  }
  if (auto* pc = dynamic_cast<TPageControl*>(C)) {
    auto* w = new QTabWidget(Into);
    for (int i = 0; i < pc->PageCount(); ++i) {
      TTabSheet* page = pc->Pages(i);
      auto* pw = new QWidget;
      w->addTab(pw, QStr(page->Caption()));
      Bind(page, pw, [pc, w, page, pw] {
        const int at = w->indexOf(pw);
        w->setTabText(at, QStr(page->Caption()));
        w->setTabVisible(at, page->TabVisible() && page->Visible());
        pw->setEnabled(page->Enabled());
      });
      Build(page, pw);
    }
    connect(w, &QTabWidget::currentChanged, this, [this, pc, w](int index) {
      if (index < 0 || index >= pc->PageCount()) return;
      const std::string caption = StripHotkey(pc->Pages(index)->Caption());
      Act(w, [pc, caption](TGestureDriver& d) { d.Page(pc->Name(), caption); });
    });
    Bind(C, w, [pc, w] {
      if (pc->ActivePageIndex() >= 0 && w->currentIndex() != pc->ActivePageIndex())
        w->setCurrentIndex(pc->ActivePageIndex());
    });
    return w;
  }
  if (auto* gb = dynamic_cast<TGroupBox*>(C)) {
    auto* w = new QGroupBox(Into);
    Bind(C, w, [gb, w] { w->setTitle(QStr(gb->Caption())); });
    Build(gb, w);
    return w;
  }
  if (auto* p = dynamic_cast<TPanel*>(C)) {
    auto* w = new QFrame(Into);
    Bind(C, w, [p, w] {
      const TBevelCut cut = p->BevelOuter() != bvNone ? p->BevelOuter() : p->BevelInner();
      w->setFrameShape(cut == bvNone ? QFrame::NoFrame : QFrame::Panel);
      w->setFrameShadow(cut == bvLowered ? QFrame::Sunken : QFrame::Raised);
      w->setLineWidth(p->BevelWidth());
    });
    Build(p, w);
    return w;
  }
  if (auto* bv = dynamic_cast<TBevel*>(C)) {
    auto* w = new QFrame(Into);
    Bind(C, w, [bv, w] {
      switch (bv->Shape()) {
      case bsTopLine:
      case bsBottomLine: w->setFrameShape(QFrame::HLine); break;
      case bsLeftLine:
      case bsRightLine: w->setFrameShape(QFrame::VLine); break;
      case bsSpacer: w->setFrameShape(QFrame::NoFrame); break;
      default: w->setFrameShape(QFrame::Box);
      }
      w->setFrameShadow(bv->Style() == bsRaised ? QFrame::Raised : QFrame::Sunken);
    });
    return w;
  }
  if (auto* img = dynamic_cast<TImage*>(C)) {
    auto* w = new QLabel(Into);
    Bind(C, w, [img, w] {
      const QImage image = QtPicture(*img->Picture());
      w->setPixmap(QPixmap::fromImage(image));
      w->setScaledContents(img->Stretch() && !img->AutoSize());
      w->setAlignment(img->Center() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    });
    return w;
  }
  if (auto* l = dynamic_cast<TLabel*>(C)) {
    auto* w = new QLabel(Into);
    Bind(C, w, [this, l, w] {
      QWidget* buddy = l->FocusControl() ? WidgetOf(l->FocusControl()) : nullptr;
      w->setBuddy(buddy);
      w->setText(QStr(buddy ? l->Caption() : StripHotkey(l->Caption())));
      w->setWordWrap(l->WordWrap());
      w->setAlignment(QtAlignment(l->Alignment()) | (l->WordWrap() ? Qt::AlignTop : Qt::AlignVCenter));
      // An auto-sized label grows to its text in the font drawn here.
      if (l->AutoSize() && !l->WordWrap() && w->sizeHint().width() > w->width())
        w->resize(w->sizeHint().width(), w->height());
      QPalette pal = w->palette();
      pal.setColor(QPalette::WindowText, QtColor(l->Font()->Color(), palette().color(QPalette::WindowText)));
      w->setPalette(pal);
    });
    return w;
  }
  return nullptr;  // a control kind no form uses: nothing is drawn for it
}

void TQtFormDialog::SetTabOrders(TWinControl* Container) {
  QWidget* previous = nullptr;
  for (TWinControl* c : Container->TabList()) {
    QWidget* w = WidgetOf(c);
    if (!w) continue;
    if (previous) QWidget::setTabOrder(previous, w);
    previous = w;
    if (c->ControlCount() > 0) SetTabOrders(c);
  }
}

// ------------------------------------------------------------------ model to widgets

void TQtFormDialog::Sync() {
  const bool was = FSyncing;
  FSyncing = true;
  setWindowTitle(QStr(FForm->Caption()));
  for (TBinding& b : FBindings) {
    QSignalBlocker block(b.Widget);
    if (!dynamic_cast<TTabSheet*>(b.Control)) {
      UpdateBounds(b.Control, b.Widget);
      UpdateState(b.Control, b.Widget);
    }
    b.Update();
  }
  // The focus follows the model's.
  if (TWinControl* active = FForm->ActiveControl())
    if (QWidget* w = WidgetOf(active); w && w->isVisible() && w->isEnabled() && !w->hasFocus()) {
      QSignalBlocker block(w);
      w->setFocus(Qt::OtherFocusReason);
    }
  FSyncing = was;
}

// ------------------------------------------------------------------ widgets to model

void TQtFormDialog::Act(QWidget* Source, const std::function<void(TGestureDriver&)>& Action) {
  if (FSyncing || FForm->ModalEnded()) return;
  QWidget* previous = FSource;
  FSource = Source;
  try {
    Action(FDriver);
  } catch (const std::exception& e) {
    // As the platform does with an exception a handler raises: an error box, and the dialog
    // goes on.
    FSource = previous;
    Sync();
    vcl::MessageDlg(e.what(), mtError, {mbOK}, 0);
  }
  FSource = previous;
  Sync();
  CloseIfEnded();
}

void TQtFormDialog::CloseIfEnded() {
  if (FForm->ModalEnded() && isVisible()) done(FForm->ModalResult());
}

void TQtFormDialog::keyPressEvent(QKeyEvent* Event) {
  if ((Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) && Event->modifiers() == Qt::NoModifier) {
    Act(focusWidget(), [](TGestureDriver& d) { d.Enter(); });
    return;
  }
  QDialog::keyPressEvent(Event);  // Esc reaches reject()
}

void TQtFormDialog::reject() {
  if (FForm->ModalEnded()) {
    QDialog::reject();
    return;
  }
  Act(nullptr, [](TGestureDriver& d) { d.Escape(); });
}

void TQtFormDialog::closeEvent(QCloseEvent* Event) {
  if (!FForm->ModalEnded()) Act(nullptr, [](TGestureDriver& d) { d.CloseBox(); });
  if (FForm->ModalEnded())
    Event->accept();
  else
    Event->ignore();  // OnCloseQuery refused: the dialog stays
}

bool TQtFormDialog::eventFilter(QObject* Watched, QEvent* Event) {
  if (FSyncing) return QDialog::eventFilter(Watched, Event);
  // Right-button presses in a list with a popup menu open the menu only.
  if (Event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(Event)->button() == Qt::RightButton)
    if (auto* vp = qobject_cast<QWidget*>(Watched); vp && qobject_cast<QAbstractItemView*>(vp->parentWidget())) {
      QWidget* view = vp->parentWidget();
      for (TBinding& b : FBindings)
        if (b.Widget == view) {
          ShowPopup(b.Control, view, view->mapFromGlobal(static_cast<QMouseEvent*>(Event)->globalPosition().toPoint()));
          return true;
        }
    }
  for (TBinding& b : FBindings) {
    if (b.Widget != Watched) continue;
    TControl* c = b.Control;
    if (Event->type() == QEvent::FocusIn) {
      // The user moved the focus (a click, Tab): the model's focus moves with OnExit and OnEnter.
      auto* w = dynamic_cast<TWinControl*>(c);
      if (w && w->AcceptsFocus() && FForm->ActiveControl() != w && w->CanFocus())
        Act(b.Widget, [w](TGestureDriver& d) { d.Focus(w); });
    } else if (Event->type() == QEvent::MouseButtonPress && c->OnMouseDown) {
      auto* me = static_cast<QMouseEvent*>(Event);
      const TMouseButton button = me->button() == Qt::RightButton    ? mbRight
                                  : me->button() == Qt::MiddleButton ? mbMiddle
                                                                     : mbLeft;
      const TShiftState shift = ShiftOf(me->modifiers(), me->buttons());
      const QPoint at = me->position().toPoint();
      Act(b.Widget,
          [c, button, shift, at](TGestureDriver& d) { d.MouseDown(c->Name(), button, shift, at.x(), at.y()); });
    } else if (Event->type() == QEvent::MouseButtonRelease && dynamic_cast<TGraphicControl*>(c) && c->OnClick &&
               static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
      Act(b.Widget, [c](TGestureDriver& d) { d.Click(c); });
    }
    break;
  }
  return QDialog::eventFilter(Watched, Event);
}

// ------------------------------------------------------------------ popup menus

void TQtFormDialog::FillMenu(QMenu* Menu, TMenuItem* Items, TControl* Control, const std::string& Path) {
  for (int i = 0; i < Items->Count(); ++i) {
    TMenuItem* item = Items->Items(i);
    if (!item->Visible()) continue;
    if (item->Caption() == "-") {
      Menu->addSeparator();
      continue;
    }
    const std::string path = Path.empty() ? StripHotkey(item->Caption()) : Path + "/" + StripHotkey(item->Caption());
    if (item->Count() > 0) {
      QMenu* sub = Menu->addMenu(QStr(item->Caption()));
      sub->setEnabled(item->Enabled());
      FillMenu(sub, item, Control, path);
      continue;
    }
    QAction* a = Menu->addAction(QStr(item->Caption()));
    a->setObjectName(QStr(item->Name()));
    a->setEnabled(item->Enabled());
    if (item->Checked()) {
      a->setCheckable(true);
      a->setChecked(true);
    }
    connect(a, &QAction::triggered, this, [this, Control, path] {
      Act(WidgetOf(Control), [Control, path](TGestureDriver& d) { d.Menu(Control->Name(), path); });
    });
  }
}

void TQtFormDialog::ShowPopup(TControl* Control, QWidget* Widget, const QPoint& At) {
  TPopupMenu* popup = Control->PopupMenu();
  if (!popup || !Control->IsEnabled()) return;
  // OnPopup runs before the menu shows, so that it shows the items' state it sets.
  try {
    popup->SetPopupComponent(Control);
    popup->Popup(At.x(), At.y());
  } catch (const std::exception& e) {
    vcl::MessageDlg(e.what(), mtError, {mbOK}, 0);
    return;
  }
  QMenu menu(this);
  menu.setObjectName(QStr(popup->Name()));
  FillMenu(&menu, popup->Items(), Control, "");
  menu.exec(Widget->mapToGlobal(At));
}

}  // namespace designer
