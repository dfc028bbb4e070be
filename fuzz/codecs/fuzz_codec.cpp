// Built once per codec; FUZZ_CODEC_<name> selects which one this target exercises.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/field_codec.h"
#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_str.h"
#include "codecs/resource_trcn.h"
#include "codecs/resource_ttab.h"

// Inline so that the helpers a target does not use raise no warning.
namespace scrivet::fuzz {

// What a model keeps through the written layout; the rest is dropped by design.
inline void Normalize(IffResource&) {}

inline void Normalize(ResourceTtab& ttab) {
  for (Interaction& in : ttab.interactions) {
    in.motiveCount = Interaction::kAdvertisementCount;
    in.name.clear();
  }
}

inline void Normalize(ResourceStr& str) {
  // Languages without any text are not written; with none at all the table is empty.
  const size_t languages = str.useLanguages ? kLanguageCount : 1;
  for (const StringItem& item : str.items)
    for (size_t l = 0; l < languages; ++l)
      if (!item.slots[l].value.empty() || !item.slots[l].description.empty()) return;
  str.items.clear();
}

template <typename R>
inline void FuzzResource(const uint8_t* data, size_t size) {
  for (uint16_t flags : {uint16_t(0x0000), uint16_t(0x0010)}) {
    R first;
    first.Chunk().Assign(data, size);
    first.Chunk().flags = flags;
    if (!first.Decode()) continue;
    std::vector<uint8_t> bytes;
    if (!first.EncodeToBytes(bytes)) continue;  // a model the layout cannot hold is refused
    R second;
    second.Chunk().Assign(bytes.data(), bytes.size());
    second.Chunk().flags = IffChunk::kFlagLittleEndian;
    if (!second.Decode()) std::abort();
    Normalize(first);
    if (!second.ModelEquals(first)) std::abort();
    std::vector<uint8_t> again;
    if (!second.EncodeToBytes(again) || again != bytes) std::abort();
  }
}

// Reads values of the widths the input's first byte picks, writes them back and reads again.
inline void FuzzFieldCodec(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const uint8_t pattern = data[0];
  FieldDecoder in(data + 1, size - 1);
  std::vector<int32_t> values;
  for (int i = 0; i < 64 && !in.Exhausted(); ++i)
    values.push_back((pattern >> (i % 8)) & 1 ? in.ReadValue32() : in.ReadValue16());
  std::vector<uint8_t> sink;
  FieldEncoder out(sink);
  for (size_t i = 0; i < values.size(); ++i) {
    if ((pattern >> (i % 8)) & 1) out.WriteValue32(values[i]);
    else out.WriteValue16(static_cast<int16_t>(values[i]));
  }
  out.Flush();
  FieldDecoder back(sink.data(), sink.size());
  for (size_t i = 0; i < values.size(); ++i) {
    int32_t v = (pattern >> (i % 8)) & 1 ? back.ReadValue32() : back.ReadValue16();
    if (v != values[i]) std::abort();
  }
  if (back.Exhausted() || back.BytesConsumed() != sink.size()) std::abort();
}

}  // namespace scrivet::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scrivet;
  using namespace scrivet::fuzz;
#if defined(FUZZ_CODEC_str)
  FuzzResource<ResourceStr>(data, size);
#elif defined(FUZZ_CODEC_bhav)
  FuzzResource<ResourceBhav>(data, size);
#elif defined(FUZZ_CODEC_ttab)
  FuzzResource<ResourceTtab>(data, size);
#elif defined(FUZZ_CODEC_objd)
  FuzzResource<ResourceObjd>(data, size);
#elif defined(FUZZ_CODEC_objf)
  FuzzResource<ResourceObjf>(data, size);
#elif defined(FUZZ_CODEC_carr)
  FuzzResource<ResourceCarr>(data, size);
#elif defined(FUZZ_CODEC_bcon)
  FuzzResource<ResourceBcon>(data, size);
#elif defined(FUZZ_CODEC_fwav)
  FuzzResource<ResourceFwav>(data, size);
#elif defined(FUZZ_CODEC_glob)
  FuzzResource<ResourceGlob>(data, size);
#elif defined(FUZZ_CODEC_trcn)
  FuzzResource<ResourceTrcn>(data, size);
#elif defined(FUZZ_CODEC_field)
  FuzzFieldCodec(data, size);
#endif
  return 0;
}
