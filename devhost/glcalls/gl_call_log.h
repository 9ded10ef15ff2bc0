#pragma once

// A record of every call the module makes through "PPB_OpenGLES2;1.0": one
// JSON line a call,
//   {"call": name, "context": resource, "args": [...], "out": ..., "ret": ...}
// with "out" for what the call wrote through its pointers and "ret" for
// what it returned. No line holds an address: a pointer is written as what
// it points to where the size is known (client_state.h), so the records of
// two builds of the module, on two platforms, can be compared line for line.
//
// A log can also answer the calls itself from an earlier record: the n-th
// call gets the "out" and "ret" of that record's n-th line when that line is
// the same call. That stands in for GL in a host that has none.
#include <cstddef>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "devhost/glcalls/client_state.h"
#include "devhost/json.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

class GlCallLog {
 public:
  // Writes the record to `record`. With `answering`, the calls are answered
  // from `answers` (the lines of an earlier record) instead of by GL.
  GlCallLog(std::unique_ptr<std::ostream> record, std::vector<Json> answers, bool answering);
  ~GlCallLog();
  GlCallLog(const GlCallLog&) = delete;
  GlCallLog& operator=(const GlCallLog&) = delete;

  // A log writing to the file `recordPath`, answering from the record in
  // `answersPath` unless that is empty. Null, with `error` set, when a file
  // cannot be opened or an answer line is not a JSON object.
  static std::unique_ptr<GlCallLog> Open(const std::string& recordPath, const std::string& answersPath,
                                         std::string& error);

  bool Answering() const { return answering_; }

  // Starts the line of a call; the arguments go into the array it returns.
  Json& Begin(const char* name, PP_Resource context);
  // The earlier record's line for the call begun, when it names the same
  // call; null otherwise (and the first such call is told on standard error).
  const Json* Answer();
  // What the call wrote through its pointers, and what it returned.
  void Out(Json value) { line_["out"] = std::move(value); }
  void Ret(Json value) { line_["ret"] = std::move(value); }
  // Extra data of the call (the vertex data a draw reads).
  void Add(const char* key, Json value) { line_[key] = std::move(value); }
  // Writes the line.
  void End();

  // The state that spells out a context's pointers.
  ClientState& StateOf(PP_Resource context) { return states_[context]; }
  // A string answered by the log that stays valid as long as the log: the
  // same text gives the same pointer.
  const char* Keep(const std::string& text);

 private:
  std::unique_ptr<std::ostream> record_;
  std::vector<Json> answers_;
  bool answering_;
  size_t calls_ = 0;
  bool mismatchTold_ = false;
  Json line_;
  std::map<PP_Resource, ClientState> states_;
  std::map<std::string, std::unique_ptr<std::string>> kept_;
};

}  // namespace pphost
