/*
 * writer-demo: a media process in one file. It publishes one moving camera
 * stream through the frame-writer library, using nothing but its header and
 * docs/frame-layout.md, and prints the registration record that the page
 * forwards to its controller element.
 *
 *   writer-demo [--name /SEGMENT] [--uid UID] [--sid SID] [--size WxH]
 *               [--fps N] [--seconds N] [--nv12] [--direct]
 *
 * Defaults: /tallwick-writer-demo, user "demo", stream "demo-1", 640x360,
 * 30 fps, until Ctrl-C (or SIGTERM). Each frame is a colour gradient with a
 * white bar that crosses the picture once a second; the decoder's planes
 * have padded rows, as real decoders leave them. Writes through the two-step
 * interface (begin, fill the segment, commit) with --direct.
 *
 * The record goes to standard output as a JSON array of one, for
 * web/meeting.html's field or its ?diffs= (scripts/demo.sh --writer serves
 * the page for it); progress goes to standard error.
 */

#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "tallwick_frame_writer.h"

typedef struct Options {
  const char* name;
  const char* uid;
  const char* sid;
  int32_t width;
  int32_t height;
  int fps;
  int seconds; /* 0: until stopped */
  int nv12;
  int direct;
} Options;

/* The decoder's output for one frame: planes with padded rows. */
typedef struct Picture {
  int32_t width;
  int32_t height;
  uint8_t* planes[3];
  int32_t strides[3];
} Picture;

static volatile sig_atomic_t stop_requested = 0;

static void OnStop(int signal_number) {
  (void)signal_number;
  stop_requested = 1;
}

static void Usage(FILE* to) {
  fputs(
      "usage: writer-demo [--name /SEGMENT] [--uid UID] [--sid SID] [--size WxH]\n"
      "                   [--fps N] [--seconds N] [--nv12] [--direct]\n"
      "Publishes a moving stream into a frame segment and prints its registration\n"
      "record (a JSON array of one) for the page. Defaults: /tallwick-writer-demo,\n"
      "uid demo, sid demo-1, 640x360, 30 fps, until Ctrl-C.\n",
      to);
}

static int ParseInt(const char* text, int low, int high, int* value) {
  char* end = NULL;
  errno = 0;
  const long parsed = strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return 0;
  *value = (int)parsed;
  return 1;
}

static int ParseSize(const char* text, int32_t* width, int32_t* height) {
  int w = 0;
  int h = 0;
  char extra = 0;
  if (sscanf(text, "%dx%d%c", &w, &h, &extra) != 2 || w < 2 || h < 2 || w > 7680 || h > 4320) return 0;
  *width = w;
  *height = h;
  return 1;
}

/* Returns 0 to go on, 1 after --help, 2 on a bad argument. */
static int ParseOptions(int argc, char** argv, Options* options) {
  for (int at = 1; at < argc; ++at) {
    const char* arg = argv[at];
    const char* value = at + 1 < argc ? argv[at + 1] : NULL;
    int ok = 1;
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      Usage(stdout);
      return 1;
    } else if (strcmp(arg, "--nv12") == 0) {
      options->nv12 = 1;
      continue;
    } else if (strcmp(arg, "--direct") == 0) {
      options->direct = 1;
      continue;
    } else if (value == NULL) {
      ok = 0;
    } else if (strcmp(arg, "--name") == 0) {
      options->name = value;
    } else if (strcmp(arg, "--uid") == 0) {
      options->uid = value;
    } else if (strcmp(arg, "--sid") == 0) {
      options->sid = value;
    } else if (strcmp(arg, "--size") == 0) {
      ok = ParseSize(value, &options->width, &options->height);
    } else if (strcmp(arg, "--fps") == 0) {
      ok = ParseInt(value, 1, 120, &options->fps);
    } else if (strcmp(arg, "--seconds") == 0) {
      ok = ParseInt(value, 0, 86400, &options->seconds);
    } else {
      ok = 0;
    }
    if (!ok) {
      fprintf(stderr, "writer-demo: bad argument: %s%s%s\n", arg, value ? " " : "", value ? value : "");
      Usage(stderr);
      return 2;
    }
    ++at;
  }
  return 0;
}

