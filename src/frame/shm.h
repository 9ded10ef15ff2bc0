#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace shoom {

// Result of Shm::Create and Shm::Open.
enum ShoomError : int {
  kOK = 0,
  kErrorCreationFailed = 100,  // the mapping object could not be created
  kErrorMappingFailed = 110,   // the object exists but no view could be mapped
  kErrorOpeningFailed = 120,   // no object of that name could be opened
};

// One named shared-memory segment and the view of it mapped into this process.
// Readers Open it read-only; the writer side Create-s it read-write. The name
// goes to the operating system unchanged. The view and the handle are kept
// until destruction; a failed Create/Open leaves Data() null.
class Shm {
 public:
  // Maps nothing yet. size 0 means "the whole object" when mapping.
  Shm(std::string path, size_t size);
  ~Shm();

  Shm(const Shm&) = delete;
  Shm& operator=(const Shm&) = delete;

  // Creates the segment (or opens an existing one), makes it at least Size()
  // bytes large and maps it read-write. Writers only.
  ShoomError Create();
  // Opens an existing segment and maps it read-only.
  ShoomError Open();

  // Start of the mapped view, or null.
  uint8_t* Data() const { return data_; }
  // Mapped size: the requested size, or the object's size after mapping with 0.
  size_t Size() const { return size_; }
  const std::string& Path() const { return path_; }

  // Removes the segment's name so that no one can open it any more; views
  // already mapped stay valid. No-op on Windows, where a mapping disappears
  // with its last handle. On POSIX, false when the name did not exist.
  static bool Remove(const std::string& path);

 private:
#ifdef _WIN32
  using NativeHandle = void*;  // HANDLE of the file mapping
  static constexpr NativeHandle kNoHandle = nullptr;
#else
  using NativeHandle = int;  // file descriptor of the shm object
  static constexpr NativeHandle kNoHandle = -1;
#endif

  ShoomError CreateOrOpen(bool create);
  // Unmaps the view and closes the handle, if any.
  void Close();

  std::string path_;
  uint8_t* data_ = nullptr;
  size_t size_;
  NativeHandle handle_ = kNoHandle;
};

}  // namespace shoom
