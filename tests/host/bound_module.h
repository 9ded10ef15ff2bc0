#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "devhost/scripted_host.h"
#include "host/view.h"

namespace host_test {

// The binding started by pphost in process, on its virtual clock: a module
// made of nothing but the binding, whose instances keep the last view they
// were given. pphost counts the vars and resources the module holds.
class BoundModuleTest : public ::testing::Test {
 protected:
  // `hidden`: interface names the host seems not to offer.
  explicit BoundModuleTest(std::vector<std::string> hidden = {});
  ~BoundModuleTest() override;

  // Vars the module holds through handles (not those only inside a
  // dictionary or array) beyond those it held when the test began: a leaked
  // reference shows as one more, one released too often as one fewer, or as
  // a holder whose value vanished.
  long HeldVars();
  // Resources pphost has alive (views and contexts among them).
  size_t LiveResources() { return page_.Host().Live().resources; }

  // Carries out one page line; a line the host rejects fails the test.
  void Do(const std::string& line);
  // Serves the host's main loop for `ms` virtual milliseconds.
  void Run(int64_t ms) { ASSERT_TRUE(page_.Host().Run(ms)); }
  // The view last given to the page's instance "a" (created by the fixture).
  pp::View& LastView();

 private:
  devhost_test::ScriptedHost page_;
  size_t heldAtStart_ = 0;
};

}  // namespace host_test
