#include "QtUserInterface.h"

#include "QtFormDialog.h"
#include "QtGraphics.h"

#include "vcl/Forms.h"
#include "vcl/Platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <filesystem>

namespace designer {

using namespace vcl;

QWidget* TQtUserInterface::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (FParent) return FParent;
  return QApplication::activeWindow();
}

void TQtUserInterface::ShowModal(TForm* Form) {
  TQtFormDialog dialog(Form, Parent());
  if (Form->Position() == poScreenCenter || Form->Position() == poDesktopCenter || !dialog.parentWidget()) {
    // Centred on the screen (or, without a parent, wherever the system puts it).
  }
  dialog.show();
  if (FShown) FShown(&dialog, Form);
  if (!Form->ModalEnded()) dialog.exec();
  // The dialog closed by the window system without the model's consent: treat as the close box.
  if (!Form->ModalEnded()) {
    Form->Close();
    Form->CheckModalClose();
  }
}

int TQtUserInterface::MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/) {
  QMessageBox box(Parent());
  box.setObjectName("MessageDlg");
  const String title =
      DlgType == mtCustom ? (Application ? Application->Title() : String()) : MsgDlgTypeCaption(DlgType);
  box.setWindowTitle(QStr(title));
  box.setText(QStr(Msg));
  switch (DlgType) {
  case mtWarning: box.setIcon(QMessageBox::Warning); break;
  case mtError: box.setIcon(QMessageBox::Critical); break;
  case mtInformation: box.setIcon(QMessageBox::Information); break;
  case mtConfirmation: box.setIcon(QMessageBox::Question); break;
  default: box.setIcon(QMessageBox::NoIcon);
  }
  std::vector<std::pair<QPushButton*, TMsgDlgBtn>> buttons;
  for (int i = 0; i < MsgDlgBtnCount; ++i) {
    const auto b = static_cast<TMsgDlgBtn>(i);
    if (!Buttons.Contains(b)) continue;
    const QMessageBox::ButtonRole role = b == mbCancel || b == mbNo || b == mbAbort || b == mbNoToAll
                                             ? QMessageBox::RejectRole
                                         : b == mbHelp ? QMessageBox::HelpRole
                                                       : QMessageBox::AcceptRole;
    QPushButton* pb = box.addButton(QStr(MsgDlgBtnCaption(b)), role);
    pb->setObjectName(QStr(MsgDlgBtnCaption(b)));
    buttons.emplace_back(pb, b);
  }
  if (buttons.empty()) {
    QPushButton* pb = box.addButton("OK", QMessageBox::AcceptRole);
    buttons.emplace_back(pb, mbOK);
  }
  box.setDefaultButton(buttons.front().first);
  // Esc and the close box give Cancel, else No, else OK, else the first button.
  QPushButton* escape = buttons.front().first;
  for (TMsgDlgBtn wanted : {mbOK, mbNo, mbCancel})
    for (auto& [pb, b] : buttons)
      if (b == wanted) escape = pb;
  box.setEscapeButton(escape);
  for (;;) {
    box.exec();
    auto* clicked = qobject_cast<QPushButton*>(box.clickedButton());
    if (!clicked) clicked = escape;
    for (auto& [pb, b] : buttons)
      if (pb == clicked && MsgDlgBtnResult(b) != mrNone) return MsgDlgBtnResult(b);
    // Help closes nothing.
  }
}

std::optional<String> TQtUserInterface::ExecuteOpenDialog(TOpenDialog* Dialog) {
  QFileDialog dialog(Parent(), QStr(Dialog->Title().empty() ? String("Open") : Dialog->Title()));
  dialog.setObjectName("OpenDialog");
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(Dialog->Options().Contains(ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  for (const TFilterEntry& f : Dialog->FilterEntries()) {
    QString pattern = QStr(f.Pattern);
    pattern.replace(';', ' ');
    filters << QStr(f.Description) + " (" + pattern + ")";
  }
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = Dialog->FilterIndex() - 1;
    if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
  }
  // The file given (relative to the dialog's folder when not absolute) is selected in its folder.
  const std::filesystem::path initial = Dialog->FileName().empty()
                                            ? std::filesystem::path()
                                            : std::filesystem::path(Dialog->ResolveChoice(Dialog->FileName()));
  dialog.setDirectory(QStr(initial.empty() ? Dialog->Folder() : initial.parent_path().string()));
  if (!initial.empty()) dialog.selectFile(QStr(initial.filename().string()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  if (!filters.isEmpty()) Dialog->SetFilterIndex(static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
  return StdStr(dialog.selectedFiles().front());
}

bool TQtUserInterface::IsKeyDown(int VirtualKey) {
  const Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  switch (VirtualKey) {
  case VK_MENU: return m & Qt::AltModifier;
  case VK_SHIFT: return m & Qt::ShiftModifier;
  case VK_CONTROL: return m & Qt::ControlModifier;
  default: return false;
  }
}

bool TQtUserInterface::OpenAddress(const String& Address) {
  const QUrl url = QUrl::fromUserInput(QStr(Address));
  return url.isValid() && QDesktopServices::openUrl(url);
}

int TQtUserInterface::TextWidth(const TFont& Font, const String& Text) {
  return QFontMetrics(QtFont(Font)).horizontalAdvance(QStr(Text));
}

}  // namespace designer
