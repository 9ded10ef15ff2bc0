// Var conversions at their edges, and the references a Var holds.
#include "host/var.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <utility>

#include "host/bound_module.h"
#include "host/var_array.h"
#include "host/var_dictionary.h"

namespace host_test {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct DoubleCase {
  double value;
  int32_t asInt;
};

void PrintTo(const DoubleCase& c, std::ostream* out) { *out << c.value << " reads as " << c.asInt; }

class VarDoubleAsInt : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(VarDoubleAsInt, TruncatesTowardsZeroAndSaturates) {
  const pp::Var var(GetParam().value);
  EXPECT_TRUE(var.is_double());
  EXPECT_TRUE(var.is_number());
  EXPECT_EQ(var.AsInt(), GetParam().asInt) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Edges, VarDoubleAsInt,
                         ::testing::Values(DoubleCase{2.99, 2}, DoubleCase{-2.99, -2}, DoubleCase{-0.0, 0},
                                           DoubleCase{5e-324, 0}, DoubleCase{2147483646.99, kMax - 1},
                                           DoubleCase{2147483647.0, kMax}, DoubleCase{2147483647.5, kMax},
                                           DoubleCase{4294967296.0, kMax}, DoubleCase{1e300, kMax},
                                           DoubleCase{kInf, kMax}, DoubleCase{-2147483647.99, kMin + 1},
                                           DoubleCase{-2147483648.0, kMin}, DoubleCase{-2147483648.9, kMin},
                                           DoubleCase{-1e300, kMin}, DoubleCase{-kInf, kMin}, DoubleCase{kNaN, 0},
                                           DoubleCase{-kNaN, 0}));

TEST(Var, DoublesReadAsDoublesUnchangedAndIntsExactly) {
  EXPECT_TRUE(std::isnan(pp::Var(kNaN).AsDouble()));
  EXPECT_EQ(pp::Var(-kInf).AsDouble(), -kInf);
  EXPECT_TRUE(std::signbit(pp::Var(-0.0).AsDouble()));
  EXPECT_EQ(pp::Var(kMin).AsDouble(), -2147483648.0);
  EXPECT_EQ(pp::Var(kMax).AsInt(), kMax);
  EXPECT_FALSE(pp::Var(kMax).is_double());
}

// Each kind of value read through every accessor: only its own type gives
// its value, every other accessor the neutral answer.
class VarKinds : public BoundModuleTest {};

TEST_F(VarKinds, OnlyTheOwnTypeReadsItsValue) {
  struct Row {
    const char* name;
    pp::Var var;
    bool asBool;
    int32_t asInt;
    double asDouble;
    std::string asString;
  };
  const Row rows[] = {
      {"undefined", pp::Var(), false, 0, 0.0, ""},
      {"null", pp::Var(pp::Var::Null()), false, 0, 0.0, ""},
      {"true", pp::Var(true), true, 0, 0.0, ""},
      {"int", pp::Var(7), false, 7, 7.0, ""},
      {"double", pp::Var(7.5), false, 7, 7.5, ""},
      {"double 1.0", pp::Var(1.0), false, 1, 1.0, ""},
      {"string", pp::Var("7"), false, 0, 0.0, "7"},
      {"string true", pp::Var("true"), false, 0, 0.0, "true"},
      {"dictionary", pp::Var(pp::VarDictionary()), false, 0, 0.0, ""},
      {"array", pp::Var(pp::VarArray()), false, 0, 0.0, ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.var.AsBool(), row.asBool) << row.name;
    EXPECT_EQ(row.var.AsInt(), row.asInt) << row.name;
    EXPECT_EQ(row.var.AsDouble(), row.asDouble) << row.name;
    EXPECT_EQ(row.var.AsString(), row.asString) << row.name;
  }
}

TEST_F(VarKinds, StringsKeepEveryByte) {
  const std::string withNul("a\0b", 3);
  const std::string utf8 = "gr\xC3\xBC\xC3\x9F \xE2\x9C\x93";
  for (const std::string& text : {withNul, utf8, std::string()}) {
    const pp::Var var(text);
    EXPECT_TRUE(var.is_string());
    EXPECT_EQ(var.AsString(), text);
  }
  const pp::Var fromNull(static_cast<const char*>(nullptr));
  EXPECT_TRUE(fromNull.is_string());
  EXPECT_EQ(fromNull.AsString(), "");
}

TEST_F(VarKinds, CopiesMovesAndAssignmentsHoldOneReferenceEach) {
  pp::Var a("one");
  {
    pp::Var copy(a);
    pp::Var assigned("two");
    assigned = a;  // lets "two" go
    EXPECT_EQ(HeldVars(), 1);
    const pp::Var& same = assigned;
    assigned = same;
    pp::Var moved(std::move(copy));
    // A moved-from var is left undefined, so it releases nothing.
    EXPECT_TRUE(copy.is_undefined());  // NOLINT(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    pp::Var target("three");
    target = std::move(moved);
    EXPECT_EQ(HeldVars(), 1);
    EXPECT_EQ(target.AsString(), "one");
  }
  EXPECT_EQ(HeldVars(), 1);
  EXPECT_EQ(a.AsString(), "one");
  a = pp::Var(3);
  EXPECT_EQ(HeldVars(), 0);
}

TEST_F(VarKinds, RawVarsAreAddedToAdoptedOrHandedBack) {
  pp::Var made("x");
  const PP_Var raw = made.pp_var();
  {
    const pp::Var added(raw);  // a reference of its own
    made = pp::Var();
    EXPECT_EQ(added.AsString(), "x");
    pp::AddRefVar(raw);
    const pp::Var adopted(pp::Var::PassRef(), raw);
    EXPECT_EQ(HeldVars(), 1);
  }
  EXPECT_EQ(HeldVars(), 0);

  pp::Var detached("y");
  const PP_Var handed = detached.Detach();
  EXPECT_TRUE(detached.is_undefined());
  EXPECT_EQ(HeldVars(), 1);  // the caller's now
  pp::ReleaseVar(handed);
  EXPECT_EQ(HeldVars(), 0);
}

}  // namespace
}  // namespace host_test
