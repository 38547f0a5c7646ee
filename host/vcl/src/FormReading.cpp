// Reading a form description into a form.
//
// Pictures' binary data is not a published property: the reader keeps Picture.Data as written
// (so saving loses nothing), and this pass puts it into each image's TPicture.
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

#include "rtl/FormParser.h"
#include "rtl/FormReader.h"
#include "rtl/SysUtils.h"

namespace vcl {

using namespace rtl;

namespace {

struct TPictureData {
  String Component;
  String Bytes;
};

void Scan(const TDfmObject& node, bool root, std::vector<TPictureData>& pictures) {
  for (const TDfmProperty& p : node.Props)
    if (p.Value.Kind == TDfmValueKind::vkBinary && SameText(p.Name, "Picture.Data") && !root)
      pictures.push_back({node.Name, p.Value.Str});
  for (const TDfmObject& child : node.Children) Scan(child, false, pictures);
}

}  // namespace

void TForm::ReadDescription(const String& Text, const String& FileName) {
  struct TReadingScope {
    TForm* F;
    explicit TReadingScope(TForm* f) : F(f) { F->FReading = true; }
    ~TReadingScope() { F->FReading = false; }
  } scope(this);

  TDfmObject tree = ParseFormText(Text, FileName);
  std::vector<TPictureData> pictures;
  Scan(tree, true, pictures);
  ReadRootComponent(this, Text, FileName, true);
  for (const TPictureData& pic : pictures)
    if (auto* image = dynamic_cast<TImage*>(FindComponent(pic.Component))) image->Picture()->SetData(pic.Bytes);
}

}  // namespace vcl
