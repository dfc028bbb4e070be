#include "codecs/type_table.h"

#include <initializer_list>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_str.h"
#include "codecs/resource_ttab.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"

namespace scrivet {

namespace {

using Factory = std::unique_ptr<IffResource> (*)();

struct Row {
  std::initializer_list<TypeCode> chunkTypes;
  TypeCode reported;
  Factory create;
};

template <typename T>
std::unique_ptr<IffResource> Make() {
  return std::make_unique<T>();
}

// Resource classes register here, one row per class.
const Row kRows[] = {
    {{}, ResourceData::kType, &Make<ResourceData>},
    {{MakeTypeCode("STR#"), MakeTypeCode("TTAs"), MakeTypeCode("CTSS"), MakeTypeCode("FAMs")},
     ResourceStr::kType, &Make<ResourceStr>},
    {{ResourceBhav::kType}, ResourceBhav::kType, &Make<ResourceBhav>},
    {{ResourceTtab::kType}, ResourceTtab::kType, &Make<ResourceTtab>},
    {{ResourceObjd::kType}, ResourceObjd::kType, &Make<ResourceObjd>},
    {{ResourceObjf::kType}, ResourceObjf::kType, &Make<ResourceObjf>},
    {{ResourceCarr::kType}, ResourceCarr::kType, &Make<ResourceCarr>},
    {{ResourceBcon::kType}, ResourceBcon::kType, &Make<ResourceBcon>},
    {{ResourceFwav::kType}, ResourceFwav::kType, &Make<ResourceFwav>},
    {{ResourceGlob::kType}, ResourceGlob::kType, &Make<ResourceGlob>},
    {{ResourceSpr::kType}, ResourceSpr::kType, &Make<ResourceSpr>},
    {{ResourceSpr2::kType}, ResourceSpr2::kType, &Make<ResourceSpr2>},
    {{ResourceDgrp::kType}, ResourceDgrp::kType, &Make<ResourceDgrp>},
};

const Row* FindRow(TypeCode chunkType) {
  for (const Row& row : kRows)
    for (TypeCode t : row.chunkTypes)
      if (t == chunkType) return &row;
  return nullptr;
}

}  // namespace

std::unique_ptr<IffResource> CreateResourceForType(TypeCode chunkType) {
  const Row* row = FindRow(chunkType);
  return row ? row->create() : std::make_unique<ResourceData>();
}

TypeCode ReportedTypeFor(TypeCode chunkType) {
  const Row* row = FindRow(chunkType);
  return row ? row->reported : ResourceData::kType;
}

}  // namespace scrivet
