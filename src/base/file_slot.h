// The one open-file slot of a run: every file passes through it in turn, and
// the failure exit writes into whatever it holds.
#pragma once

#include <cstdio>

namespace hatch {

inline constexpr const char* kExchangeFile = "plc_temp.txt";
inline constexpr const char* kSettingsLog = "hatchlog.txt";

struct FileSlot {
  std::FILE* stream = nullptr;
  bool for_reading = false;

  bool open_for_reading(const char* path) {
    close();
    stream = std::fopen(path, "r");
    for_reading = true;
    return stream != nullptr;
  }
  bool open_for_writing(const char* path) {
    close();
    stream = std::fopen(path, "w");
    for_reading = false;
    return stream != nullptr;
  }
  void close() {
    if (stream != nullptr) std::fclose(stream);
    stream = nullptr;
    for_reading = false;
  }
};

}  // namespace hatch
