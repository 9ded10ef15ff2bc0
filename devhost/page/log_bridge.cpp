#include "devhost/page/log_bridge.h"

#include "tallwick_log.h"

namespace pphost {

namespace {

void WriteLogLine(void* context, const char* tag, int level, const char* text) {
  static_cast<OutputWriter*>(context)->Log(tag, level, text);
}

}  // namespace

LogBridge::LogBridge(OutputWriter& output) { TallwickLogSetSink(&WriteLogLine, &output); }

LogBridge::~LogBridge() { TallwickLogSetSink(nullptr, nullptr); }

}  // namespace pphost
