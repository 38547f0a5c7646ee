// The package's dialogs drawn by the Qt backend and driven as a user drives them.
#include "GuiFixture.h"

#include "ModuleSurface.h"
#include "QtFormDialog.h"

#include "korv/KVUpdateSQL.h"
#include "vcl/ExtCtrls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

using namespace guitest;

namespace {

void DoubleClick(TDesigner& D, const char* Name) {
  designer::TModuleSurface* surface = D.Window.Surface();
  const QPoint at = surface->IconRect(D.Component(Name)).center();
  QTest::mouseDClick(surface, Qt::LeftButton, Qt::NoModifier, at);
}

QStringList Selected(QListWidget* List) {
  QStringList r;
  for (int i = 0; i < List->count(); ++i)
    if (List->item(i)->isSelected()) r << List->item(i)->text();
  return r;
}

}  // namespace

class TQtFormDialogTest : public QObject {
  Q_OBJECT
private slots:
  // Double-clicking the update object on the surface opens the real UpdateSQL editor; its
  // buttons read the table from the SQLite file, and OK writes the statements back.
  void updateSqlEditorGeneratesAndWritesBack() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    TModalDriver driver;
    QString shownModify, shownInsert;
    QRect tableBox;
    driver.OnForm("KVUpdateSQLEditForm", [&](QWidget* w) {
      tableBox = Child<QComboBox>(w, "cbTableName")->geometry();
      QCOMPARE(Child<QComboBox>(w, "cbTableName")->currentText(), QString("CUSTOMER"));
      QTest::mouseClick(Child<QPushButton>(w, "btGetTableFields"), Qt::LeftButton);
      auto* keys = Child<QListWidget>(w, "lbKeyFields");
      QCOMPARE(keys->count(), 5);
      QTest::mouseClick(Child<QPushButton>(w, "btSelectPrimKeys"), Qt::LeftButton);
      QCOMPARE(Selected(keys), QStringList{"CUST_NO"});
      QTest::mouseClick(Child<QPushButton>(w, "btGenerateSQL"), Qt::LeftButton);
      // The statements page, by a click on its tab; then each statement type.
      auto* pages = Child<QTabWidget>(w, "pcUpdateSQL");
      QTest::mouseClick(pages->tabBar(), Qt::LeftButton, Qt::NoModifier, pages->tabBar()->tabRect(1).center());
      QCOMPARE(pages->currentWidget()->objectName(), QString("tsSQL"));
      QTest::mouseClick(Child<QRadioButton>(w, "rgrStatementType_1"), Qt::LeftButton);
      shownModify = Child<QPlainTextEdit>(w, "meSQLText")->toPlainText();
      Child<QRadioButton>(w, "rgrStatementType_2")->click();
      shownInsert = Child<QPlainTextEdit>(w, "meSQLText")->toPlainText();
      QTest::mouseClick(Child<QPushButton>(w, "btOk"), Qt::LeftButton);
    });
    DoubleClick(d, "CustomersUpdate");
    QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    QVERIFY(driver.Done());
    // The widgets sit at the bounds of the form description.
    QCOMPARE(tableBox.topLeft(), QPoint(9, 33));
    QVERIFY2(
        shownModify.startsWith("update CUSTOMER\nset\n") && shownModify.endsWith("where\n  CUST_NO = :OLD_CUST_NO"),
        qPrintable(shownModify));
    QVERIFY(shownInsert.startsWith("insert into CUSTOMER"));
    auto* update = dynamic_cast<korv::TKVUpdateSQL*>(d.Component("CustomersUpdate"));
    QCOMPARE(QString::fromStdString(update->ModifySQL()->Text()).trimmed(), shownModify);
    QCOMPARE(QString::fromStdString(update->InsertSQL()->Text()).left(20), shownInsert.left(20));
    QVERIFY(d.Window.isWindowModified());
  }

  // OK without statements asks; "No" vetoes the close and the dialog stays, usable; Cancel
  // then closes it and nothing is written.
  void vetoedCloseKeepsTheDialogOpen() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    TModalDriver driver;
    bool stillOpen = false;
    driver.OnForm("KVUpdateSQLEditForm",
                  [](QWidget* w) { QTest::mouseClick(Child<QPushButton>(w, "btOk"), Qt::LeftButton); });
    driver.Answer("have not been generated", "No");
    driver.OnForm("KVUpdateSQLEditForm", [&](QWidget* w) {
      auto* form = static_cast<designer::TQtFormDialog*>(w);
      stillOpen = w->isVisible() && !form->Form()->ModalEnded();
      // The close box asks nothing on Cancel's path.
      w->close();
    });
    DoubleClick(d, "CustomersUpdate");
    QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    QVERIFY(driver.Done());
    QVERIFY(stillOpen);
    auto* update = dynamic_cast<korv::TKVUpdateSQL*>(d.Component("CustomersUpdate"));
    QVERIFY(update->ModifySQL()->Text().empty());
    QVERIFY(!d.Window.isWindowModified());
  }

  // The popup menu of a list acts on the model without changing the selection first.
  void popupMenuOfAListSelectsAll() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    TModalDriver driver;
    QStringList afterMenu;
    driver.OnForm("KVUpdateSQLEditForm", [&](QWidget* w) {
      QTest::mouseClick(Child<QPushButton>(w, "btGetTableFields"), Qt::LeftButton);
      auto* keys = Child<QListWidget>(w, "lbKeyFields");
      QTimer::singleShot(50, w, [&afterMenu, keys] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions())
          if (a->objectName() == "miSelectAll") a->trigger();
        menu->close();
        afterMenu = Selected(keys);
      });
      emit keys->customContextMenuRequested(QPoint(5, 5));
      w->close();
    });
    DoubleClick(d, "CustomersUpdate");
    QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    QCOMPARE(afterMenu, (QStringList{"CUST_NO", "NAME", "CITY", "TEL", "E-MAIL"}));
  }

  // The about box through the component editor's first verb: its logo, its fonts, its links.
  void aboutDialogShowsLogoAndLinks() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    TModalDriver driver;
    QSize logo;
    bool underlined = false, hand = false;
    QString title;
    driver.OnForm("KVAboutDlg", [&](QWidget* w) {
      title = w->windowTitle();
      logo = Child<QLabel>(w, "imgLogo")->pixmap().size();
      auto* home = Child<QLabel>(w, "lblHome");
      underlined = home->font().underline();
      hand = home->cursor().shape() == Qt::PointingHandCursor;
      w->close();
    });
    std::unique_ptr<QMenu> menu = d.Window.Surface()->ContextMenu(d.Component("CustomersUpdate"));
    QVERIFY(menu->actions().front()->text().startsWith("Korvane"));
    menu->actions().front()->trigger();
    QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    QCOMPARE(title, QString("About Korvane"));
    QCOMPARE(logo, QSize(100, 30));
    QVERIFY(underlined);
    QVERIFY(hand);
  }
};

KORV_GUI_TEST_MAIN(TQtFormDialogTest)
#include "QtFormDialogTest.moc"
