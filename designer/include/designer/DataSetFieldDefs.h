// Reading a data set's field definitions for the dialogs, whether or not it is open.
#pragma once

#include "rtl/DB.h"

#include <vector>

namespace designer {

using rtl::String;

struct TFieldDefInfo {
  String Name;
  rtl::TFieldType DataType = rtl::TFieldType::ftUnknown;
  int Size = 0;
  bool Required = false;
  int Precision = 0;  // total digits of a decimal
};

// DataSet's field definitions. An open data set gives them as they stand; a closed one is
// opened for them (under the hourglass) and closed again, so its state is what it was. Raises
// what opening raises, with the data set's name in front.
std::vector<TFieldDefInfo> ReadFieldDefs(rtl::TDataSet* DataSet);

std::vector<String> FieldDefNames(const std::vector<TFieldDefInfo>& Defs);

}  // namespace designer
