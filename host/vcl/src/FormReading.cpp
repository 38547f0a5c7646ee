// Reading a form description into a form.
//
// The form-file reader takes integer properties as numbers only, and pictures' binary data is
// not a published property. So before handing the text over, this pass (1) writes the number
// in place of each colour, cursor or character-set name given to such a property (clBtnFace,
// crHandPoint, DEFAULT_CHARSET), in the same place of the same line so that positions in
// error messages still hold; (2) collects the images' Picture.Data, which the reader keeps
// as written for saving and which is then put into each image's TPicture.
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include "rtl/FormParser.h"
#include "rtl/FormReader.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace vcl {

using namespace rtl;

namespace {

struct TIdentPatch {
  TDfmPos Pos;
  String Ident;
  String Number;
};

struct TPictureData {
  String Component;
  String Bytes;
};

// The property a dotted name reaches from a class, through owned sub-objects.
const TPropInfo* FindDottedProp(TClass cls, const String& dotted) {
  size_t start = 0;
  for (;;) {
    size_t dot = dotted.find('.', start);
    String seg = dotted.substr(start, dot == String::npos ? String::npos : dot - start);
    const TPropInfo* p = cls ? cls->FindProp(seg) : nullptr;
    if (!p || dot == String::npos) return p;
    if (p->Kind() != TTypeKind::tkClass || p->IsReference || !p->PropType->ClassRef) return nullptr;
    cls = p->PropType->ClassRef;
    start = dot + 1;
  }
}

void Scan(const TDfmObject& node, TClass cls, bool root, std::vector<TIdentPatch>& patches,
          std::vector<TPictureData>& pictures) {
  for (const TDfmProperty& p : node.Props) {
    if (p.Value.Kind == TDfmValueKind::vkBinary && SameText(p.Name, "Picture.Data") && !root) {
      pictures.push_back({node.Name, p.Value.Str});
      continue;
    }
    if (p.Value.Kind != TDfmValueKind::vkIdent) continue;
    const TPropInfo* prop = FindDottedProp(cls, p.Name);
    if (!prop) continue;
    int64_t value = 0;
    if (IdentToIntOfType(prop->PropType, p.Value.Str, value))
      patches.push_back({p.Value.Pos, p.Value.Str, std::to_string(value)});
  }
  for (const TDfmObject& child : node.Children) Scan(child, GetClass(child.ClassName), false, patches, pictures);
}

// Byte offset of a line and column (both from 1; columns count characters).
size_t OffsetOf(const String& text, TDfmPos pos) {
  size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  for (int line = 1; line < pos.Line && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
    } else if (text[i] == '\r') {
      ++line;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  for (int col = 1; col < pos.Column && i < text.size(); ++col) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

String ApplyPatches(const String& text, std::vector<TIdentPatch> patches) {
  if (patches.empty()) return text;
  // Last first, so the offsets of the ones before stay good.
  std::sort(patches.begin(), patches.end(), [](const TIdentPatch& a, const TIdentPatch& b) {
    return a.Pos.Line != b.Pos.Line ? a.Pos.Line > b.Pos.Line : a.Pos.Column > b.Pos.Column;
  });
  String out = text;
  for (const TIdentPatch& p : patches) {
    size_t at = OffsetOf(text, p.Pos);
    if (at + p.Ident.size() > out.size() || !SameText(out.substr(at, p.Ident.size()), p.Ident)) continue;
    out.replace(at, p.Ident.size(), p.Number);
  }
  return out;
}

} // namespace

void TForm::ReadDescription(const String& Text, const String& FileName) {
  struct TReadingScope {
    TForm* F;
    explicit TReadingScope(TForm* f) : F(f) { F->FReading = true; }
    ~TReadingScope() { F->FReading = false; }
  } scope(this);

  TDfmObject tree = ParseFormText(Text, FileName);
  std::vector<TIdentPatch> patches;
  std::vector<TPictureData> pictures;
  Scan(tree, ClassType(), true, patches, pictures);
  ReadRootComponent(this, ApplyPatches(Text, std::move(patches)), FileName, true);
  for (const TPictureData& pic : pictures)
    if (auto* image = dynamic_cast<TImage*>(FindComponent(pic.Component))) image->Picture()->SetData(pic.Bytes);
}

} // namespace vcl
