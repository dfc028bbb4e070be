// ls FILE [--json]: one line per chunk in the order of the ">> All resources" view.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"

namespace scrivet::cli {
namespace {

int RunLs(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption json("json", "Print a JSON array of objects with type, id, flags, size and name.");
  parser.addOption(json);
  if (auto exit = ParseArguments(parser, args, "Lists the resources of an IFF file: type, id, flags, data size, name.",
                                 {{"FILE", "The IFF file to list."}}, 1, 1))
    return *exit;
  auto file = OpenIff(parser.positionalArguments()[0]);
  if (!file) return 2;
  QTextStream out(stdout);
  if (parser.isSet(json)) {
    QJsonArray rows;
    for (const IffChunk* c : file->ResourcesByTypeAndId()) {
      QJsonObject row;
      row["type"] = TypeText(c->type);
      row["id"] = int(c->id);
      row["flags"] = int(c->flags);
      row["size"] = qint64(c->Size());
      row["name"] = FromCp1252(c->name);
      rows.append(row);
    }
    out << QJsonDocument(rows).toJson(QJsonDocument::Indented);
    return 0;
  }
  for (const IffChunk* c : file->ResourcesByTypeAndId()) {
    out << TypeText(c->type) << '\t' << c->id << '\t'
        << QString("0x%1").arg(c->flags, 4, 16, QChar('0')) << '\t' << qint64(c->Size()) << '\t'
        << FromCp1252(c->name) << '\n';
  }
  return 0;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(ls, "ls", "List the resources of an IFF file", &RunLs)

}  // namespace scrivet::cli
