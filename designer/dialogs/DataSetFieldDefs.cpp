#include "designer/DataSetFieldDefs.h"

#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

namespace designer {

namespace {

std::vector<TFieldDefInfo> Snapshot(const rtl::TFieldDefs* Defs) {
  std::vector<TFieldDefInfo> out;
  for (int i = 0; i < Defs->Count(); ++i) {
    const rtl::TFieldDef* d = Defs->Items(i);
    out.push_back({d->Name(), d->DataType(), d->Size(), d->Required(), d->Precision()});
  }
  return out;
}

}  // namespace

std::vector<TFieldDefInfo> ReadFieldDefs(rtl::TDataSet* DataSet) {
  if (DataSet->Active()) return Snapshot(DataSet->FieldDefs());
  vcl::TCursorGuard hourglass(vcl::crHourGlass);
  try {
    DataSet->Open();
  } catch (const std::exception& e) {
    throw rtl::EDatabaseError(rtl::Format("Cannot read the field definitions of {}: {}", DataSet->Name(), e.what()));
  }
  // The snapshot cannot fail; closing puts the data set (and the database it connected) back.
  std::vector<TFieldDefInfo> defs = Snapshot(DataSet->FieldDefs());
  DataSet->Close();
  return defs;
}

std::vector<String> FieldDefNames(const std::vector<TFieldDefInfo>& Defs) {
  std::vector<String> names;
  for (const auto& d : Defs) names.push_back(d.Name);
  return names;
}

}  // namespace designer
