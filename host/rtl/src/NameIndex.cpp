#include "rtl/NameIndex.h"

#include "rtl/Component.h"
#include "rtl/SysUtils.h"

namespace rtl {

static_assert(sizeof(TNameIndex) == sizeof(void*), "a component that owns nothing pays one pointer");

TComponent* TNameIndex::Find(const String& Name) const {
  if (!FTable) return nullptr;
  return FTable->Find(TextHash(Name), [&](const TComponent* c) { return SameText(c->Name(), Name); });
}

TComponent* TNameIndex::Insert(const String& Name, TComponent* C) {
  if (!FTable) FTable = std::make_unique<TProbeTable<TComponent>>();
  return FTable->FindOrInsert(TextHash(Name), C, [&](const TComponent* c) { return SameText(c->Name(), Name); });
}

bool TNameIndex::Erase(const String& Name, const TComponent* C) { return FTable && FTable->Erase(TextHash(Name), C); }

}  // namespace rtl
