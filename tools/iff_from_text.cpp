// Builds an IFF file from a text description, with the project's own writer.
//
//   # comment
//   chunk TYPE ID [flags 0xNNNN] [name "NAME"] [canonical]   TYPE: four characters (\xNN escapes allowed)
//     tokens...                         data, in order:
//   end
//
// Data tokens: two hex digits (one byte); "text" (bytes, with \0 \n \r \t \\ \" \xNN escapes);
// u8:N u16:N u32:N i16:N i32:N f32:X (little-endian) and be16:N be32:N; fill:COUNT:BYTE; pad (one
// pad byte A3 when the position is odd, as after texts); at:OFFSET (later tokens write from that
// offset, over earlier bytes; zeros fill up to it).
// `canonical`: the chunk is decoded and encoded again by its type's codec, so a source may use
// any layout the codec reads (a fixed-width table, say) and the file holds what the editor writes.
// Usage: iff_from_text INPUT.txt OUTPUT.iff

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/type_table.h"
#include "core/iff_file.h"

using namespace scrivet;

namespace {

struct Reader {
  std::string text;
  size_t pos = 0;
  int line = 1;
  std::string error;

  void SkipSpace() {
    while (pos < text.size()) {
      char c = text[pos];
      if (c == '\n') {
        ++line;
        ++pos;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos;
      } else if (c == '#') {
        while (pos < text.size() && text[pos] != '\n') ++pos;
      } else {
        break;
      }
    }
  }
  bool AtEnd() {
    SkipSpace();
    return pos >= text.size();
  }
  // A bare word or a quoted string (escapes decoded); `quoted` tells which.
  bool Token(std::string& out, bool& quoted) {
    SkipSpace();
    out.clear();
    quoted = false;
    if (pos >= text.size()) return false;
    if (text[pos] != '"') {
      while (pos < text.size() && !isspace(static_cast<unsigned char>(text[pos]))) out.push_back(text[pos++]);
      return true;
    }
    quoted = true;
    ++pos;
    while (pos < text.size() && text[pos] != '"') {
      char c = text[pos++];
      if (c == '\n') ++line;
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (pos >= text.size()) break;
      char e = text[pos++];
      switch (e) {
        case '0': out.push_back('\0'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'x':
          if (pos + 2 <= text.size()) {
            out.push_back(char(std::strtoul(text.substr(pos, 2).c_str(), nullptr, 16)));
            pos += 2;
          }
          break;
        default: out.push_back(e); break;
      }
    }
    if (pos >= text.size()) {
      error = "unterminated string";
      return false;
    }
    ++pos;
    return true;
  }
};

bool ParseNumber(const std::string& s, long long& v) {
  char* end = nullptr;
  v = std::strtoll(s.c_str(), &end, 0);
  return !s.empty() && end && *end == '\0';
}

// A chunk's data being written: bytes go at the position, over what is there or appended.
struct Data {
  std::vector<uint8_t> bytes;
  size_t position = 0;

