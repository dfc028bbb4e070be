// Repainting the draw group preview at 128 x 128: the image is the twelve sprites of the four
// near-zoom images of a real draw group (k8obldishwasherll.iff, DGRP 460) stacked into one, drawn
// with and without the blending table. One paint composes every frame, converts the canvas to the
// screen's 32 bits and blits it.

#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

#include "codecs/resource_dgrp.h"
#include "core/iff_file.h"
#include "editors/draw_group_preview.h"

namespace scrivet {
namespace {

struct RealImage {
  std::unique_ptr<IffFile> file;
  DgrpImage image;
};

RealImage& Twelve() {
  static RealImage real = [] {
    RealImage r;
    r.file = IffFile::OpenPath(SCRIVET_CORPUS_DIR "/riperiperi+FreeSO/k8obldishwasherll.iff");
    ResourceDgrp group;
    IffChunk* chunk = r.file ? r.file->Find(ResourceDgrp::kType, 460) : nullptr;
    if (!chunk || !group.Load(*r.file, *chunk)) return r;
    for (const DgrpImage& image : group.images)
      if (image.zoom == 3) r.image.sprites.insert(r.image.sprites.end(), image.sprites.begin(), image.sprites.end());
    return r;
  }();
  return real;
}

void Repaint(benchmark::State& state, bool blendTable) {
  RealImage& real = Twelve();
  if (real.image.sprites.size() != 12 || GetBounds(*real.file, real.image).IsEmpty()) {
    state.SkipWithError("the corpus file or its draw group is missing");
    return;
  }
  if (blendTable && !BlendTable::Instance().Build()) {
    state.SkipWithError("no memory for the blending table");
    return;
  }
  DrawGroupPreview preview;
  preview.resize(128, 128);
  preview.SetImage(*real.file, real.image);
  preview.Center();
  QImage screen(preview.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    preview.render(&screen);
    benchmark::DoNotOptimize(screen.constBits());
  }
  if (preview.DrawFailed()) state.SkipWithError("the image did not draw");
  state.counters["sprites"] = double(real.image.sprites.size());
}

// Registered in this order: the table, once built, stays for the process.
void BM_PreviewRepaint128(benchmark::State& state) { Repaint(state, false); }
void BM_PreviewRepaint128BlendTable(benchmark::State& state) { Repaint(state, true); }
BENCHMARK(BM_PreviewRepaint128)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewRepaint128BlendTable)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace scrivet
