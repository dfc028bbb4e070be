#include "codecs/resource_ttab.h"

#include "codecs/field_codec.h"

namespace scrivet {

const std::array<const char*, Interaction::kAdvertisementCount> kAdvertisementNames = {
    nullptr, nullptr, nullptr, "Mood",    nullptr, "Energy", "Comfort", "Hunger",
    "Hygiene", "Bladder", nullptr, nullptr, nullptr, "Room", "Social", "Fun",
};

namespace {

// Versions 0 and 1: (motive index, value) pairs that set `max`.
bool ReadPairs(IffChunk& chunk, Interaction& in) {
  uint16_t pairs;
  if (!chunk.ReadU16(pairs)) return false;
  for (uint32_t i = 0; i < pairs; ++i) {
    uint16_t motive, value;
    if (!chunk.ReadU16(motive) || !chunk.ReadU16(value)) return false;
    if (motive < Interaction::kAdvertisementCount) in.advertisements[motive].max = static_cast<int16_t>(value);
  }
  return true;
}

// Versions 2-5: M values that set `max` of advertisement 0, 1, ...
bool ReadMaxValues(IffChunk& chunk, Interaction& in, uint32_t count) {
  if (size_t(count) * 2 > chunk.Remaining()) return false;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t value;
    if (!chunk.ReadU16(value)) return false;
    if (i < Interaction::kAdvertisementCount) in.advertisements[i].max = static_cast<int16_t>(value);
  }
  return true;
}

bool ReadU16Widened(IffChunk& chunk, uint32_t& out) {
  uint16_t v;
  if (!chunk.ReadU16(v)) return false;
  out = v;
  return true;
}

bool ReadOldRecord(IffChunk& chunk, uint16_t version, Interaction& in) {
  if (!chunk.ReadU16(in.actionFunction)) return false;
  if (version == 0) return ReadPairs(chunk, in);
  if (!chunk.ReadU16(in.checkFunction)) return false;
  if (version == 1) return ReadPairs(chunk, in);

  in.attenuationCode = 0;
  uint32_t count;
  if (version == 5) {
    // The layout every real version 5 table has: all fields 32-bit.
    int32_t join;
    if (!chunk.ReadU32(count) || !chunk.ReadU32(in.flags) || !chunk.ReadU32(in.textIndex) ||
        !chunk.ReadU32(in.attenuationValue) || !chunk.ReadU32(in.attenuationThreshold) ||
        !chunk.ReadI32(join))
      return false;
    in.joinIndex = join;
    return ReadMaxValues(chunk, in, count);
  }
  if (!ReadU16Widened(chunk, count)) return false;
  if (version == 2) {
    // The unused word sits between the count and the attenuation value.
    if (!chunk.Skip(2) || !chunk.ReadU32(in.attenuationValue)) return false;
    return ReadMaxValues(chunk, in, count);
  }
  if (!ReadU16Widened(chunk, in.flags)) return false;
  if (version == 4 && !ReadU16Widened(chunk, in.textIndex)) return false;
  if (!chunk.ReadU32(in.attenuationValue)) return false;
  return ReadMaxValues(chunk, in, count);
}

bool ReadFixedRecord(IffChunk& chunk, uint16_t version, Interaction& in) {
  int32_t join;
  if (!chunk.ReadU16(in.actionFunction) || !chunk.ReadU16(in.checkFunction) || !chunk.ReadU32(in.motiveCount) ||
      !chunk.ReadU32(in.flags) || !chunk.ReadU32(in.textIndex) || !chunk.ReadU32(in.attenuationCode) ||
      !chunk.ReadU32(in.attenuationValue) || !chunk.ReadU32(in.attenuationThreshold) || !chunk.ReadI32(join))
    return false;
  in.joinIndex = join;
  if (uint64_t(in.motiveCount) * 6 > chunk.Remaining()) return false;
  for (uint32_t i = 0; i < in.motiveCount; ++i) {
    Advertisement ad;
    if (!chunk.ReadI16(ad.min) || !chunk.ReadI16(ad.max) || !chunk.ReadI16(ad.personality)) return false;
    if (i < Interaction::kAdvertisementCount) in.advertisements[i] = ad;
  }
  if (version == 7) {
    if (!chunk.ReadZString(in.name)) return false;
    if (chunk.Cursor() % 2 != 0 && !chunk.Skip(1)) return false;
  }
  return true;
}

void ReadEncodedRecord(FieldDecoder& bits, Interaction& in) {
  in.actionFunction = static_cast<uint16_t>(bits.ReadValue16());
  in.checkFunction = static_cast<uint16_t>(bits.ReadValue16());
  in.motiveCount = static_cast<uint32_t>(bits.ReadValue32());
  in.flags = static_cast<uint32_t>(bits.ReadValue32());
  in.textIndex = static_cast<uint32_t>(bits.ReadValue32());
  in.attenuationCode = static_cast<uint32_t>(bits.ReadValue32());
  in.attenuationValue = static_cast<uint32_t>(bits.ReadValue32());
  in.attenuationThreshold = static_cast<uint32_t>(bits.ReadValue32());
  in.joinIndex = bits.ReadValue32();
  // A count beyond what the stream holds would only read zeros.
  for (uint32_t i = 0; i < in.motiveCount && !bits.Exhausted(); ++i) {
    Advertisement ad;
    ad.min = bits.ReadValue16();
    ad.max = bits.ReadValue16();
    ad.personality = bits.ReadValue16();
    if (i < Interaction::kAdvertisementCount) in.advertisements[i] = ad;
  }
}

}  // namespace

