#ifndef TALLWICK_FRAME_WRITER_H
#define TALLWICK_FRAME_WRITER_H

/*
 * tallwick-frame-writer: publishes decoded video frames into a named
 * shared-memory segment that the render module reads (docs/frame-layout.md).
 *
 * One writer owns one segment, created at a size fixed for its life, and
 * rewrites the segment's one frame for every picture. Each write first marks
 * the frame as being written, then copies the header and the planes, then
 * marks it complete, so a reader never takes a half-written frame as
 * complete. A write that is refused changes nothing in the segment: the last
 * complete frame stays readable.
 *
 * Every function returns an error code instead of failing in any other way;
 * none of them throws or aborts. A writer is not thread-safe: use it from one
 * thread at a time.
 *
 * Linking: the shared library (tallwick-frame-writer.dll / .so) needs nothing
 * defined. Code that links the static library on Windows defines
 * TALLWICK_FRAME_WRITER_STATIC before including this header.
 */

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(TALLWICK_FRAME_WRITER_BUILDING)
#define TALLWICK_FRAME_WRITER_API __declspec(dllexport)
#elif defined(TALLWICK_FRAME_WRITER_STATIC)
#define TALLWICK_FRAME_WRITER_API
#else
#define TALLWICK_FRAME_WRITER_API __declspec(dllimport)
#endif
#else
#define TALLWICK_FRAME_WRITER_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result of every call. */
typedef enum tallwick_fw_error {
  TALLWICK_FW_OK = 0,
  /* A pointer argument that must not be null was null. */
  TALLWICK_FW_ERROR_NULL_ARGUMENT = 1,
  /* The segment name is empty, too long, or (POSIX) does not have the form
     "/name" without further slashes. */
  TALLWICK_FW_ERROR_BAD_NAME = 2,
  /* Width or height is 0 or negative, or a buffer size smaller than the
     header. */
  TALLWICK_FW_ERROR_BAD_SIZE = 3,
  /* The frame or segment would be larger than a reader maps
     (TALLWICK_FW_MAX_SEGMENT_SIZE bytes). */
  TALLWICK_FW_ERROR_TOO_LARGE = 4,
  /* A source stride is smaller than the row it holds. */
  TALLWICK_FW_ERROR_BAD_STRIDE = 5,
  /* The frame needs more bytes than the writer's segment has. */
  TALLWICK_FW_ERROR_DOES_NOT_FIT = 6,
  /* The rotation is not 0, 90, 180 or 270. */
  TALLWICK_FW_ERROR_BAD_ROTATION = 7,
  /* The frame id is -1, which readers take as "nothing drawn yet". */
  TALLWICK_FW_ERROR_BAD_FRAME_ID = 8,
  /* The operating system refused to create the segment. */
  TALLWICK_FW_ERROR_CREATE_FAILED = 9,
  /* The segment was created but could not be mapped. */
  TALLWICK_FW_ERROR_MAP_FAILED = 10,
  /* No memory for the writer itself. */
  TALLWICK_FW_ERROR_OUT_OF_MEMORY = 11,
  /* tallwick_fw_commit without a frame begun by tallwick_fw_begin. */
  TALLWICK_FW_ERROR_WRONG_STEP = 12,
  /* An unexpected failure inside the library. */
  TALLWICK_FW_ERROR_INTERNAL = 13,
  /* The format is neither TALLWICK_FW_FORMAT_I420 nor TALLWICK_FW_FORMAT_NV12. */
  TALLWICK_FW_ERROR_BAD_FORMAT = 14
} tallwick_fw_error;

/* Pixel formats, as the frame header's format word. */
#define TALLWICK_FW_FORMAT_I420 0
#define TALLWICK_FW_FORMAT_NV12 2

/* The largest segment, and so frame, a reader maps: 2^31 - 1 bytes. */
#define TALLWICK_FW_MAX_SEGMENT_SIZE 2147483647u

