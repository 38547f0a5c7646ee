// The designer's data view: a data set's first rows in a grid, opened from the data set's
// context menu. The data set is opened for the view (its database connects) and put back as it
// was; the column headers name each field and its type, and a NULL is set apart from any text
// (an empty string shows as an empty cell).
#pragma once

#include "rtl/Component.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace designer {

class TDataPreviewDialog : public QDialog {
  Q_OBJECT
public:
  static constexpr int RowLimit = 100;
  // What a NULL cell shows; the cell's NullRole data is true as well.
  static constexpr const char* NullText = "(null)";
  static constexpr int NullRole = Qt::UserRole + 1;

  // Reads the data: raises what opening the data set raises.
  TDataPreviewDialog(rtl::TComponent* DataSet, QWidget* Parent = nullptr);

  QTableWidget* Grid() const { return FGrid; }
  QLabel* Summary() const { return FSummary; }

private:
  QTableWidget* FGrid;
  QLabel* FSummary;
};

// Opens the view of DataSet, modal; an error opening it shows as an error box instead.
void ViewData(rtl::TComponent* DataSet, QWidget* Parent);

// Whether the data view applies to Component (a data set of the library).
bool HasDataView(rtl::TComponent* Component);

}  // namespace designer
