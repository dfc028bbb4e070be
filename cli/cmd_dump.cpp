// dump FILE TYPE ID [--json]: the decoded model of one resource as readable text or JSON.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "cli/cli_util.h"
#include "cli/command.h"
#include "codecs/resource_report.h"
#include "codecs/type_table.h"

namespace scrivet::cli {
namespace {

QJsonValue ToJson(const ModelNode& node) {
  switch (node.kind) {
    case ModelNode::Kind::kNumber: return QJsonValue(qint64(node.number));
    case ModelNode::Kind::kBool: return QJsonValue(node.flag);
    case ModelNode::Kind::kText: return QJsonValue(FromCp1252(node.text));
    case ModelNode::Kind::kReal: return QJsonValue(QString::fromStdString(node.text).toDouble());
    case ModelNode::Kind::kArray: {
      QJsonArray array;
      for (const ModelNode& e : node.elements) array.append(ToJson(e));
      return array;
    }
    case ModelNode::Kind::kObject: break;
  }
  QJsonObject object;
  for (const auto& [key, value] : node.members) object.insert(QString::fromStdString(key), ToJson(value));
  return object;
}

int RunDump(const QStringList& args) {
  QCommandLineParser parser;
  QCommandLineOption json("json", "Print the model as JSON, keyed by the model's field names.");
  parser.addOption(json);
  if (auto exit = ParseArguments(parser, args, "Prints the decoded model of one resource.",
                                 {{"FILE", "The IFF file."},
                                  {"TYPE", "The resource type, four characters (\"STR#\")."},
                                  {"ID", "The resource id."}},
                                 3, 3))
    return *exit;
  const QStringList pos = parser.positionalArguments();
  NamedResource named;
  if (!OpenResource(pos, named)) return 2;
  const TypeCode type = named.type;
  IffFile* file = named.file.get();
  IffChunk* chunk = named.chunk;

  auto resource = ReadableTypeFor(type).create();
  if (resource->GetType() == ResourceData::kType)
    return Fail(QString("%1 has no codec; use the hex view").arg(pos[1]));
  if (!resource->Load(*file, *chunk)) return Fail("Error while loading this resource or unknown format!");

  QTextStream out(stdout);
  if (parser.isSet(json)) {
    ModelNode tree;
    if (!DescribeResource(*resource, tree)) return Fail(QString("no readable view of %1").arg(pos[1]));
    out << QJsonDocument(ToJson(tree).toObject()).toJson(QJsonDocument::Indented);
    return 0;
  }
  std::string text;
  if (!DumpResourceText(*resource, text)) return Fail(QString("no readable view of %1").arg(pos[1]));
  out << FromCp1252(text);
  return 0;
}

}  // namespace

SCRIVET_REGISTER_COMMAND(dump, "dump", "Print the decoded model of one resource (--json for JSON)", &RunDump)

}  // namespace scrivet::cli
