// The two sides of a run as shapes: the exchange file as the program reads it,
// and the host commands the program wrote back into it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "input/entity_store.h"
#include "input/input_state.h"
#include "viewer/svg.h"

namespace hatch::view {

// Stroke of the host colour number `colour` (any int; the palette repeats).
std::string palette_colour(int colour);

// Shift-JIS (code page 932) bytes as UTF-8; bytes that do not convert are shown as \xHH.
std::string sjis_to_utf8(std::string_view bytes);

// The points of an arc from its start to its end angle, in chords of at most 3 degrees.
std::vector<XY> sample_arc(const Arc& arc);

struct Tally {
  int segments = 0, arcs = 0, circles = 0, points = 0, text_edges = 0, picks = 0, messages = 0,
      attributes = 0;
};

// What the reader does not keep: the message lines and the texts.
struct InputExtras {
  std::vector<std::string> messages;  // UTF-8, from "h#" and "hq" lines
  // UTF-8, of the text lines that may have made a box, in file order; they label the
  // boxes only when there are as many boxes (a text type without boxes breaks the pairing).
  std::vector<std::string> texts;
};

// Reads the exchange file with the program's own reader; false when it cannot be opened.
bool read_input_file(const char* path, Settings& settings, InputState& input, EntityStore& store,
                     InputExtras& extras);
// The same for an open stream; rewinds it between its passes.
void read_input_stream(std::FILE* in, Settings& settings, InputState& input, EntityStore& store,
                       InputExtras& extras);

Tally draw_input(const EntityStore& store, const InputState& input, const InputExtras& extras,
                 Picture& picture);

// The host's state while the written commands are replayed: the colour in force
// strokes what follows, the layer group converts coordinates to the input's units.
class OutputReplay {
 public:
  explicit OutputReplay(const InputState& input);
  void line(std::string_view text, Picture& picture);
  // Every line of the text (line feeds separate them).
  void text(std::string_view all, Picture& picture);
  const Tally& tally() const { return tally_; }
  int colour() const { return host_.current_color; }

 private:
  double factor() const { return host_.group_factor(); }

  InputState host_;    // current_* hold what the host has in force
  Settings arc_rule_;  // the reader's arc rule, but only equal angles make a full curve
  EntityStore scratch_;
  Tally tally_;
};

// Reads the whole file; false when it cannot be opened.
bool read_whole_file(const char* path, std::string& out);

std::string tally_text(const char* side, const Tally& t);

}  // namespace hatch::view
