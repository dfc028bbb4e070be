// The engine on real files: every IFF file of the corpus (and every IFF member of its FAR
// archives, identical copies counted once) is read into memory before any timing. Then:
//   Open:   open each file from memory and list every chunk (type, id, name, size);
//   Decode: load and decode every string table, FWAV, GLOB, BCON, PALT, DGRP, BHAV and OBJf chunk;
//   Sprite: draw every SPR2 frame at 32 bits with its colour, depth and alpha planes, as the
//           sprite editor and the `sprite` command do (blend table not built).
// Decode and Sprite open fresh containers outside the timing so that loading chunk data counts.
// Times are thread CPU time; run with --benchmark_repetitions=5 and read the "min" rows.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr2.h"
#include "codecs/resource_str.h"
#include "core/far_archive.h"
#include "core/iff_file.h"
#include "core/stream.h"
#include "graphics/sprite_render.h"

using namespace scrivet;
namespace fs = std::filesystem;

namespace {

#ifdef SCRIVET_CORPUS_DIR
const char* const kCorpusDir = SCRIVET_CORPUS_DIR;
#else
const char* const kCorpusDir = "";
#endif

bool IsIff(const std::vector<uint8_t>& bytes) { return bytes.size() >= 8 && std::memcmp(bytes.data(), "IFF FILE", 8) == 0; }
bool IsFar(const std::vector<uint8_t>& bytes) { return bytes.size() >= 8 && std::memcmp(bytes.data(), "FAR!byAZ", 8) == 0; }

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 1469598103934665603ull;
  for (uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
  return h;
}

using Factory = std::unique_ptr<IffResource> (*)();
template <class T>
std::unique_ptr<IffResource> Make() {
  return std::make_unique<T>();
}

// The types both readers decode, with the class that decodes each.
const std::map<TypeCode, Factory>& DecodedTypes() {
  static const std::map<TypeCode, Factory> kTypes = {
      {MakeTypeCode("STR#"), &Make<ResourceStr>},  {MakeTypeCode("CTSS"), &Make<ResourceStr>},
      {MakeTypeCode("TTAs"), &Make<ResourceStr>},  {MakeTypeCode("FAMs"), &Make<ResourceStr>},
      {ResourceFwav::kType, &Make<ResourceFwav>},  {ResourceGlob::kType, &Make<ResourceGlob>},
      {ResourceBcon::kType, &Make<ResourceBcon>},  {ResourcePalt::kType, &Make<ResourcePalt>},
      {ResourceDgrp::kType, &Make<ResourceDgrp>},  {ResourceBhav::kType, &Make<ResourceBhav>},
      {ResourceObjf::kType, &Make<ResourceObjf>},
  };
  return kTypes;
}

using FileBytes = std::shared_ptr<const std::vector<uint8_t>>;

// The bytes are already in memory: the container reads them in place.
std::unique_ptr<IffFile> OpenFromMemory(const FileBytes& bytes) {
  auto file = IffFile::AttachShared(bytes);
  if (file) file->ReadDirectory();
  return file;
}

// The corpus in memory, with the totals every benchmark reports against.
class Corpus {
 public:
  static const Corpus& Get() {
    static const Corpus corpus;
    return corpus;
  }

  bool Present() const { return !files_.empty(); }
  const std::vector<FileBytes>& Files() const { return files_; }

  uint64_t fileBytes = 0;
  uint64_t chunks = 0;
  uint64_t decodeChunks = 0;
  uint64_t decodeBytes = 0;
  uint64_t spr2Chunks = 0;
  uint64_t frames = 0;
  uint64_t framePixels = 0;  // of the frames that draw
  uint64_t decodeFailures = 0;
  uint64_t frameFailures = 0;

