// The stack walk, on stacks of this test program: through frames that have
// unwind data it must give each caller's return address in order; where the
// unwind data gives out, scanning must still find the return addresses that
// lie on the stack.
#include "crash/StackWalk.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace crash {
namespace {

struct TCapture {
  CONTEXT context;
  std::uint64_t returnIntoMiddle = 0;  // where Inner returns to
  std::uint64_t returnIntoOuter = 0;   // where Middle returns to
  // The walk, made while the frames are still on the stack (as a crashed
  // thread's are while it waits in the reporter).
  std::uint32_t room = 16;
  std::uint64_t frames[16] = {};
  TStackWalk walk;
};

// Kept from being inlined or turned into jumps: each must have a frame of
// its own on the stack, as the code of a crash has.
volatile int g_sideEffect = 0;

[[gnu::noinline]] void Inner(TCapture& capture) {
  capture.returnIntoMiddle = reinterpret_cast<std::uint64_t>(__builtin_return_address(0));
  RtlCaptureContext(&capture.context);
  capture.walk = WalkStack(capture.context, capture.frames, capture.room);
  g_sideEffect = g_sideEffect + 1;
}

[[gnu::noinline]] void Middle(TCapture& capture) {
  capture.returnIntoOuter = reinterpret_cast<std::uint64_t>(__builtin_return_address(0));
  Inner(capture);
  g_sideEffect = g_sideEffect + 1;
}

[[gnu::noinline]] void Outer(TCapture& capture) {
  Middle(capture);
  g_sideEffect = g_sideEffect + 1;
}

TEST(WalkStack, GivesEachCallersReturnAddressInOrder) {
  TCapture capture{};
  Outer(capture);
  const TStackWalk walk = capture.walk;
  const std::uint64_t* frames = capture.frames;
  ASSERT_GE(walk.count, 3u);
  EXPECT_EQ(frames[0], capture.context.Rip);
  EXPECT_EQ(frames[1], capture.returnIntoMiddle);
  EXPECT_EQ(frames[2], capture.returnIntoOuter);
  // Unwinding went on past the test down to the thread's start.
  EXPECT_GT(walk.count, 5u);
  EXPECT_GE(walk.firstScanned, 3u);
}

TEST(WalkStack, StopsAtTheRoomItIsGiven) {
  TCapture capture{};
  capture.room = 2;
  Outer(capture);
  EXPECT_EQ(capture.walk.count, 2u);
  EXPECT_EQ(capture.frames[2], 0u);
}

TEST(WalkStack, ScansForReturnAddressesWhereNoUnwindDataLeads) {
  TCapture capture{};
  Outer(capture);
  // A stack as code without unwind data leaves it: a pushed register on
  // top, then words that are no code addresses, then two return addresses.
  alignas(16) std::uint64_t stack[8] = {
      0x1234, 0, 0x7FFF0000DEAD, capture.returnIntoMiddle, 42, capture.returnIntoOuter, 0, 0};
  CONTEXT context = capture.context;
  // An instruction in data, where no function's unwind data is.
  static const std::uint64_t kNoCode = 0;
  context.Rip = reinterpret_cast<std::uint64_t>(&kNoCode);
  context.Rsp = reinterpret_cast<std::uint64_t>(stack);
  std::uint64_t frames[8] = {};
  const TStackWalk walk = WalkStack(context, frames, 8);
  EXPECT_EQ(walk.firstScanned, 1u);
  ASSERT_GE(walk.count, 3u);
  EXPECT_EQ(frames[1], capture.returnIntoMiddle);
  EXPECT_EQ(frames[2], capture.returnIntoOuter);
}

TEST(LooksLikeReturnAddress, OnlyForCodeThatFollowsACall) {
  TCapture capture{};
  Outer(capture);
  EXPECT_TRUE(LooksLikeReturnAddress(capture.returnIntoMiddle));
  EXPECT_TRUE(LooksLikeReturnAddress(capture.returnIntoOuter));
  static const std::uint64_t data = 0;
  EXPECT_FALSE(LooksLikeReturnAddress(reinterpret_cast<std::uint64_t>(&data)));
  EXPECT_FALSE(LooksLikeReturnAddress(0));
  EXPECT_FALSE(LooksLikeReturnAddress(0x10));
}

}  // namespace
}  // namespace crash
