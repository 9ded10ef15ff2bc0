#include "host/var.h"

#include <cstring>
#include <utility>

#include "common/saturating.h"
#include "host/browser_interfaces.h"

namespace pp {

namespace {

bool IsCounted(const PP_Var& var) { return var.type >= PP_VARTYPE_STRING; }

PP_Var MakeVar(PP_VarType type) {
  PP_Var var{};
  var.type = type;
  return var;
}

PP_Var StringVar(const char* data, size_t length) {
  const BrowserInterfaces& b = Browser();
  const auto len = static_cast<uint32_t>(length);
  if (b.varFromUtf8 != nullptr) return b.varFromUtf8(data, len);
  if (b.varFromUtf8Module != nullptr) return b.varFromUtf8Module(BrowserModuleHandle(), data, len);
  return MakeVar(PP_VARTYPE_NULL);
}

}  // namespace

void AddRefVar(const PP_Var& var) {
  if (IsCounted(var) && Browser().varAddRef != nullptr) Browser().varAddRef(var);
}

void ReleaseVar(const PP_Var& var) {
  if (IsCounted(var) && Browser().varRelease != nullptr) Browser().varRelease(var);
}

Var::Var() : var_(MakeVar(PP_VARTYPE_UNDEFINED)) {}

Var::Var(Null) : var_(MakeVar(PP_VARTYPE_NULL)) {}

Var::Var(bool value) : var_(MakeVar(PP_VARTYPE_BOOL)) { var_.value.as_bool = PP_FromBool(value); }

Var::Var(int32_t value) : var_(MakeVar(PP_VARTYPE_INT32)) { var_.value.as_int = value; }

Var::Var(double value) : var_(MakeVar(PP_VARTYPE_DOUBLE)) { var_.value.as_double = value; }

Var::Var(const char* utf8) : var_(StringVar(utf8 != nullptr ? utf8 : "", utf8 != nullptr ? std::strlen(utf8) : 0)) {}

Var::Var(const std::string& utf8) : var_(StringVar(utf8.data(), utf8.size())) {}

Var::Var(const PP_Var& var) : var_(var) { AddRefVar(var_); }

Var::Var(PassRef, const PP_Var& var) : var_(var) {}

Var::Var(const Var& other) : var_(other.var_) { AddRefVar(var_); }

Var::Var(Var&& other) noexcept : var_(other.var_) { other.var_ = MakeVar(PP_VARTYPE_UNDEFINED); }

Var& Var::operator=(const Var& other) {
  if (this != &other) {
    AddRefVar(other.var_);
    ReleaseVar(var_);
    var_ = other.var_;
  }
  return *this;
}

Var& Var::operator=(Var&& other) noexcept {
  if (this != &other) {
    ReleaseVar(var_);
    var_ = other.var_;
    other.var_ = MakeVar(PP_VARTYPE_UNDEFINED);
  }
  return *this;
}

Var::~Var() { ReleaseVar(var_); }

bool Var::AsBool() const { return is_bool() && PP_ToBool(var_.value.as_bool); }

int32_t Var::AsInt() const {
  if (is_int()) return var_.value.as_int;
  if (!is_double()) return 0;
  return tallwick::TruncateToInt32(var_.value.as_double);
}

double Var::AsDouble() const {
  if (is_double()) return var_.value.as_double;
  if (is_int()) return var_.value.as_int;
  return 0.0;
}

std::string Var::AsString() const {
  if (!is_string() || Browser().varToUtf8 == nullptr) return std::string();
  uint32_t length = 0;
  const char* data = Browser().varToUtf8(var_, &length);
  return data != nullptr ? std::string(data, length) : std::string();
}

PP_Var Var::Detach() { return std::exchange(var_, MakeVar(PP_VARTYPE_UNDEFINED)); }

}  // namespace pp
