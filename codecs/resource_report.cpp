#include "codecs/resource_report.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_str.h"
#include "codecs/resource_ttab.h"
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

void DescribeStr(const ResourceStr& r, N& out) {
  out.Add("basicMode", N::Bool(r.basicMode));
  out.Add("useLanguages", N::Bool(r.useLanguages));
  out.Add("useDescriptions", N::Bool(r.useDescriptions));
  N& items = out.Add("items", N::Array());
  for (const StringItem& item : r.items) {
    N& slots = items.Push(N::Array());
    for (const StringSlot& slot : item.slots) {
      N& s = slots.Push(N::Object());
      s.Add("value", N::Text(slot.value));
      s.Add("description", N::Text(slot.description));
    }
  }
}

void DescribeBhav(const ResourceBhav& r, N& out) {
  out.Add("signature", N::Number(r.signature));
  out.Add("instructionCount", N::Number(r.instructionCount));
  out.Add("type", N::Number(r.type));
  out.Add("parameterCount", N::Number(r.parameterCount));
  out.Add("localCount", N::Number(r.localCount));
  out.Add("headerByte7", N::Number(r.headerByte7));
  out.Add("revision", N::Number(r.revision));
  N& list = out.Add("instructions", N::Array());
  for (const BhavInstruction& in : r.instructions) {
    N& i = list.Push(N::Object());
    i.Add("opcode", N::Number(in.opcode));
    i.Add("trueTarget", N::Number(in.trueTarget));
    i.Add("falseTarget", N::Number(in.falseTarget));
    N& operand = i.Add("operand", N::Array());
    for (uint8_t b : in.operand) operand.Push(N::Number(b));
  }
}

void DescribeTtab(const ResourceTtab& r, N& out) {
  out.Add("version", N::Number(r.version));
  N& list = out.Add("interactions", N::Array());
  for (const Interaction& in : r.interactions) {
    N& i = list.Push(N::Object());
    i.Add("actionFunction", N::Number(in.actionFunction));
    i.Add("checkFunction", N::Number(in.checkFunction));
    i.Add("motiveCount", N::Number(in.motiveCount));
    i.Add("flags", N::Number(in.flags));
    i.Add("textIndex", N::Number(in.textIndex));
    i.Add("attenuationCode", N::Number(in.attenuationCode));
    i.Add("attenuationValue", N::Number(in.attenuationValue));
    i.Add("attenuationThreshold", N::Number(in.attenuationThreshold));
    i.Add("joinIndex", N::Number(in.joinIndex));
    N& ads = i.Add("advertisements", N::Array());
    for (const Advertisement& ad : in.advertisements) {
      N& a = ads.Push(N::Object());
      a.Add("min", N::Number(ad.min));
      a.Add("max", N::Number(ad.max));
      a.Add("personality", N::Number(ad.personality));
    }
    i.Add("name", N::Text(in.name));
  }
}

void DescribeObjd(const ResourceObjd& r, N& out) {
  N& fields = out.Add("fields", N::Array());
  for (const ObjdField& f : ObjdFieldCatalogue()) {
    if (f.IsHeading()) continue;
    N& row = fields.Push(N::Object());
    row.Add("label", N::Text(f.label));
    row.Add("offset", N::Number(f.offset));
    row.Add("size", N::Number(f.size));
    row.Add("value", N::Number(r.FieldValue(f)));
  }
  N& block = out.Add("block", N::Array());
  for (uint8_t b : r.block) block.Push(N::Number(b));
}

void DescribeObjf(const ResourceObjf& r, N& out) {
  N& list = out.Add("entries", N::Array());
  for (size_t i = 0; i < r.entries.size(); ++i) {
    N& e = list.Push(N::Object());
    e.Add("name", N::Text(ResourceObjf::kEntryNames[i]));
    e.Add("checkFunction", N::Number(r.entries[i].checkFunction));
    e.Add("actionFunction", N::Number(r.entries[i].actionFunction));
  }
}

void DescribeCarr(const ResourceCarr& r, N& out) {
  out.Add("careerName", N::Text(r.careerName));
  N& list = out.Add("jobs", N::Array());
  for (const Job& job : r.jobs) {
    N& j = list.Push(N::Object());
    auto numbers = job.Numbers();
    for (size_t i = 0; i < numbers.size(); ++i) j.Add(kJobNumberNames[i], N::Number(*numbers[i]));
    auto texts = job.Texts();
    for (size_t i = 0; i < texts.size(); ++i) j.Add(kJobTextNames[i], N::Text(*texts[i]));
  }
}

void DescribeBcon(const ResourceBcon& r, N& out) {
  out.Add("editable", N::Bool(r.editable));
  N& values = out.Add("values", N::Array());
  for (int16_t v : r.values) values.Push(N::Number(v));
}

