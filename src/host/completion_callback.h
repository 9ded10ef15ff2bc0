#pragma once

#include "host/ppapi/pp_types.h"

namespace pp {

// A function the browser calls once, with a result code, when an
// asynchronous operation completes or a timer fires.
class CompletionCallback {
 public:
  CompletionCallback() { callback_ = PP_MakeCompletionCallback(nullptr, nullptr); }
  CompletionCallback(PP_CompletionCallback_Func func, void* userData) {
    callback_ = PP_MakeCompletionCallback(func, userData);
  }

  bool IsNull() const { return callback_.func == nullptr; }
  const PP_CompletionCallback& pp_completion_callback() const { return callback_; }

  // Runs the callback now. Completing with PP_ERROR_ABORTED is how code that
  // took a callback and will not use it releases it.
  void Run(int32_t result) {
    if (callback_.func != nullptr) {
      PP_RunCompletionCallback(&callback_, result);
    }
  }

 private:
  PP_CompletionCallback callback_;
};

}  // namespace pp
