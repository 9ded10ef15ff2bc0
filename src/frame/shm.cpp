#include "frame/shm.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace shoom {

Shm::Shm(std::string path, size_t size) : path_(std::move(path)), size_(size) {}

Shm::~Shm() { Close(); }

ShoomError Shm::Create() { return CreateOrOpen(true); }

ShoomError Shm::Open() { return CreateOrOpen(false); }

#ifdef _WIN32

namespace {

// Size of the region a view occupies (whole pages).
size_t ViewSize(const void* view) {
  MEMORY_BASIC_INFORMATION info;
  return VirtualQuery(view, &info, sizeof(info)) == 0 ? 0 : info.RegionSize;
}

}  // namespace

ShoomError Shm::CreateOrOpen(bool create) {
  Close();
  if (create) {
    // Backed by the paging file; the size fits the low word of the maximum size.
    handle_ =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size_), path_.c_str());
    if (handle_ == nullptr) return kErrorCreationFailed;
  } else {
    handle_ = OpenFileMappingA(FILE_MAP_READ, FALSE, path_.c_str());
    if (handle_ == nullptr) return kErrorOpeningFailed;
  }
  const DWORD access = create ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ;
  void* view = MapViewOfFile(handle_, access, 0, 0, size_);
  if (view == nullptr) return kErrorMappingFailed;
  data_ = static_cast<uint8_t*>(view);
  if (size_ == 0) size_ = ViewSize(view);
  return kOK;
}

void Shm::Close() {
  if (data_ != nullptr) {
    UnmapViewOfFile(data_);
    data_ = nullptr;
  }
  if (handle_ != kNoHandle) {
    CloseHandle(handle_);
    handle_ = kNoHandle;
  }
}

bool Shm::Remove(const std::string& /*path*/) { return true; }

int64_t Shm::ObjectSizeOf(const std::string& /*path*/) { return -1; }

size_t Shm::BackedSize() const { return data_ != nullptr ? size_ : 0; }

#else  // POSIX

namespace {

bool ObjectSize(int fd, size_t* size) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || info.st_size < 0) return false;
  if (static_cast<uintmax_t>(info.st_size) > SIZE_MAX) return false;
  *size = static_cast<size_t>(info.st_size);
  return true;
}

// The writer's object must hold at least `size` bytes; an existing larger one is kept.
bool GrowTo(int fd, size_t size) {
  size_t current = 0;
  if (!ObjectSize(fd, &current)) return false;
  return current >= size || ftruncate(fd, static_cast<off_t>(size)) == 0;
}

// Bytes to map: the whole object for 0. Like a Windows view, a request larger
// than the object (or an empty object) cannot be mapped.
// An empty object, or one smaller than asked, fails as mmap fails for a
// length it cannot map: with EINVAL, which the callers' log lines report as
// the system's error (mmap itself would map it and fault on the first read
// past the end).
bool MapSize(int fd, size_t requested, size_t* mapSize) {
  size_t objectSize = 0;
  if (!ObjectSize(fd, &objectSize)) return false;
  *mapSize = requested == 0 ? objectSize : requested;
  if (*mapSize != 0 && *mapSize <= objectSize) return true;
  errno = EINVAL;
  return false;
}

}  // namespace

ShoomError Shm::CreateOrOpen(bool create) {
  Close();
  handle_ = shm_open(path_.c_str(), create ? (O_CREAT | O_RDWR) : O_RDONLY, 0644);
  if (handle_ < 0) {
    handle_ = kNoHandle;
    return create ? kErrorCreationFailed : kErrorOpeningFailed;
  }
  if (create && !GrowTo(handle_, size_)) return kErrorCreationFailed;
  size_t mapSize = 0;
  if (!MapSize(handle_, size_, &mapSize)) return kErrorMappingFailed;
  const int protection = create ? (PROT_READ | PROT_WRITE) : PROT_READ;
  void* view = mmap(nullptr, mapSize, protection, MAP_SHARED, handle_, 0);
  if (view == MAP_FAILED) return kErrorMappingFailed;
  data_ = static_cast<uint8_t*>(view);
  size_ = mapSize;
  return kOK;
}

void Shm::Close() {
  if (data_ != nullptr) {
    munmap(data_, size_);
    data_ = nullptr;
  }
  if (handle_ != kNoHandle) {
    close(handle_);
    handle_ = kNoHandle;
  }
}

bool Shm::Remove(const std::string& path) { return shm_unlink(path.c_str()) == 0; }

// errno is kept: the caller tells the failure this follows by it.
int64_t Shm::ObjectSizeOf(const std::string& path) {
  const int failure = errno;
  const int fd = shm_open(path.c_str(), O_RDONLY, 0);
  size_t size = 0;
  const bool known = fd >= 0 && ObjectSize(fd, &size);
  if (fd >= 0) close(fd);
  errno = failure;
  return known ? static_cast<int64_t>(size) : -1;
}

size_t Shm::BackedSize() const {
  size_t objectSize = 0;
  if (data_ == nullptr || !ObjectSize(handle_, &objectSize)) return 0;
  return objectSize < size_ ? objectSize : size_;
}

#endif

}  // namespace shoom
