// korv-fbcreate FILE [SCRIPT...]: creates a Firebird database file with the embedded engine and
// runs the statements of each SQL script in it, so that an example or a test builds its database
// with no isql and no server. Statements end with the terminator, ";" until a
// "SET TERM <new> <old>" line changes it (for procedure bodies), as in isql; "--" lines are
// comments. Stops at the first failing statement, naming the script and the line it starts on.
#include "korv/drivers/Registry.h"
#include "korv/firebird/FbDatabase.h"
#include "rtl/Exceptions.h"

#include <fmt/format.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool StartsWithWords(const std::string& line, const char* a, const char* b) {
  std::istringstream in(line);
  std::string x, y;
  in >> x >> y;
  auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  return upper(x) == a && upper(y) == b;
}

void RunScript(korv::drivers::Connection& db, const std::string& path) {
  std::ifstream in(path);
  if (!in) throw rtl::EDatabaseError(fmt::format("Cannot read the script \"{}\"", path));
  std::string terminator = ";", statement, line;
  int number = 0, start = 0;
  while (std::getline(in, line)) {
    ++number;
    const std::string text = Trimmed(line);
    if (statement.empty()) {
      if (text.empty() || text.rfind("--", 0) == 0) continue;
      if (StartsWithWords(text, "SET", "TERM")) {
        std::istringstream words(text);
        std::string set, term;
        words >> set >> term >> terminator;
        continue;
      }
      start = number;
    }
    statement += line + "\n";
    if (text.size() >= terminator.size() &&
        text.compare(text.size() - terminator.size(), terminator.size(), terminator) == 0) {
      std::string sql = Trimmed(statement);
      sql.resize(sql.size() - terminator.size());
      try {
        db.Execute(sql);
      } catch (const rtl::EDatabaseError& e) {
        throw rtl::EDatabaseError(fmt::format("{}:{}: {}", path, start, e.Message()));
      }
      statement.clear();
    }
  }
  if (!Trimmed(statement).empty())
    throw rtl::EDatabaseError(fmt::format("{}:{}: the statement has no terminator \"{}\"", path, start, terminator));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: korv-fbcreate FILE [SCRIPT...]\n";
    return 2;
  }
  try {
    korv::drivers::ConnectionSpec spec;
    spec.RemoteDatabase = argv[1];
    korv::drivers::firebird::CreateDatabase(spec);
    auto db = korv::drivers::GetDriver(korv::TKVServerType::stFirebird).Connect(spec);
    for (int i = 2; i < argc; ++i) RunScript(*db, argv[i]);
  } catch (const rtl::EDatabaseError& e) {
    std::cerr << "korv-fbcreate: " << e.Message() << "\n";
    return 1;
  }
  return 0;
}