 private:
  Corpus() {
    std::error_code ec;
    if (!*kCorpusDir || !fs::is_directory(kCorpusDir, ec)) return;
    std::vector<fs::path> paths;
    for (auto it = fs::recursive_directory_iterator(kCorpusDir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      if (it->is_regular_file(ec)) paths.push_back(it->path());
    std::sort(paths.begin(), paths.end());

    std::map<uint64_t, std::vector<size_t>> seen;  // content hash -> files
    size_t onDisk = 0, fromFar = 0, duplicates = 0;
    auto add = [&](std::vector<uint8_t> bytes, bool far) {
      auto& same = seen[Fnv1a(bytes)];
      for (size_t i : same)
        if (*files_[i] == bytes) {
          ++duplicates;
          return;
        }
      same.push_back(files_.size());
      fileBytes += bytes.size();
      ++(far ? fromFar : onDisk);
      files_.push_back(std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
    };
    for (const fs::path& path : paths) {
      std::vector<uint8_t> bytes;
      if (!ReadWholeFile(path, bytes)) continue;
      if (IsIff(bytes)) {
        add(std::move(bytes), false);
      } else if (IsFar(bytes)) {
        FarArchive far;
        if (!far.OpenPath(path)) continue;  // version 3 and broken archives are refused
        for (FarEntry& entry : far.Entries())
          if (far.LoadEntryData(entry) && IsIff(far.EntryData(entry))) add(far.EntryData(entry), true);
      }
    }
    Tally();
    std::fprintf(stderr,
                 "corpus %s: %zu IFF files (%zu on disk, %zu FAR members; %zu identical copies skipped), %.2f MB, "
                 "%llu chunks; decode set %llu chunks (%llu fail), %.2f MB; SPR2 %llu chunks, %llu frames (%llu fail), "
                 "%.2f Mpixel drawn\n",
                 kCorpusDir, files_.size(), onDisk, fromFar, duplicates, fileBytes / 1e6,
                 (unsigned long long)chunks, (unsigned long long)decodeChunks, (unsigned long long)decodeFailures,
                 decodeBytes / 1e6, (unsigned long long)spr2Chunks, (unsigned long long)frames,
                 (unsigned long long)frameFailures, framePixels / 1e6);
  }

  void Tally() {
    std::map<TypeCode, std::pair<uint64_t, uint64_t>> byType;
    for (const FileBytes& bytes : files_) {
      auto file = OpenFromMemory(bytes);
      chunks += file->ChunkCount();
      for (size_t i = 0; i < file->ChunkCount(); ++i) {
        IffChunk& chunk = file->ChunkAt(i);
        if (DecodedTypes().count(chunk.type)) {
          ++decodeChunks;
          decodeBytes += chunk.Size();
          auto& t = byType[chunk.type];
          ++t.first;
          t.second += chunk.Size();
          decodeFailures += !DecodedTypes().at(chunk.type)()->Load(*file, chunk);
        }
        if (chunk.type != ResourceSpr2::kType) continue;
        ++spr2Chunks;
        ResourceSpr2 sprite;
        if (!sprite.Load(*file, chunk)) continue;
        for (size_t f = 0; f < sprite.frames.size(); ++f) {
          ++frames;
          RenderedBitmap colour, depth, alpha;
          if (RenderFrame(*file, sprite, int(f), 0, 32, colour, depth, alpha))
            framePixels += uint64_t(colour.width) * uint64_t(colour.height);
          else
            ++frameFailures;
        }
      }
    }
    for (const auto& [type, t] : byType)
      std::fprintf(stderr, "  %s: %llu chunks, %llu bytes\n", TypeCodeToString(type).c_str(),
                   (unsigned long long)t.first, (unsigned long long)t.second);
  }

  std::vector<FileBytes> files_;
};

void SetRates(benchmark::State& state, uint64_t chunks, uint64_t bytes, uint64_t pixels) {
  const auto n = double(state.iterations());
  if (chunks) state.counters["chunks/s"] = benchmark::Counter(double(chunks) * n, benchmark::Counter::kIsRate);
  if (bytes) state.counters["MB/s"] = benchmark::Counter(double(bytes) * n / 1e6, benchmark::Counter::kIsRate);
  if (pixels) state.counters["Mpixel/s"] = benchmark::Counter(double(pixels) * n / 1e6, benchmark::Counter::kIsRate);
}

std::vector<std::unique_ptr<IffFile>> OpenAll(const Corpus& corpus) {
  std::vector<std::unique_ptr<IffFile>> files;
  files.reserve(corpus.Files().size());
  for (const FileBytes& bytes : corpus.Files()) files.push_back(OpenFromMemory(bytes));
  return files;
}

// The timed work of each benchmark, kept out of line so that a profiler can collect it alone.
[[gnu::noinline]] uint64_t OpenAndListCorpus(const Corpus& corpus) {
  uint64_t sink = 0;
  for (const FileBytes& bytes : corpus.Files()) {
    auto file = OpenFromMemory(bytes);
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      const IffChunk& chunk = file->ChunkAt(i);
      const TypeCode type = chunk.type;
      const uint16_t id = chunk.id;
      const std::string_view name = chunk.name;
      const size_t size = chunk.Size();
      sink += type ^ id ^ name.size() ^ size;
      benchmark::DoNotOptimize(name.data());
    }
  }
  return sink;
}

[[gnu::noinline]] uint64_t DecodeCorpus(std::vector<std::unique_ptr<IffFile>>& files) {
  uint64_t decoded = 0;
  for (auto& file : files) {
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      auto factory = DecodedTypes().find(chunk.type);
      if (factory == DecodedTypes().end()) continue;
      std::unique_ptr<IffResource> resource = factory->second();
      decoded += resource->Load(*file, chunk);
    }
  }
  return decoded;
}

[[gnu::noinline]] uint64_t RenderCorpus(std::vector<std::unique_ptr<IffFile>>& files) {
  uint64_t sink = 0;
  for (auto& file : files) {
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      if (chunk.type != ResourceSpr2::kType) continue;
      ResourceSpr2 sprite;
      if (!sprite.Load(*file, chunk)) continue;
      for (size_t f = 0; f < sprite.frames.size(); ++f) {
        RenderedBitmap colour, depth, alpha;
        if (RenderFrame(*file, sprite, int(f), 0, 32, colour, depth, alpha))
          sink += colour.bits.size() + depth.bits.size() + alpha.bits.size();
      }
    }
  }
  return sink;
}

bool Skipped(benchmark::State& state, const Corpus& corpus) {
  if (corpus.Present()) return false;
  state.SkipWithError((std::string("no IFF files in the corpus folder '") + kCorpusDir + "'").c_str());
  return true;
}

void BM_CorpusOpenList(benchmark::State& state) {
  const Corpus& corpus = Corpus::Get();
  if (Skipped(state, corpus)) return;
  for (auto _ : state) benchmark::DoNotOptimize(OpenAndListCorpus(corpus));
  SetRates(state, corpus.chunks, corpus.fileBytes, 0);
}

// Times `work` on containers opened afresh (outside the timing) for each pass, so that loading
// chunk data is part of what is timed.
template <class Work>
void OnFreshContainers(benchmark::State& state, Work work) {
  const Corpus& corpus = Corpus::Get();
  if (Skipped(state, corpus)) return;
  std::vector<std::unique_ptr<IffFile>> files;
  for (auto _ : state) {
    state.PauseTiming();
    files.clear();
    files = OpenAll(corpus);
    state.ResumeTiming();
    benchmark::DoNotOptimize(work(files));
  }
}

void BM_CorpusDecode(benchmark::State& state) {
  OnFreshContainers(state, DecodeCorpus);
  const Corpus& corpus = Corpus::Get();
  SetRates(state, corpus.decodeChunks, corpus.decodeBytes, 0);
}

void BM_CorpusSprite(benchmark::State& state) {
  OnFreshContainers(state, RenderCorpus);
  const Corpus& corpus = Corpus::Get();
  SetRates(state, corpus.spr2Chunks, 0, corpus.framePixels);
}

// Best of the repetitions: the least time, and with it the highest rate.
double Min(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

BENCHMARK(BM_CorpusOpenList)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
BENCHMARK(BM_CorpusDecode)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);
BENCHMARK(BM_CorpusSprite)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min)->ComputeStatistics("max", Max);

}  // namespace
