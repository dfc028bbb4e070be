#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "core/iff_file.h"
#include "tools/far_writer.h"

using namespace scrivet;

namespace {

struct Result {
  int code = -1;
  QByteArray out;
  QByteArray err;
};

// Runs the program; `env` entries NAME=VALUE are set for it, NAME= removes NAME.
Result RunCli(const QStringList& args, const QStringList& env = {}) {
  QProcess p;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const QString& entry : env) {
    environment.remove(entry.section('=', 0, 0));
    if (!entry.section('=', 1).isEmpty()) environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
  }
  p.setProcessEnvironment(environment);
  p.start(SCRIVET_CLI, args);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A file with a string table, two routines, a chunk with flags 0 and a type unsafe in file names.
QString MakeFixture(const QDir& dir) {
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(MakeTypeCode("STR#"), 128, "Strings", "\xFD\xFF\x00\x00", 4);
  file->AddChunk(MakeTypeCode("BHAV"), 4097, "Second", "bhav-2", 6);
  file->AddChunk(MakeTypeCode("BHAV"), 4096, "First", "bhav-1", 6);
  file->AddChunk(MakeTypeCode("NOTE"), 1, "caf\xE9 \x81", "x", 1)->flags = 0;
  file->AddChunk(MakeTypeCode('A', '/', '\x01', '%'), 7, "odd type", "odd", 3);
  QString path = dir.filePath("fixture.iff");
  EXPECT_TRUE(file->SaveToPath(path.toStdString()));
  return path;
}

class CliTest : public ::testing::Test {
 protected:
  QTemporaryDir tmp;
  QDir dir{tmp.path()};
  QString fixture = MakeFixture(dir);
};

TEST_F(CliTest, LsListsInDisplayOrderWithJsonKeys) {
  const QJsonArray rows = QJsonDocument::fromJson(RunCli({"ls", "--json", fixture}).out).array();
  ASSERT_EQ(rows.size(), 5);
  // Types in order of first occurrence, ids ascending within a type, no map.
  QStringList order;
  for (const auto& row : rows)
    order << row.toObject()["type"].toString() + QString::number(row.toObject()["id"].toInt());
  EXPECT_EQ(order.mid(0, 4), (QStringList{"STR#128", "BHAV4096", "BHAV4097", "NOTE1"}));
  EXPECT_EQ(rows[3].toObject(), (QJsonObject{{"type", "NOTE"}, {"id", 1}, {"flags", 0}, {"size", 1},
                                             {"name", QString::fromUtf8("caf\u00e9 \u0081")}}));

  EXPECT_TRUE(RunCli({"ls", fixture}).out.startsWith("STR#\t128\t0x0010\t4\tStrings\n"));
  EXPECT_EQ(RunCli({"cat", fixture, "STR#", "128"}).out, QByteArray("\xFD\xFF\x00\x00", 4));
}

TEST_F(CliTest, BadInputGivesOneLineErrorAndNonZeroExit) {
  WriteAll(dir.filePath("junk.iff"), "not an iff file at all");
  const QList<QStringList> cases = {
      {"ls", dir.filePath("missing.iff")},
      {"ls", dir.filePath("junk.iff")},
      {"cat", fixture, "STR", "128"},
      {"cat", fixture, "STR#", "70000"},
      {"cat", fixture, "STR#", "129"},
      {"rm", fixture, "BHAV", "1"},
      {"nonsense"},
      {"far", "ls", fixture},
      {"export", fixture, "ZZZZ"},
  };
  for (const QStringList& args : cases) {
    Result r = RunCli(args);
    EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.startsWith("scrivet2-cli: ")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
  }
}

TEST_F(CliTest, ExportThenImportReproducesResources) {
  Result r = RunCli({"export", fixture, "--dir", dir.filePath("out"), "--iff"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  QDir out(dir.filePath("out"));
  // The unsafe type is escaped reversibly in the file name.
  EXPECT_TRUE(out.exists("A%2F%01%257.iff")) << out.entryList().join(' ').toStdString();
  EXPECT_TRUE(out.exists("STR#128.iff"));

  QStringList importArgs{"import", dir.filePath("copy.iff")};
  for (const QString& name : out.entryList(QDir::Files, QDir::Name)) importArgs << out.filePath(name);
  ASSERT_EQ(RunCli(importArgs).code, 0);
  // Same resources; the import order follows the file names, so compare as sets.
  auto rows = [](const QByteArray& json) {
    QStringList list;
    for (const auto& v : QJsonDocument::fromJson(json).array())
      list << QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    list.sort();
    return list;
  };
  EXPECT_EQ(rows(RunCli({"ls", "--json", fixture}).out), rows(RunCli({"ls", "--json", dir.filePath("copy.iff")}).out));
  EXPECT_EQ(RunCli({"cat", dir.filePath("copy.iff"), "NOTE", "1"}).out, QByteArray("x"));
}

TEST_F(CliTest, AddRenameRemoveChangeTheFile) {
  WriteAll(dir.filePath("data.bin"), QByteArray("\x00\x01\x02", 3));
  ASSERT_EQ(RunCli({"add", fixture, "OBJD", "128", "Thing", dir.filePath("data.bin")}).code, 0);
  EXPECT_EQ(RunCli({"cat", fixture, "OBJD", "128"}).out, QByteArray("\x00\x01\x02", 3));

  // Renaming onto an existing identity needs --force and then leaves only the renamed chunk.
  EXPECT_EQ(RunCli({"rename", fixture, "OBJD", "128", "BHAV", "4096", "Renamed"}).code, 2);
  ASSERT_EQ(RunCli({"rename", "--force", fixture, "OBJD", "128", "BHAV", "4096", "Renamed"}).code, 0);
  EXPECT_EQ(RunCli({"cat", fixture, "BHAV", "4096"}).out, QByteArray("\x00\x01\x02", 3));
  EXPECT_NE(RunCli({"cat", fixture, "OBJD", "128"}).code, 0);

  ASSERT_EQ(RunCli({"rm", fixture, "BHAV", "4096"}).code, 0);
  EXPECT_EQ(QJsonDocument::fromJson(RunCli({"ls", "--json", fixture}).out).array().size(), 4);
}

// Each command does exactly what it was asked, no more: flags, one id, a new name alone, an
// honest exit code, and no archive entry written outside the target folder.
TEST_F(CliTest, CommandsDoWhatTheyWereAskedAndNoMore) {
  WriteAll(dir.filePath("data.bin"), "d");
  ASSERT_EQ(RunCli({"add", "--flags", "0x0000", fixture, "OBJD", "5", "Thing", dir.filePath("data.bin")}).code, 0);
  EXPECT_EQ(RunCli({"add", "--flags", "0x10000", fixture, "OBJD", "6", "x", dir.filePath("data.bin")}).code, 2);
  EXPECT_EQ(RunCli({"rename", fixture, "STR#", "128", "STR#", "128", "Renamed"}).code, 0) << "only the name changes";
  int flags = -1;
  QString name;
  for (const auto& row : QJsonDocument::fromJson(RunCli({"ls", "--json", fixture}).out).array()) {
    const QJsonObject o = row.toObject();
    if (o["type"] == "OBJD") flags = o["flags"].toInt();
    if (o["type"] == "STR#") name = o["name"].toString();
  }
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(name, "Renamed");

  // Data files are named after type and id; TYPE ID exports that one resource.
  ASSERT_EQ(RunCli({"export", fixture, "BHAV", "--dir", dir.filePath("bin")}).code, 0);
  EXPECT_EQ(QDir(dir.filePath("bin")).entryList(QDir::Files), (QStringList{"BHAV4096.bin", "BHAV4097.bin"}));
  EXPECT_EQ(ReadAll(dir.filePath("bin/BHAV4097.bin")), QByteArray("bhav-2"));
  ASSERT_EQ(RunCli({"export", fixture, "BHAV", "4096", "--dir", dir.filePath("one")}).code, 0);
  EXPECT_EQ(QDir(dir.filePath("one")).entryList(QDir::Files), QStringList{"BHAV4096.bin"});

  auto broken = IffFile::CreateEmpty(false);
  broken->AddChunk(MakeTypeCode("STR#"), 1, "", "\x05\x00", 2);  // five strings, no bytes for them
  ASSERT_TRUE(broken->SaveToPath(dir.filePath("broken.iff").toStdString()));
  EXPECT_EQ(RunCli({"check", dir.filePath("broken.iff")}).code, 1);

  const std::vector<uint8_t> far = BuildFarArchive({{"a\\..", {'x'}}});
  WriteAll(dir.filePath("bad.far"), QByteArray(reinterpret_cast<const char*>(far.data()), qsizetype(far.size())));
  const Result r = RunCli({"far", "extract", dir.filePath("bad.far"), "--dir", dir.filePath("sub")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("no usable file name")) << r.err.toStdString();
}

TEST_F(CliTest, ResaveKeepsBytesAndFailedSaveKeepsOldFile) {
  ASSERT_EQ(RunCli({"resave", fixture, dir.filePath("a.iff")}).code, 0);
  ASSERT_EQ(RunCli({"resave", dir.filePath("a.iff"), dir.filePath("b.iff")}).code, 0);
  EXPECT_EQ(ReadAll(dir.filePath("a.iff")), ReadAll(dir.filePath("b.iff")));

  const QByteArray before = ReadAll(fixture);
  EXPECT_EQ(RunCli({"resave", fixture, dir.filePath("no/such/folder/x.iff")}).code, 2);
  EXPECT_EQ(ReadAll(fixture), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QStringList{".*.tmp"}, QDir::Hidden | QDir::Files).size(), 0);
}

TEST(CliFar, ListsAndExtractsCorpusArchive) {
  const QString far = QString(SCRIVET_CORPUS_DIR) + "/francot514+FreeSims/npcs.far";
  if (!QFile::exists(far)) GTEST_SKIP() << "corpus not present";
  QTemporaryDir tmp;
  EXPECT_EQ(RunCli({"far", "ls", far}).out.count('\n'), 6);
  Result ex = RunCli({"far", "extract", far, "PizzaDude.iff", "--dir", tmp.path()});
  ASSERT_EQ(ex.code, 0) << ex.err.toStdString();
  EXPECT_EQ(ReadAll(tmp.filePath("PizzaDude.iff")),
            ReadAll(QString(SCRIVET_CORPUS_DIR) + "/francot514+FreeSims/npcs.far.members/PizzaDude.iff"));
  EXPECT_EQ(RunCli({"far", "ls", QString(SCRIVET_CORPUS_DIR) + "/francot514+FreeSims/npcs@38e0aa7_broken.far"}).code, 2);
}

// The bundled sample must stay a file every codec reads and writes back unchanged.
TEST(CliSample, EveryResourceDecodesAndRoundTrips) {
  Result r = RunCli({"check", SCRIVET_SAMPLE});
  EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
  for (const QByteArray& line : r.out.split('\n'))
    EXPECT_TRUE(!line.startsWith(SCRIVET_SAMPLE) || line.endsWith("ok, identical")) << line.toStdString();
}

QJsonObject DumpJson(const char* type, const char* id) {
  Result r = RunCli({"dump", "--json", SCRIVET_SAMPLE, type, id});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  return QJsonDocument::fromJson(r.out).object();
}

// Scripts compare these models, so the keys are the model's field names.
TEST(CliDump, JsonUsesTheModelFieldNames) {
  QJsonObject bhav = DumpJson("BHAV", "4097");
  EXPECT_EQ(bhav.keys(), (QStringList{"headerByte7", "instructionCount", "instructions", "localCount",
                                      "parameterCount", "revision", "signature", "type"}));
  EXPECT_EQ(bhav["signature"].toInt(), 0x8002);
  EXPECT_EQ(bhav["instructions"].toArray()[0].toObject(),
            (QJsonObject{{"opcode", 2}, {"trueTarget", 254}, {"falseTarget", 253},
                         {"operand", QJsonArray{0, 0, 1, 0, 0, 5, 0, 7}}}));

  QJsonObject str = DumpJson("STR#", "128");
  EXPECT_EQ(str.keys(), (QStringList{"basicMode", "items", "useDescriptions", "useLanguages"}));
  ASSERT_EQ(str["items"].toArray().size(), 3);
  const QJsonArray languages = str["items"].toArray()[0].toArray();
  ASSERT_EQ(languages.size(), 20);
  EXPECT_EQ(languages[0].toObject()["value"].toString(), "Sample chest");
  EXPECT_EQ(languages[0].toObject()["description"].toString(), "Object name");
  EXPECT_EQ(languages[1].toObject()["value"].toString(), "");
}

TEST(CliDump, TextViewShowsTargetsByName) {
  Result r = RunCli({"dump", SCRIVET_SAMPLE, "BHAV", "4097"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains("0: opcode 0x0002  true True  false Error  operand 00 00 01 00 00 05 00 07"))
      << r.out.toStdString();
}

// bhav on the stand-in game folder: the lines the behaviour editor shows.
class BhavCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QFile::exists(SCRIVET_GAMEDATA_DIR)) GTEST_SKIP() << "stand-in game folder not generated";
  }
  QStringList Args(const QStringList& more) {
    return QStringList{"bhav", game + "/GameData/Global/Global.iff", "--script", SCRIVET_SCRIPT_PATH} + more;
  }
  const QString game = SCRIVET_GAMEDATA_DIR;
};

TEST_F(BhavCommandTest, PrintsLineTextAndTargetsWithTheFallbackFormWithoutAGameFolder) {
  Result r = RunCli(Args({"257", "--game", game}));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "0\tIdle For Input: ticks in Param 0, allow push\t1, Error\n"
            "1\tLocal 0 == Literal 0\tTrue, False\n");
  // The game folder may also come from SIMS_DATA.
  EXPECT_EQ(RunCli(Args({"300"}), {"SIMS_DATA=" + game}).out,
            "0\tMy motive 7 (Hunger) > Literal 50\t1, False\n"
            "1\t(priv:) Idle\tTrue, True\n");
  r = RunCli(Args({"257"}), {"SIMS_DATA="});
  EXPECT_EQ(r.out, "0\t17 (0, 1, 0, 0)\t1, Error\n1\t2 (0, 0, 512, 1817)\tTrue, False\n");
  EXPECT_EQ(r.err, "Can't load The Sims\\GameData\\Behavior.iff!\n");
}

