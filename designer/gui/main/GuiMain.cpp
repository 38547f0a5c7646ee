// korv-gui: the graphical designer that `korv gui` starts.
//
//   korv-gui --package FILE [--select COMPONENT] [FILE.dfm]
//   korv-gui --package FILE --screenshot OUT.png [--dialog COMPONENT] FILE.dfm
//
// With --screenshot the window (or, with --dialog, the dialog that double-clicking COMPONENT
// opens) is drawn offscreen into OUT.png, and the program ends.
#include "DesignerWindow.h"
#include "GuiApplication.h"
#include "GuiHost.h"
#include "ModuleSurface.h"
#include "QtGraphics.h"

#include "designer/OpenModule.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include <iostream>

using namespace designer;

namespace {

bool WantsScreenshot(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--screenshot") return true;
  return false;
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// The pictures go into the repository: no alpha channel, and the PNG's strongest compression.
bool SavePicture(const QPixmap& Picture, const QString& FileName) {
  return Picture.toImage().convertToFormat(QImage::Format_RGB888).save(FileName, "PNG", 0);
}

}  // namespace

int main(int argc, char** argv) {
  const bool screenshot = WantsScreenshot(argc, argv);
  PrepareGuiEnvironment(screenshot);
  QApplication app(argc, argv);
  QApplication::setApplicationName("korv gui");
  SetGuiFont(app);

  QCommandLineParser parser;
  parser.setApplicationDescription("korv gui: the Korvane designer in a window");
  parser.addHelpOption();
  QCommandLineOption package("package", "The design-time package to load.", "FILE");
  QCommandLineOption shot("screenshot", "Draw the window offscreen into OUT.png and end.", "OUT.png");
  QCommandLineOption dialog("dialog", "With --screenshot: draw the dialog double-clicking COMPONENT opens.",
                            "COMPONENT");
  QCommandLineOption select("select", "Select COMPONENT (the inspector shows it).", "COMPONENT");
  parser.addOptions({package, shot, dialog, select});
  parser.addPositionalArgument("file", "A data module to open.");
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  if (!parser.isSet(package)) {
    std::cerr << "korv-gui: --package FILE is needed (korv gui gives it)\n";
    return 2;
  }
  if (screenshot && files.isEmpty()) {
    std::cerr << "korv-gui: --screenshot needs a data module FILE\n";
    return 2;
  }

  try {
    TGuiHost host(StdStr(parser.value(package)));
    TDesignerWindow window(host.Session, &host.Err);
    host.UI.SetParentWidget(&window);
    window.show();
    if (!files.isEmpty() && !window.OpenFile(files.front()) && screenshot) return 1;
    if (parser.isSet(select) && host.Session.Module())
      if (rtl::TComponent* c = host.Session.Module()->FindComponent(StdStr(parser.value(select)))) {
        host.Session.Module()->SelectComponent(c);
        window.RefreshAll();
      }
    if (!screenshot) return app.exec();

    Settle();
    const QString out = parser.value(shot);
    if (!parser.isSet(dialog)) {
      window.RefreshAll();
      Settle();
      return SavePicture(window.grab(), out) ? 0 : (std::cerr << "korv-gui: cannot write " << StdStr(out) << '\n', 1);
    }
    rtl::TComponent* c = host.Session.Module()->FindComponent(StdStr(parser.value(dialog)));
    if (!c) {
      std::cerr << "korv-gui: no component " << StdStr(parser.value(dialog)) << " in the module\n";
      return 1;
    }
    bool saved = false, shown = false;
    host.UI.SetShownHook([&](QDialog* d, vcl::TForm*) {
      if (shown) return;  // only the first dialog
      shown = true;
      Settle();
      saved = SavePicture(d->grab(), out);
      QTimer::singleShot(0, d, [d] { d->close(); });
    });
    window.Surface()->EditComponent(c);
    if (!shown)
      std::cerr << "korv-gui: double-clicking " << c->Name() << " opened no dialog\n";
    else if (!saved)
      std::cerr << "korv-gui: cannot write " << StdStr(out) << '\n';
    // Nothing was changed on purpose: leave without asking.
    host.Session.CloseModule(true);
    return shown && saved ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "korv-gui: " << e.what() << '\n';
    return 1;
  }
}
