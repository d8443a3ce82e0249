#include "driver/usage.h"

#include <cstring>

#ifndef HATCH_VERSION
#error "the build passes HATCH_VERSION from the file VERSION"
#endif

namespace hatch {

ConsoleRequest console_request(int count, const char* const* words) {
  for (int i = 1; i < count; ++i) {
    if (std::strcmp(words[i], "--help") == 0 || std::strcmp(words[i], "-h") == 0) return ConsoleRequest::help;
    if (std::strcmp(words[i], "--version") == 0) return ConsoleRequest::version;
  }
  return ConsoleRequest::none;
}

std::string usage_text() {
  return "Usage: hatch [option words]\n"
         "Hatches the closed regions of the drawing in plc_temp.txt in this folder and\n"
         "replaces the file by the commands for the host; hatchlog.txt keeps the options.\n"
         "\n"
         "  /s1 /s2 /s3   line hatch with one, two or three lines per row\n"
         "  /s4           brick pattern of tiles /tW,H\n"
         "  /s5 /s6       figure hatch from /fNAME (NAME.plk): tiled, or whole copies;\n"
         "                /gS scales the figure, /rN scatters N copies at random\n"
         "  /s7 /s8       fan pattern of /gN strokes per band; slant pattern\n"
         "  /aA[,A...]    up to four hatch angles in degrees\n"
         "  /pP[,P...]    pitch per angle; /vP[,P...] measured along the y or x axis\n"
         "  /wW           spacing of the lines of a double or triple row\n"
         "  /hLTC[,LTC]   hatch layer, line type, colour     /lLTC  only these as boundary\n"
         "  /kX,Y         offset of the hatch origin hp2 (needs an hp2 point)\n"
         "  /oD           band of width D along an open polyline, on the side of hp1\n"
         "  /jG           region outlines in layer group G   /zN    z1 before each element\n"
         "  /e /e0        break check only (/e0: no bell)    /b     lengths in paper units\n"
         "  /mFILE        read FILE first                    /i     the last run's options\n"
         "  NAME          command file: a leading word and up to 19 options on line 1\n"
         "\n"
         "Defaults: /s1 /a0 /p100, /w50, /t200,100, /r50, /g5 (figure scale 1), /o100.\n"
         "hatch --help or -h prints this, hatch --version the version; no file is touched.\n";
}

std::string version_text() { return std::string("hatch ") + HATCH_VERSION + "\n"; }

}  // namespace hatch
