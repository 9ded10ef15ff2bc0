/*
 * Writes one frame of a single colour through the writer's C interface, as a
 * media process would, and leaves the segment's name in place for a reader
 * (POSIX). Prints the bufferSize to register.
 *
 *   write_frame NAME WIDTH HEIGHT i420|nv12 Y U V
 */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tallwick_frame_writer.h"

static int Fail(const char* step, tallwick_fw_error error) {
  fprintf(stderr, "write_frame: %s: %s (%d)\n", step, tallwick_fw_error_text(error), (int)error);
  return 1;
}

int main(int argc, char** argv) {
  if (argc != 8) {
    fprintf(stderr, "usage: write_frame NAME WIDTH HEIGHT i420|nv12 Y U V\n");
    return 2;
  }
  const char* name = argv[1];
  const int32_t width = (int32_t)strtol(argv[2], NULL, 10);
  const int32_t height = (int32_t)strtol(argv[3], NULL, 10);
  const int nv12 = strcmp(argv[4], "nv12") == 0;
  const int y = atoi(argv[5]);
  const int u = atoi(argv[6]);
  const int v = atoi(argv[7]);

  /* Source planes with 8 bytes of padding a row, as a decoder might leave them. */
  const int32_t chroma = (width + 1) / 2;
  const int32_t yStride = width + 8;
  const int32_t cStride = (nv12 ? 2 * chroma : chroma) + 8;
  uint8_t* yPlane = malloc((size_t)yStride * (size_t)height);
  uint8_t* uPlane = malloc((size_t)cStride * (size_t)(height / 2 + 1));
  uint8_t* vPlane = malloc((size_t)cStride * (size_t)(height / 2 + 1));
  if (yPlane == NULL || uPlane == NULL || vPlane == NULL) return 1;
  memset(yPlane, y, (size_t)yStride * (size_t)height);
  memset(vPlane, v, (size_t)cStride * (size_t)(height / 2 + 1));
  if (nv12) {
    for (size_t at = 0; at < (size_t)cStride * (size_t)(height / 2 + 1); ++at) uPlane[at] = (uint8_t)(at % 2 ? v : u);
  } else {
    memset(uPlane, u, (size_t)cStride * (size_t)(height / 2 + 1));
  }

  tallwick_frame_writer* writer = NULL;
  tallwick_fw_error error = tallwick_fw_create(name, width, height, &writer);
  if (error != TALLWICK_FW_OK) return Fail("create", error);
  error = nv12 ? tallwick_fw_write_nv12(writer, 1, width, height, yPlane, yStride, uPlane, cStride)
               : tallwick_fw_write_i420(writer, 1, width, height, yPlane, yStride, uPlane, cStride, vPlane, cStride);
  if (error != TALLWICK_FW_OK) return Fail("write", error);
  printf("%llu\n", (unsigned long long)tallwick_fw_buffer_size(writer));
  tallwick_fw_close(writer, 1);
  free(yPlane);
  free(uPlane);
  free(vPlane);
  return 0;
}
