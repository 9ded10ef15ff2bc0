// Arrays, and dictionaries inside them: what they hold, and what the module
// holds after each step.
#include "host/var_array.h"

#include <gtest/gtest.h>

#include <string>

#include "host/bound_module.h"
#include "host/var_dictionary.h"

namespace host_test {
namespace {

class VarArrayTest : public BoundModuleTest {};

TEST_F(VarArrayTest, SetGetAndReplaceHoldNothingBeyondTheArray) {
  pp::VarArray array;
  ASSERT_TRUE(array.Set(0, "first"));
  ASSERT_TRUE(array.Set(2, 3.5));
  EXPECT_EQ(array.GetLength(), 3u);
  EXPECT_TRUE(array.Get(1).is_undefined());
  EXPECT_EQ(array.Get(0).AsString(), "first");
  ASSERT_TRUE(array.Set(0, "second"));
  EXPECT_EQ(array.Get(0).AsString(), "second");
  EXPECT_EQ(HeldVars(), 1);
  ASSERT_TRUE(array.SetLength(1));
  EXPECT_EQ(array.GetLength(), 1u);
  EXPECT_TRUE(array.Get(5).is_undefined());
  EXPECT_EQ(HeldVars(), 1);
}

TEST_F(VarArrayTest, NestedDictionariesLiveWhileTheArrayHoldsThem) {
  const pp::Var name("user 1");
  {
    pp::VarArray tiles;
    for (uint32_t i = 0; i < 3; ++i) {
      pp::VarDictionary tile;
      tile.Set("name", name);
      tile.Set("index", static_cast<int32_t>(i));
      tiles.Set(i, tile);
    }
    EXPECT_EQ(HeldVars(), 2);  // the array and our name; the tiles are only contained

    pp::VarDictionary middle(tiles.Get(1));
    middle.Set("mirrored", true);
    EXPECT_EQ(HeldVars(), 3);
    EXPECT_TRUE(pp::VarDictionary(tiles.Get(1)).Get("mirrored").AsBool());  // the same dictionary
    EXPECT_EQ(pp::VarDictionary(tiles.Get(2)).Get("index").AsInt(), 2);
  }
  EXPECT_EQ(HeldVars(), 1);
  EXPECT_EQ(name.AsString(), "user 1");
}

TEST_F(VarArrayTest, CopiesShareOneArrayAndAssignmentLetsTheOldOneGo) {
  pp::VarArray array;
  pp::VarArray other;
  other.Set(0, "gone with other");
  {
    pp::VarArray copy(array);
    other = copy;
    copy.Set(0, 1);
  }
  EXPECT_EQ(array.Get(0).AsInt(), 1);
  EXPECT_EQ(HeldVars(), 1);
}

TEST_F(VarArrayTest, AValueThatIsNoArrayGivesANewOne) {
  const pp::Var dict = pp::VarDictionary();
  EXPECT_EQ(pp::VarArray(dict).GetLength(), 0u);
  pp::Var text("adopted");
  const pp::VarArray adopted(pp::Var::PassRef(), text.Detach());
  EXPECT_TRUE(adopted.is_array());
  EXPECT_EQ(HeldVars(), 2);  // the dictionary and the new array; the string is released
}

}  // namespace
}  // namespace host_test
