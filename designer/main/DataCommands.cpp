#include "DataCommands.h"

#include "CommandLine.h"

#include "korv/KVBoundStatement.h"
#include "korv/KVDataSet.h"
#include "korv/KVDatabase.h"
#include "korv/KVUpdateSQL.h"
#include "rtl/Rtti.h"
#include "rtl/SysUtils.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace designer {

namespace {

const char* const kStatementNames[] = {"RefreshSQL", "ModifySQL", "InsertSQL", "DeleteSQL"};

// Characters in UTF-8 text, for the alignment.
std::size_t Width(const String& Text) {
  std::size_t n = 0;
  for (unsigned char c : Text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// A cell as the table shows it: control characters escaped so that a row stays one line.
String Cell(const std::optional<String>& Value) {
  if (!Value) return "NULL";
  const String& text = *Value;
  if (text.empty()) return "''";
  String shown;
  for (unsigned char c : text) {
    if (c == '\n')
      shown += "\\n";
    else if (c == '\t')
      shown += "\\t";
    else if (c < 0x20 || c == 0x7F)
      shown += fmt::format("\\x{:02x}", c);
    else
      shown += static_cast<char>(c);
  }
  return shown;
}

void PrintTable(std::ostream& Out, const std::vector<std::vector<String>>& Rows) {
  if (Rows.empty()) return;
  std::vector<std::size_t> widths(Rows[0].size(), 0);
  for (const auto& row : Rows)
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
  for (std::size_t r = 0; r < Rows.size(); ++r) {
    String line;
    for (std::size_t i = 0; i < Rows[r].size(); ++i) {
      line += Rows[r][i];
      if (i + 1 < Rows[r].size()) line += String(widths[i] - Width(Rows[r][i]) + 2, ' ');
    }
    Out << line << '\n';
    if (r == 0) {
      String rule;
      for (std::size_t i = 0; i < widths.size(); ++i)
        rule += String(widths[i], '-') + (i + 1 < widths.size() ? "  " : "");
      Out << rule << '\n';
    }
  }
}

korv::TKVDataSet& DataSetOf(rtl::TComponent* Component) {
  auto* ds = dynamic_cast<korv::TKVDataSet*>(Component);
  if (!ds) throw ECommandError(Component->Name() + " is a " + Component->ClassName() + ", not a data set");
  return *ds;
}

// Leaves the data set as it was found: closed again when it was opened here.
struct TOpenScope {
  korv::TKVDataSet& DataSet;
  bool Opened = false;
  explicit TOpenScope(korv::TKVDataSet& D) : DataSet(D) {
    if (!DataSet.Active()) {
      DataSet.Open();
      Opened = true;
    }
  }
  ~TOpenScope() {
    if (Opened) DataSet.Close();
  }
};

}  // namespace

String FieldTypeName(rtl::TFieldType Type) {
  return rtl::GetEnumName(rtl::TypeInfo_TFieldType(), static_cast<int>(Type));
}

TDataSnapshot ReadData(rtl::TComponent* Component, int Limit) {
  korv::TKVDataSet& ds = DataSetOf(Component);
  TOpenScope scope(ds);
  if (ds.State() != rtl::TDataSetState::dsBrowse) throw ECommandError(ds.Name() + " is being edited");
  ds.First();

  TDataSnapshot data;
  data.Name = ds.Name();
  for (int i = 0; i < ds.FieldDefs()->Count(); ++i) {
    const rtl::TFieldDef* d = ds.FieldDefs()->Items(i);
    data.Defs.push_back({d->Name(), d->DataType(), d->Size(), d->Precision(), d->Required()});
  }
  for (int i = 0; i < ds.FieldCount(); ++i) {
    const korv::TKVField& f = *ds.Fields(i);
    data.Fields.push_back({f.FieldName(), f.DataType(), f.Size(), f.Precision(), f.Required()});
  }
  while (!ds.Eof() && static_cast<int>(data.Rows.size()) < Limit) {
    std::vector<std::optional<String>> row;
    for (int i = 0; i < ds.FieldCount(); ++i) {
      const korv::TKVField& f = *ds.Fields(i);
      row.push_back(f.IsNull() ? std::nullopt : std::optional<String>(f.AsString()));
    }
    data.Rows.push_back(std::move(row));
    ds.Next();
  }
  data.Total = ds.RecordCount();
  return data;
}

void PrintData(std::ostream& Out, rtl::TComponent* Component, int Limit, bool Json) {
  if (Limit < 0) throw ECommandError("--limit takes a number of rows, 0 or more");
  const TDataSnapshot data = ReadData(Component, Limit);
  const std::vector<std::vector<std::optional<String>>>& values = data.Rows;
  std::vector<std::vector<String>> rows;
  for (const auto& row : values) {
    std::vector<String> shown;
    for (const auto& v : row) shown.push_back(Cell(v));
    rows.push_back(std::move(shown));
  }
  const int total = data.Total;

  if (Json) {
    nlohmann::ordered_json j;
    j["name"] = data.Name;
    j["fields"] = nlohmann::ordered_json::array();
    for (const TDataField& d : data.Defs)
      j["fields"].push_back({{"name", d.Name},
                             {"type", FieldTypeName(d.Type)},
                             {"size", d.Size},
                             {"precision", d.Precision},
                             {"required", d.Required}});
    j["rows"] = nlohmann::ordered_json::array();
    for (const auto& row : values) {
      nlohmann::ordered_json r = nlohmann::ordered_json::array();
      for (const auto& v : row) r.push_back(v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json());
      j["rows"].push_back(std::move(r));
    }
    j["total"] = total;
    Out << j.dump(2) << '\n';
    return;
  }

  std::vector<std::vector<String>> defs{{"Field", "Type", "Size", "Required"}};
  for (const TDataField& d : data.Defs) {
    String size = std::to_string(d.Size);
    if (d.Precision > 0) size = fmt::format("{},{}", d.Precision, d.Size);
    defs.push_back({d.Name, FieldTypeName(d.Type), size, d.Required ? "yes" : "no"});
  }
  PrintTable(Out, defs);
  Out << '\n';
  std::vector<String> header;
  for (const TDataField& f : data.Fields) header.push_back(f.Name);
  rows.insert(rows.begin(), header);
  PrintTable(Out, rows);
  const int shown = static_cast<int>(values.size());
  if (shown == total)
    Out << "(" << total << (total == 1 ? " row)\n" : " rows)\n");
  else
    Out << "(" << shown << " of " << total << " rows)\n";
}

bool PrintStatementChecks(std::ostream& Out, rtl::TComponent* Component, bool Try, bool Json) {
  auto* update = dynamic_cast<korv::TKVUpdateSQL*>(Component);
  if (!update)
    throw ECommandError(Component->Name() + " is a " + Component->ClassName() +
                        ", not an update object (TKVUpdateSQL)");
  korv::TKVDataSet* ds = update->DataSet();
  if (!ds) throw ECommandError(update->Name() + " belongs to no data set: its statements have no database");
  korv::TKVDatabase* db = ds->FindDatabase();
  if (!db) throw ECommandError(ds->Name() + " leads to no database");
  korv::TKVDatabaseUse use(*db);

  bool allOk = true;
  String modifyVerdict;
  nlohmann::ordered_json j;
  for (int i = 0; i < 4; ++i) {
    const String sql = update->GetSQLIndex(i)->Text();
    String verdict;
    nlohmann::ordered_json entry;
    if (rtl::Trim(sql).empty()) {
      verdict = "empty";
      entry["result"] = "empty";
    } else {
      const auto check = korv::CheckBoundSQL(*db, sql);
      if (check.Ok) {
        verdict = "ok";
        entry["result"] = "ok";
      } else {
        allOk = false;
        entry["result"] = "error";
        entry["message"] = check.Message;
        if (check.Position > 0) {
          // Line and column of the position, for a statement of several lines.
          int line = 1, column = 1, chars = 0;
          for (unsigned char c : sql) {
            if ((c & 0xC0) == 0x80) continue;
            if (++chars == check.Position) break;
            if (c == '\n') {
              ++line;
              column = 1;
            } else {
              ++column;
            }
          }
          entry["position"] = check.Position;
          entry["line"] = line;
          entry["column"] = column;
          verdict = fmt::format("error at line {}, column {}: {}", line, column, check.Message);
        } else {
          verdict = "error: " + check.Message;
        }
      }
    }
    if (i == 1) modifyVerdict = entry["result"].get<String>();
    if (Json)
      j[kStatementNames[i]] = std::move(entry);
    else
      Out << kStatementNames[i] << ": " << verdict << '\n';
  }

  if (Try) {
    // The try needs a modify statement that prepared; its failure is reported like a check's.
    String skipped;
    if (modifyVerdict == "empty")
      skipped = "ModifySQL is empty";
    else if (modifyVerdict != "ok")
      skipped = "ModifySQL did not prepare";
    if (!skipped.empty()) {
      allOk = false;
      if (Json)
        j["try"] = {{"result", "skipped"}, {"message", skipped}};
      else
        Out << "Try: skipped, " << skipped << '\n';
    } else {
      TOpenScope scope(*ds);
      if (ds->IsEmpty()) {
        if (Json)
          j["try"] = {{"result", "no row"}};
        else
          Out << "Try: " << ds->Name() << " has no row to try the modify statement on\n";
      } else {
        ds->First();
        try {
          const std::int64_t rows = ds->TryModify();
          if (Json)
            j["try"] = {{"result", rows == 1 ? "ok" : "error"}, {"rows", rows}};
          else
            Out << "Try: ModifySQL would change " << rows << (rows == 1 ? " row" : " rows") << " for the first row of "
                << ds->Name() << " (rolled back)\n";
          if (rows != 1) allOk = false;
        } catch (const std::exception& e) {
          allOk = false;
          if (Json)
            j["try"] = {{"result", "error"}, {"message", e.what()}};
          else
            Out << "Try: error: " << e.what() << '\n';
        }
      }
    }
  }
  if (Json) Out << j.dump(2) << '\n';
  return allOk;
}

}  // namespace designer
