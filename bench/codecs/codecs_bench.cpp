// Decode + encode throughput per codec over a generated file with a few thousand chunks of each
// type, and the round-trip check of the whole file. Set SCRIVET_BENCH_FILE to also write the
// generated file there (for timing `scrivet2-cli check` on it).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_report.h"
#include "codecs/resource_str.h"
#include "codecs/resource_ttab.h"
#include "core/iff_file.h"
#include "core/stream.h"

namespace scrivet {
namespace {

constexpr int kChunksPerType = 3000;

std::string Word(uint32_t seed, size_t length) {
  std::string s;
  for (size_t i = 0; i < length; ++i) s += char('a' + (seed * 31 + i * 7) % 26);
  return s;
}

void Fill(ResourceStr& r, uint32_t seed) {
  for (size_t item = 0; item < 12; ++item) {
    r.SetString(item, 0, 0, Word(seed + item, 18));
    r.SetString(item, 0, 1, Word(seed + item + 1, 6));
    r.SetString(item, 2, 0, Word(seed + item + 2, 22));
  }
}

void Fill(ResourceBhav& r, uint32_t seed) {
  r.parameterCount = 2;
  r.localCount = 3;
  for (uint32_t i = 0; i < 24; ++i) {
    BhavInstruction in;
    in.opcode = uint16_t((seed + i) % 300);
    in.trueTarget = uint8_t(i + 1);
    in.falseTarget = BhavInstruction::kTargetFalse;
    for (size_t b = 0; b < 8; ++b) in.operand[b] = uint8_t(seed * 13 + i * 7 + b);
    r.instructions.push_back(in);
  }
}

void Fill(ResourceTtab& r, uint32_t seed) {
  for (uint32_t i = 0; i < 6; ++i) {
    Interaction in;
    in.actionFunction = uint16_t(0x1000 + seed % 200 + i);
    in.checkFunction = uint16_t(0x1100 + i);
    in.flags = 0x0209;
    in.textIndex = i;
    in.attenuationValue = 0x3CA3D70A;
    for (size_t a = 0; a < 16; a += 3) in.advertisements[a] = {int16_t(a), int16_t(40 + a), int16_t(a % 23)};
    r.interactions.push_back(in);
  }
}

void Fill(ResourceObjd& r, uint32_t seed) {
  for (const ObjdField& f : ObjdFieldCatalogue()) r.SetFieldValue(f, int32_t(seed * 17 + f.offset));
}

void Fill(ResourceObjf& r, uint32_t seed) {
  for (size_t i = 0; i < r.entries.size(); ++i) r.entries[i] = {uint16_t(seed + i), uint16_t(0x1000 + i)};
}

void Fill(ResourceCarr& r, uint32_t seed) {
  r.careerName = Word(seed, 9);
  for (uint32_t j = 0; j < 10; ++j) {
    r.AddJob();
    int k = 0;
    for (int32_t* n : r.jobs.back().Numbers()) *n = int32_t((seed + j) * (k++) % 5000) - 100;
    r.jobs.back().jobName = Word(seed + j, 14);
    r.jobs.back().maleSkin = Word(seed, 8);
  }
}

void Fill(ResourceBcon& r, uint32_t seed) {
  for (size_t i = 0; i < 24; ++i) r.values.push_back(int16_t(seed * 5 + i * 100));
}

void Fill(ResourceFwav& r, uint32_t seed) { r.soundName = Word(seed, 16); }
void Fill(ResourceGlob& r, uint32_t seed) { r.fileName = Word(seed, 12) + "Globals"; }

template <typename R>
void AddChunks(IffFile& file, TypeCode type) {
  for (int i = 0; i < kChunksPerType; ++i) {
    R r;
    Fill(r, uint32_t(i));
    std::vector<uint8_t> bytes;
    r.EncodeToBytes(bytes);
    file.AddChunk(type, uint16_t(i + 128), "bench", bytes.data(), bytes.size());
  }
}

// The generated file, written once and read back as a container from memory.
struct Fixture {
  std::vector<uint8_t> bytes;
  std::unique_ptr<IffFile> file;

  Fixture() {
    auto source = IffFile::CreateEmpty(false);
    AddChunks<ResourceStr>(*source, ResourceStr::kType);
    AddChunks<ResourceBhav>(*source, ResourceBhav::kType);
    AddChunks<ResourceTtab>(*source, ResourceTtab::kType);
    AddChunks<ResourceObjd>(*source, ResourceObjd::kType);
    AddChunks<ResourceObjf>(*source, ResourceObjf::kType);
    AddChunks<ResourceCarr>(*source, ResourceCarr::kType);
    AddChunks<ResourceBcon>(*source, ResourceBcon::kType);
    AddChunks<ResourceFwav>(*source, ResourceFwav::kType);
    AddChunks<ResourceGlob>(*source, ResourceGlob::kType);
    MemoryStream out;
    source->Write(&out);
    bytes = out.Bytes();
    if (const char* path = std::getenv("SCRIVET_BENCH_FILE")) {
      auto disk = FileStream::Open(path, FileStream::Mode::CreateTruncate);
      if (disk) disk->Write(bytes.data(), bytes.size());
    }
    file = IffFile::AttachMemoryCopy(out);
    file->ReadDirectory();
    file->LoadAll();
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

template <typename R>
void BM_DecodeEncode(benchmark::State& state) {
  IffFile& file = *Shared().file;
  std::vector<const IffChunk*> chunks;
  size_t total = 0;
  for (size_t i = 0; i < file.ChunkCount(); ++i) {
    if (file.ChunkAt(i).type != R::kType) continue;
    chunks.push_back(&file.ChunkAt(i));
    total += file.ChunkAt(i).Size();
  }
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    for (const IffChunk* chunk : chunks) {
      R r;
      r.Chunk().Assign(chunk->Data(), chunk->Size());
      r.Chunk().flags = chunk->flags;
      if (!r.Decode() || !r.EncodeToBytes(bytes)) state.SkipWithError("round trip failed");
      benchmark::DoNotOptimize(bytes.data());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(total));
  state.counters["chunks"] = double(chunks.size());
}

BENCHMARK(BM_DecodeEncode<ResourceStr>)->Name("STR#")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceBhav>)->Name("BHAV")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceTtab>)->Name("TTAB")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceObjd>)->Name("OBJD")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceObjf>)->Name("OBJf")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceCarr>)->Name("CARR")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceBcon>)->Name("BCON")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceFwav>)->Name("FWAV")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEncode<ResourceGlob>)->Name("GLOB")->Unit(benchmark::kMillisecond);

// What `check` does for each chunk, over the whole file (opening it from memory included).
void BM_CheckFile(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Shared().bytes;
  for (auto _ : state) {
    auto file = IffFile::AttachMemoryCopy(MemoryStream(bytes));
    file->ReadDirectory();
    file->LoadAll();
    int identical = 0;
    for (size_t i = 0; i < file->ChunkCount(); ++i)
      identical += CheckChunk(file->ChunkAt(i)).status == ChunkCheck::Status::kIdentical;
    benchmark::DoNotOptimize(identical);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  state.counters["chunks"] = double(Shared().file->ChunkCount());
}
BENCHMARK(BM_CheckFile)->Name("check whole file")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace scrivet
