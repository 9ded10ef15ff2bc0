// Var reference counting and the JSON <-> var mapping, without a module.
#include <gtest/gtest.h>

#include "devhost/runtime/json_var.h"
#include "devhost/runtime/var_store.h"

namespace devhost_test {
namespace {

using pphost::Json;
using pphost::VarStore;

PP_Var FromText(VarStore& vars, const char* text) { return pphost::JsonToVar(Json::parse(text), vars); }
std::string ToText(VarStore& vars, PP_Var var) { return pphost::DumpLine(pphost::VarToJson(var, vars)); }

TEST(PphostJsonToVar, NumbersBecomeInt32OnlyWhenWrittenAsIntegersThatFit) {
  VarStore vars;
  struct Case {
    const char* text;
    PP_VarType type;
  };
  for (const Case& c :
       {Case{"2147483647", PP_VARTYPE_INT32}, Case{"-2147483648", PP_VARTYPE_INT32},
        Case{"2147483648", PP_VARTYPE_DOUBLE}, Case{"-2147483649", PP_VARTYPE_DOUBLE},
        Case{"18446744073709551616", PP_VARTYPE_DOUBLE}, Case{"0", PP_VARTYPE_INT32}, Case{"1.0", PP_VARTYPE_DOUBLE},
        Case{"1e3", PP_VARTYPE_DOUBLE}, Case{"-0.0", PP_VARTYPE_DOUBLE}}) {
    EXPECT_EQ(FromText(vars, c.text).type, c.type) << c.text;
  }
  EXPECT_EQ(FromText(vars, "2147483648").value.as_double, 2147483648.0);
  EXPECT_EQ(FromText(vars, "-2147483648").value.as_int, -2147483648LL);
}

TEST(PphostJsonToVar, OnlyTheExactMarkerIsUndefined) {
  VarStore vars;
  EXPECT_EQ(FromText(vars, R"({"$undefined":true})").type, PP_VARTYPE_UNDEFINED);
  EXPECT_EQ(FromText(vars, R"({"$undefined":false})").type, PP_VARTYPE_DICTIONARY);
  EXPECT_EQ(FromText(vars, R"({"$undefined":true,"x":1})").type, PP_VARTYPE_DICTIONARY);
  EXPECT_EQ(FromText(vars, "null").type, PP_VARTYPE_NULL);
}

TEST(PphostVarToJson, DoublesKeepAFractionAndOddVarsAreMarked) {
  VarStore vars;
  EXPECT_EQ(ToText(vars, PP_MakeDouble(1.0)), "1.0");
  EXPECT_EQ(ToText(vars, PP_MakeDouble(-3.0)), "-3.0");
  EXPECT_EQ(ToText(vars, PP_MakeDouble(1e300)), "1e+300");
  EXPECT_EQ(ToText(vars, PP_MakeInt32(-7)), "-7");
  EXPECT_EQ(ToText(vars, PP_MakeUndefined()), R"({"$undefined":true})");
  PP_Var object = PP_MakeUndefined();
  object.type = PP_VARTYPE_OBJECT;
  EXPECT_EQ(ToText(vars, object), R"({"$unsupported":6})");
  // Bytes that are not UTF-8 are replaced, never a failure.
  EXPECT_EQ(ToText(vars, vars.MakeString("a\xff")), "\"a\xEF\xBF\xBD\"");
}

TEST(PphostVarStore, ObjectsLiveWhileHeldOrContained) {
  VarStore vars;
  const PP_Var text = vars.MakeString("x");
  const PP_Var dict = vars.MakeDictionary();
  ASSERT_TRUE(vars.DictionarySet(dict, "k", text));
  vars.Release(text);
  EXPECT_EQ(vars.HeldCount(), 1u);  // only the dictionary is held
  EXPECT_EQ(vars.LiveCount(), 2u);  // the string lives on inside it
  const PP_Var got = vars.DictionaryGet(dict, "k");
  EXPECT_EQ(*vars.StringOf(got), "x");
  vars.Release(got);
  vars.Release(dict);
  EXPECT_EQ(vars.LiveCount(), 0u);
  // Stale handles name nothing, and extra releases are harmless.
  vars.Release(dict);
  vars.AddRef(text);
  EXPECT_EQ(vars.StringOf(text), nullptr);
  EXPECT_EQ(vars.MakeString("y").value.as_id, text.value.as_id + 2);
}

TEST(PphostVarStore, ReplacingAndCuttingLetsGoOfTheOldValues) {
  VarStore vars;
  const PP_Var dict = FromText(vars, R"({"a":"one","b":["two","three"]})");
  const PP_Var replacement = vars.MakeString("new");
  ASSERT_TRUE(vars.DictionarySet(dict, "a", replacement));
  vars.Release(replacement);
  EXPECT_EQ(vars.LiveCount(), 5u);  // dict, "new", the array and its two strings
  vars.DictionaryDelete(dict, "b");
  EXPECT_EQ(vars.LiveCount(), 2u);
  EXPECT_EQ(ToText(vars, dict), R"({"a":"new"})");

  const PP_Var array = FromText(vars, R"(["x","y","z"])");
  ASSERT_TRUE(vars.ArraySetLength(array, 1));
  ASSERT_TRUE(vars.ArraySet(array, 3, PP_MakeInt32(4)));
  EXPECT_EQ(ToText(vars, array), R"(["x",{"$undefined":true},{"$undefined":true},4])");
  EXPECT_EQ(vars.LiveCount(), 4u);
  EXPECT_FALSE(vars.ArraySet(array, 1u << 30, PP_MakeNull()));
}

TEST(PphostVarStore, ADeadValueCannotBeStored) {
  VarStore vars;
  const PP_Var dict = vars.MakeDictionary();
  const PP_Var text = vars.MakeString("gone");
  vars.Release(text);
  EXPECT_FALSE(vars.DictionarySet(dict, "k", text));
  EXPECT_FALSE(vars.DictionaryHasKey(dict, "k"));
}

TEST(PphostVarStore, CyclesAndDeepNestingAreSafe) {
  VarStore vars;
  const PP_Var dict = vars.MakeDictionary();
  ASSERT_TRUE(vars.DictionarySet(dict, "self", dict));
  EXPECT_EQ(ToText(vars, dict), R"({"self":null})");
  vars.Release(dict);
  EXPECT_EQ(vars.HeldCount(), 0u);  // no longer held by anyone outside

  PP_Var outer = vars.MakeArray();
  const PP_Var root = outer;
  for (int i = 0; i < 20000; ++i) {
    const PP_Var inner = vars.MakeArray();
    vars.ArraySet(outer, 0, inner);
    vars.Release(inner);
    outer = inner;
  }
  vars.Release(root);
  EXPECT_EQ(vars.LiveCount(), 1u);  // just the cycle above
}

}  // namespace
}  // namespace devhost_test
