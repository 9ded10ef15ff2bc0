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
  // Bytes of the view, from its start, that the object still backs: at most
  // Size(), 0 when nothing is mapped. A POSIX writer may shrink its object
  // after the view was mapped, and touching a page past the object's new end
  // raises SIGBUS; readers bound every read by this instead of Size(). One
  // fstat on POSIX; a Windows view cannot shrink, so there it is Size().
  //
  // What remains is a race: a truncation between this call and the read that
  // follows it (a header parse and one upload of the planes, on the same
  // tick) still faults. Only a writer that breaks the frame protocol shrinks
  // a live segment, and the window is one copy long where an unchecked reader
  // faults on every tick after the truncation; closing it would take a SIGBUS
  // handler around every plane read, in a host process whose signal handling
  // belongs to the browser, or a writer that seals its object against
  // shrinking (memfd seals, which named POSIX segments cannot carry).
  size_t BackedSize() const;
  const std::string& Path() const { return path_; }

  // Removes the segment's name so that no one can open it any more; views
  // already mapped stay valid. No-op on Windows, where a mapping disappears
  // with its last handle. On POSIX, false when the name did not exist.
  static bool Remove(const std::string& path);
  // The size of the object of that name, or -1 when it cannot be opened or
  // its size is not known (Windows). For telling why an Open failed.
  static int64_t ObjectSizeOf(const std::string& path);

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
