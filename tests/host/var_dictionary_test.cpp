// Dictionaries: what they hold, and what the module holds after each step.
#include "host/var_dictionary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/bound_module.h"

namespace host_test {
namespace {

class VarDictionaryTest : public BoundModuleTest {
 protected:
  static std::vector<std::string> Keys(const pp::VarDictionary& dict) {
    const pp::VarArray keys = dict.GetKeys();
    std::vector<std::string> names;
    for (uint32_t i = 0; i < keys.GetLength(); ++i) names.push_back(keys.Get(i).AsString());
    return names;
  }
};

TEST_F(VarDictionaryTest, SetGetAndReplaceHoldNothingBeyondTheDictionary) {
  pp::VarDictionary dict;
  const pp::Var value("one");
  ASSERT_TRUE(dict.Set("k", value));
  ASSERT_TRUE(dict.Set("other", 2));
  EXPECT_EQ(HeldVars(), 2);  // the dictionary and our "one"; keys are not kept
  EXPECT_EQ(dict.Get("k").AsString(), "one");
  EXPECT_EQ(HeldVars(), 2);  // what Get handed us went with its temporary

  ASSERT_TRUE(dict.Set("k", "two"));
  EXPECT_EQ(dict.Get("k").AsString(), "two");
  EXPECT_EQ(value.AsString(), "one");  // replaced in the dictionary, still ours
  EXPECT_EQ(Keys(dict), (std::vector<std::string>{"k", "other"}));
  EXPECT_EQ(HeldVars(), 2);
}

TEST_F(VarDictionaryTest, DestroyingTheDictionaryReleasesItOnce) {
  const pp::Var value("kept");
  {
    pp::VarDictionary dict;
    dict.Set("k", value);
    const pp::Var got = dict.Get("k");
    EXPECT_EQ(HeldVars(), 2);  // got is value's object
  }
  EXPECT_EQ(HeldVars(), 1);
  EXPECT_EQ(value.AsString(), "kept");
}

TEST_F(VarDictionaryTest, MissingKeysAndDeletedKeysReadUndefined) {
  pp::VarDictionary dict;
  dict.Set("k", "v");
  EXPECT_TRUE(dict.Get("absent").is_undefined());
  EXPECT_FALSE(dict.HasKey("absent"));
  EXPECT_TRUE(dict.Get(7).is_undefined());  // keys are strings
  dict.Delete("k");
  EXPECT_FALSE(dict.HasKey("k"));
  EXPECT_TRUE(Keys(dict).empty());
  EXPECT_EQ(HeldVars(), 1);
}

TEST_F(VarDictionaryTest, CopiesShareOneDictionaryAndAssignmentLetsTheOldOneGo) {
  pp::VarDictionary dict;
  pp::VarDictionary other;
  other.Set("gone", "with other");
  {
    pp::VarDictionary copy(dict);
    copy.Set("k", 1);
    other = copy;
    EXPECT_EQ(HeldVars(), 1);  // one dictionary, three holders
  }
  EXPECT_EQ(dict.Get("k").AsInt(), 1);
  EXPECT_EQ(other.Get("k").AsInt(), 1);
  EXPECT_EQ(HeldVars(), 1);
}

TEST_F(VarDictionaryTest, AValueThatIsNoDictionaryGivesANewOneAndIsLeftAlone) {
  const pp::Var text("not a dictionary");
  {
    const pp::VarDictionary fromVar(text);
    EXPECT_TRUE(fromVar.is_dictionary());
    EXPECT_TRUE(Keys(fromVar).empty());
    EXPECT_EQ(HeldVars(), 2);
  }
  EXPECT_EQ(text.AsString(), "not a dictionary");
  const pp::Var dictVar = pp::VarDictionary();
  const pp::VarDictionary sameDict(dictVar);
  EXPECT_EQ(sameDict.pp_var().value.as_id, dictVar.pp_var().value.as_id);
  EXPECT_EQ(HeldVars(), 2);
}

TEST_F(VarDictionaryTest, AdoptingAValueThatIsNoDictionaryReleasesIt) {
  pp::Var text("adopted");
  const pp::VarDictionary dict(pp::Var::PassRef(), text.Detach());
  EXPECT_TRUE(dict.is_dictionary());
  EXPECT_EQ(HeldVars(), 1);  // only the new dictionary
}

}  // namespace
}  // namespace host_test
