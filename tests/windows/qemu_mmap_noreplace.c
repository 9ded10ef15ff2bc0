/* Preload library for 32-bit Wine run by qemu-i386 (a kernel that runs no
 * i386 code; scripts/setup.sh then registers qemu for i386 programs).
 *
 * qemu 7.2 takes the address of an mmap with MAP_FIXED_NOREPLACE as a mere
 * hint: where the range is taken it maps elsewhere instead of failing with
 * EEXIST. Wine reserves its address space at start-up by halving ranges down
 * to 64 KiB until such requests succeed, keeps what lands above its limit,
 * and so walks gigabytes in 64 KiB steps: a minute of emulation per process.
 * Here a request that did not land where it asked fails as the kernel's
 * would.
 *
 * Built without a C library (the machine has no i386 headers): the few
 * declarations below are the i386 ABI's. The x86_64 build of this file is
 * empty; it only keeps the 64-bit wineserver, which inherits LD_PRELOAD,
 * from complaining about a library of the wrong class. */

#if defined(__i386__)

typedef unsigned int size_type;
typedef long long offset64;

#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define MAP_FAILED ((void*)-1)
#define RTLD_NEXT ((void*)-1)

extern void* dlsym(void* handle, const char* name);
extern int* __errno_location(void);
extern int munmap(void* address, size_type length);

typedef void* (*mmap64_function)(void* address, size_type length, int protection, int flags, int fd, offset64 offset);

static void* landed_or_failed(void* wanted, void* got, size_type length, int flags) {
  if (!(flags & MAP_FIXED_NOREPLACE) || got == MAP_FAILED || got == wanted) {
    return got;
  }
  munmap(got, length);
  *__errno_location() = EEXIST;
  return MAP_FAILED;
}

void* mmap64(void* address, size_type length, int protection, int flags, int fd, offset64 offset) {
  static mmap64_function next;
  if (!next) {
    next = (mmap64_function)dlsym(RTLD_NEXT, "mmap64");
  }
  return landed_or_failed(address, next(address, length, protection, flags, fd, offset), length, flags);
}

void* mmap(void* address, size_type length, int protection, int flags, int fd, long offset) {
  return mmap64(address, length, protection, flags, fd, offset);
}

#else

int tallwick_qemu_mmap_noreplace_unused;

#endif
