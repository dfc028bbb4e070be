// The resource list on a large file: opening it with ">> All resources" shown, and the refresh
// that follows every command.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "app/qt_view_dialogs.h"
#include "app/scrivet2_doc.h"
#include "app/scrivet2_view.h"
#include "behaviour/behaviour_startup.h"
#include "core/stream.h"
#include "tests/support/scripted_platform.h"

namespace {

using namespace scrivet;

constexpr int kChunks = 100000;

QApplication& App() {
  static int argc = 1;
  static char name[] = "app_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

// 100,000 chunks of 20 types with names, written once with the project's own writer.
const QString& LargeFile() {
  static QTemporaryDir dir;
  static QString path = [] {
    std::unique_ptr<IffFile> file = IffFile::CreateEmpty(false);
    const uint8_t data[24] = {};
    for (int i = 0; i < kChunks; ++i) {
      TypeCode type = MakeTypeCode('T', 'Y', char('A' + i % 20), '#');
      std::string name = "Resource number " + std::to_string(i);
      file->AddChunk(type, uint16_t(i / 20), name, data, sizeof data);
    }
    QString target = dir.filePath("large.iff");
    SaveFileAtomically(target.toStdString(), [&](Stream& s) { return file->Write(&s); }, nullptr);
    return target;
  }();
  return path;
}

void BM_OpenAndShowAllResources(benchmark::State& state) {
  App();
  const QString path = LargeFile();
  ScriptedPlatform platform;
  QtViewDialogs dialogs;
  BehaviourCatalogues behaviour;
  for (auto _ : state) {
    CScrivet2Doc doc(platform, "IFFFile1");
    CScrivet2View view(doc, dialogs, behaviour);
    view.resize(1000, 700);
    view.show();
    doc.Open(path, &view);
    QApplication::processEvents();
    benchmark::DoNotOptimize(view.Controller().Resources().rowCount());
  }
}
BENCHMARK(BM_OpenAndShowAllResources)->Unit(benchmark::kMillisecond)->Iterations(5);

// Argument: the selected type entry (0: ">> All resources", 1: the first type's simple list).
void BM_RefreshAfterCommand(benchmark::State& state) {
  App();
  ScriptedPlatform platform;
  QtViewDialogs dialogs;
  BehaviourCatalogues behaviour;
  CScrivet2Doc doc(platform, "IFFFile1");
  CScrivet2View view(doc, dialogs, behaviour);
  view.resize(1000, 700);
  view.show();
  doc.Open(LargeFile(), &view);
  if (state.range(0) != 0) view.Controller().SelectType(int(state.range(0)));
  QApplication::processEvents();
  for (auto _ : state) {
    doc.ContainerChanged();
    QApplication::processEvents();
  }
  state.counters["rows"] = view.Controller().Resources().rowCount();
}
BENCHMARK(BM_RefreshAfterCommand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
