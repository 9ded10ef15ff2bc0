/* tallwick-log: the log library the module writes its lines through.
 * C interface, callable from any thread. */
#ifndef TALLWICK_LOG_H_
#define TALLWICK_LOG_H_

#if defined(_WIN32)
#if defined(TALLWICK_LOG_BUILDING)
#define TALLWICK_LOG_API __declspec(dllexport)
#else
#define TALLWICK_LOG_API __declspec(dllimport)
#endif
#else
#define TALLWICK_LOG_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opens (or keeps) a rotating log file named after `name` in the folder `path`
 * (a default folder when empty). Calling it again is harmless: with the same
 * folder and name it does nothing, otherwise it moves to the new file.
 * `name2` and the four integers are accepted and not used. Returns 0, or -1
 * when the file could not be opened (lines still reach the sink). */
TALLWICK_LOG_API int CreateTallwickLogger(int version, const char* path, const char* name, const char* name2,
                                          int reserved1, int reserved2, int reserved3, int reserved4);

/* The levels a line is written at. A level below TALLWICK_LOG_DEBUG is
 * written as debug, one above TALLWICK_LOG_CRITICAL as critical. */
enum TallwickLogLevel {
  TALLWICK_LOG_DEBUG = 2,
  TALLWICK_LOG_INFO = 3,
  TALLWICK_LOG_WARNING = 4,
  TALLWICK_LOG_ERROR = 5,
  TALLWICK_LOG_CRITICAL = 6
};

/* Writes one line at `level` (a TallwickLogLevel, or any int as above).
 * Does nothing unless a logger is created. When it returns, the file has the
 * whole line, even if the process is killed right after. */
TALLWICK_LOG_API int TallwickLogWrite(const char* tag, int level, const char* text);

/* Flushes and closes the logger; later writes are dropped until the next create. */
TALLWICK_LOG_API int DestroyTallwickLogger(void);

/* Receives every line that is written (while a logger exists), after the file
 * has it. One sink at a time; null removes it. */
typedef void (*TallwickLogSink)(void* context, const char* tag, int level, const char* text);
TALLWICK_LOG_API void TallwickLogSetSink(TallwickLogSink sink, void* context);

#ifdef __cplusplus
}
#endif

#endif /* TALLWICK_LOG_H_ */
