#pragma once

#include <vector>

#include "support/latency_stats.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// How the streams publish: `fps` frames a second each for `seconds`. With
// `spreadPhases`, stream i of n publishes i/n of a frame period after
// stream 0, as independent senders would; without, all at the same instant.
//
// The element's paint loop ticks on exactly the same period, so a sender at
// exactly `fps` meets the ticks at one phase for the whole run, chosen by
// when the run started: its latency would be that phase plus the draw, and
// it would lose frames only when that phase lies next to a tick. With
// `sweepPhase`, every frame comes 1/frames of a period later than the one
// before would: over the run the publish instants slide once through the
// whole tick period (the rate is `fps` x frames / (frames + 1)), so the
// figures cover every phase, as senders on their own clocks do.
struct PublishPlan {
  int fps = 30;
  int seconds = 10;
  bool spreadPhases = true;
  bool sweepPhase = false;
};

// Publishes frames 1, 2, ... into every writer on the plan's timeline: a
// moving-bars picture with the frame's id drawn in (DrawId), recording each
// publish time in the stream's log. Each picture is drawn into `staging`
// (of the streams' geometry) first and copied into the stream's segment in
// one go, as a media process copies a decoded frame. Runs on the calling
// thread until the last frame is out; a frame that comes late goes out at
// once, and its log holds the time it really went out.
void PublishIdFrames(const std::vector<tallwick::frame::FrameWriter*>& writers, tallwick::frame::FrameWriter& staging,
                     std::vector<PublishLog>& logs, const PublishPlan& plan);

}  // namespace tallwick_bench
