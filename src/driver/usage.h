// What a person at a console asks for: words that no host sends, so they are
// never option words or command-file names.
#pragma once

#include <string>

namespace hatch {

enum class ConsoleRequest { none, help, version };

// The first of words 1 .. count-1 that is exactly --help, -h or --version.
ConsoleRequest console_request(int count, const char* const* words);

// UTF-8 texts for standard output.
std::string usage_text();
std::string version_text();

}  // namespace hatch
