// Records are carved from chunks and handed back to a free list; nothing is
// returned to the heap before the run ends.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "base/failure.h"
#include "base/messages.h"

namespace hatch {

template <class T>
class Pool {
 public:
  explicit Pool(const char* tag) : tag_(tag) {}
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;

  // A value-initialised record. An exhausted heap (or the test limit) ends the
  // run with the out-of-memory message and this pool's tag.
  T* make() {
    if (limit_ != 0 && live_ >= limit_) fail(out_of_memory_message(tag_));
    T* p;
    if (!free_.empty()) {
      p = free_.back();
      free_.pop_back();
    } else {
      if (used_ == kChunk) grow();
      p = &chunks_.back()[used_++];
    }
    *p = T{};
    ++live_;
    return p;
  }

  void release(T* p) {
    if (p == nullptr) return;
    try {
      free_.push_back(p);
    } catch (const std::bad_alloc&) {
      // Losing a record for reuse is harmless.
    }
    --live_;
  }

  std::size_t live() const { return live_; }
  // For tests: behave as if the heap held only `n` records (0 = no limit).
  void set_limit(std::size_t n) { limit_ = n; }

 private:
  static constexpr std::size_t kChunk = 1024;

  void grow() {
    try {
      chunks_.emplace_back(new T[kChunk]);
    } catch (const std::bad_alloc&) {
      fail(out_of_memory_message(tag_));
    }
    used_ = 0;
  }

  const char* tag_;
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t used_ = kChunk;
  std::vector<T*> free_;
  std::size_t live_ = 0;
  std::size_t limit_ = 0;
};

}  // namespace hatch
