// Draws the demo object's pictures and adds them to an IFF file made from the text sources: a
// wooden chest with brass bands, closed and open, in the four view directions at the three zooms.
//
// The chest is a signed distance field, ray-marched in the game's 2:1 projection; colours are
// shaded with one light and matched to a palette of our own. Edges are antialiased into partly
// transparent pixels and every pixel carries its depth, so the draw groups stack the chest over
// a soft shadow the way the game stacks sprites.
//
// Usage: draw_demo_object IN.iff OUT.iff

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "codecs/resource_dgrp.h"
#include "codecs/resource_palt.h"
#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "core/iff_file.h"
#include "graphics/spr2_pixels.h"

using namespace scrivet;

namespace {

// Ids the text sources refer to (the OBJD's base graphic, the sprites' palette).
constexpr uint16_t kPaletteId = 128;
constexpr uint16_t kClosedSprite = 256;
constexpr uint16_t kOpenSprite = 257;
constexpr uint16_t kShadowSprite = 258;
constexpr uint16_t kClosedGroup = 128;
constexpr uint16_t kOpenGroup = 129;
constexpr uint16_t kIconSprite = 128;
constexpr uint8_t kTransparentIndex = 255;

// ---------------------------------------------------------------- vectors

struct V3 {
  double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(V3 a) { return std::sqrt(Dot(a, a)); }
V3 Normalize(V3 a) { return a * (1.0 / Length(a)); }
V3 Abs(V3 a) { return {std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)}; }
double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Smooth(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

// Distance to a box of half extents `half` centred at the origin, edges rounded by r.
double Box(V3 p, V3 half, double r) {
  const V3 q = Abs(p) - half + V3{r, r, r};
  const V3 outside{std::max(q.x, 0.0), std::max(q.y, 0.0), std::max(q.z, 0.0)};
  return Length(outside) + std::min(std::max(q.x, std::max(q.y, q.z)), 0.0) - r;
}

// ---------------------------------------------------------------- the chest

// Chest space: x along its length, +y its front (lock), z up from the floor; one tile is 1 x 1.
constexpr double kHalfLength = 0.36;
constexpr double kHalfDepth = 0.23;
constexpr double kFeet = 0.03;
constexpr double kRim = 0.31;        // where body and lid meet
constexpr double kLidHeight = 0.14;  // the lid is half an elliptic cylinder
constexpr double kWall = 0.025;
constexpr double kBand = 0.012;  // how far the brass bands stand out
constexpr double kBandX = 0.21;
constexpr double kOpenAngle = 1.95;  // radians the open lid has turned back on its hinge

enum Material { kNothing, kWood, kInside, kBrass, kIron, kGold, kShadow };

struct Hit {
  double distance;
  Material material;
  V3 at{};           // the point in its part's own space, for the wood's planks
  bool lid = false;  // planks of the lid run round its curve
};

Hit Closer(Hit a, Hit b) { return a.distance <= b.distance ? a : b; }

double BodyOuter(V3 p) {
  return Box(p - V3{0, 0, (kFeet + kRim) / 2}, {kHalfLength, kHalfDepth, (kRim - kFeet) / 2}, 0.01);
}

double LidOuter(V3 p) {
  // Elliptic half cylinder along x over the rim; scaled distance is close enough for marching.
  const double e = std::hypot(p.y / kHalfDepth, (p.z - kRim) / kLidHeight) - 1;
  return std::max({e * kLidHeight, std::fabs(p.x) - kHalfLength, kRim - p.z});
}

// The lid's own space: undoes the turn about the hinge along the back edge of the rim.
V3 IntoLid(V3 p, bool open) {
  if (!open) return p;
  const double c = std::cos(kOpenAngle), s = std::sin(kOpenAngle);
  const double y = p.y + kHalfDepth, z = p.z - kRim;
  return {p.x, c * y + s * z - kHalfDepth, -s * y + c * z + kRim};
}

Hit Chest(V3 p, bool open) {
  // Body: a rounded box on four small feet, hollow when the lid is open.
  double body = BodyOuter(p);
  if (open)
    body = std::max(body, -Box(p - V3{0, 0, kRim}, {kHalfLength - kWall, kHalfDepth - kWall, kRim - 0.08}, 0.005));
  Hit hit{body, kWood, p};
  for (double fx : {-1.0, 1.0})
    for (double fy : {-1.0, 1.0})
      hit = Closer(hit, {Box(p - V3{fx * (kHalfLength - 0.04), fy * (kHalfDepth - 0.04), kFeet / 2},
                             {0.035, 0.035, kFeet / 2}, 0.004),
                         kIron});
  const V3 lid = IntoLid(p, open);
  double lidShell = LidOuter(lid);
  if (open) lidShell = std::max(lidShell, -(lidShell + kWall));
  hit = Closer(hit, {lidShell, kWood, lid, true});

  // Brass bands around body and lid: thin shells over their outsides, stopping at the rim.
  const double bodyOuter = BodyOuter(p), lidOuter = LidOuter(lid);
  for (double bx : {-kBandX, kBandX}) {
    const double slab = std::fabs(p.x - bx) - 0.022;
    hit = Closer(hit, {std::max({slab, bodyOuter - kBand, -(bodyOuter + 0.004), p.z - kRim + 0.002}), kBrass});
    const double lidSlab = std::fabs(lid.x - bx) - 0.022;
    hit = Closer(hit, {std::max({lidSlab, lidOuter - kBand, -(lidOuter + 0.004), kRim + 0.002 - lid.z}), kBrass});
  }
  // Brass corners and the lock plate on the front.
  for (double cx : {-1.0, 1.0})
    hit = Closer(hit, {Box(p - V3{cx * kHalfLength, 0, kRim - 0.05}, {0.02, kHalfDepth + 0.008, 0.05}, 0.006), kBrass});
  hit = Closer(hit, {Box(p - V3{0, kHalfDepth + 0.008, kRim - 0.045}, {0.045, 0.012, 0.055}, 0.006), kIron});
  if (!open) hit = Closer(hit, {Box(lid - V3{0, kHalfDepth * 0.92, kRim + 0.03}, {0.03, 0.02, 0.035}, 0.006), kIron});
  if (open) {
    // Gold coins heaped inside, a dome that fills the chest.
    const V3 q = p - V3{0, 0, kRim - 0.11};
    double heap = std::hypot(q.x / (kHalfLength * 1.1), q.y / (kHalfDepth * 1.1), q.z / 0.15) - 1;
    heap = std::max(heap * 0.13, Box(p - V3{0, 0, kRim}, {kHalfLength - kWall, kHalfDepth - kWall, kRim}, 0));
    heap += 0.0015 * std::sin(p.x * 90 + 2 * std::sin(p.y * 60)) * std::sin(p.y * 95);  // loose coins
    hit = Closer(hit, {heap, kGold, p});
  }
  if (open && hit.material == kWood && !hit.lid && std::fabs(p.x) < kHalfLength - kWall + 0.002 &&
      std::fabs(p.y) < kHalfDepth - kWall + 0.002 && p.z > 0.08)
    hit.material = kInside;
  return hit;
}

V3 ChestNormal(V3 p, bool open) {
  const double e = 0.0008;
  return Normalize({Chest(p + V3{e, 0, 0}, open).distance - Chest(p - V3{e, 0, 0}, open).distance,
                    Chest(p + V3{0, e, 0}, open).distance - Chest(p - V3{0, e, 0}, open).distance,
                    Chest(p + V3{0, 0, e}, open).distance - Chest(p - V3{0, 0, e}, open).distance});
}

// ---------------------------------------------------------------- projection

// The largest zoom: a tile is 128 x 64 pixels, a unit of height 78 pixels (a 30 degree view).
constexpr double kTileX = 64, kTileY = 32, kHeight = 78;
// Towards the viewer, who looks down from +x +y.
const V3 kToViewer = Normalize({kHeight / (2 * kTileX), kHeight / (2 * kTileX), 1});
// Light from the viewer's upper left.
const V3 kLight = Normalize(V3{-0.55, 0.75, 0} * 0.7 + kToViewer * 0.5 + V3{0, 0, 0.9});

// The point at height z that shows at large-zoom pixel (sx, sy) relative to the tile centre.
V3 OnRay(double sx, double sy, double z) {
  const double u = sx / kTileX, w = sy / kTileY + z * kHeight / kTileY;
  return {(u + w) / 2, (w - u) / 2, z};
}

// Rotations of the chest for the four views.
V3 Turn(V3 p, int quarterTurns) {
  for (int i = 0; i < quarterTurns; ++i) p = {p.y, -p.x, p.z};
  return p;
}

// Depth byte: smaller is nearer, the tile centre on the floor is 128.
uint8_t DepthOf(V3 p) { return uint8_t(std::clamp(std::lround(128 - Dot(p, kToViewer) * 150), 0L, 254L)); }

// ---------------------------------------------------------------- shading

struct Rgb {
  double r, g, b;
};

Rgb Albedo(const Hit& hit) {
  const V3 p = hit.at;
  switch (hit.material) {
    case kWood:
    case kInside: {
      // Planks along the length, stacked up the body and round the lid, with grain and a dark
      // joint between planks.
      const bool curve = hit.lid && std::fabs(p.x) < kHalfLength - 0.004;  // not on the lid's flat ends
      const double across = curve ? std::atan2(p.z - kRim, p.y) / 0.45 : (p.z - kFeet) / 0.07;
      const double plank = std::floor(across);
      const double grain = 0.5 + 0.5 * std::sin(p.x * 55 + plank * 2.3 + 4 * std::sin(p.x * 7 + plank));
      const double joint = Smooth(0.8, 0.95, std::fabs(across - plank - 0.5) * 2);
      const double shade = (hit.material == kInside ? 0.45 : 1.0) * (0.82 + 0.18 * grain) * (1 - 0.45 * joint);
      return {0.62 * shade, 0.36 * shade, 0.17 * shade};
    }
    case kBrass:
      return {0.86, 0.66, 0.28};
    case kIron: {
      // The lock's keyhole.
      const bool keyhole = p.y > kHalfDepth && std::fabs(p.x) < 0.008 && std::fabs(p.z - (kRim - 0.05)) < 0.02;
      return keyhole ? Rgb{0.02, 0.02, 0.02} : Rgb{0.30, 0.28, 0.26};
    }
    case kGold: {
      // Coins: discs on a staggered grid, each with a darker rim.
      const double row = std::floor(p.y / 0.026);
      const double cx = std::fmod(p.x / 0.026 + (std::fmod(row, 2.0) == 0 ? 0.5 : 0) + 100, 1.0) - 0.5;
      const double cy = std::fmod(p.y / 0.026 + 100, 1.0) - 0.5;
      const double rim = Smooth(0.3, 0.45, std::hypot(cx, cy));
      return {0.98 - 0.35 * rim, 0.80 - 0.35 * rim, 0.25 - 0.15 * rim};
    }
    default:
      return {0, 0, 0};
  }
}

Rgb Shade(const Hit& hit, V3 p, V3 n) {
  const Material material = hit.material;
  const Rgb albedo = Albedo(hit);
  const double diffuse = std::max(0.0, Dot(n, kLight));
  const double nearFloor = 0.75 + 0.25 * Clamp01(p.z / 0.12);
  double light = (0.38 + 0.72 * diffuse) * nearFloor;
  double specular = 0;
  if (material == kBrass || material == kGold || material == kIron) {
    const V3 half = Normalize(kLight + kToViewer);
    specular = std::pow(std::max(0.0, Dot(n, half)), material == kIron ? 12 : 24) * (material == kIron ? 0.25 : 0.55);
  }
  return {albedo.r * light + specular, albedo.g * light + specular, albedo.b * light + specular * 0.8};
}

// ---------------------------------------------------------------- pictures

struct Picture {
  int left = 0, top = 0;  // of the picture relative to the tile centre, in pixels
  RgbaPicture rgba;
};

// One sample: what the ray through large-zoom pixel (sx, sy) meets.
struct Sample {
  bool hit = false;
  Rgb colour{};
  uint8_t depth = 255;
};

Sample TraceChest(double sx, double sy, int turns, bool open) {
  // March only where the ray crosses the chest's box (the same whichever way it is turned).
  const double side = open ? 0.48 : 0.40, top = open ? 0.80 : 0.50;
  const V3 high = OnRay(sx, sy, top), low = OnRay(sx, sy, 0);
  double from = 0, to = 1;  // along high -> low
  for (double V3::*axis : {&V3::x, &V3::y}) {
    const double a = high.*axis, b = low.*axis;
    if (std::fabs(b - a) < 1e-12) {
      if (std::fabs(a) > side) return {};
      continue;
    }
    double t0 = (-side - a) / (b - a), t1 = (side - a) / (b - a);
    if (t0 > t1) std::swap(t0, t1);
    from = std::max(from, t0), to = std::min(to, t1);
  }
  if (from >= to) return {};
  const V3 start = high + (low - high) * from;
  const V3 step = Normalize(low - high);
  const double length = Length(low - high) * (to - from);
  double t = 0;
  for (int i = 0; i < 200 && t < length; ++i) {
    const V3 p = start + step * t;
    const Hit hit = Chest(Turn(p, turns), open);
    if (hit.distance < 0.0004) {
      const V3 local = Turn(p, turns);
      V3 n = ChestNormal(local, open);
      for (int k = 0; k < (4 - turns) % 4; ++k) n = Turn(n, 1);  // back into the world's frame
      return {true, Shade(hit, local, n), DepthOf(p)};
    }
    t += std::max(hit.distance * 0.8, 0.0002);
  }
  return {};
}

// Renders at a zoom (1 small, 2 medium, 3 large), cropped to the drawn pixels.
template <class Trace>
Picture Render(int zoom, Trace trace) {
  const double scale = zoom == 3 ? 1.0 : zoom == 2 ? 0.5 : 0.25;
  const int left = int(std::floor(-84 * scale)), right = int(std::ceil(84 * scale));
  const int top = int(std::floor(-120 * scale)), bottom = int(std::ceil(48 * scale));
  const int w = right - left, h = bottom - top;
  constexpr int kSamples = 4;  // per side of a pixel
  std::vector<double> r(size_t(w * h)), g(r.size()), b(r.size()), cover(r.size());
  std::vector<uint8_t> depth(r.size(), 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = size_t(y * w + x);
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = (left + x + (sx + 0.5) / kSamples) / scale;
          const double py = (top + y + (sy + 0.5) / kSamples) / scale;
          const auto s = trace(px, py);
          if (s.alpha <= 0) continue;
          r[i] += s.colour.r * s.alpha;
          g[i] += s.colour.g * s.alpha;
          b[i] += s.colour.b * s.alpha;
          cover[i] += s.alpha;
          depth[i] = std::min(depth[i], s.depth);
        }
      cover[i] /= kSamples * kSamples;
    }
  int minX = w, minY = h, maxX = -1, maxY = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (cover[size_t(y * w + x)] * 255 >= 5) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  Picture out;
  if (maxX < 0) return out;
  out.left = left + minX;
  out.top = top + minY;
  RgbaPicture& pic = out.rgba;
  pic.width = maxX - minX + 1;
  pic.height = maxY - minY + 1;
  pic.rgba.assign(size_t(pic.width * pic.height) * 4, 0);
  pic.depth.assign(size_t(pic.width * pic.height), 255);
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) {
      const size_t from = size_t((y + minY) * w + x + minX), to = size_t(y * pic.width + x);
      const double c = cover[from];
      if (c * 255 < 5) continue;
      const double weight = c * kSamples * kSamples;
      auto channel = [&](double v) { return uint8_t(std::lround(Clamp01(v / weight) * 255)); };
      pic.rgba[to * 4 + 0] = channel(r[from]);
      pic.rgba[to * 4 + 1] = channel(g[from]);
      pic.rgba[to * 4 + 2] = channel(b[from]);
      pic.rgba[to * 4 + 3] = uint8_t(std::lround(Clamp01(c) * 255));
      pic.depth[to] = depth[from];
    }
  return out;
}

