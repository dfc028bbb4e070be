#include "codecs/resource_report.h"

#include <algorithm>
#include <charconv>
#include <memory>

#include "codecs/type_table.h"

namespace scrivet {

ModelNode ModelNode::Number(int64_t v) {
  ModelNode n;
  n.kind = Kind::kNumber;
  n.number = v;
  return n;
}

ModelNode ModelNode::Bool(bool v) {
  ModelNode n;
  n.kind = Kind::kBool;
  n.flag = v;
  return n;
}

ModelNode ModelNode::Text(std::string v) {
  ModelNode n;
  n.kind = Kind::kText;
  n.text = std::move(v);
  return n;
}

ModelNode ModelNode::Real(float v) {
  ModelNode n;
  n.kind = Kind::kReal;
  char text[32];
  n.text.assign(text, std::to_chars(text, text + sizeof text, v).ptr);
  return n;
}

ModelNode ModelNode::Array() {
  ModelNode n;
  n.kind = Kind::kArray;
  return n;
}

ModelNode& ModelNode::Add(std::string key, ModelNode value) {
  members.emplace_back(std::move(key), std::move(value));
  return members.back().second;
}

ModelNode& ModelNode::Push(ModelNode value) {
  elements.push_back(std::move(value));
  return elements.back();
}

namespace {

using N = ModelNode;

// Generic text: scalars as "key: value", arrays of scalars on one line, nested objects indented.
void AppendScalar(const N& n, std::string& out) {
  switch (n.kind) {
    case N::Kind::kNumber: out += std::to_string(n.number); break;
    case N::Kind::kBool: out += n.flag ? "true" : "false"; break;
    case N::Kind::kText: out += '"' + n.text + '"'; break;
    case N::Kind::kReal: out += n.text; break;
    default: break;
  }
}

bool IsScalar(const N& n) { return n.kind != N::Kind::kObject && n.kind != N::Kind::kArray; }

void AppendTree(const std::string& key, const N& n, const std::string& indent, std::string& out) {
  if (IsScalar(n)) {
    out += indent + key + ": ";
    AppendScalar(n, out);
    out += '\n';
  } else if (n.kind == N::Kind::kObject) {
    bool flat = !key.empty() && n.members.size() <= 4;
    for (const auto& member : n.members) flat = flat && IsScalar(member.second);
    if (flat) {
      out += indent + key + ":";
      for (const auto& [k, v] : n.members) {
        out += ' ' + k + ' ';
        AppendScalar(v, out);
      }
      out += '\n';
      return;
    }
    if (!key.empty()) out += indent + key + ":\n";
    const std::string inner = key.empty() ? indent : indent + "  ";
    for (const auto& [k, v] : n.members) AppendTree(k, v, inner, out);
  } else {
    bool scalars = true;
    for (const N& e : n.elements) scalars = scalars && IsScalar(e);
    if (scalars) {
      out += indent + key + ":";
      for (const N& e : n.elements) {
        out += ' ';
        AppendScalar(e, out);
      }
      out += '\n';
    } else {
      for (size_t i = 0; i < n.elements.size(); ++i)
        AppendTree(key + "[" + std::to_string(i) + "]", n.elements[i], indent, out);
    }
  }
}

// "(root)" marks a difference in the node itself.
std::string JoinPath(const std::string& prefix, const std::string& inner) {
  if (inner == "(root)") return prefix;
  if (inner[0] == '[' || inner[0] == '(') return prefix + inner;
  return prefix + "." + inner;
}

}  // namespace

std::string FirstDifference(const ModelNode& a, const ModelNode& b) {
  if (a.kind != b.kind) return "(root)";
  if (a.kind == N::Kind::kObject) {
    for (size_t i = 0; i < a.members.size() && i < b.members.size(); ++i) {
      if (a.members[i].first != b.members[i].first) return a.members[i].first;
      std::string inner = FirstDifference(a.members[i].second, b.members[i].second);
      if (!inner.empty()) return JoinPath(a.members[i].first, inner);
    }
    return a.members.size() == b.members.size() ? std::string() : std::string("(root)");
  }
  if (a.kind == N::Kind::kArray) {
    for (size_t i = 0; i < a.elements.size() && i < b.elements.size(); ++i) {
      std::string inner = FirstDifference(a.elements[i], b.elements[i]);
      if (!inner.empty()) return JoinPath("[" + std::to_string(i) + "]", inner);
    }
    if (a.elements.size() != b.elements.size())
      return "(count " + std::to_string(a.elements.size()) + " -> " + std::to_string(b.elements.size()) + ")";
    return {};
  }
  return a == b ? std::string() : std::string("(root)");
}

bool DescribeResource(const IffResource& resource, ModelNode& out) {
  out = ModelNode::Object();
  const ResourceType* type = FindReportedType(resource.GetType());
  return type && type->describe && type->describe(resource, out);
}

bool DumpResourceText(const IffResource& resource, std::string& out) {
  out.clear();
  const ResourceType* type = FindReportedType(resource.GetType());
  if (!type || !type->describe) return false;
  if (type->text) return type->text(resource, out);
  ModelNode tree;
  if (!type->describe(resource, tree)) return false;
  AppendTree("", tree, "", out);
  return true;
}

ChunkCheck CheckChunk(const IffChunk& chunk) {
  ChunkCheck result;
  const ResourceType& type = TypeFor(chunk.type);
  if (type.reported == ResourceData::kType) return result;
  std::unique_ptr<IffResource> original = type.create();
  original->Chunk() = chunk;
  original->Chunk().Rewind();
  if (!original->Decode()) {
    result.status = ChunkCheck::Status::kDecodeFailed;
    return result;
  }
  std::vector<uint8_t> bytes;
  if (!original->EncodeToBytes(bytes)) {
    result.status = ChunkCheck::Status::kEncodeFailed;
    return result;
  }
  if (bytes.size() == chunk.Size() && std::equal(bytes.begin(), bytes.end(), chunk.Data())) {
    result.status = ChunkCheck::Status::kIdentical;
    return result;
  }
  result.status = ChunkCheck::Status::kDiffers;

  // Name the field that came back different; when the models agree the layout changed.
  std::unique_ptr<IffResource> reread = type.create();
  IffChunk& written = reread->Chunk();
  written.Assign(bytes.data(), bytes.size());
  written.flags = uint16_t(chunk.flags | IffChunk::kFlagLittleEndian);
  ModelNode before, after;
  if (!reread->Decode()) {
    result.detail = "written bytes do not decode";
    return result;
  }
  if (DescribeResource(*original, before) && DescribeResource(*reread, after)) {
    result.detail = FirstDifference(before, after);
    if (!result.detail.empty()) return result;
  }
  size_t at = 0;
  while (at < bytes.size() && at < chunk.Size() && bytes[at] == chunk.Data()[at]) ++at;
  if (at == bytes.size()) {
    result.detail = "same model, the original has " + std::to_string(chunk.Size() - at) + " more byte(s) at the end";
    return result;
  }
  result.detail = "same model, bytes differ from offset " + std::to_string(at) + " (" +
                  std::to_string(chunk.Size()) + " -> " + std::to_string(bytes.size()) + " bytes)";
  return result;
}

}  // namespace scrivet
