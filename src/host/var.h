#pragma once

#include <cstdint>
#include <string>

#include "host/ppapi/pp_types.h"

namespace pp {

// A reference-counted handle on a browser value. Reading a value of another
// type gives the neutral answer: 0, 0.0, false or "". An int reads as a
// double; a double reads as an int by truncation (saturated, NaN gives 0).
class Var {
 public:
  struct Null {};
  // Takes over a reference the browser gave us instead of adding one.
  struct PassRef {};

  Var();  // undefined
  explicit Var(Null);
  Var(bool value);                  // NOLINT(google-explicit-constructor)
  Var(int32_t value);               // NOLINT(google-explicit-constructor)
  Var(double value);                // NOLINT(google-explicit-constructor)
  Var(const char* utf8);            // NOLINT(google-explicit-constructor)
  Var(const std::string& utf8);     // NOLINT(google-explicit-constructor)
  explicit Var(const PP_Var& var);  // adds a reference
  Var(PassRef, const PP_Var& var);  // adopts one

  Var(const Var& other);
  Var(Var&& other) noexcept;
  Var& operator=(const Var& other);
  Var& operator=(Var&& other) noexcept;
  virtual ~Var();

  bool is_undefined() const { return var_.type == PP_VARTYPE_UNDEFINED; }
  bool is_null() const { return var_.type == PP_VARTYPE_NULL; }
  bool is_bool() const { return var_.type == PP_VARTYPE_BOOL; }
  bool is_int() const { return var_.type == PP_VARTYPE_INT32; }
  bool is_double() const { return var_.type == PP_VARTYPE_DOUBLE; }
  bool is_number() const { return is_int() || is_double(); }
  bool is_string() const { return var_.type == PP_VARTYPE_STRING; }
  bool is_array() const { return var_.type == PP_VARTYPE_ARRAY; }
  bool is_dictionary() const { return var_.type == PP_VARTYPE_DICTIONARY; }

  bool AsBool() const;
  int32_t AsInt() const;
  double AsDouble() const;
  std::string AsString() const;

  const PP_Var& pp_var() const { return var_; }
  // Hands our reference to the caller; this var becomes undefined.
  PP_Var Detach();

 protected:
  PP_Var var_;
};

// Reference counting of a raw PP_Var (no-ops for values without one).
void AddRefVar(const PP_Var& var);
void ReleaseVar(const PP_Var& var);

}  // namespace pp
