#pragma once

#include <string>

#include "host/var.h"
#include "host/var_array.h"

namespace pp {

// A dictionary var. Made from a value that is not a dictionary, it is a new,
// empty one. Without the browser's dictionary interface every read gives
// undefined and every write fails.
class VarDictionary : public Var {
 public:
  VarDictionary();
  explicit VarDictionary(const Var& var);
  VarDictionary(PassRef, const PP_Var& var);

  Var Get(const Var& key) const;
  bool Set(const Var& key, const Var& value);
  bool HasKey(const Var& key) const;
  void Delete(const Var& key);
  VarArray GetKeys() const;
};

}  // namespace pp