/* Bytes of the frame header before plane 0. */
#define TALLWICK_FW_HEADER_SIZE 52u

typedef struct tallwick_frame_writer tallwick_frame_writer;

/* A fixed text for every code (an unknown code gets a text saying so). */
TALLWICK_FRAME_WRITER_API const char* tallwick_fw_error_text(tallwick_fw_error error);

/* Bytes a segment needs for one width x height frame in the layout this
   library writes (rows without padding): the same for I420 and NV12. Sets
   *size and returns TALLWICK_FW_OK, or returns BAD_SIZE or TOO_LARGE. */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_frame_size(int32_t width, int32_t height, uint64_t* size);

/* Creates the segment `name` (POSIX: "/name"; Windows: the file mapping's
   name), large enough for frames up to max_width x max_height, maps it and
   returns the writer in *writer. The segment holds no complete frame until
   the first write, even where an earlier segment of that name is reused. */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_create(const char* name, int32_t max_width, int32_t max_height,
                                                               tallwick_frame_writer** writer);

/* The same with the segment's size in bytes (header included). */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_create_sized(const char* name, uint64_t buffer_size,
                                                                     tallwick_frame_writer** writer);

/* The segment's size: the bufferSize to register with the page. 0 for null. */
TALLWICK_FRAME_WRITER_API uint64_t tallwick_fw_buffer_size(const tallwick_frame_writer* writer);

/* Rotation (0, 90, 180 or 270 degrees clockwise) and mirroring (non-zero)
   that the following frames carry for display; both start at 0. */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_set_orientation(tallwick_frame_writer* writer, int32_t rotation,
                                                                        int32_t flip);

/* Writes one I420 frame: y has `height` rows of `width` bytes, u and v have
   height / 2 rows of (width + 1) / 2 bytes; each plane's rows are its stride
   apart, and a stride may not be smaller than its row. The frame becomes
   complete with id frame_id (any value but -1; use a new one per frame). */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_write_i420(tallwick_frame_writer* writer, int32_t frame_id,
                                                                   int32_t width, int32_t height, const uint8_t* y,
                                                                   int32_t y_stride, const uint8_t* u, int32_t u_stride,
                                                                   const uint8_t* v, int32_t v_stride);

/* Writes one NV12 frame: y as for I420, uv has height / 2 rows of
   2 * ((width + 1) / 2) bytes, U then V for every two pixels. */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_write_nv12(tallwick_frame_writer* writer, int32_t frame_id,
                                                                   int32_t width, int32_t height, const uint8_t* y,
                                                                   int32_t y_stride, const uint8_t* uv,
                                                                   int32_t uv_stride);

/* The two steps of a write, for a decoder that fills the segment itself.
   tallwick_fw_begin marks the frame as being written, sets the header's
   geometry and returns where each plane starts in the segment (planes[2] is
   null for NV12) and its stride; fill the planes, then tallwick_fw_commit
   publishes the frame as complete. Until the commit, readers draw nothing
   new. A refused begin changes nothing. */
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_begin(tallwick_frame_writer* writer, int32_t format,
                                                              int32_t width, int32_t height, uint8_t* planes[3],
                                                              int32_t strides[3]);
TALLWICK_FRAME_WRITER_API tallwick_fw_error tallwick_fw_commit(tallwick_frame_writer* writer, int32_t frame_id);

/* Unmaps the segment and frees the writer. With keep_name 0 the segment's
   name is removed (POSIX), so no new reader can open it; readers that have
   it mapped keep their view. With keep_name non-zero it stays (POSIX; on
   Windows a segment always goes with its last handle). Null is a no-op. */
TALLWICK_FRAME_WRITER_API void tallwick_fw_close(tallwick_frame_writer* writer, int32_t keep_name);

#ifdef __cplusplus
}
#endif

#endif /* TALLWICK_FRAME_WRITER_H */
