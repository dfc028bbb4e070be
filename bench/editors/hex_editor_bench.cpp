// Costs of the hex editor on a 16 MiB resource: typing (one buffer move per inserted byte),
// undoing a one-byte edit (its undo step keeps that byte, never a copy of the buffer), moving and
// scrolling, and painting one viewport.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <vector>

#include "editors/hex_edit_control.h"
#include "tests/support/scripted_platform.h"

namespace scrivet {
namespace {

constexpr size_t kBig = 16u << 20;

std::vector<uint8_t> BigData() {
  std::vector<uint8_t> data(kBig);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31);
  return data;
}

void BM_InsertByteAtStart(benchmark::State& state) {
  HexEditModel model;
  model.SetData(BigData());
  model.SetGeometry(16, 30);
  model.ToggleInsertMode();
  for (auto _ : state) {
    model.Home(true, false);
    model.Type('4');
    model.Type('1');
    benchmark::DoNotOptimize(model.Data().data());
  }
}
BENCHMARK(BM_InsertByteAtStart)->Unit(benchmark::kMicrosecond);

void BM_OverwriteByteInTheMiddle(benchmark::State& state) {
  HexEditModel model;
  model.SetData(BigData());
  model.SetGeometry(16, 30);
  model.Click(HexHit{kBig / 2, HexCaretPart::Character}, false);
  for (auto _ : state) {
    model.Type('x');
    model.MoveCaret(-1, 0, false);
    // Keeps the history from growing with every iteration; measured on its own below.
    model.Undo();
  }
}
BENCHMARK(BM_OverwriteByteInTheMiddle)->Unit(benchmark::kNanosecond);

void BM_UndoRedoByteInTheMiddle(benchmark::State& state) {
  HexEditModel model;
  model.SetData(BigData());
  model.SetGeometry(16, 30);
  model.Click(HexHit{kBig / 2, HexCaretPart::Character}, false);
  model.Type('x');
  for (auto _ : state) {
    model.Undo();
    model.Redo();
  }
}
BENCHMARK(BM_UndoRedoByteInTheMiddle)->Unit(benchmark::kNanosecond);

void BM_PageDownAndCaretMove(benchmark::State& state) {
  HexEditModel model;
  model.SetData(BigData());
  model.SetGeometry(16, 30);
  for (auto _ : state) {
    model.PageDown(false);
    model.MoveCaret(0, 1, true);
    if (model.TopLine() == model.MaxTopLine()) model.Home(true, false);
  }
}
BENCHMARK(BM_PageDownAndCaretMove)->Unit(benchmark::kNanosecond);

// One full repaint of a 600x400 control scrolled into the middle of 16 MiB, with a selection.
void BM_PaintViewport(benchmark::State& state) {
  ScriptedPlatform platform;
  HexEditControl control(platform);
  control.resize(600, 400);
  const std::vector<uint8_t> data = BigData();
  control.SetData(data.data(), data.size());
  control.verticalScrollBar()->setValue(control.verticalScrollBar()->maximum() / 2);
  control.SelectAll();
  QImage image(control.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    control.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["lines"] = control.Model().VisibleLines();
}
BENCHMARK(BM_PaintViewport)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace scrivet
