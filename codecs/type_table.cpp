#include "codecs/type_table.h"

#include <type_traits>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "codecs/resource_str.h"
#include "codecs/resource_trcn.h"
#include "codecs/resource_ttab.h"
#include "codecs/type_reports.h"

namespace scrivet {

namespace {

template <class T>
std::unique_ptr<IffResource> Make() {
  return std::make_unique<T>();
}

// The report functions take their own class; the row's entries take any resource.
template <class T, auto Fn, class Out>
bool ReportAs(const IffResource& resource, Out& out) {
  const T* typed = dynamic_cast<const T*>(&resource);
  if (!typed) return false;
  Fn(*typed, out);
  return true;
}

template <class T>
inline constexpr TypeCode kOwnType[] = {T::kType};

constexpr TypeCode kStringTableTypes[] = {MakeTypeCode("STR#"), MakeTypeCode("TTAs"), MakeTypeCode("CTSS"),
                                          MakeTypeCode("FAMs")};

// One row: the class, the report functions (nullptr for none) and the chunk types it serves.
template <class T, auto Describe = nullptr, auto Text = nullptr>
constexpr ResourceType Row(std::span<const TypeCode> chunkTypes = kOwnType<T>) {
  ResourceType row;
  row.chunkTypes = chunkTypes;
  row.reported = T::kType;
  row.create = &Make<T>;
  if constexpr (!std::is_null_pointer_v<decltype(Describe)>) row.describe = &ReportAs<T, Describe, ModelNode>;
  if constexpr (!std::is_null_pointer_v<decltype(Text)>) row.text = &ReportAs<T, Text, std::string>;
  return row;
}

constexpr ResourceType ReportOnly(ResourceType row) {
  row.reportOnly = true;
  return row;
}

const ResourceType kTypes[] = {
    Row<ResourceData>({}),
    Row<ResourceStr, &DescribeStr, &StrText>(kStringTableTypes),
    Row<ResourceBhav, &DescribeBhav, &BhavText>(),
    Row<ResourceTtab, &DescribeTtab>(),
    Row<ResourceObjd, &DescribeObjd, &ObjdText>(),
    Row<ResourceObjf, &DescribeObjf>(),
    Row<ResourceCarr, &DescribeCarr>(),
    Row<ResourceBcon, &DescribeBcon>(),
    Row<ResourceFwav, &DescribeFwav>(),
    Row<ResourceGlob, &DescribeGlob>(),
    Row<ResourceTrcn, &DescribeTrcn>(),
    Row<ResourceSpr, &DescribeSpr>(),
    Row<ResourceSpr2, &DescribeSpr2>(),
    Row<ResourceDgrp, &DescribeDgrp>(),
    ReportOnly(Row<ResourcePalt, &DescribePalt>()),
};

}  // namespace

std::span<const ResourceType> RegisteredTypes() { return kTypes; }

const ResourceType& ReadableTypeFor(TypeCode chunkType) {
  for (const ResourceType& row : kTypes)
    for (TypeCode t : row.chunkTypes)
      if (t == chunkType) return row;
  return kTypes[0];
}

const ResourceType& TypeFor(TypeCode chunkType) {
  const ResourceType& row = ReadableTypeFor(chunkType);
  return row.reportOnly ? kTypes[0] : row;
}

const ResourceType* FindReportedType(TypeCode reported) {
  for (const ResourceType& row : kTypes)
    if (row.reported == reported) return &row;
  return nullptr;
}

std::unique_ptr<IffResource> CreateResourceForType(TypeCode chunkType) { return TypeFor(chunkType).create(); }

TypeCode ReportedTypeFor(TypeCode chunkType) { return TypeFor(chunkType).reported; }

}  // namespace scrivet