  void PutByte(uint8_t b) {
    if (position < bytes.size())
      bytes[position] = b;
    else
      bytes.push_back(b);
    ++position;
  }
};

void Put(Data& out, unsigned long long v, int bytes, bool bigEndian) {
  for (int i = 0; i < bytes; ++i) {
    int shift = bigEndian ? 8 * (bytes - 1 - i) : 8 * i;
    out.PutByte(uint8_t(v >> shift));
  }
}

bool DataToken(const std::string& tok, bool quoted, Data& out) {
  if (quoted) {
    for (char c : tok) out.PutByte(uint8_t(c));
    return true;
  }
  if (tok == "pad") {
    if (out.position % 2) out.PutByte(0xA3);
    return true;
  }
  auto colon = tok.find(':');
  if (colon == std::string::npos) {
    if (tok.size() != 2) return false;
    long long v;
    if (!ParseNumber("0x" + tok, v)) return false;
    out.PutByte(uint8_t(v));
    return true;
  }
  std::string kind = tok.substr(0, colon), rest = tok.substr(colon + 1);
  if (kind == "fill") {
    auto colon2 = rest.find(':');
    long long count, byte;
    if (colon2 == std::string::npos || !ParseNumber(rest.substr(0, colon2), count) ||
        !ParseNumber(rest.substr(colon2 + 1), byte) || count < 0 || count > (1 << 24))
      return false;
    for (long long i = 0; i < count; ++i) out.PutByte(uint8_t(byte));
    return true;
  }
  if (kind == "f32") {
    char* end = nullptr;
    const float f = std::strtof(rest.c_str(), &end);
    if (rest.empty() || !end || *end != '\0') return false;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    Put(out, bits, 4, false);
    return true;
  }
  long long v;
  if (!ParseNumber(rest, v)) return false;
  if (kind == "at") {
    if (v < 0 || v > (1 << 24)) return false;
    if (size_t(v) > out.bytes.size()) out.bytes.resize(size_t(v), 0);
    out.position = size_t(v);
    return true;
  }
  if (kind == "u8") Put(out, v, 1, false);
  else if (kind == "u16" || kind == "i16") Put(out, v, 2, false);
  else if (kind == "u32" || kind == "i32") Put(out, v, 4, false);
  else if (kind == "be16") Put(out, v, 2, true);
  else if (kind == "be32") Put(out, v, 4, true);
  else return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: iff_from_text INPUT.txt OUTPUT.iff\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot read\n";
    return 2;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  Reader r;
  r.text = buffer.str();
  auto file = IffFile::CreateEmpty(false);
  auto fail = [&](const std::string& what) {
    std::cerr << argv[1] << ":" << r.line << ": " << what << "\n";
    return 2;
  };
  std::string tok;
  bool quoted;
  while (!r.AtEnd()) {
    if (!r.Token(tok, quoted) || quoted || tok != "chunk") return fail("expected 'chunk'");
    std::string typeText, idText;
    bool q1, q2;
    if (!r.Token(typeText, q1) || !r.Token(idText, q2)) return fail("expected type and id");
    Reader typeReader;
    typeReader.text = "\"" + typeText + "\"";
    std::string typeBytes;
    bool dummy;
    typeReader.Token(typeBytes, dummy);
    long long id;
    if (typeBytes.size() != 4 || !ParseNumber(idText, id) || id < 0 || id > 0xFFFF) return fail("bad type or id");
    uint16_t flags = IffChunk::kDefaultFlags;
    std::string name;
    bool canonical = false;
    Data data;
    // Optional flags and name, then data until "end".
    bool headerDone = false;
    while (true) {
      if (!r.Token(tok, quoted)) return fail(r.error.empty() ? "missing 'end'" : r.error);
      if (!quoted && tok == "end") break;
      if (!headerDone && !quoted && tok == "flags") {
        long long f;
        if (!r.Token(tok, quoted) || !ParseNumber(tok, f)) return fail("bad flags");
        flags = uint16_t(f);
        continue;
      }
      if (!headerDone && !quoted && tok == "name") {
        if (!r.Token(name, quoted) || !quoted) return fail("name takes a quoted string");
        continue;
      }
      if (!headerDone && !quoted && tok == "canonical") {
        canonical = true;
        continue;
      }
      headerDone = true;
      if (!DataToken(tok, quoted, data)) return fail("bad data token '" + tok + "'");
    }
    TypeCode type = MakeTypeCode(typeBytes[0], typeBytes[1], typeBytes[2], typeBytes[3]);
    IffChunk* chunk = file->AddChunk(type, uint16_t(id), name, data.bytes.data(), data.bytes.size());
    if (!chunk) return fail("out of memory");
    chunk->flags = flags;
    if (canonical) {
      std::unique_ptr<IffResource> resource = CreateResourceForType(type);
      if (!resource->Load(*file, *chunk) || !resource->Save(*file)) return fail("the chunk's codec does not read it");
    }
  }
  CoreFailure failure;
  if (!file->SaveToPath(argv[2], &failure)) {
    std::cerr << argv[2] << ": couldn't save the file" << (failure.detail.empty() ? "" : ": ") << failure.detail << "\n";
    return 2;
  }
  return 0;
}
