#pragma once
// A readable view of decoded resources: the model as a tree of named values (keys are the
// model's field names) and as plain text, for the command-line tool and for round-trip checks.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/iff_chunk.h"
#include "core/iff_resource.h"

namespace scrivet {

struct ModelNode {
  enum class Kind { kNumber, kBool, kText, kObject, kArray, kReal };

  Kind kind = Kind::kObject;
  int64_t number = 0;
  bool flag = false;
  std::string text;  // resource bytes, unconverted; for a real, its shortest decimal form
  std::vector<std::pair<std::string, ModelNode>> members;
  std::vector<ModelNode> elements;

  static ModelNode Number(int64_t v);
  static ModelNode Bool(bool v);
  static ModelNode Text(std::string v);
  // A single-precision real, kept as the shortest text that reads back to the same value.
  static ModelNode Real(float v);
  static ModelNode Object() { return ModelNode{}; }
  static ModelNode Array();

  ModelNode& Add(std::string key, ModelNode value);
  ModelNode& Push(ModelNode value);

  bool operator==(const ModelNode&) const = default;
};

// False for classes without a model of their own (raw data).
bool DescribeResource(const IffResource& resource, ModelNode& out);

// The first path at which the trees differ ("interactions[2].motiveCount"); empty when equal.
std::string FirstDifference(const ModelNode& a, const ModelNode& b);

// Readable text of the decoded model; false for classes without a model of their own.
bool DumpResourceText(const IffResource& resource, std::string& out);

// The outcome of decoding a chunk and encoding the result again.
struct ChunkCheck {
  enum class Status { kNoCodec, kDecodeFailed, kEncodeFailed, kIdentical, kDiffers };
  Status status = Status::kNoCodec;
  std::string detail;  // for kDiffers: the field (or byte offset) that changed
};

// Works on a copy; the chunk must be loaded.
ChunkCheck CheckChunk(const IffChunk& chunk);

}  // namespace scrivet