// Generic text: scalars as "key: value", arrays of scalars on one line, nested objects indented.
void AppendScalar(const N& n, std::string& out) {
  switch (n.kind) {
    case N::Kind::kNumber: out += std::to_string(n.number); break;
    case N::Kind::kBool: out += n.flag ? "true" : "false"; break;
    case N::Kind::kText: out += '"' + n.text + '"'; break;
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

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

void DumpStr(const ResourceStr& r, std::string& out) {
  const char* layout = r.basicMode ? "basic (length-prefixed values)"
                       : r.useLanguages ? "-3 (language, value, description)"
                       : r.useDescriptions ? "-2 (value, description)"
                                           : "-1 (values)";
  out += std::string("layout: ") + layout + "\n";
  out += "items: " + std::to_string(r.items.size()) + "\n";
  for (size_t i = 0; i < r.items.size(); ++i) {
    for (size_t l = 0; l < kLanguageCount; ++l) {
      const StringSlot& slot = r.items[i].slots[l];
      // Language 0 always shows, so every item has a line.
      if (l != 0 && slot.value.empty() && slot.description.empty()) continue;
      out += "[" + std::to_string(i) + "] " + kLanguageNames[l] + ": \"" + slot.value + "\"";
      if (r.useDescriptions) out += " (\"" + slot.description + "\")";
      out += '\n';
    }
  }
}

void DumpBhav(const ResourceBhav& r, std::string& out) {
  out += "signature: 0x" + Hex(r.signature, 4) + "\n";
  out += "instructionCount: " + std::to_string(r.instructionCount) + "\n";
  out += "type: " + std::to_string(r.type) + "\n";
  out += "parameterCount: " + std::to_string(r.parameterCount) + "\n";
  out += "localCount: " + std::to_string(r.localCount) + "\n";
  out += "headerByte7: " + std::to_string(r.headerByte7) + "\n";
  out += "revision: " + std::to_string(r.revision) + "\n";
  for (size_t i = 0; i < r.instructions.size(); ++i) {
    const BhavInstruction& in = r.instructions[i];
    out += std::to_string(i) + ": opcode 0x" + Hex(in.opcode, 4) + "  true " + TargetText(in.trueTarget) +
           "  false " + TargetText(in.falseTarget) + "  operand";
    for (uint8_t b : in.operand) out += " " + Hex(b, 2);
    out += '\n';
  }
}

void DumpObjd(const ResourceObjd& r, std::string& out) {
  for (const ObjdField& f : ObjdFieldCatalogue()) {
    if (f.IsHeading()) out += std::string(f.label) + "\n";
    else out += std::string("  ") + f.label + ": " + r.FormatField(f) + "\n";
  }
}

}  // namespace

bool DescribeResource(const IffResource& resource, ModelNode& out) {
  out = ModelNode::Object();
  if (auto* r = dynamic_cast<const ResourceStr*>(&resource)) DescribeStr(*r, out);
  else if (auto* r = dynamic_cast<const ResourceBhav*>(&resource)) DescribeBhav(*r, out);
  else if (auto* r = dynamic_cast<const ResourceTtab*>(&resource)) DescribeTtab(*r, out);
  else if (auto* r = dynamic_cast<const ResourceObjd*>(&resource)) DescribeObjd(*r, out);
  else if (auto* r = dynamic_cast<const ResourceObjf*>(&resource)) DescribeObjf(*r, out);
  else if (auto* r = dynamic_cast<const ResourceCarr*>(&resource)) DescribeCarr(*r, out);
  else if (auto* r = dynamic_cast<const ResourceBcon*>(&resource)) DescribeBcon(*r, out);
  else if (auto* r = dynamic_cast<const ResourceFwav*>(&resource)) out.Add("soundName", N::Text(r->soundName));
  else if (auto* r = dynamic_cast<const ResourceGlob*>(&resource)) out.Add("fileName", N::Text(r->fileName));
  else return false;
  return true;
}

namespace {

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

bool DumpResourceText(const IffResource& resource, std::string& out) {
  out.clear();
  if (auto* r = dynamic_cast<const ResourceStr*>(&resource)) DumpStr(*r, out);
  else if (auto* r = dynamic_cast<const ResourceBhav*>(&resource)) DumpBhav(*r, out);
  else if (auto* r = dynamic_cast<const ResourceObjd*>(&resource)) DumpObjd(*r, out);
  else {
    ModelNode tree;
    if (!DescribeResource(resource, tree)) return false;
    AppendTree("", tree, "", out);
  }
  return true;
}

ChunkCheck CheckChunk(const IffChunk& chunk) {
  ChunkCheck result;
  std::unique_ptr<IffResource> original = CreateResourceForType(chunk.type);
  if (original->GetType() == ResourceData::kType) return result;
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
  std::unique_ptr<IffResource> reread = CreateResourceForType(chunk.type);
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
