// Worker threads: a body that throws ends its thread cleanly, and an owner
// going away stops and joins what still waits.
#include "DefragWorkers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>

using tarnwick::WorkerGroup;
using tarnwick::WorkerThread;

TEST(WorkerThreads, AThrowingBodyEndsItsThreadAndTheGroupGoesOn) {
  WorkerGroup group;
  ASSERT_TRUE(group.Start([](HANDLE) { throw std::bad_alloc(); }));
  group.WaitIdle();  // would hang if the throw kept the body counted
  std::atomic<int> ran{0};
  ASSERT_TRUE(group.Start([&](HANDLE) { ++ran; }));
  group.WaitIdle();
  EXPECT_EQ(1, ran.load());
}

TEST(WorkerThreads, TheOwnerStopsAndJoinsWhatStillWaits) {
  std::atomic<bool> stopped{false};
  HANDLE kept = nullptr;
  {
    WorkerGroup group;
    kept = group.StartKept([&](HANDLE stop) { stopped = WaitForSingleObject(stop, INFINITE) == WAIT_OBJECT_0; });
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(kept, 0));
    WorkerThread alone;
    ASSERT_TRUE(alone.Start([](HANDLE stop) { WaitForSingleObject(stop, INFINITE); }));
    EXPECT_TRUE(alone.Running());
    EXPECT_FALSE(alone.Start([](HANDLE) {}));  // one body per thread
  }
  EXPECT_TRUE(stopped.load());

  WorkerGroup closed;
  closed.Close();
  EXPECT_FALSE(closed.Start([](HANDLE) {}));
}
