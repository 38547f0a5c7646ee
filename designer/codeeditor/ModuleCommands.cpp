#include "designer/CodeEditor.h"

#include "rtl/Strings.h"
#include "rtl/SysUtils.h"
#include "vcl/GestureCommands.h"

#include <cctype>
#include <ostream>

namespace designer {

namespace {

// The text after the first Count words of Line, as written (the words are plain or quoted).
String RestOfLine(const String& Line, int Count) {
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < Line.size() && std::isspace(static_cast<unsigned char>(Line[i]))) ++i;
  };
  for (int w = 0; w < Count; ++w) {
    skipBlanks();
    if (i < Line.size() && (Line[i] == '\'' || Line[i] == '"')) {
      const char quote = Line[i++];
      while (i < Line.size() && Line[i] != quote) i += Line[i] == '\\' && quote == '"' ? 2 : 1;
      ++i;
    } else {
      while (i < Line.size() && !std::isspace(static_cast<unsigned char>(Line[i]))) ++i;
    }
  }
  skipBlanks();
  return i < Line.size() ? Line.substr(i) : String();
}

// "\n" written in a command is a line break.
String LineBreaks(const String& Text) {
  String out;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\\' && i + 1 < Text.size() && Text[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += Text[i];
    }
  }
  return out;
}

std::shared_ptr<TTextModule> Module(TModuleServices& Services, const String& Name) {
  if (auto m = Services.FindTextModule(Name)) return m;
  throw ECodeEditorError(rtl::Format("No open module named {}", Name));
}

}  // namespace

void RunModuleCommand(TModuleServices& Services, const String& Line, std::ostream& Out) {
  const std::vector<String> words = vcl::SplitCommandWords(Line);
  if (words.size() < 2 || !rtl::SameText(words[0], "module"))
    throw ECodeEditorError("A module command reads: module list|show|text|type|save|close [NAME] [TEXT]");
  const String verb = rtl::LowerCase(words[1]);
  if (verb == "list") {
    for (const auto& m : Services.TextModules())
      Out << m->GetFileName() << (m->IsModified() ? " (modified)" : "") << '\n';
    return;
  }
  if (words.size() < 3) throw ECodeEditorError(rtl::Format("module {} needs a module name", verb));
  auto module = Module(Services, words[2]);
  if (verb == "type") {
    // A quoted text is one word; otherwise the rest of the line, blanks and all.
    module->ReplaceText(LineBreaks(words.size() == 4 ? words[3] : RestOfLine(Line, 3)));
    return;
  }
  if (words.size() > 3) throw ECodeEditorError(rtl::Format("module {} takes only a module name", verb));
  if (verb == "show") {
    module->Show();
  } else if (verb == "text") {
    rtl::TStringList lines;
    lines.SetText(module->Text());
    for (int i = 0; i < lines.Count(); ++i) Out << "| " << lines[i] << '\n';
  } else if (verb == "save") {
    module->Save(false, false);
  } else if (verb == "close") {
    if (!module->Close()) Out << "Not closed\n";
  } else {
    throw ECodeEditorError(rtl::Format("Unknown module command: {}", words[1]));
  }
}

}  // namespace designer
