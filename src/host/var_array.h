#pragma once

#include <cstdint>

#include "host/var.h"

namespace pp {

// An array var. Made from a value that is not an array, it is a new, empty
// one. Without the browser's array interface it reads as empty.
class VarArray : public Var {
 public:
  VarArray();
  explicit VarArray(const Var& var);
  VarArray(PassRef, const PP_Var& var);

  Var Get(uint32_t index) const;
  bool Set(uint32_t index, const Var& value);
  uint32_t GetLength() const;
  bool SetLength(uint32_t length);
};

}  // namespace pp
