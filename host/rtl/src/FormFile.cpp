#include "rtl/FormFile.h"

namespace rtl {

TDfmValue TDfmValue::Integer(int64_t v) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkInteger;
  r.Int = v;
  return r;
}

TDfmValue TDfmValue::FloatValue(double v, char suffix) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkFloat;
  r.Float = v;
  r.FloatSuffix = suffix;
  return r;
}

TDfmValue TDfmValue::StringValue(String s) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkString;
  r.Str = std::move(s);
  return r;
}

TDfmValue TDfmValue::Ident(String s) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkIdent;
  r.Str = std::move(s);
  return r;
}

TDfmValue TDfmValue::Set(std::vector<String> names) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkSet;
  r.Names = std::move(names);
  return r;
}

TDfmValue TDfmValue::List(std::vector<TDfmValue> items) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkList;
  r.Items = std::move(items);
  return r;
}

TDfmValue TDfmValue::Binary(String bytes) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkBinary;
  r.Str = std::move(bytes);
  return r;
}

TDfmValue TDfmValue::Collection(std::vector<TDfmItem> items) {
  TDfmValue r;
  r.Kind = TDfmValueKind::vkCollection;
  r.CollItems = std::move(items);
  return r;
}

const char* DfmObjectKeyword(TDfmObjectKind kind) {
  switch (kind) {
  case TDfmObjectKind::okInherited: return "inherited";
  case TDfmObjectKind::okInline: return "inline";
  default: return "object";
  }
}

}  // namespace rtl
