#include "common/singleton.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_constructed{0};
std::atomic<int> g_destroyed{0};

class Counted : public TALLWICK_COMMON::Singleton<Counted> {
 public:
  ~Counted() override { ++g_destroyed; }
  int value = 0;

 private:
  friend class TALLWICK_COMMON::Singleton<Counted>;
  Counted() { ++g_constructed; }
};

class SingletonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Counted::DestroyInstance();
    g_constructed = 0;
    g_destroyed = 0;
  }
  void TearDown() override { Counted::DestroyInstance(); }
};

TEST_F(SingletonTest, CreatesOnceAndRecreatesAfterDestroy) {
  Counted* first = Counted::GetInstance();
  first->value = 7;
  EXPECT_EQ(first, Counted::GetInstance());
  EXPECT_EQ(g_constructed, 1);

  Counted::DestroyInstance();
  EXPECT_EQ(g_destroyed, 1);
  EXPECT_FALSE(Counted::HasInstance());

  Counted* second = Counted::GetInstance();
  EXPECT_EQ(second->value, 0) << "a fresh object after destruction";
  EXPECT_EQ(g_constructed, 2);
}

TEST_F(SingletonTest, DestroyWithoutInstanceIsHarmless) {
  Counted::DestroyInstance();
  Counted::DestroyInstance();
  EXPECT_EQ(g_destroyed, 0);
}

TEST_F(SingletonTest, ConcurrentFirstUseCreatesOneObject) {
  std::vector<std::thread> threads;
  std::vector<Counted*> seen(8, nullptr);
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = Counted::GetInstance(); });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(g_constructed, 1);
  for (Counted* p : seen) EXPECT_EQ(p, seen[0]);
}

}  // namespace
