// Container throughput on generated files of 100,000 chunks. The files are written once by the
// project's own writer into a temporary folder (kept in the page cache) and removed at exit.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/iff_file.h"
#include "core/stream.h"

using namespace scrivet;
namespace fs = std::filesystem;

namespace {

struct Layout {
  const char* name;
  size_t chunks;
  size_t dataSize;
};

// Same chunk count with 125x less data, and the same data with 10x fewer chunks: opening time
// must follow the chunk count only.
constexpr Layout kLayouts[] = {
    {"100k_chunks_200MB", 100000, 2000},
    {"100k_chunks_1.6MB", 100000, 16},
    {"10k_chunks_200MB", 10000, 20000},
};

class Files {
 public:
  static Files& Get() {
    static Files files;
    return files;
  }
  fs::path PathOf(size_t layout) {
    if (paths_[layout].empty()) paths_[layout] = Generate(kLayouts[layout]);
    return paths_[layout];
  }
  fs::path Scratch() const { return folder_ / "out.iff"; }

  ~Files() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

 private:
  Files() {
    folder_ = fs::temp_directory_path() / ("scrivet-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }

  fs::path Generate(const Layout& layout) {
    const TypeCode types[] = {MakeTypeCode("BHAV"), MakeTypeCode("STR#"), MakeTypeCode("SPR2"),
                              MakeTypeCode("DGRP"), MakeTypeCode("OBJD"), MakeTypeCode("TTAB")};
    auto file = IffFile::CreateEmpty(false);
    std::vector<uint8_t> data(layout.dataSize);
    for (size_t i = 0; i < layout.chunks; ++i) {
      for (size_t j = 0; j < data.size(); ++j) data[j] = uint8_t(i + j);
      const std::string name = "Chunk number " + std::to_string(i);
      if (!file->AddChunk(types[i % 6], uint16_t(i / 6), name, data.data(), data.size())) std::abort();
    }
    fs::path path = folder_ / (std::string(layout.name) + ".iff");
    if (!file->SaveToPath(path)) std::abort();
    WarmUp(path);
    return path;
  }

  static void WarmUp(const fs::path& path) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(path, bytes);
  }

  fs::path folder_;
  fs::path paths_[std::size(kLayouts)];
};

void BM_ReadDirectory(benchmark::State& state) {
  const Layout& layout = kLayouts[state.range(0)];
  const fs::path path = Files::Get().PathOf(size_t(state.range(0)));
  for (auto _ : state) {
    CoreFailure failure;
    auto file = IffFile::OpenPath(path, &failure);
    if (!file || failure.error != CoreError::None || file->ChunkCount() != layout.chunks + 1) {
      state.SkipWithError("open failed");
      break;
    }
    benchmark::DoNotOptimize(file.get());
  }
  state.SetLabel(layout.name);
  state.counters["headers/s"] = benchmark::Counter(double(layout.chunks), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReadDirectory)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LoadAllAndWrite(benchmark::State& state) {
  const fs::path path = Files::Get().PathOf(0);
  const fs::path out = Files::Get().Scratch();
  const auto size = fs::file_size(path);
  for (auto _ : state) {
    // Opening is measured above; this is loading and writing.
    state.PauseTiming();
    auto file = IffFile::OpenPath(path);
    state.ResumeTiming();
    auto target = FileStream::Open(out, FileStream::Mode::CreateTruncate);
    if (!file || !target || !file->LoadAll() || !file->Write(target.get())) {
      state.SkipWithError("load or write failed");
      break;
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_LoadAllAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

// The yardstick: the same bytes copied with plain 1 MiB read()/write() calls.
void BM_CopyWithReadWrite(benchmark::State& state) {
  const fs::path path = Files::Get().PathOf(0);
  const fs::path out = Files::Get().Scratch();
  const auto size = fs::file_size(path);
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    int in = ::open(path.c_str(), O_RDONLY);
    int to = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t got;
    bool ok = in >= 0 && to >= 0;
    while (ok && (got = ::read(in, buffer.data(), buffer.size())) > 0) ok = ::write(to, buffer.data(), size_t(got)) == got;
    if (in >= 0) ::close(in);
    if (to >= 0) ::close(to);
    if (!ok) {
      state.SkipWithError("copy failed");
      break;
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_CopyWithReadWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

}  // namespace
