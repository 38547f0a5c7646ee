// Binary form file to syntax tree and back: the object stream that starts with "TPF0".
//
// A file may carry a resource header before the signature ($FF, the type 10 as a little-endian
// word, the upper-case type name ending in a zero byte, a flags word and the stream's size as a
// double word). Per object: an optional prefix byte $F0..$FF (bit 1 inherited, bit 2 a child
// position follows as an integer value, bit 4 inline), class name and object name as short
// strings (a length byte, then the bytes), properties as short-string name and value until a
// zero byte, nested objects until a zero byte. Every value starts with its type byte:
//   1 list (values until 0)       2/3/4/19 integer of 8/16/32/64 bits   5 extended (10 bytes)
//   6 short string  12 long string (Windows-1252 bytes)  20 UTF-8 string  18 UTF-16 string
//   7 identifier  8 False  9 True  13 nil  11 set (short strings until an empty one)
//   10 binary (size, bytes)  14 collection (per item: an optional integer order value, 1,
//   properties, 0; then 0)  15 single  16 currency (64-bit, scaled by 10000)  17 date  21 double
// All numbers are little-endian. The tree is the one the text parser builds (FormParser.h), so
// everything above reads, keeps and writes a binary module as it does a text one; nodes carry
// their byte offset instead of a line and column.
//
// A truncated or malformed file raises EParserError
// `<file>: byte <offset>: expected <what> but found <what>`. Time is linear in the file's size,
// and memory is bounded by it: no length field is believed beyond the bytes that are there.
#pragma once

#include "rtl/Exceptions.h"
#include "rtl/FormFile.h"
#include "rtl/FormParser.h"

#include <string_view>

namespace rtl {

// dfBinary for bytes that start with "TPF0", dfBinaryResource for a resource header before it
// ($FF $0A $00), dfText for anything else.
TDfmFormat DetectFormFormat(std::string_view Bytes);

// Parses one binary module: the header when there is one, exactly one object, nothing after it.
TDfmObject ParseFormBinary(std::string_view Bytes, const String& FileName);

// Parses into Sink as the text parser's overload does: Root once, then each nested object.
void ParseFormBinary(std::string_view Bytes, const String& FileName, TFormTextSink& Sink);

// Parses text or binary, whichever the bytes are.
void ParseForm(std::string_view Bytes, const String& FileName, TFormTextSink& Sink);

// The module as a binary stream: "TPF0" and the objects; with a resource header before it for
// dfBinaryResource. The bytes are canonical (each integer in the fewest bytes that hold it,
// strings of ASCII as short or long strings, others as UTF-16), so reading and writing a file
// this function wrote gives the same bytes. A name longer than 255 bytes, which a short string
// cannot hold, raises EConvertError naming it.
String PrintFormBinary(const TDfmObject& Root, TDfmFormat Format = TDfmFormat::dfBinary);

// Pieces for a writer that makes one nested object at a time: the signature (and the header,
// whose size BinaryFormEnd fills in), an object (with Children, through its closing zero byte;
// without, only prefix, names and properties: the caller writes the children and then
// BinaryListEnd), and the end of the stream.
void BinaryFormBegin(String& Out, TDfmFormat Format, const String& RootClassName);
void PrintFormBinaryObject(String& Out, const TDfmObject& Obj, bool Children = true);
void BinaryListEnd(String& Out);
void BinaryFormEnd(String& Out, TDfmFormat Format);

}  // namespace rtl