struct Coverage {
  double alpha = 0;
  Rgb colour{};
  uint8_t depth = 255;
};

Picture RenderChest(int zoom, int turns, bool open) {
  return Render(zoom, [&](double x, double y) {
    const Sample s = TraceChest(x, y, turns, open);
    return s.hit ? Coverage{1, s.colour, s.depth} : Coverage{};
  });
}

// A soft shadow on the floor, cast away from the light: dark, and partly transparent throughout.
Picture RenderShadow(int zoom, int turns) {
  const V3 away = Normalize({-kLight.x, -kLight.y, 0}) * 0.07;
  return Render(zoom, [&](double x, double y) {
    const V3 floor = OnRay(x, y, 0);
    const V3 local = Turn(floor - away, turns);
    const double d = Box({local.x, local.y, 0}, {kHalfLength, kHalfDepth, 1}, 0.05);
    const double alpha = 0.55 * Smooth(0.12, -0.03, d);
    return alpha < 0.03 ? Coverage{} : Coverage{alpha, {0.10, 0.07, 0.05}, uint8_t(std::min(254, DepthOf(floor) + 2))};
  });
}

// ---------------------------------------------------------------- palette

// Ramps for wood, brass and gold, iron and shadow greys; 255 is the transparent colour.
std::array<uint8_t, 768> MakePalette() {
  std::array<uint8_t, 768> colours{};
  auto set = [&](int index, double r, double g, double b) {
    colours[size_t(index) * 3 + 0] = uint8_t(std::lround(Clamp01(r) * 255));
    colours[size_t(index) * 3 + 1] = uint8_t(std::lround(Clamp01(g) * 255));
    colours[size_t(index) * 3 + 2] = uint8_t(std::lround(Clamp01(b) * 255));
  };
  auto ramp = [&](int first, int count, Rgb dark, Rgb light) {
    for (int i = 0; i < count; ++i) {
      const double t = double(i) / (count - 1);
      set(first + i, dark.r + (light.r - dark.r) * t, dark.g + (light.g - dark.g) * t, dark.b + (light.b - dark.b) * t);
    }
  };
  ramp(0, 64, {0.02, 0.01, 0.0}, {0.80, 0.48, 0.24});    // wood
  ramp(64, 32, {0.10, 0.04, 0.02}, {0.62, 0.30, 0.12});  // reddish wood
  ramp(96, 64, {0.18, 0.12, 0.03}, {1.0, 0.90, 0.55});   // brass and gold
  ramp(160, 16, {0.95, 0.85, 0.50}, {1.0, 1.0, 0.85});   // highlights
  ramp(176, 48, {0.0, 0.0, 0.0}, {0.55, 0.52, 0.50});    // iron and shadow
  ramp(224, 31, {0.56, 0.56, 0.56}, {1.0, 1.0, 1.0});    // greys
  set(kTransparentIndex, 0.38, 0.50, 0.63);  // a calm background for the sprite editor
  return colours;
}