/* The registration record, as the page forwards it (docs/frame-layout.md).
   The strings are the user's own arguments: only plain ones are taken. */
static int PrintRecord(const Options* options, uint64_t buffer_size) {
  const char* texts[] = {options->name, options->uid, options->sid};
  for (size_t at = 0; at < sizeof texts / sizeof texts[0]; ++at) {
    if (strpbrk(texts[at], "\"\\") != NULL) {
      fprintf(stderr, "writer-demo: %s: quotes and backslashes are not taken here\n", texts[at]);
      return 0;
    }
  }
  printf(
      "[{\"path\":\"%s\",\"uid\":\"%s\",\"sid\":\"%s\",\"bufferSize\":%llu,\"bufferNumber\":1,"
      "\"isScreen\":false,\"isMerge\":false,\"frameFormat\":%d}]\n",
      options->name, options->uid, options->sid, (unsigned long long)buffer_size,
      options->nv12 ? TALLWICK_FW_FORMAT_NV12 : TALLWICK_FW_FORMAT_I420);
  fflush(stdout);
  return 1;
}

static int AllocatePicture(Picture* picture, int32_t width, int32_t height, int nv12) {
  const int32_t chroma_width = (width + 1) / 2;
  const int32_t chroma_rows = (height + 1) / 2;
  const int32_t padding = 32;
  picture->width = width;
  picture->height = height;
  picture->strides[0] = width + padding;
  picture->strides[1] = (nv12 ? 2 * chroma_width : chroma_width) + padding;
  picture->strides[2] = nv12 ? 0 : chroma_width + padding;
  picture->planes[0] = malloc((size_t)picture->strides[0] * (size_t)height);
  picture->planes[1] = malloc((size_t)picture->strides[1] * (size_t)chroma_rows);
  picture->planes[2] = nv12 ? NULL : malloc((size_t)picture->strides[2] * (size_t)chroma_rows);
  return picture->planes[0] != NULL && picture->planes[1] != NULL && (nv12 || picture->planes[2] != NULL);
}

static void FreePicture(Picture* picture) {
  for (int at = 0; at < 3; ++at) free(picture->planes[at]);
}

/* Frame n of the stream into planes at the given places: blue to yellow
   from left to right, dark to light from top to bottom, red that comes and
   goes, and a white bar where the second's fraction puts it.
   uv is NV12's interleaved plane when v is NULL. */
static void Paint(int32_t width, int32_t height, int n, int fps, uint8_t* y, int32_t y_stride, uint8_t* u,
                  int32_t u_stride, uint8_t* v, int32_t v_stride) {
  const int32_t bar = (int32_t)((int64_t)(n % fps) * width / fps);
  const int32_t bar_width = width / 16 + 1;
  for (int32_t row = 0; row < height; ++row) {
    uint8_t* line = y + (size_t)row * (size_t)y_stride;
    for (int32_t column = 0; column < width; ++column) {
      const int on_bar = column >= bar && column < bar + bar_width;
      line[column] = on_bar ? 235 : (uint8_t)(60 + (row * 100) / height);
    }
  }
  /* Red rises and falls over about eight seconds at 30 fps. */
  const int phase = (n * 2) % 512;
  const uint8_t red = (uint8_t)(64 + (phase < 256 ? phase : 511 - phase) / 2);
  const int32_t chroma_width = (width + 1) / 2;
  for (int32_t row = 0; row < (height + 1) / 2; ++row) {
    for (int32_t column = 0; column < chroma_width; ++column) {
      const int on_bar = 2 * column >= bar && 2 * column < bar + bar_width;
      const uint8_t cb = on_bar ? 128 : (uint8_t)(64 + (column * 128) / chroma_width);
      const uint8_t cr = on_bar ? 128 : red;
      if (v == NULL) {
        u[(size_t)row * (size_t)u_stride + 2 * (size_t)column] = cb;
        u[(size_t)row * (size_t)u_stride + 2 * (size_t)column + 1] = cr;
      } else {
        u[(size_t)row * (size_t)u_stride + (size_t)column] = cb;
        v[(size_t)row * (size_t)v_stride + (size_t)column] = cr;
      }
    }
  }
}

