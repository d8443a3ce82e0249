#include "support/scratch.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace hatch::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(bool enter) {
  static std::atomic<unsigned> serial{0};
  const std::string name = "hatch_test_" + std::to_string(std::random_device{}()) + "_" + std::to_string(serial++);
  dir_ = fs::temp_directory_path() / name;
  fs::create_directories(dir_);
  if (enter) {
    old_ = fs::current_path();
    fs::current_path(dir_);
    entered_ = true;
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (entered_) fs::current_path(old_, ec);
  fs::remove_all(dir_, ec);
}

std::string slurp(const fs::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string slurp_text(const fs::path& file) {
  std::ifstream f(file);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void write_file(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

TextStream::TextStream(const std::string& bytes) {
  const fs::path file = dir_ / "input.txt";
  write_file(file, bytes);
  stream_ = std::fopen(file.string().c_str(), "r");
}

TextStream::~TextStream() {
  if (stream_ != nullptr) std::fclose(stream_);
}

OutputStream::OutputStream() { stream_ = std::fopen((dir_ / "output.txt").string().c_str(), "w+"); }

OutputStream::~OutputStream() {
  if (stream_ != nullptr) std::fclose(stream_);
}

std::string OutputStream::text() {
  std::fflush(stream_);
  std::fseek(stream_, 0, SEEK_SET);
  std::string s;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, stream_)) > 0) s.append(buf, n);
  std::fseek(stream_, 0, SEEK_END);
  return s;
}

}  // namespace hatch::test
