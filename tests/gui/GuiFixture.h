// What the Qt tests share: a fresh copy of the example shop (Shop.dfm and its SQLite database)
// in a temporary folder, the designer host with the real package, and a driver for modal
// dialogs that acts from inside their loops (QTest cannot return from exec() by itself).
#pragma once

#include "DesignerWindow.h"
#include "GuiApplication.h"
#include "GuiHost.h"
#include "SQLiteScript.h"

#include "rtl/SysUtils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

namespace guitest {

namespace fs = std::filesystem;

class TShopFolder {
public:
  // Shop.dfm as the example has it, with Extra put before its last "end".
  explicit TShopFolder(const std::string& Extra = {}) {
    static int counter = 0;
    FPath = fs::temp_directory_path() / ("korv-gui-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(FPath);
    std::string dfm = rtl::ReadFileToString(KORV_SOURCE_DIR "/examples/Shop.dfm");
    if (!Extra.empty()) dfm.insert(dfm.rfind("end"), Extra);
    Write("Shop.dfm", dfm);
    const std::string error =
        korvtest::RunSQLiteScript(File("shop.db"), rtl::ReadFileToString(KORV_SOURCE_DIR "/examples/shop.sql"));
    if (!error.empty()) qWarning("shop.sql: %s", error.c_str());
  }
  ~TShopFolder() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
  }
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }
  QString QFile(const std::string& Name) const { return QString::fromStdString(File(Name)); }
  void Write(const std::string& Name, const std::string& Text) const { std::ofstream(File(Name)) << Text; }
  std::string Read(const std::string& Name) const { return rtl::ReadFileToString(File(Name)); }

private:
  fs::path FPath;
};

// The host and window of one test.
struct TDesigner {
  designer::TGuiHost Host{KORV_PACKAGE_FILE};
  designer::TDesignerWindow Window{Host.Session, &Host.Err};
  TDesigner() {
    Host.UI.SetParentWidget(&Window);
    Window.show();
  }
  ~TDesigner() { Host.Session.CloseModule(true); }
  rtl::TComponent* Component(const char* Name) { return Host.Session.Module()->FindComponent(Name); }
};

// Steps run in order, each on the first modal widget its Match takes. A modal widget no step
// expects fails the test and is closed, so that nothing hangs.
class TModalDriver : public QObject {
public:
  struct TStep {
    std::function<bool(QWidget*)> Match;
    std::function<void(QWidget*)> Act;
  };

  TModalDriver() { Tick(); }

  void Expect(std::function<bool(QWidget*)> Match, std::function<void(QWidget*)> Act) {
    FSteps.push_back({std::move(Match), std::move(Act)});
  }
  // A step on a dialog of the forms model, by form name.
  void OnForm(const QString& Name, std::function<void(QWidget*)> Act) {
    Expect([Name](QWidget* w) { return w->objectName() == Name; }, std::move(Act));
  }
  // Answers a message box whose text contains Text with the button captioned Button.
  void Answer(const QString& Text, const QString& Button) {
    Expect([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
           [this, Text, Button](QWidget* w) {
             auto* box = static_cast<QMessageBox*>(w);
             if (!box->text().contains(Text))
               Failures << "message box \"" + box->text() + "\" where \"" + Text + "\" was expected";
             for (QAbstractButton* b : box->buttons())
               if (b->text() == Button) {
                 b->click();
                 return;
               }
             Failures << "no button " + Button + " on \"" + box->text() + "\"";
             box->reject();
           });
  }
  bool Done() const { return FSteps.empty(); }

  QStringList Failures;

private:
  void Tick() {
    // The next tick is due before this one acts, so that it comes inside a modal loop too.
    QTimer::singleShot(10, this, [this] { Tick(); });
    QWidget* modal = QApplication::activeModalWidget();
    // A window a step is still acting on (its own popup menu is open, say) waits for it.
    if (!modal || !modal->isVisible() || std::count(FActing.begin(), FActing.end(), modal)) return;
    if (FSteps.empty() || !FSteps.front().Match(modal)) {
      if (FSteps.empty() || ++FWaits > 300) {
        Failures << "unexpected modal window " + modal->objectName() + " \"" + modal->windowTitle() + "\"";
        if (auto* box = qobject_cast<QMessageBox*>(modal))
          box->buttons().isEmpty() ? box->reject() : box->buttons().back()->click();
        else
          modal->close();
      }
      return;
    }
    FWaits = 0;
    TStep step = std::move(FSteps.front());
    FSteps.pop_front();
    FActing.push_back(modal);
    step.Act(modal);
    FActing.pop_back();
  }

  std::deque<TStep> FSteps;
  int FWaits = 0;
  std::vector<QWidget*> FActing;
};

template <class T>
T* Child(QWidget* Parent, const char* Name) {
  T* w = Parent->findChild<T*>(Name);
  if (!w) qWarning("no %s in %s", Name, qPrintable(Parent->objectName()));
  return w;
}

}  // namespace guitest

// The test program's main: offscreen, the fixed font, 96 DPI, settings in a temporary folder.
#define KORV_GUI_TEST_MAIN(TestClass)                                                                               \
  int main(int argc, char** argv) {                                                                                 \
    designer::PrepareGuiEnvironment(true);                                                                          \
    const auto config = std::filesystem::temp_directory_path() / ("korv-gui-config-" + std::to_string(::getpid())); \
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);                                                                   \
    int result;                                                                                                     \
    {                                                                                                               \
      QApplication app(argc, argv);                                                                                 \
      designer::SetGuiFont(app);                                                                                    \
      TestClass test;                                                                                               \
      result = QTest::qExec(&test, argc, argv);                                                                     \
    }                                                                                                               \
    std::error_code ec;                                                                                             \
    std::filesystem::remove_all(config, ec);                                                                        \
    return result;                                                                                                  \
  }
