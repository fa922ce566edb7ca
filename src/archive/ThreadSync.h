// A lock and a condition for the threads of the archive job. On Windows they
// are the system's slim reader/writer lock and condition variable: under
// Wine these wait on the kernel's futexes, where the C++ library's mutex and
// condition variable of this tool chain (built on events and semaphores)
// cost a round trip to the Wine server for every wait and wake, and the job
// waits and wakes a few times for every file. Elsewhere they are the C++
// library's own. Both start unlocked and need no clean-up.
#pragma once

#if !defined(_WIN32)
#include <condition_variable>
#include <mutex>
#endif

namespace archive {

class TLock {
 public:
  TLock() = default;
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
  void lock() noexcept;
  void unlock() noexcept;

 private:
  friend class TCondition;
#if defined(_WIN32)
  void* lock_ = nullptr;  // an SRWLOCK, whose initial state is all zero
#else
  std::mutex lock_;
#endif
};

class TCondition {
 public:
  TCondition() = default;
  TCondition(const TCondition&) = delete;
  TCondition& operator=(const TCondition&) = delete;
  // Releases the lock (held by the caller), waits for a wake (or wakes
  // spuriously) and takes the lock again.
  void wait(TLock& lock) noexcept;
  void wake_all() noexcept;

  template <typename Predicate>
  void wait_until(TLock& lock, Predicate ready) noexcept {
    while (!ready()) wait(lock);
  }

 private:
#if defined(_WIN32)
  void* condition_ = nullptr;  // a CONDITION_VARIABLE, whose initial state is all zero
#else
  std::condition_variable_any condition_;
#endif
};

}  // namespace archive
