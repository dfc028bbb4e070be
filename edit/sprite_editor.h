#pragma once
// The SPR# and SPR2 editors without a window: the working sprite, the selected frame, the header
// and frame fields with their ranges, Add, Delete, Up and Dn, the view modes and the picture each
// shows, the once-only drawing messages, frame import and export (BMP pairs for SPR#, RGBA
// pictures for SPR2), all with undo back to the sprite the editor opened with.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/resource_spr.h"
#include "codecs/resource_spr2.h"
#include "edit/edit_history.h"
#include "edit/list_edit.h"
#include "edit/number_field.h"
#include "graphics/spr2_pixels.h"
#include "graphics/sprite_bmp.h"

namespace scrivet {

class IffFile;
class Stream;

// What the sprite view shows: 0xFFRRGGBB pixels, top row first.
struct FramePicture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// How showing the selected frame went. A failure is reported once (see TakeMessage).
enum class FrameShow {
  Picture,     // the picture to show
  Nothing,     // no frame selected, or a frame without pixels
  CantDisplay  // the frame cannot be drawn (no palette, a bad stream, too large)
};

// A field the dialog refused: which box and why. ok() when every box was accepted.
struct FieldVerdict {
  int field = -1;
  NumberParse parse;
  bool ok() const { return field < 0; }
};

// The frame list and the bookkeeping both editors share.
template <class Sprite>
class FrameListEditor {
 public:
  explicit FrameListEditor(const Sprite& sprite) : state_{sprite, sprite.frames.empty() ? kNoRow : 0} {}

  const Sprite& Working() const { return state_.sprite; }
  size_t FrameCount() const { return state_.sprite.frames.size(); }
  size_t Selected() const { return state_.selected; }
  bool HasSelection() const { return state_.selected < FrameCount(); }
  // Any index past the end selects nothing.
  void Select(size_t frame) {
    history_.BreakMerge();
    state_.selected = frame < FrameCount() ? frame : kNoRow;
  }

  // A frame with every field 0 and no pixels at the end, selected.
  bool Add() {
    return Change("Add", [](State& s) {
      s.selected = InsertRow(s.sprite.frames, kNoRow, {}).NewCount() - 1;
      return Counted(s);
    });
  }
  // The selected frame; the same index is selected again, or the new last frame.
  bool Delete() {
    return Change("Delete", [](State& s) {
      auto map = RemoveRow(s.sprite.frames, s.selected);
      if (!map) return false;
      s.selected = SelectionAfter(*map, s.selected, AfterRemoval::NextOrLast);
      return Counted(s);
    });
  }
  // The selected frame one place towards the start or the end; it stays selected.
  bool MoveUp() { return Move(true); }
  bool MoveDown() { return Move(false); }

  bool AutoUpdate() const { return autoUpdate_; }
  void SetAutoUpdate(bool on) { autoUpdate_ = on; }

  // The drawing failures are shown once: true when this one is to be shown (and later ones not,
  // until Update allows them again).
  bool TakeMessage() {
    const bool show = messagesAllowed_;
    messagesAllowed_ = false;
    return show;
  }
  void AllowMessages() { messagesAllowed_ = true; }

  bool Undo() { return history_.Undo(state_); }
  bool Redo() { return history_.Redo(state_); }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  bool IsClean() const { return history_.IsClean(); }
  // Typing that follows starts a step of its own.
  void BreakMerge() { history_.BreakMerge(); }

 protected:
  struct State {
    Sprite sprite;
    size_t selected = kNoRow;
  };

  template <class Fn>
  bool Change(const char* label, Fn&& change, std::string mergeKey = {}) {
    return history_.Apply(state_, label, std::forward<Fn>(change), std::move(mergeKey));
  }
  State& Now() { return state_; }

 private:
  static bool Counted(State& s) {
    s.sprite.frameCount = static_cast<uint32_t>(s.sprite.frames.size());
    return true;
  }
  bool Move(bool up) {
    return Change(up ? "Up" : "Dn", [up](State& s) {
      auto map = up ? MoveRowUp(s.sprite.frames, s.selected) : MoveRowDown(s.sprite.frames, s.selected);
      if (!map) return false;
      s.selected = (*map)[s.selected];
      return true;
    });
  }

  State state_;
  EditHistory<State> history_;
  bool autoUpdate_ = true;
  bool messagesAllowed_ = true;
};

// The SPR# editor.
class SprEditor : public FrameListEditor<ResourceSpr> {
 public:
  enum Field { kVersion, kPalette, kX, kY, kFramePalette, kFieldCount };
  // Versions the sprite codec reads back; below 502 a sprite has no palette id.
  static constexpr NumberField kVersionField = NumberField::Range(4, 500, 999);
  static constexpr NumberField kPaletteField = NumberField::Unsigned(4);
  static constexpr NumberField kFrameField = NumberField::Unsigned(2);  // X, Y, Palette:

  enum class View { Pixels, Transparency };

  explicit SprEditor(const ResourceSpr& sprite) : FrameListEditor(sprite) {}

  // The boxes' texts for the working sprite and the selected frame (frame boxes empty without one).
  std::vector<std::string> Fields() const;
  // Checks every box, then applies them all (the frame's only with a frame selected) as one step;
  // a refused box applies nothing. A version below 502 leaves the palette id 0, as the file reads
  // back. Steps with the same merge key in a row become one (typing with Auto update).
  FieldVerdict Apply(const std::vector<std::string>& fields, std::string mergeKey = {});

  View ViewMode() const { return view_; }
  void SetViewMode(View view) { view_ = view; }
  // The selected frame in the view mode: the palette colours on `background` (0x00RRGGBB), or
  // the transparency map white on black. `viewBackground` is what the view fills around it.
  FrameShow Render(IffFile& file, uint32_t background, FramePicture& picture, uint32_t& viewBackground) const;

  // The BMP pair into the selected frame, or a new last frame with none selected (selected then).
  // A PALT holding the bitmap's colours may be added to the file on the way.
  SpriteImport Import(IffFile& file, Stream* pixelFile, Stream* maskFile);
  bool Export(IffFile& file, Stream& pixelFile, Stream& maskFile) const;

 private:
  View view_ = View::Pixels;
};

// The SPR2 editor.
class Spr2Editor : public FrameListEditor<ResourceSpr2> {
 public:
  enum Field { kVersion, kPalette, kFlags, kFramePalette, kTransparentColor, kOriginX, kOriginY, kFieldCount };
  static constexpr NumberField kWordField = NumberField::Unsigned(4);  // Version, Palette, Flags
  static constexpr NumberField kFrameField = NumberField::Unsigned(2);

  enum class View { Pixels, Depth, Alpha };

  explicit Spr2Editor(const ResourceSpr2& sprite) : FrameListEditor(sprite) {}

  std::vector<std::string> Fields() const;
  // As the SPR# editor's. The origins take decimal numbers, truncated toward zero.
  FieldVerdict Apply(const std::vector<std::string>& fields, std::string mergeKey = {});

  View ViewMode() const { return view_; }
  void SetViewMode(View view) { view_ = view; }
  // The colours on the frame's transparent colour, the depth on white or the opacity on black.
  FrameShow Render(IffFile& file, uint32_t background, FramePicture& picture, uint32_t& viewBackground) const;

  // The picture into the selected frame, or a new last frame with none selected (selected then).
  Spr2Exchange Import(IffFile& file, const RgbaPicture& picture);
  Spr2Exchange Export(IffFile& file, RgbaPicture& picture) const;

 private:
  View view_ = View::Pixels;
};

}  // namespace scrivet
