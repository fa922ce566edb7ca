#include "archive/ThreadSync.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace archive {

#if defined(_WIN32)

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

void TLock::lock() noexcept {
  AcquireSRWLockExclusive(reinterpret_cast<SRWLOCK*>(&lock_));
}
void TLock::unlock() noexcept {
  ReleaseSRWLockExclusive(reinterpret_cast<SRWLOCK*>(&lock_));
}
void TCondition::wait(TLock& lock) noexcept {
  SleepConditionVariableSRW(reinterpret_cast<CONDITION_VARIABLE*>(&condition_),
                            reinterpret_cast<SRWLOCK*>(&lock.lock_), INFINITE, 0);
}
void TCondition::wake_all() noexcept {
  WakeAllConditionVariable(reinterpret_cast<CONDITION_VARIABLE*>(&condition_));
}

#else

void TLock::lock() noexcept {
  lock_.lock();
}
void TLock::unlock() noexcept {
  lock_.unlock();
}
void TCondition::wait(TLock& lock) noexcept {
  condition_.wait(lock.lock_);
}
void TCondition::wake_all() noexcept {
  condition_.notify_all();
}

#endif

}  // namespace archive
