// Files for the tests: a scratch directory of one's own, streams over a text,
// and what a stream received, all through real files so that they behave the
// same on every platform (text mode included).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace hatch::test {

// A new empty directory under the system's temporary directory, removed again
// at the end; with `enter`, the current directory while it lives.
class ScratchDir {
 public:
  explicit ScratchDir(bool enter = false);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return dir_; }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path old_;
  bool entered_ = false;
};

// The bytes of a file; empty when it cannot be read.
std::string slurp(const std::filesystem::path& file);
// The same read in text mode, as the program reads: line ends as LF on every platform.
std::string slurp_text(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, const std::string& bytes);

// A stream that reads `bytes` in text mode, as the program reads its files.
class TextStream {
 public:
  explicit TextStream(const std::string& bytes);
  ~TextStream();
  TextStream(const TextStream&) = delete;
  TextStream& operator=(const TextStream&) = delete;
  std::FILE* get() const { return stream_; }

 private:
  ScratchDir dir_;
  std::FILE* stream_ = nullptr;
};

// A stream open for writing in text mode, as the program writes its files, and
// what was written to it so far, read back in text mode.
class OutputStream {
 public:
  OutputStream();
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;
  std::FILE* get() const { return stream_; }
  std::string text();

 private:
  ScratchDir dir_;
  std::FILE* stream_ = nullptr;
};

}  // namespace hatch::test