bool ResourceTtab::ModelEquals(const ResourceTtab& other) const {
  return version == other.version && interactions == other.interactions;
}

bool ResourceTtab::Decode() {
  IffChunk& chunk = Chunk();
  if (!chunk.IsLittleEndian()) return false;
  uint16_t count;
  if (!chunk.ReadU16(count) || !chunk.ReadU16(version)) return false;
  interactions.clear();

  uint8_t compression = 0;
  if (version >= 9 && !chunk.ReadU8(compression)) return false;

  if (version >= 9 && compression != 0) {
    FieldDecoder bits(chunk.Data() + chunk.Cursor(), chunk.Remaining());
    // Every record takes at least nine bits; once the stream has run out, the rest would be
    // records of zeros that the file does not hold.
    for (uint32_t i = 0; i < count && !bits.Exhausted(); ++i) {
      Interaction in;
      ReadEncodedRecord(bits, in);
      interactions.push_back(std::move(in));
    }
    return true;
  }
  for (uint32_t i = 0; i < count; ++i) {
    Interaction in;
    bool ok = version <= 5 ? ReadOldRecord(chunk, version, in) : ReadFixedRecord(chunk, version, in);
    if (!ok) return false;
    interactions.push_back(std::move(in));
  }
  return true;
}

bool ResourceTtab::Encode() {
  if (interactions.size() > 0xFFFF) return false;
  std::vector<uint8_t> sink;
  FieldEncoder bits(sink);
  for (const Interaction& in : interactions) {
    bits.WriteValue16(static_cast<int16_t>(in.actionFunction));
    bits.WriteValue16(static_cast<int16_t>(in.checkFunction));
    bits.WriteValue32(Interaction::kAdvertisementCount);
    bits.WriteValue32(static_cast<int32_t>(in.flags));
    bits.WriteValue32(static_cast<int32_t>(in.textIndex));
    bits.WriteValue32(static_cast<int32_t>(in.attenuationCode));
    bits.WriteValue32(static_cast<int32_t>(in.attenuationValue));
    bits.WriteValue32(static_cast<int32_t>(in.attenuationThreshold));
    bits.WriteValue32(in.joinIndex);
    for (const Advertisement& ad : in.advertisements) {
      bits.WriteValue16(ad.min);
      bits.WriteValue16(ad.max);
      bits.WriteValue16(ad.personality);
    }
  }
  bits.Flush();

  version = kWrittenVersion;
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  if (!chunk.WriteU16(static_cast<uint16_t>(interactions.size())) || !chunk.WriteU16(kWrittenVersion) ||
      !chunk.WriteU8(1) || !chunk.Write(sink.data(), sink.size()))
    return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
