#include "codecs/type_reports.h"

#include <cstdio>

#include "codecs/resource_bcon.h"
#include "codecs/resource_bhav.h"
#include "codecs/resource_carr.h"
#include "codecs/resource_dgrp.h"
#include "codecs/resource_fwav.h"
#include "codecs/resource_glob.h"
#include "codecs/resource_objd.h"
#include "codecs/resource_objf.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "codecs/resource_str.h"
#include "codecs/resource_trcn.h"
#include "codecs/resource_ttab.h"

namespace scrivet {

namespace {

using N = ModelNode;

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

void DescribeStr(const ResourceStr& r, N& out) {
  out.Add("basicMode", N::Bool(r.basicMode));
  out.Add("useLanguages", N::Bool(r.useLanguages));
  out.Add("useDescriptions", N::Bool(r.useDescriptions));
  N& items = out.Add("items", N::Array());
  for (const StringItem& item : r.items) {
    N& slots = items.Push(N::Array());
    for (const StringSlot& slot : item.slots) {
      N& s = slots.Push(N::Object());
      s.Add("value", N::Text(slot.value.str()));
      s.Add("description", N::Text(slot.description.str()));
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

void DescribeFwav(const ResourceFwav& r, N& out) { out.Add("soundName", N::Text(r.soundName)); }

void DescribeGlob(const ResourceGlob& r, N& out) { out.Add("fileName", N::Text(r.fileName)); }

void DescribeTrcn(const ResourceTrcn& r, N& out) {
  out.Add("version", N::Number(r.version));
  N& list = out.Add("entries", N::Array());
  for (const ConstantLabel& entry : r.entries) {
    N& e = list.Push(N::Object());
    e.Add("used", N::Number(entry.used));
    e.Add("id", N::Number(entry.id));
    e.Add("label", N::Text(entry.label));
    e.Add("comment", N::Text(entry.comment));
    e.Add("rangeEnabled", N::Number(entry.rangeEnabled));
    e.Add("low", N::Number(entry.low));
    e.Add("high", N::Number(entry.high));
  }
}

void DescribePalt(const ResourcePalt& r, N& out) {
  out.Add("version", N::Number(r.version));
  out.Add("colorCount", N::Number(r.colorCount));
  out.Add("reserved1", N::Number(r.reserved1));
  out.Add("reserved2", N::Number(r.reserved2));
  N& colors = out.Add("colors", N::Array());
  for (size_t i = 0; i < r.colors.size(); i += 3) {
    N& rgb = colors.Push(N::Array());
    for (size_t c = 0; c < 3; ++c) rgb.Push(N::Number(r.colors[i + c]));
  }
}

void DescribeSpr(const ResourceSpr& r, N& out) {
  out.Add("version", N::Number(r.version));
  out.Add("frameCount", N::Number(r.frameCount));
  out.Add("paletteId", N::Number(r.paletteId));
  N& frames = out.Add("frames", N::Array());
  for (const SprFrame& f : r.frames) {
    N& frame = frames.Push(N::Object());
    frame.Add("y", N::Number(f.y));
    frame.Add("x", N::Number(f.x));
    frame.Add("height", N::Number(f.height));
    frame.Add("width", N::Number(f.width));
    frame.Add("palette", N::Number(f.palette));
    frame.Add("pixelStreamLength", N::Number(int64_t(f.pixelStream.size())));
  }
}

void DescribeSpr2(const ResourceSpr2& r, N& out) {
  out.Add("version", N::Number(r.version));
  out.Add("frameCount", N::Number(r.frameCount));
  out.Add("paletteId", N::Number(r.paletteId));
  N& frames = out.Add("frames", N::Array());
  for (const Spr2Frame& f : r.frames) {
    N& frame = frames.Push(N::Object());
    frame.Add("width", N::Number(f.width));
    frame.Add("height", N::Number(f.height));
    frame.Add("flags", N::Number(f.flags));
    frame.Add("palette", N::Number(f.palette));
    frame.Add("transparentColor", N::Number(f.transparentColor));
    frame.Add("originY", N::Number(f.originY));
    frame.Add("originX", N::Number(f.originX));
    frame.Add("pixelStreamLength", N::Number(int64_t(f.pixelStream.size())));
  }
}

void DescribeDgrp(const ResourceDgrp& r, N& out) {
  out.Add("version", N::Number(r.version));
  N& images = out.Add("images", N::Array());
  for (const DgrpImage& image : r.images) {
    N& i = images.Push(N::Object());
    i.Add("directionFlags", N::Number(image.directionFlags));
    i.Add("zoom", N::Number(image.zoom));
    N& sprites = i.Add("sprites", N::Array());
    for (const DgrpSprite& sprite : image.sprites) {
      N& s = sprites.Push(N::Object());
      s.Add("spriteId", N::Number(sprite.spriteId));
      s.Add("spriteIndex", N::Number(sprite.spriteIndex));
      s.Add("pixelX", N::Number(sprite.pixelX));
      s.Add("pixelY", N::Number(sprite.pixelY));
      s.Add("zOffset", N::Real(sprite.zOffset));
      s.Add("xOffset", N::Real(sprite.xOffset));
      s.Add("yOffset", N::Real(sprite.yOffset));
      s.Add("flags", N::Number(sprite.flags));
    }
  }
}

void StrText(const ResourceStr& r, std::string& out) {
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
      out += "[" + std::to_string(i) + "] " + kLanguageNames[l] + ": \"";
      out += slot.value.view();
      out += '"';
      if (r.useDescriptions) {
        out += " (\"";
        out += slot.description.view();
        out += "\")";
      }
      out += '\n';
    }
  }
}

void BhavText(const ResourceBhav& r, std::string& out) {
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

void ObjdText(const ResourceObjd& r, std::string& out) {
  for (const ObjdField& f : ObjdFieldCatalogue()) {
    if (f.IsHeading()) out += std::string(f.label) + "\n";
    else out += std::string("  ") + f.label + ": " + r.FormatField(f) + "\n";
  }
}

}  // namespace scrivet
