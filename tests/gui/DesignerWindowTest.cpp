// The designer window: the tree's drag and drop, the inspector's value lists, the surface's
// positions, and the prompts that keep work from being lost.
#include "GuiFixture.h"

#include "DataPreview.h"
#include "InspectorView.h"
#include "ModuleSurface.h"
#include "ObjectTreeView.h"

#include "designer/OpenModule.h"
#include "designintf/Sprigs.h"
#include "korv/KVDataSet.h"
#include "korv/KVDatabase.h"
#include "korv/KVTable.h"
#include "rtl/DesignInfo.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidgetItemIterator>

using namespace guitest;

namespace {

QModelIndex IndexOf(designer::TObjectTreeView* Tree, rtl::TComponent* Component) {
  for (QTreeWidgetItemIterator it(Tree); *it; ++it)
    if (designintf::TSprig* node = Tree->NodeOf(*it); node && node->Item() == Component)
      return Tree->model()
          ->match(Tree->model()->index(0, 0), Qt::UserRole, (*it)->data(0, Qt::UserRole), 1,
                  Qt::MatchExactly | Qt::MatchRecursive)
          .value(0);
  return {};
}

// Drags the node of Source onto the node of Target through the view's model, as a drop does.
bool Drop(TDesigner& D, const char* Source, const char* Target) {
  designer::TObjectTreeView* tree = D.Window.Tree();
  const QModelIndex from = IndexOf(tree, D.Component(Source));
  const QModelIndex to = IndexOf(tree, D.Component(Target));
  if (!from.isValid() || !to.isValid()) return false;
  std::unique_ptr<QMimeData> data(tree->model()->mimeData({from}));
  const bool dropped = tree->model()->dropMimeData(data.get(), Qt::MoveAction, -1, -1, to);
  QApplication::processEvents();
  return dropped;
}

const char* kSecondSession =
    "  object OtherSession: TKVSession\n"
    "    SessionName = 'Other'\n"
    "  end\n"
    "  object Placed: TKVMonitor\n"
    "    Left = 200\n"
    "    Top = 120\n"
    "  end\n";

const char* kNoteQueries =
    "  object Notes: TKVQuery\n"
    "    DatabaseName = 'ShopData'\n"
    "    SessionName = 'Shop'\n"
    "    SQL.Strings = (\n"
    "      'select ID, BODY from NOTE order by ID')\n"
    "  end\n"
    "  object Broken: TKVQuery\n"
    "    DatabaseName = 'ShopData'\n"
    "    SessionName = 'Shop'\n"
    "    SQL.Strings = (\n"
    "      'select * from NO_SUCH_TABLE')\n"
    "  end\n";

// 120 notes in the shop's database: the second's body NULL, the third's empty.
void AddNotes(const TShopFolder& Shop) {
  const std::string error = korvtest::RunSQLiteScript(
      Shop.File("shop.db"),
      "create table NOTE (ID integer primary key, BODY varchar(20));"
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 120)"
      "  insert into NOTE select i, case i when 2 then null when 3 then '' else 'note ' || i end from n;");
  if (!error.empty()) qWarning("notes: %s", error.c_str());
}

QAction* MenuAction(QMenu* Menu, const QString& Name) {
  for (QAction* a : Menu->actions())
    if (a->objectName() == Name) return a;
  return nullptr;
}

}  // namespace

class TDesignerWindowTest : public QObject {
  Q_OBJECT
private slots:
  // Dropping the database on the other session moves it there, with its data sets; a target
  // that refuses (a data set) changes nothing.
  void treeDropRewiresADatabase() {
    TShopFolder shop(kSecondSession);
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    auto* db = dynamic_cast<korv::TKVDatabase*>(d.Component("ShopDB"));
    QVERIFY(!Drop(d, "ShopDB", "Parts"));
    QCOMPARE(QString::fromStdString(db->SessionName()), QString("Shop"));
    QVERIFY(Drop(d, "ShopDB", "OtherSession"));
    QCOMPARE(QString::fromStdString(db->SessionName()), QString("Other"));
    auto* parts = dynamic_cast<korv::TKVTable*>(d.Component("Parts"));
    QCOMPARE(QString::fromStdString(parts->SessionName()), QString("Other"));
    // The tree was rebuilt: the database's node now sits under the other session's.
    const QModelIndex node = IndexOf(d.Window.Tree(), db);
    QVERIFY(node.parent().data().toString().contains("{OtherSession}"));
    QVERIFY(d.Window.isWindowModified());
  }

