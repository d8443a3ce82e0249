// Records are carved from chunks and handed back to a free list; nothing is
// returned to the heap before the run ends.
//
// With HATCH_POOL_HEAP_RECORDS defined (the sanitizer and fuzz builds) every
// record is a heap block of its own and release() frees it, so that a record
// used after its release is a use-after-free the address sanitizer can see.
// The macro must be the same in every translation unit of a program.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>
#ifdef HATCH_POOL_HEAP_RECORDS
#include <unordered_set>
#endif

#include "base/failure.h"
#include "base/messages.h"

namespace hatch {

template <class T>
class Pool {
 public:
  explicit Pool(const char* tag) : tag_(tag) {}
  Pool(const Pool&) = delete;
  Pool& operator=(const Pool&) = delete;
#ifdef HATCH_POOL_HEAP_RECORDS
  ~Pool() {
    for (T* p : records_) delete p;
  }
#endif

  // A value-initialised record. An exhausted heap (or the test limit) ends the
  // run with the out-of-memory message and this pool's tag.
  T* make() {
    if (limit_ != 0 && live_ >= limit_) fail(out_of_memory_message(tag_));
#ifdef HATCH_POOL_HEAP_RECORDS
    T* p = nullptr;
    try {
      p = new T{};
      records_.insert(p);
    } catch (const std::bad_alloc&) {
      delete p;
      fail(out_of_memory_message(tag_));
    }
#else
    T* p;
    if (!free_.empty()) {
      p = free_.back();
      free_.pop_back();
    } else {
      if (used_ == kChunk) grow();
      p = &chunks_.back()[used_++];
    }
    *p = T{};
#endif
    ++live_;
    return p;
  }

  void release(T* p) {
    if (p == nullptr) return;
#ifdef HATCH_POOL_HEAP_RECORDS
    // Released twice, a record reaches delete twice: the sanitizer reports it.
    records_.erase(p);
    delete p;
#else
    try {
      free_.push_back(p);
    } catch (const std::bad_alloc&) {
      // Losing a record for reuse is harmless.
    }
#endif
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
#ifdef HATCH_POOL_HEAP_RECORDS
  std::unordered_set<T*> records_;  // the records not yet released
#endif
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t used_ = kChunk;
  std::vector<T*> free_;
  std::size_t live_ = 0;
  std::size_t limit_ = 0;
};

}  // namespace hatch