// The palette entry nearest to a colour, leaving out the transparent colour.
uint8_t NearestIndex(const std::array<uint8_t, 768>& palette, const uint8_t* rgb) {
  int best = 0, bestDistance = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    if (i == kTransparentIndex) continue;
    const int dr = rgb[0] - palette[size_t(i) * 3], dg = rgb[1] - palette[size_t(i) * 3 + 1],
              db = rgb[2] - palette[size_t(i) * 3 + 2];
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  return uint8_t(best);
}

// ---------------------------------------------------------------- resources

struct Frame {
  Spr2Frame frame;
  int left, top;
};

bool MakeSpr2Frame(const Picture& picture, const std::array<uint8_t, 768>& palette, Frame& out) {
  Spr2Pixels pixels;
  PictureToSpr2Pixels(picture.rgba, palette.data(), {}, pixels);
  // The transparent colour is for the background only.
  for (size_t i = 0; i < pixels.Count(); ++i)
    if (pixels.Drawn(i) && pixels.index[i] == kTransparentIndex)
      pixels.index[i] = NearestIndex(palette, &picture.rgba.rgba[i * 4]);
  if (!EncodeSpr2Stream(pixels, out.frame.pixelStream)) return false;
  out.frame.width = uint16_t(pixels.width);
  out.frame.height = uint16_t(pixels.height);
  out.frame.flags = pixels.ContentFlags();
  out.frame.palette = kPaletteId;
  out.frame.transparentColor = kTransparentIndex;
  out.frame.originX = uint16_t(-picture.left);
  out.frame.originY = uint16_t(-picture.top);
  out.left = picture.left;
  out.top = picture.top;
  return true;
}

