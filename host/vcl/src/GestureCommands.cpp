#include "vcl/GestureCommands.h"

#include "vcl/FormText.h"
#include "rtl/SysUtils.h"

#include <ostream>

namespace vcl {

using namespace rtl;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads one word from Line at Pos (after blanks); false at the end of the line.
bool NextWord(const String& line, size_t& pos, String& word) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  word.clear();
  char q = line[pos];
  if (q == '\'' || q == '"') {
    size_t start = pos++;
    for (;;) {
      if (pos >= line.size()) throw EGestureError("Unclosed quote in: " + line.substr(start));
      char c = line[pos++];
      if (c == q) {
        if (q == '\'' && pos < line.size() && line[pos] == '\'') {  // '' inside '...'
          word += '\'';
          ++pos;
          continue;
        }
        break;
      }
      if (q == '"' && c == '\\' && pos < line.size()) {
        char e = line[pos++];
        word += e == 'n' ? '\n' : e == 't' ? '\t' : e;
        continue;
      }
      word += c;
    }
    if (pos < line.size() && !IsBlank(line[pos]))
      throw EGestureError("Blank expected after the quoted word in: " + line);
    return true;
  }
  while (pos < line.size() && !IsBlank(line[pos])) word += line[pos++];
  return true;
}

// The rest of the line from Pos: one quoted word, or the text as written with its outer
// blanks dropped.
String Rest(const String& line, size_t pos, bool escapes) {
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos < line.size() && (line[pos] == '\'' || line[pos] == '"')) {
    String word;
    NextWord(line, pos, word);
    String tail;
    if (NextWord(line, pos, tail)) throw EGestureError("Nothing may follow the quoted text in: " + line);
    return word;
  }
  size_t end = line.size();
  while (end > pos && IsBlank(line[end - 1])) --end;
  String text = line.substr(pos, end - pos);
  if (!escapes) return text;
  String r;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      r += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      r += text[i];
    }
  }
  return r;
}

enum class TShape { None, Control, ControlRest, ControlRestEscaped, ControlWords, ControlOnOff, ControlButton };

struct TVerb {
  const char* Name;
  TShape Shape;
};

const TVerb Verbs[] = {{"click", TShape::Control},
                       {"type", TShape::ControlRestEscaped},
                       {"choose", TShape::ControlRest},
                       {"pick", TShape::ControlWords},
                       {"check", TShape::ControlOnOff},
                       {"menu", TShape::ControlRest},
                       {"page", TShape::ControlRest},
                       {"focus", TShape::Control},
                       {"mousedown", TShape::ControlButton},
                       {"enter", TShape::None},
                       {"escape", TShape::None},
                       {"close", TShape::None},
                       {"show", TShape::None}};

}  // namespace

std::vector<String> SplitCommandWords(const String& Line) {
  std::vector<String> words;
  size_t pos = 0;
  String word;
  while (NextWord(Line, pos, word)) words.push_back(word);
  return words;
}

std::optional<TGestureCommand> ParseGestureCommand(const String& Line) {
  size_t pos = 0;
  while (pos < Line.size() && IsBlank(Line[pos])) ++pos;
  if (pos >= Line.size() || Line[pos] == '#') return std::nullopt;
  String verb;
  NextWord(Line, pos, verb);
  verb = LowerCase(verb);
  const TVerb* found = nullptr;
  for (const TVerb& v : Verbs)
    if (verb == v.Name) found = &v;
  if (!found) throw EGestureError("Unknown command \"" + verb + "\"");

  TGestureCommand cmd;
  cmd.Verb = verb;
  String word;
  if (found->Shape != TShape::None) {
    if (!NextWord(Line, pos, word)) throw EGestureError("Command " + verb + " needs a control name");
    cmd.Args.push_back(word);
  }
  auto noMore = [&] {
    String extra;
    if (NextWord(Line, pos, extra)) throw EGestureError("Command " + verb + " takes no \"" + extra + "\"");
  };
  switch (found->Shape) {
  case TShape::None:
  case TShape::Control: noMore(); break;
  case TShape::ControlRest:
  case TShape::ControlRestEscaped: {
    String rest = Rest(Line, pos, found->Shape == TShape::ControlRestEscaped);
    if (rest.empty() && found->Shape == TShape::ControlRest)
      throw EGestureError("Command " + verb + " needs an item after the control name");
    cmd.Args.push_back(rest);
    break;
  }
  case TShape::ControlWords:
    while (NextWord(Line, pos, word)) cmd.Args.push_back(word);
    break;
  case TShape::ControlOnOff: {
    if (!NextWord(Line, pos, word)) throw EGestureError("Command check needs on or off");
    String w = LowerCase(word);
    if (w == "on" || w == "true" || w == "yes" || w == "1")
      cmd.Args.push_back("on");
    else if (w == "off" || w == "false" || w == "no" || w == "0")
      cmd.Args.push_back("off");
    else
      throw EGestureError("Command check takes on or off, not \"" + word + "\"");
    noMore();
    break;
  }
  case TShape::ControlButton: {
    String button = "left";
    if (NextWord(Line, pos, word)) {
      button = LowerCase(word);
      if (button != "left" && button != "right" && button != "middle")
        throw EGestureError("Command mousedown takes left, right or middle, not \"" + word + "\"");
    }
    cmd.Args.push_back(button);
    noMore();
    break;
  }
  }
  return cmd;
}

void RunGestureCommand(TGestureDriver& Driver, const TGestureCommand& Command, std::ostream& Out) {
  const String& v = Command.Verb;
  const auto& a = Command.Args;
  if (v == "click")
    Driver.Click(a.at(0));
  else if (v == "type")
    Driver.Type(a.at(0), a.at(1));
  else if (v == "choose")
    Driver.Choose(a.at(0), a.at(1));
  else if (v == "pick")
    Driver.Pick(a.at(0), std::vector<String>(a.begin() + 1, a.end()));
  else if (v == "check")
    Driver.Check(a.at(0), a.at(1) == "on");
  else if (v == "menu")
    Driver.Menu(a.at(0), a.at(1));
  else if (v == "page")
    Driver.Page(a.at(0), a.at(1));
  else if (v == "focus")
    Driver.Focus(a.at(0));
  else if (v == "mousedown")
    Driver.MouseDown(a.at(0), a.at(1) == "right" ? mbRight : a.at(1) == "middle" ? mbMiddle : mbLeft);
  else if (v == "enter")
    Driver.Enter();
  else if (v == "escape")
    Driver.Escape();
  else if (v == "close")
    Driver.CloseBox();
  else if (v == "show")
    Out << FormToText(Driver.Form());
  else
    throw EGestureError("Unknown command \"" + v + "\"");
}

}  // namespace vcl
