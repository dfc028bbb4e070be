#include "codecs/resource_bhav.h"

#include <algorithm>
#include <utility>

#include "core/byte_order.h"

namespace scrivet {

int16_t BhavInstruction::OperandWord(size_t index) const {
  return static_cast<int16_t>(LoadU16LE(operand.data() + 2 * (index & 3)));
}

void BhavInstruction::SetOperandWord(size_t index, int16_t value) {
  StoreU16LE(operand.data() + 2 * (index & 3), static_cast<uint16_t>(value));
}

std::string TargetText(uint8_t target) {
  switch (target) {
    case BhavInstruction::kTargetError: return "Error";
    case BhavInstruction::kTargetTrue: return "True";
    case BhavInstruction::kTargetFalse: return "False";
    default: return std::to_string(target);
  }
}

namespace {

// Big-endian operand words are stored per primitive; which words hold 16-bit numbers depends
// on the opcode.
void SwapOperandWords(BhavInstruction& in) {
  bool swap[4] = {true, true, true, true};
  switch (in.opcode) {
    case 2: case 44: swap[2] = swap[3] = false; break;
    case 13: case 24: case 26: swap[0] = swap[1] = swap[2] = swap[3] = false; break;
    case 27: swap[1] = swap[3] = false; break;
    case 42: swap[1] = swap[2] = swap[3] = false; break;
    default: break;
  }
  for (size_t w = 0; w < 4; ++w)
    if (swap[w]) std::swap(in.operand[2 * w], in.operand[2 * w + 1]);
}

}  // namespace

bool ResourceBhav::ModelEquals(const ResourceBhav& o) const {
  return signature == o.signature && instructionCount == o.instructionCount && type == o.type &&
         parameterCount == o.parameterCount && localCount == o.localCount &&
         headerByte7 == o.headerByte7 && revision == o.revision && instructions == o.instructions;
}

bool ResourceBhav::Decode() {
  IffChunk& chunk = Chunk();
  const bool bigEndian = !chunk.IsLittleEndian();
  if (chunk.Size() < kHeaderSize) return false;
  if (!chunk.ReadU16(signature)) return false;
  if (bigEndian) signature = SwapU16(signature);
  instructions.clear();

  if (static_cast<int16_t>(signature) < 0) {
    if (!chunk.ReadU16(instructionCount) || !chunk.ReadU8(type) || !chunk.ReadU8(parameterCount) ||
        !chunk.ReadU8(localCount) || !chunk.ReadU8(headerByte7) || !chunk.ReadU32(revision))
      return false;
    if (bigEndian) {
      instructionCount = SwapU16(instructionCount);
      revision = SwapU32(revision);
    }
    if (chunk.Size() < (size_t(instructionCount) + 1) * kInstructionSize) return false;
    instructions.reserve(instructionCount);
  } else {
    instructionCount = signature;
    type = parameterCount = localCount = headerByte7 = 0;
    revision = 0;
    instructions.reserve(std::min<size_t>(instructionCount, chunk.Remaining() / kInstructionSize));
  }

  for (uint32_t i = 0; i < instructionCount; ++i) {
    BhavInstruction in;
    uint8_t opcode[2];
    if (!chunk.Read(opcode, 2) || !chunk.ReadU8(in.trueTarget) || !chunk.ReadU8(in.falseTarget) ||
        !chunk.Read(in.operand.data(), in.operand.size()))
      return false;
    if (bigEndian) {
      in.opcode = LoadU16BE(opcode);
      SwapOperandWords(in);
    } else {
      in.opcode = LoadU16LE(opcode);
    }
    instructions.push_back(in);
  }
  return true;
}

bool ResourceBhav::Encode() {
  if (instructions.size() > 0xFFFF) return false;
  instructionCount = static_cast<uint16_t>(instructions.size());
  // A signature below 0x8000 marks the headerless layout; written behind a header it would
  // read back as a count followed by garbage, so such a routine gets the first headered one.
  if (static_cast<int16_t>(signature) >= 0) signature = kSignatureFirstHeadered;

  IffChunk& chunk = Chunk();
  if (!chunk.SetSize(0)) return false;
  chunk.Rewind();
  bool ok = chunk.WriteU16(signature) && chunk.WriteU16(instructionCount) && chunk.WriteU8(type) &&
            chunk.WriteU8(parameterCount) && chunk.WriteU8(localCount) && chunk.WriteU8(headerByte7) &&
            chunk.WriteU32(revision);
  for (const BhavInstruction& in : instructions) {
    ok = ok && chunk.WriteU16(in.opcode) && chunk.WriteU8(in.trueTarget) && chunk.WriteU8(in.falseTarget) &&
         chunk.Write(in.operand.data(), in.operand.size());
  }
  if (!ok) return false;
  chunk.flags |= IffChunk::kFlagLittleEndian;
  return true;
}

}  // namespace scrivet
