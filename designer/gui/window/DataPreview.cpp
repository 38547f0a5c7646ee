#include "DataPreview.h"

#include "QtGraphics.h"

#include "DataCommands.h"
#include "korv/KVDataSet.h"
#include "vcl/Dialogs.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace designer {

namespace {

bool IsNumber(rtl::TFieldType Type) {
  using enum rtl::TFieldType;
  switch (Type) {
  case ftSmallint:
  case ftInteger:
  case ftWord:
  case ftFloat:
  case ftCurrency:
  case ftBCD:
  case ftAutoInc:
  case ftLargeint:
  case ftFMTBcd:
  case ftLongWord:
  case ftShortint:
  case ftByte:
  case ftExtended:
  case ftSingle: return true;
  default: return false;
  }
}

}  // namespace

TDataPreviewDialog::TDataPreviewDialog(rtl::TComponent* DataSet, QWidget* Parent) : QDialog(Parent) {
  // Read first: a data set that does not open leaves no dialog behind.
  const TDataSnapshot data = ReadData(DataSet, RowLimit);
  setObjectName("DataPreview");
  setWindowTitle(QStr(data.Name) + " - data");

  FGrid = new QTableWidget(static_cast<int>(data.Rows.size()), static_cast<int>(data.Fields.size()), this);
  FGrid->setObjectName("DataGrid");
  FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  FGrid->setWordWrap(false);
  FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 6);
  QStringList headers;
  for (const TDataField& f : data.Fields) headers << QStr(f.Name) + "\n" + QStr(FieldTypeName(f.Type));
  FGrid->setHorizontalHeaderLabels(headers);

  QFont nullFont = FGrid->font();
  nullFont.setItalic(true);
  for (int r = 0; r < static_cast<int>(data.Rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(data.Rows[r].size()); ++c) {
      const std::optional<String>& v = data.Rows[r][c];
      auto* item = new QTableWidgetItem;
      if (v) {
        // One line a cell: a line break would hide the rest of the value.
        item->setText(QStr(*v).replace('\n', QChar(0x21B5)));
        item->setToolTip(QStr(*v));
        item->setData(NullRole, false);
      } else {
        item->setText(NullText);
        item->setFont(nullFont);
        item->setForeground(QColor(128, 128, 128));
        item->setData(NullRole, true);
      }
      if (IsNumber(data.Fields[c].Type)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      FGrid->setItem(r, c, item);
    }
  FGrid->resizeColumnsToContents();

  const int shown = static_cast<int>(data.Rows.size());
  FSummary = new QLabel(shown == data.Total ? QString("%1 %2").arg(data.Total).arg(data.Total == 1 ? "row" : "rows")
                                            : QString("the first %1 of %2 rows").arg(shown).arg(data.Total),
                        this);
  FSummary->setObjectName("DataSummary");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FGrid, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(FSummary, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  resize(640, 400);
}

void ViewData(rtl::TComponent* DataSet, QWidget* Parent) {
  std::unique_ptr<TDataPreviewDialog> dialog;
  try {
    dialog = std::make_unique<TDataPreviewDialog>(DataSet, Parent);
  } catch (const std::exception& e) {
    vcl::MessageDlg(e.what(), vcl::mtError, {vcl::mbOK}, 0);
    return;
  }
  dialog->exec();
}

bool HasDataView(rtl::TComponent* Component) { return dynamic_cast<korv::TKVDataSet*>(Component) != nullptr; }

}  // namespace designer
