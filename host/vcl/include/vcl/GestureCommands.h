// Gesture commands as text, one per line, for the text user interface and designer scripts:
//
//   click CONTROL              type CONTROL TEXT          choose CONTROL ITEM
//   pick CONTROL [ITEM...]     check CONTROL on|off       menu CONTROL ITEM
//   page CONTROL PAGE          focus CONTROL              mousedown CONTROL [left|right|middle]
//   enter                      escape                     close
//   show
//
// Words are separated by blanks; a word with blanks is quoted with '...' or "..." (in double
// quotes \n, \t, \", \\ are escapes). For type, choose, menu and page the rest of the line is
// the text or item, so quotes are needed only to keep outer blanks or to write escapes (type
// takes \n for a line break in any case). Blank lines and lines starting with # are ignored.
#pragma once

#include "vcl/Gestures.h"

#include <iosfwd>
#include <optional>

namespace vcl {

struct TGestureCommand {
  String Verb;               // lower case
  std::vector<String> Args;  // control name first, when the verb takes one
};

// Parses a line; nothing for a blank or comment line. Raises EGestureError on a malformed one
// (unknown verb, missing or extra words).
std::optional<TGestureCommand> ParseGestureCommand(const String& Line);

// Splits a line into words as described above.
std::vector<String> SplitCommandWords(const String& Line);

// Runs a command on the driver; "show" prints the form to Out.
void RunGestureCommand(TGestureDriver& Driver, const TGestureCommand& Command, std::ostream& Out);

}  // namespace vcl
