#pragma once

#include <atomic>
#include <mutex>

namespace TALLWICK_COMMON {

// A lazily created, explicitly destroyed module-wide object. Creation and
// destruction happen under one mutex per T; the pointer is checked before and
// after locking so that the common path takes no lock.
template <typename T>
class Singleton {
 public:
  virtual ~Singleton() = default;

  Singleton(const Singleton&) = delete;
  Singleton& operator=(const Singleton&) = delete;

  static T* GetInstance() {
    T* existing = s_instance.load(std::memory_order_acquire);
    if (existing != nullptr) {
      return existing;
    }
    std::lock_guard<std::mutex> lock(s_mutex);
    existing = s_instance.load(std::memory_order_relaxed);
    if (existing == nullptr) {
      existing = new T();
      s_instance.store(existing, std::memory_order_release);
    }
    return existing;
  }

  static void DestroyInstance() {
    std::lock_guard<std::mutex> lock(s_mutex);
    Singleton* existing = s_instance.load(std::memory_order_relaxed);
    delete existing;
    s_instance.store(nullptr, std::memory_order_release);
  }

  // True while an instance exists; does not create one.
  static bool HasInstance() { return s_instance.load(std::memory_order_acquire) != nullptr; }

 protected:
  Singleton() = default;

 private:
  static inline std::atomic<T*> s_instance{nullptr};
  static inline std::mutex s_mutex;
};

}  // namespace TALLWICK_COMMON