/* One frame: painted into the decoder's planes and copied by a write, or
   painted straight into the segment between begin and commit. */
static tallwick_fw_error PublishFrame(tallwick_frame_writer* writer, const Options* options, Picture* picture, int n) {
  const int32_t id = n + 1;
  const int32_t format = options->nv12 ? TALLWICK_FW_FORMAT_NV12 : TALLWICK_FW_FORMAT_I420;
  if (options->direct) {
    uint8_t* planes[3];
    int32_t strides[3];
    tallwick_fw_error error = tallwick_fw_begin(writer, format, picture->width, picture->height, planes, strides);
    if (error != TALLWICK_FW_OK) return error;
    Paint(picture->width, picture->height, n, options->fps, planes[0], strides[0], planes[1], strides[1], planes[2],
          strides[2]);
    return tallwick_fw_commit(writer, id);
  }
  Paint(picture->width, picture->height, n, options->fps, picture->planes[0], picture->strides[0], picture->planes[1],
        picture->strides[1], picture->planes[2], picture->strides[2]);
  if (options->nv12) {
    return tallwick_fw_write_nv12(writer, id, picture->width, picture->height, picture->planes[0], picture->strides[0],
                                  picture->planes[1], picture->strides[1]);
  }
  return tallwick_fw_write_i420(writer, id, picture->width, picture->height, picture->planes[0], picture->strides[0],
                                picture->planes[1], picture->strides[1], picture->planes[2], picture->strides[2]);
}

static void SleepUntil(struct timespec* next, long period_ns) {
  next->tv_nsec += period_ns;
  while (next->tv_nsec >= 1000000000L) {
    next->tv_nsec -= 1000000000L;
    next->tv_sec += 1;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, next, NULL) == EINTR && !stop_requested) {
  }
}

static int Run(const Options* options) {
  tallwick_frame_writer* writer = NULL;
  tallwick_fw_error error = tallwick_fw_create(options->name, options->width, options->height, &writer);
  if (error != TALLWICK_FW_OK) {
    fprintf(stderr, "writer-demo: cannot create %s: %s\n", options->name, tallwick_fw_error_text(error));
    return 1;
  }
  Picture picture = {0};
  int status = 0;
  if (!AllocatePicture(&picture, options->width, options->height, options->nv12)) {
    fprintf(stderr, "writer-demo: out of memory\n");
    status = 1;
  } else if (!PrintRecord(options, tallwick_fw_buffer_size(writer))) {
    status = 2;
  }
  const int total = options->seconds * options->fps;
  const long period_ns = 1000000000L / options->fps;
  struct timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  int n = 0;
  for (; status == 0 && !stop_requested && (total == 0 || n < total); ++n) {
    error = PublishFrame(writer, options, &picture, n);
    if (error != TALLWICK_FW_OK) {
      fprintf(stderr, "writer-demo: frame %d: %s\n", n + 1, tallwick_fw_error_text(error));
      status = 1;
      break;
    }
    if ((n + 1) % (options->fps * 5) == 0) fprintf(stderr, "writer-demo: %d frames\n", n + 1);
    SleepUntil(&next, period_ns);
  }
  fprintf(stderr, "writer-demo: %d frames of %dx%d %s written to %s\n", n, options->width, options->height,
          options->nv12 ? "NV12" : "I420", options->name);
  FreePicture(&picture);
  tallwick_fw_close(writer, 0);
  return status;
}

int main(int argc, char** argv) {
  Options options = {"/tallwick-writer-demo", "demo", "demo-1", 640, 360, 30, 0, 0, 0};
  const int parsed = ParseOptions(argc, argv, &options);
  if (parsed != 0) return parsed == 1 ? 0 : 2;
  signal(SIGINT, OnStop);
  signal(SIGTERM, OnStop);
  return Run(&options);
}