TEST_F(BhavCommandTest, AllRoutinesAndBadArguments) {
  const QByteArray all = RunCli(Args({"--all", "--game", game})).out;
  EXPECT_TRUE(all.startsWith("BHAV 256 Idle\n0\tSleep for Param 0 ticks\tTrue, Error\nBHAV 257 Wait for notify\n"))
      << all.toStdString();
  EXPECT_TRUE(all.contains("BHAV 300 Check motives\n"));
  EXPECT_NE(RunCli(Args({"999"})).code, 0);
  EXPECT_NE(RunCli(Args({"256", "--all"})).code, 0);
}

// bhav --rewrite [--save]: the editor's Rewrite from the command line.
TEST(BhavRewriteCommand, PrintsAndSavesTheRewrittenRoutines) {
  QTemporaryDir tmp;
  const QString path = QDir(tmp.path()).filePath("routines.iff");
  // Lines 10, 11, 12 (opcodes); line 0 goes to 2 on true, 1 on false: rewritten as 10, 12, 11.
  const char routine[] = "\x02\x80\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                         "\x0A\x00\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00"
                         "\x0B\x00\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\x00"
                         "\x0C\x00\xFE\xFE\x00\x00\x00\x00\x00\x00\x00\x00";
  auto file = IffFile::CreateEmpty(false);
  file->AddChunk(MakeTypeCode("BHAV"), 4096, "Tidy me", routine, sizeof routine - 1);
  file->AddChunk(MakeTypeCode("BHAV"), 4097, "Broken", "bhav", 4);
  ASSERT_TRUE(file->SaveToPath(path.toStdString()));
  const QByteArray original = ReadAll(path);
  const QStringList noGame{"SIMS_DATA="};
  const QByteArray rewritten =
      "0\t10 (0, 0, 0, 0)\t1, 2\n1\t12 (0, 0, 0, 0)\tTrue, True\n2\t11 (0, 0, 0, 0)\tFalse, False\n";

  EXPECT_EQ(RunCli({"bhav", path, "4096", "--rewrite"}, noGame).out, rewritten);
  EXPECT_EQ(RunCli({"bhav", path, "4096", "--save"}, noGame).code, 2);
  Result all = RunCli({"bhav", path, "--all", "--rewrite", "--save"}, noGame);
  EXPECT_EQ(all.code, 2);
  EXPECT_TRUE(all.err.contains("not saved")) << all.err.toStdString();
  EXPECT_EQ(ReadAll(path), original) << "nothing is stored while a routine cannot be decoded";

  ASSERT_EQ(RunCli({"rm", path, "BHAV", "4097"}).code, 0);
  EXPECT_EQ(RunCli({"bhav", path, "--all", "--rewrite", "--save"}, noGame).code, 0);
  EXPECT_EQ(RunCli({"bhav", path, "4096"}, noGame).out, rewritten);
}

}  // namespace
