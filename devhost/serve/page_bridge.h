#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "devhost/json.h"
#include "devhost/serve/frame_encoder.h"
#include "devhost/serve/picture_fit.h"
#include "devhost/serve/tab_link.h"

namespace pphost::serve {

// Joins browser tabs to the one Host of the process. Each tab is a page of
// its own: its elements become instances whose page ids carry the tab number
// ("3/speaker"), so the Host keeps them apart, and whatever the Host writes
// about an instance goes back to its tab under the element's own id.
//
// A tab asks in the page protocol's own words (`create`, `view`, `message`,
// `input`, `destroy`); what the Host answers comes back as its output lines
// (`created`, `post`, `cursor`, `input`, `error`). Frames travel apart: once an
// element has presented, its newest picture goes to the tab as one binary
// message, and the next only after the tab says it drew that one (`drawn`).
// Nothing queues: swaps in between are skipped, and a tab that stops drawing
// (in the background) stops being sent pictures. With `fitToView`, a picture
// larger than its element's last view (in device pixels) goes out scaled
// down to it.
//
// Everything runs on the thread that drives the Host.
class PageBridge {
 public:
  PageBridge(FrameEncoder encoder, bool fitToView);

  // The sink the Host must be made with, and then the Host.
  LineSink Sink();
  void Attach(Host* host);

  // A tab connected; the number it is known by.
  int OpenTab(TabLink* link);
  // The tab went away: its instances are destroyed.
  void CloseTab(int tab);
  // One text message from the tab; none from a tab that is not open.
  void FromTab(int tab, const std::string& text);
  // Sends each tab that can take one the newest picture of its elements
  // that presented since the last.
  void SendFrames();

  // Tabs, elements and what the module holds, as /status reports them.
  Json Status() const;

 private:
  struct Element {
    bool created = false;
    bool fresh = false;    // presented since its last picture went out
    bool drawing = false;  // a picture is out and not yet drawn
    ViewPixels view;       // of the last view the Host carried out
  };
  struct Tab {
    TabLink* link = nullptr;
    std::map<std::string, Element> elements;
  };

  void FromHost(const std::string& line);
  void Route(Json line);
  void Forward(Tab& tab, const std::string& element, Json line);
  void Carry(int tab, Json request);
  void Drawn(Tab& tab, const Json& request);
  void RememberView(Tab& tab, const std::string& element, const Json& request);
  void Reply(int tab, const std::string& text);
  void SendFrame(int tab, const std::string& element);
  std::vector<uint8_t> FrameMessage(const std::string& element, const PresentedImage& picture, int64_t swaps);

  FrameEncoder encoder_;
  bool fitToView_;
  PresentedImage scaled_;  // scratch of FitToView
  Host* host_ = nullptr;
  std::map<int, Tab> tabs_;
  int nextTab_ = 1;
  int speaking_ = 0;  // the tab whose request the Host is carrying out
};

}  // namespace pphost::serve
