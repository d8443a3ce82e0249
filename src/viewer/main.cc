// hatch-view INPUT [OUTPUT] [-o picture.svg]: draws an exchange file, and the
// commands a run wrote back into it, as an SVG picture.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/failure.h"
#include "viewer/exchange_view.h"
#include "viewer/svg.h"

namespace {

void usage(std::FILE* to) {
  std::fputs(
      "usage: hatch-view INPUT [OUTPUT] [-o picture.svg]\n"
      "  INPUT   the exchange file as it was before the run (a saved copy)\n"
      "  OUTPUT  the same file after the run: its commands are drawn on top\n"
      "  -o      where the picture goes (default: standard output)\n",
      to);
}

}  // namespace

int main(int argc, char** argv) {
  const char* paths[2] = {nullptr, nullptr};
  int path_count = 0;
  const char* svg_path = "-";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      usage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "-o") == 0) {
      if (i + 1 >= argc) {
        usage(stderr);
        return 2;
      }
      svg_path = argv[++i];
    } else if (path_count < 2 && (argv[i][0] != '-' || argv[i][1] == '\0')) {
      paths[path_count++] = argv[i];
    } else {
      usage(stderr);
      return 2;
    }
  }
  if (path_count == 0) {
    usage(stderr);
    return 2;
  }

  using namespace hatch;
  view::Picture picture;
  std::vector<std::string> footer;
  try {
    Settings settings;
    InputState input;
    EntityStore store;
    view::InputExtras extras;
    if (!view::read_input_file(paths[0], settings, input, store, extras)) {
      std::fprintf(stderr, "hatch-view: cannot read %s\n", paths[0]);
      return 1;
    }
    footer.push_back(view::tally_text("input", view::draw_input(store, input, extras, picture)));
    if (paths[1] != nullptr) {
      std::string written;
      if (!view::read_whole_file(paths[1], written)) {
        std::fprintf(stderr, "hatch-view: cannot read %s\n", paths[1]);
        return 1;
      }
      view::OutputReplay replay(input);
      replay.text(written, picture);
      footer.push_back(view::tally_text("output", replay.tally()));
    } else {
      // A lone file that already holds the run's messages shows them all the same.
      picture.captions = extras.messages;
    }
  } catch (const Failure&) {
    std::fprintf(stderr, "hatch-view: out of memory while reading %s\n", paths[0]);
    return 1;
  }
  picture.footer = footer;

  std::string svg = view::render_svg(picture);
  std::FILE* out = std::strcmp(svg_path, "-") == 0 ? stdout : std::fopen(svg_path, "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "hatch-view: cannot write %s\n", svg_path);
    return 1;
  }
  bool ok = std::fwrite(svg.data(), 1, svg.size(), out) == svg.size();
  if (out != stdout) ok = std::fclose(out) == 0 && ok;
  if (!ok) {
    std::fprintf(stderr, "hatch-view: cannot write %s\n", svg_path);
    return 1;
  }
  return 0;
}