constexpr uint32_t kDirections[4] = {1, 4, 16, 64};

template <class R>
bool Store(IffFile& file, R& resource, TypeCode type, uint16_t id, const char* name) {
  if (resource.SaveAs(file, type, id, name, IffChunk::kDefaultFlags)) return true;
  std::fprintf(stderr, "draw_demo_object: couldn't store %s\n", name);
  return false;
}

// The catalogue icons: the chest closed and open, drawn small into SPR# frames (no partial pixels).
bool AddIcons(IffFile& file, const std::array<uint8_t, 768>& palette) {
  ResourceSpr icons;
  icons.paletteId = kPaletteId;
  for (bool open : {false, true}) {
    const Picture picture = RenderChest(2, 0, open);
    const RgbaPicture& rgba = picture.rgba;
    IndexedImage image;
    if (!image.Allocate(rgba.width, rgba.height)) return false;
    for (int y = 0; y < rgba.height; ++y)
      for (int x = 0; x < rgba.width; ++x) {
        const uint8_t* c = &rgba.rgba[size_t(y * rgba.width + x) * 4];
        if (c[3] < 128) continue;
        image.PixelRow(y)[x] = NearestIndex(palette, c);
        image.SetMaskBit(x, y);
      }
    SprFrame frame;
    frame.width = uint16_t(rgba.width);
    frame.height = uint16_t(rgba.height);
    frame.palette = kPaletteId;
    if (!SprFrameEncoder().Encode(image, frame.pixelStream)) return false;
    icons.frames.push_back(std::move(frame));
  }
  return Store(file, icons, ResourceSpr::kType, kIconSprite, "Catalogue icons");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: draw_demo_object IN.iff OUT.iff\n");
    return 2;
  }
  CoreFailure failure;
  std::unique_ptr<IffFile> file = IffFile::OpenPath(argv[1], &failure);
  if (!file || failure.error != CoreError::None || !file->LoadAll()) {
    std::fprintf(stderr, "%s: cannot read\n", argv[1]);
    return 2;
  }

  const std::array<uint8_t, 768> colours = MakePalette();
  ResourcePalt palette;
  std::copy(colours.begin(), colours.end(), palette.colors.begin());
  if (!Store(*file, palette, ResourcePalt::kType, kPaletteId, "Chest colours")) return 2;

  ResourceSpr2 closed, open, shadow;
  for (ResourceSpr2* sprite : {&closed, &open, &shadow}) sprite->paletteId = kPaletteId;
  ResourceDgrp closedGroup, openGroup;  // twelve images: zooms 1-3, each in the four directions
  for (size_t image = 0; image < closedGroup.images.size(); ++image) {
    const int zoom = int(closedGroup.images[image].zoom);
    const int turns =
        int(std::find(std::begin(kDirections), std::end(kDirections), closedGroup.images[image].directionFlags) -
            std::begin(kDirections)) %
        4;
    Frame shadowFrame, closedFrame, openFrame;
    if (!MakeSpr2Frame(RenderShadow(zoom, turns), colours, shadowFrame) ||
        !MakeSpr2Frame(RenderChest(zoom, turns, false), colours, closedFrame) ||
        !MakeSpr2Frame(RenderChest(zoom, turns, true), colours, openFrame)) {
      std::fprintf(stderr, "draw_demo_object: a frame could not be encoded\n");
      return 2;
    }
    const uint32_t index = uint32_t(closed.frames.size());
    auto place = [index](uint16_t sprite, const Frame& f) {
      DgrpSprite s;
      s.spriteId = sprite;
      s.spriteIndex = index;
      s.pixelX = f.left;
      s.pixelY = f.top + f.frame.height;
      return s;
    };
    closedGroup.images[image].sprites = {place(kShadowSprite, shadowFrame), place(kClosedSprite, closedFrame)};
    openGroup.images[image].sprites = {place(kShadowSprite, shadowFrame), place(kOpenSprite, openFrame)};
    shadow.frames.push_back(std::move(shadowFrame.frame));
    closed.frames.push_back(std::move(closedFrame.frame));
    open.frames.push_back(std::move(openFrame.frame));
  }
  if (!Store(*file, closed, ResourceSpr2::kType, kClosedSprite, "Chest, closed") ||
      !Store(*file, open, ResourceSpr2::kType, kOpenSprite, "Chest, open") ||
      !Store(*file, shadow, ResourceSpr2::kType, kShadowSprite, "Shadow") ||
      !Store(*file, closedGroup, ResourceDgrp::kType, kClosedGroup, "Chest, closed") ||
      !Store(*file, openGroup, ResourceDgrp::kType, kOpenGroup, "Chest, open") || !AddIcons(*file, colours))
    return 2;

  if (!file->SaveToPath(argv[2], &failure)) {
    std::fprintf(stderr, "%s: couldn't save the file\n", argv[2]);
    return 2;
  }
  return 0;
}
