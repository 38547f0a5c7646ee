// MasterFields of a table, edited in the designer's master/detail field-link designer.
//
// The link designer asks for the detail table's indexes and current link while it runs. The
// edited table is never opened for that: Edit opens a temporary copy of it (same session,
// database, table, index and link, no owner, no master) and answers from the copy; the link is
// written back to the edited table only when the developer accepted it.
#pragma once

#include "designintf/DBEditors.h"

#include <memory>

namespace korv {
class TKVTable;
}  // namespace korv

namespace dclkorv {

using rtl::String;

class TKVTableFieldLinkProperty : public designintf::TFieldLinkProperty {
  DESIGN_CLASS(TKVTableFieldLinkProperty, designintf::TFieldLinkProperty)
  TKVTableFieldLinkProperty(designintf::IDesigner* ADesigner, int APropCount);
  ~TKVTableFieldLinkProperty() override;

  void Edit() override;

  // Valid only while Edit runs the link designer: they act on the temporary table.
  void GetFieldNamesForIndex(rtl::TStrings* List) override;
  bool GetIndexBased() override;
  rtl::TIndexDefs* GetIndexDefs() override;
  String GetIndexFieldNames() override;
  String GetIndexName() override;
  String GetMasterFields() override;
  void SetIndexFieldNames(const String& Value) override;
  // The link designer's name of the primary index (exactly) selects it: an empty IndexName.
  void SetIndexName(const String& Value) override;
  void SetMasterFields(const String& Value) override;

private:
  // The temporary table; raises when asked for outside Edit.
  korv::TKVTable& Table();

  std::unique_ptr<korv::TKVTable> FTable;
};

}  // namespace dclkorv
