#include "codecs/resource_carr.h"

#include "codecs/field_codec.h"
#include "core/byte_order.h"

namespace scrivet {

const std::array<const char*, Job::kNumberCount> kJobNumberNames = {
    "friends",      "cooking",       "mechanical",    "charisma",      "body",          "logic",
    "creativity",   "extra7",        "extra8",        "extra9",        "hungerChange",  "comfortChange",
    "hygieneChange", "bladderChange", "energyChange", "funChange",     "socialChange",  "salary",
    "startHour",    "endHour",       "extra20",
};
const std::array<const char*, Job::kTextCount> kJobTextNames = {
    "jobName", "maleSkin", "femaleSkin", "texture", "accessory",
};

std::array<int32_t*, Job::kNumberCount> Job::Numbers() {
  return {&friends,       &cooking,      &mechanical,   &charisma,     &body,          &logic,
          &creativity,    &extra7,       &extra8,       &extra9,       &hungerChange,  &comfortChange,
          &hygieneChange, &bladderChange, &energyChange, &funChange,   &socialChange,  &salary,
          &startHour,     &endHour,      &extra20};
}

std::array<const int32_t*, Job::kNumberCount> Job::Numbers() const {
  std::array<const int32_t*, kNumberCount> out;
  auto numbers = const_cast<Job*>(this)->Numbers();
  for (size_t i = 0; i < kNumberCount; ++i) out[i] = numbers[i];
  return out;
}

std::array<std::string*, Job::kTextCount> Job::Texts() {
  return {&jobName, &maleSkin, &femaleSkin, &texture, &accessory};
}

std::array<const std::string*, Job::kTextCount> Job::Texts() const {
  return {&jobName, &maleSkin, &femaleSkin, &texture, &accessory};
}

namespace {

constexpr uint8_t kPad = 0xA3;

// A zero-terminated text and the pad byte that brings the position back to even.
bool ReadPaddedText(IffChunk& chunk, std::string& text) {
  return chunk.ReadZString(text) && (chunk.Cursor() % 2 == 0 || chunk.Skip(1));
}

bool WritePaddedText(IffChunk& chunk, const std::string& text) {
  if (!chunk.WriteZString(text)) return false;
  return chunk.Cursor() % 2 == 0 || chunk.WriteU8(kPad);
}

bool ReadTexts(IffChunk& chunk, Job& job) {
  for (std::string* text : job.Texts())
    if (!ReadPaddedText(chunk, *text)) return false;
  return true;
}

// The least a job can take: 21 zero bits in 3 bytes, five empty texts. Fixed-width: 84 bytes of
// numbers and five terminators.
constexpr size_t kMinEncodedJob = 3 + Job::kTextCount;
constexpr size_t kMinFixedJob = 4 * Job::kNumberCount + Job::kTextCount;
// Three words, the compression code and the name's terminator.
constexpr size_t kMinCareerSize = 14;

}  // namespace

bool ResourceCarr::RemoveJob(size_t index) {
  if (index >= jobs.size()) return false;
  jobs.erase(jobs.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool ResourceCarr::Decode() {
  IffChunk& chunk = Chunk();
  // The smallest career this codec writes (empty name, no jobs) is 14 bytes, so that is the least
  // accepted.
  if (chunk.Size() < kMinCareerSize) return false;
  uint32_t ignored, magic;
  if (!chunk.ReadU32(ignored) || !chunk.ReadU32(ignored) || !chunk.ReadU32(magic)) return false;
  if (!chunk.IsLittleEndian()) magic = SwapU32(magic);
  if (magic != kMagic) return false;
  uint8_t compression;
  if (!chunk.ReadU8(compression) || !ReadPaddedText(chunk, careerName)) return false;
  jobs.clear();

  if (compression == 0) {
    uint32_t count;
    if (!chunk.ReadU32(count)) return false;
    if (uint64_t(count) * kMinFixedJob > chunk.Remaining()) return false;
    jobs.resize(count);
    for (Job& job : jobs) {
      for (int32_t* number : job.Numbers())
        if (!chunk.ReadI32(*number)) return false;
      if (!ReadTexts(chunk, job)) return false;
    }
    return true;
  }

  FieldDecoder bits(chunk.Data() + chunk.Cursor(), chunk.Remaining());
  const int32_t count = bits.ReadValue32();
  if (count < 0 || uint64_t(count) * kMinEncodedJob > chunk.Remaining()) return false;
  jobs.resize(size_t(count));
  for (Job& job : jobs) {
    for (int32_t* number : job.Numbers()) *number = bits.ReadValue32();
    if (bits.BytesConsumed() > chunk.Remaining()) return false;
    chunk.Skip(bits.BytesConsumed());
    if (!ReadTexts(chunk, job)) return false;
    bits.Start(chunk.Data() + chunk.Cursor(), chunk.Remaining());
  }
  return true;
}

bool ResourceCarr::Encode() {
  if (jobs.size() > 0x7FFFFFFF) return false;
  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  bool ok = chunk.WriteU32(0) && chunk.WriteU32(0) && chunk.WriteU32(kMagic) && chunk.WriteU8(1) &&
            WritePaddedText(chunk, careerName);
  std::vector<uint8_t> sink;
  FieldEncoder bits(sink);
  bits.WriteValue32(static_cast<int32_t>(jobs.size()));
  for (const Job& job : jobs) {
    for (const int32_t* number : job.Numbers()) bits.WriteValue32(*number);
    bits.Flush();
    ok = ok && chunk.Write(sink.data(), sink.size());
    for (const std::string* text : job.Texts()) ok = ok && WritePaddedText(chunk, *text);
    sink.clear();
    bits.Start(sink);
  }
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
