// The callback factory: a callback whose factory is gone, or was cancelled,
// or that completes with PP_ERROR_ABORTED calls nothing and frees what it
// carries; every other result reaches the method.
#include "host/completion_callback_factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/bound_module.h"
#include "host/module.h"
#include "host/var.h"

namespace host_test {
namespace {

using Token = std::shared_ptr<int>;

struct Receiver {
  void Done(int32_t result) { results.push_back(result); }
  void DoneWith(int32_t result, const std::string& tag) { tags.push_back(std::to_string(result) + ":" + tag); }
  void DoneHolding(int32_t result, const Token& /*token*/) { results.push_back(result); }
  void DoneWithVar(int32_t /*result*/, const pp::Var& var) { tags.push_back(var.AsString()); }
  std::vector<int32_t> results;
  std::vector<std::string> tags;
};

using Factory = pp::CompletionCallbackFactory<Receiver>;

TEST(CompletionCallbackFactory, EveryResultButAbortedReachesTheMethod) {
  Receiver receiver;
  Factory factory(&receiver);
  const std::vector<int32_t> results = {PP_OK, 1, 640, PP_ERROR_FAILED, PP_ERROR_BADARGUMENT, PP_ERROR_TIMEDOUT};
  for (const int32_t result : results) factory.NewCallback(&Receiver::Done).Run(result);
  EXPECT_EQ(receiver.results, results);
}

TEST(CompletionCallbackFactory, BoundArgumentIsCopiedWhenTheCallbackIsMade) {
  Receiver receiver;
  Factory factory(&receiver);
  std::string tag = "first";
  pp::CompletionCallback callback = factory.NewCallback(&Receiver::DoneWith, tag);
  tag = "changed";
  callback.Run(7);
  EXPECT_EQ(receiver.tags, std::vector<std::string>{"7:first"});
}

// The ways a callback ends without its method being called: what happens to
// its factory first, then the result it completes with.
struct Ending {
  const char* name;
  void (*first)(std::optional<Factory>& factory);
  int32_t result;
};

void Destroy(std::optional<Factory>& factory) { factory.reset(); }
void Cancel(std::optional<Factory>& factory) { factory->CancelAll(); }
void Keep(std::optional<Factory>& /*factory*/) {}

class CallbackEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(CallbackEnding, CallsNothingAndFreesWhatItCarries) {
  Receiver receiver;
  auto factory = std::make_optional<Factory>(&receiver);
  const Token token = std::make_shared<int>(0);
  pp::CompletionCallback callback = factory->NewCallback(&Receiver::DoneHolding, token);
  EXPECT_EQ(token.use_count(), 2);
  GetParam().first(factory);
  callback.Run(GetParam().result);
  EXPECT_TRUE(receiver.results.empty());
  EXPECT_EQ(token.use_count(), 1);
  if (factory) {
    EXPECT_EQ(factory->PendingCallbacks(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Endings, CallbackEnding,
                         ::testing::Values(Ending{"FactoryGone", &Destroy, PP_OK}, Ending{"Cancelled", &Cancel, PP_OK},
                                           Ending{"Aborted", &Keep, PP_ERROR_ABORTED},
                                           Ending{"AbortedAfterFactoryGone", &Destroy, PP_ERROR_ABORTED}),
                         [](const ::testing::TestParamInfo<Ending>& ending) { return std::string(ending.param.name); });

TEST(CompletionCallbackFactory, PendingCallbacksCountsWhatIsOutstanding) {
  Receiver receiver;
  Factory factory(&receiver);
  EXPECT_EQ(factory.PendingCallbacks(), 0);
  pp::CompletionCallback first = factory.NewCallback(&Receiver::Done);
  pp::CompletionCallback second = factory.NewCallback(&Receiver::DoneWith, std::string("x"));
  pp::CompletionCallback third = factory.NewCallback(&Receiver::Done);
  EXPECT_EQ(factory.PendingCallbacks(), 3);
  first.Run(PP_OK);
  EXPECT_EQ(factory.PendingCallbacks(), 2);
  second.Run(PP_ERROR_ABORTED);
  EXPECT_EQ(factory.PendingCallbacks(), 1);
  factory.CancelAll();
  EXPECT_EQ(factory.PendingCallbacks(), 0);
  third.Run(PP_OK);  // cancelled: its method does not run
  EXPECT_EQ(receiver.results, std::vector<int32_t>{PP_OK});
}

TEST(CompletionCallbackFactory, CallbacksMadeAfterCancelAllWork) {
  Receiver receiver;
  Factory factory(&receiver);
  pp::CompletionCallback cancelled = factory.NewCallback(&Receiver::Done);
  factory.CancelAll();
  pp::CompletionCallback fresh = factory.NewCallback(&Receiver::Done);
  EXPECT_EQ(factory.PendingCallbacks(), 1);
  fresh.Run(5);
  cancelled.Run(6);
  EXPECT_EQ(receiver.results, std::vector<int32_t>{5});
}

TEST(CompletionCallbackFactory, AFactoryMadeWithoutItsObjectCallsItOnceInitialized) {
  Receiver receiver;
  Factory factory;
  factory.Initialize(&receiver);
  factory.NewCallback(&Receiver::Done).Run(3);
  EXPECT_EQ(receiver.results, std::vector<int32_t>{3});
}

// Through the browser: a timer callback that carries a var.
class CompletionCallbackOnTheHost : public BoundModuleTest {
 protected:
  void CallLater(Factory& factory, int32_t delayMs, const std::string& text, int32_t result) {
    pp::Module::Get()->core()->CallOnMainThread(delayMs, factory.NewCallback(&Receiver::DoneWithVar, pp::Var(text)),
                                                result);
  }
};

TEST_F(CompletionCallbackOnTheHost, TimerDeliversToALiveFactoryAndReleasesTheBoundVar) {
  Receiver receiver;
  Factory factory(&receiver);
  CallLater(factory, 10, "tick", PP_OK);
  EXPECT_EQ(HeldVars(), 1);  // the callback holds its var while it waits
  Run(10);
  EXPECT_EQ(receiver.tags, std::vector<std::string>{"tick"});
  EXPECT_EQ(HeldVars(), 0);
}

TEST_F(CompletionCallbackOnTheHost, TimerAfterTheFactoryIsGoneOnlyReleases) {
  Receiver receiver;
  {
    Factory factory(&receiver);
    CallLater(factory, 10, "late", PP_OK);
    CallLater(factory, 20, "aborted", PP_ERROR_ABORTED);
  }
  EXPECT_EQ(HeldVars(), 2);
  Run(20);
  EXPECT_TRUE(receiver.tags.empty());
  EXPECT_EQ(HeldVars(), 0);
}

}  // namespace
}  // namespace host_test
