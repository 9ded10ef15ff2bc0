#pragma once

#include <memory>
#include <mutex>
#include <utility>

#include "host/completion_callback.h"

namespace pp {

// Makes completion callbacks that call a member function of one object.
// Every callback shares a small, lock-guarded link back to the factory: once
// the factory is destroyed or cancelled, callbacks that are still pending
// with the browser run nothing but their own clean-up. A callback completed
// with PP_ERROR_ABORTED (the browser dropped it, or the code it was made for
// never used it) only releases itself: the method is not called.
template <typename T>
class CompletionCallbackFactory {
 public:
  explicit CompletionCallbackFactory(T* object = nullptr) : object_(object), link_(std::make_shared<Link>(object)) {}
  ~CompletionCallbackFactory() { link_->Attach(nullptr); }

  CompletionCallbackFactory(const CompletionCallbackFactory&) = delete;
  CompletionCallbackFactory& operator=(const CompletionCallbackFactory&) = delete;

  void Initialize(T* object) {
    object_ = object;
    link_->Attach(object);
  }

  // Detaches every outstanding callback; callbacks made afterwards work.
  void CancelAll() {
    link_->Attach(nullptr);
    link_ = std::make_shared<Link>(object_);
  }

  // Pending callbacks made by this factory.
  long PendingCallbacks() const { return link_.use_count() - 1; }

  // A callback that calls object->method(result).
  template <typename Method>
  CompletionCallback NewCallback(Method method) {
    return Make([method](T* object, int32_t result) { (object->*method)(result); });
  }

  // A callback that calls object->method(result, argument).
  template <typename Method, typename A>
  CompletionCallback NewCallback(Method method, const A& argument) {
    return Make([method, argument](T* object, int32_t result) { (object->*method)(result, argument); });
  }

 private:
  class Link {
   public:
    explicit Link(T* object) : object_(object) {}
    void Attach(T* object) {
      std::lock_guard<std::mutex> lock(mutex_);
      object_ = object;
    }
    T* Get() {
      std::lock_guard<std::mutex> lock(mutex_);
      return object_;
    }

   private:
    std::mutex mutex_;
    T* object_;
  };

  template <typename Call>
  struct Pending {
    std::shared_ptr<Link> link;
    Call call;
  };

  template <typename Call>
  CompletionCallback Make(Call call) {
    auto* pending = new Pending<Call>{link_, std::move(call)};
    return CompletionCallback(&Run<Call>, pending);
  }

  template <typename Call>
  static void Run(void* userData, int32_t result) {
    std::unique_ptr<Pending<Call>> pending(static_cast<Pending<Call>*>(userData));
    if (result == PP_ERROR_ABORTED) return;
    if (T* object = pending->link->Get()) {
      pending->call(object, result);
    }
  }

  T* object_;
  std::shared_ptr<Link> link_;
};

}  // namespace pp
