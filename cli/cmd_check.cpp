// check FILE...: decodes every chunk that has a codec and encodes it again; one line per chunk,
// then a summary per type. Exit code 0 only when every chunk decodes.

#include <QTextStream>
#include <map>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "codecs/resource_report.h"

namespace scrivet::cli {
namespace {

struct Tally {
  int decoded = 0;
  int failed = 0;
  int identical = 0;
};

int RunCheck(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption quiet("quiet", "Print only the chunks that fail or change, and the summary.");
  parser.addOption(quiet);
  if (auto exit = ParseArguments(parser, args,
                                 "Decodes every resource that has a codec and reports whether encoding it again gives "
                                 "back the same bytes.",
                                 {{"FILE", "IFF files to check.", "FILE..."}}, 1, -1))
    return *exit;

  QTextStream out(stdout);
  std::map<TypeCode, Tally> tallies;
  bool allDecoded = true;
  bool allOpened = true;
  for (const QString& path : parser.positionalArguments()) {
    auto file = OpenIff(path);
    if (!file) {
      allOpened = false;
      continue;
    }
    for (size_t i = 0; i < file->ChunkCount(); ++i) {
      IffChunk& chunk = file->ChunkAt(i);
      const QString where = QString("%1: %2 %3").arg(path, TypeText(chunk.type)).arg(chunk.id);
      if (!file->LoadChunkData(chunk)) {
        out << where << ": cannot read the data\n";
        allDecoded = false;
        continue;
      }
      const ChunkCheck check = CheckChunk(chunk);
      if (check.status == ChunkCheck::Status::kNoCodec) continue;
      Tally& tally = tallies[chunk.type];
      switch (check.status) {
        case ChunkCheck::Status::kDecodeFailed:
          ++tally.failed;
          allDecoded = false;
          out << where << ": decode failed\n";
          break;
        case ChunkCheck::Status::kEncodeFailed:
          ++tally.decoded;
          out << where << ": decoded, encode refused\n";
          break;
        case ChunkCheck::Status::kIdentical:
          ++tally.decoded;
          ++tally.identical;
          if (!parser.isSet(quiet)) out << where << ": ok, identical\n";
          break;
        case ChunkCheck::Status::kDiffers:
          ++tally.decoded;
          out << where << ": decoded, re-encoded differs: " << FromCp1252(check.detail) << '\n';
          break;
        case ChunkCheck::Status::kNoCodec: break;
      }
    }
  }
  for (const auto& [type, t] : tallies) {
    out << TypeText(type) << ": decoded " << t.decoded << ", failed " << t.failed
        << ", re-encoded identical " << t.identical << '\n';
  }
  if (!allOpened) return 2;
  return allDecoded ? 0 : 1;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(check, "check", "Decode every resource and report canonical round trips", &RunCheck)

}  // namespace scrivet::cli
