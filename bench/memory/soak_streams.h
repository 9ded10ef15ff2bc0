#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "publisher/pattern.h"
#include "support/page_lines.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// Camera streams that a thread of their own publishes at `fps` frames a
// second, each a moving tile in a colour of its own, as a media process
// does; the page side may re-publish any of them meanwhile.
class SoakStreams {
 public:
  // Stream n (from 1) is user "u<n>" with stream "s<n>" in the segment
  // `pathPrefix` + "-u<n>".
  SoakStreams(const std::string& pathPrefix, int count, const tallwick::frame::FrameGeometry& geometry, int fps);
  ~SoakStreams();  // stops publishing and removes every segment
  SoakStreams(const SoakStreams&) = delete;
  SoakStreams& operator=(const SoakStreams&) = delete;

  // Creates every segment and starts publishing; false with the failing
  // segment in `error`.
  bool Start(std::string* error);
  void Stop();

  // Replaces stream `index`'s segment with one of `geometry`: the old name
  // is removed (readers keep their mapping), and the new segment gets the
  // old name again or, with `newName`, a name not used before. Its frame
  // ids start again from 1.
  bool Republish(size_t index, bool newName, const tallwick::frame::FrameGeometry& geometry, std::string* error);

  size_t Count() const;
  PageStream Stream(size_t index) const;
  std::vector<PageStream> Streams() const;
  // Frames written into stream `index` so far, over all its segments.
  int64_t Published(size_t index) const;
  int64_t PublishedTotal() const;

 private:
  struct Entry {
    PageStream stream;
    std::string firstPath;  // the name new names are made from
    std::unique_ptr<tallwick::frame::FrameWriter> writer;
    std::unique_ptr<tallwick::publisher::FrameSource> source;
    int32_t nextFrameId = 1;
    int64_t published = 0;
    int generation = 0;
  };

  bool Open(Entry& entry, std::string* error);
  void PublishAll();
  void PublishLoop();

  int fps_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tallwick_bench