  // The table name's drop-down lists the tables of the SQLite file; choosing one sets it.
  void inspectorDropDownListsTheTables() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    d.Host.Session.Module()->SelectComponent(d.Component("Parts"));
    d.Window.RefreshAll();
    designer::TInspectorView* inspector = d.Window.Inspector();
    QVERIFY(inspector->RowOf("TableName"));
    inspector->EditRow("TableName");
    auto* combo =
        inspector->CurrentEditor() ? inspector->CurrentEditor()->findChild<QComboBox*>("InspectorCombo") : nullptr;
    QVERIFY(combo);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    QVERIFY2(items.contains("CUSTOMER") && items.contains("ORDER") && items.contains("PART"),
             qPrintable(items.join(",")));
    const int customer = static_cast<int>(items.indexOf("CUSTOMER"));
    combo->setCurrentIndex(customer);
    emit combo->activated(customer);
    QApplication::processEvents();
    QCOMPARE(QString::fromStdString(dynamic_cast<korv::TKVTable*>(d.Component("Parts"))->TableName()),
             QString("CUSTOMER"));
    QCOMPARE(inspector->RowOf("TableName")->text(1), QString("CUSTOMER"));
    // The events tab shows no properties, and the properties tab no events.
    inspector->Tabs()->setCurrentIndex(1);
    QVERIFY(!inspector->RowOf("TableName"));
  }

  // Save As onto another file asks; No leaves that file alone, Yes replaces it. Saving onto
  // the module's own file asks nothing.
  void saveAsAsksBeforeOverwriting() {
    TShopFolder shop;
    shop.Write("Other.dfm", "keep me\n");
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    {
      TModalDriver driver;
      driver.Answer("Other.dfm already exists", "No");
      QVERIFY(!d.Window.SaveAs(shop.QFile("Other.dfm")));
      QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
      QVERIFY(driver.Done());
    }
    QCOMPARE(QString::fromStdString(shop.Read("Other.dfm")), QString("keep me\n"));
    {
      TModalDriver driver;
      driver.Answer("Other.dfm already exists", "Yes");
      QVERIFY(d.Window.SaveAs(shop.QFile("Other.dfm")));
      QVERIFY(driver.Done());
    }
    QVERIFY(shop.Read("Other.dfm").starts_with("object ShopModule: TShopModule"));
    QVERIFY(d.Window.windowTitle().contains("Other.dfm"));
    {
      TModalDriver driver;
      QVERIFY(d.Window.SaveAs(shop.QFile("Other.dfm")));
      QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    }
    QCOMPARE(d.Window.RecentFiles().value(0), QFileInfo(shop.QFile("Other.dfm")).absoluteFilePath());
  }

  // Closing with unsaved changes asks: Cancel keeps the window and the module, No closes
  // without writing.
  void closingWithUnsavedChangesAsks() {
    TShopFolder shop;
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    const std::string before = shop.Read("Shop.dfm");
    d.Host.Session.Module()->RenameComponent(d.Component("ShopMonitor"), "Monitor");
    QApplication::processEvents();
    QVERIFY(d.Window.isWindowModified());
    {
      TModalDriver driver;
      driver.Answer("Save changes to ShopModule?", "Cancel");
      QVERIFY(!d.Window.close());
      QVERIFY(driver.Done());
    }
    QVERIFY(d.Window.isVisible());
    QVERIFY(d.Host.Session.Module());
    {
      TModalDriver driver;
      driver.Answer("Save changes to ShopModule?", "No");
      QVERIFY(d.Window.close());
      QVERIFY(driver.Done());
    }
    QVERIFY(!d.Host.Session.Module());
    QCOMPARE(shop.Read("Shop.dfm"), before);
  }

  // Components stand where their Left and Top put them, the others in free grid cells; a drag
  // moves the selection and the new place is saved.
  void surfacePositionsAndDragging() {
    TShopFolder shop(kSecondSession);
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    designer::TModuleSurface* surface = d.Window.Surface();
    QCOMPARE(surface->PositionOf(d.Component("Placed")), QPoint(200, 120));
    std::vector<QRect> cells;
    for (const char* name : {"ShopSession", "ShopDB", "Customers", "CustomersUpdate", "Parts", "Placed"})
      cells.push_back(surface->IconRect(d.Component(name)));
    for (size_t i = 0; i < cells.size(); ++i)
      for (size_t j = i + 1; j < cells.size(); ++j) QVERIFY(!cells[i].intersects(cells[j]));

    const QPoint from = surface->IconRect(d.Component("Parts")).center();
    const QPoint to = from + QPoint(40, 200);
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), surface->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, to);
    const QPoint moved = surface->PositionOf(d.Component("Parts"));
    QCOMPARE(moved, surface->IconRect(d.Component("Parts")).topLeft());
    QVERIFY(d.Window.Save());
    const std::string saved = shop.Read("Shop.dfm");
    const std::string parts =
        saved.substr(saved.find("object Parts"), saved.find("object CloseOrder") - saved.find("object Parts"));
    QVERIFY2(parts.find("Left = " + std::to_string(moved.x())) != std::string::npos, parts.c_str());
    QVERIFY2(parts.find("Top = " + std::to_string(moved.y())) != std::string::npos, parts.c_str());
    // Rubber band: a box around the moved component selects it alone.
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, moved - QPoint(5, 5));
    QMouseEvent band(QEvent::MouseMove, QPointF(moved + QPoint(40, 40)),
                     surface->mapToGlobal(QPointF(moved + QPoint(40, 40))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(surface, &band);
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, moved + QPoint(40, 40));
    const designintf::TDesignerSelections s = d.Host.Session.Module()->GetSelections();
    QCOMPARE(s.size(), size_t(1));
    QVERIFY(s[0] == d.Component("Parts"));
  }

  // View Data on a data set's menu shows its first 100 rows, each field's type in its header
  // and NULL apart from an empty string, and leaves the data set closed as it was; a data set
  // that cannot open answers with an error box. An update object has no such entry.
  void viewDataShowsTheFirstRows() {
    TShopFolder shop(kNoteQueries);
    AddNotes(shop);
    TDesigner d;
    QVERIFY(d.Window.OpenFile(shop.QFile("Shop.dfm")));
    designer::TModuleSurface* surface = d.Window.Surface();
    QVERIFY(!MenuAction(surface->ContextMenu(d.Component("CustomersUpdate")).get(), "ViewData"));

    QStringList headers, column;
    QList<bool> nulls;
    QString summary;
    {
      std::unique_ptr<QMenu> menu = surface->ContextMenu(d.Component("Notes"));
      QAction* view = MenuAction(menu.get(), "ViewData");
      QVERIFY(view);
      TModalDriver driver;
      driver.OnForm("DataPreview", [&](QWidget* w) {
        auto* dialog = static_cast<designer::TDataPreviewDialog*>(w);
        QTableWidget* grid = dialog->Grid();
        for (int c = 0; c < grid->columnCount(); ++c) headers << grid->horizontalHeaderItem(c)->text();
        for (int r = 0; r < grid->rowCount(); ++r) {
          column << grid->item(r, 1)->text();
          nulls << grid->item(r, 1)->data(designer::TDataPreviewDialog::NullRole).toBool();
        }
        summary = dialog->Summary()->text();
        dialog->reject();
      });
      view->trigger();
      QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
      QVERIFY(driver.Done());
    }
    QCOMPARE(headers, QStringList({"ID\nftInteger", "BODY\nftString"}));
    QCOMPARE(column.size(), 100);
    QCOMPARE(column.value(0), QString("note 1"));
    QCOMPARE(column.value(99), QString("note 100"));
    QVERIFY(nulls.value(1) && column.value(1) == designer::TDataPreviewDialog::NullText);
    QVERIFY(!nulls.value(2) && column.value(2).isEmpty());
    QCOMPARE(nulls.count(true), 1);
    QCOMPARE(summary, QString("the first 100 of 120 rows"));
    QVERIFY(!dynamic_cast<korv::TKVDataSet*>(d.Component("Notes"))->Active());

    std::unique_ptr<QMenu> menu = surface->ContextMenu(d.Component("Broken"));
    TModalDriver driver;
    driver.Answer("NO_SUCH_TABLE", "OK");
    MenuAction(menu.get(), "ViewData")->trigger();
    QVERIFY2(driver.Failures.isEmpty(), qPrintable(driver.Failures.join("\n")));
    QVERIFY(driver.Done());
    QVERIFY(!d.Window.isWindowModified());
  }
};

KORV_GUI_TEST_MAIN(TDesignerWindowTest)
#include "DesignerWindowTest.moc"
