#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "devhost/json.h"
#include "page_streams.h"

namespace tallwick_fuzz {

// What the harness knows of the page it plays, from the messages it sent
// and the replies it got, never from the module's own state: which streams
// the registry may have held under which key during the input, each render
// element's state as its replies confirmed it, and the gallery's layouts.
// Values are read as the module's page interface reads them (a number as an
// integer truncates, a value of another type reads as 0, false or "").
class PageModel {
 public:
  struct Tile {
    std::string key;
    double left = 0, top = 0, width = 0, height = 0;
  };
  struct Element {
    bool inited = false;   // an INIT was answered 0: the element has a renderer
    bool started = false;  // START_RENDER accepted, no STOP_RENDER, RESET or INIT (single stream) since
    bool lost = false;     // its 3D contexts were lost after its last INIT
    bool failed = false;   // it posted an ERROR (other than an undrawable frame's) after its last INIT
    bool everStarted = false;
    // Single stream: an INIT came after a START_RENDER, so perhaps while a
    // swap was in flight. Its clear is then put off until that swap
    // completes and made on the new renderer, which has no context yet and
    // refuses it; the element counts that clear's swap as in flight for
    // ever, and draws nothing more. That is the element's defined
    // behaviour, so no new picture is expected from it.
    bool mayWaitForever = false;
    double dpr = 1;
    double intervalMs = 50;
    // The longest interval it had: a tick armed before a faster "fps" still
    // comes after the old interval.
    double longestIntervalMs = 50;
    std::set<std::string> keys;      // single stream: the key of its last INIT
    std::set<std::string> everKeys;  // single stream: every key it had in this input
    std::vector<Tile> layout;        // gallery: its last layout
    std::vector<Tile> everTiles;     // gallery: every tile of every layout in this input
  };

  // Forgets the input (the next one starts with a cleared registry); keeps
  // what the controller keeps across inputs.
  void Reset();
  // A message and the reply it got (null when none came).
  void Message(char role, const pphost::Json& msg, const pphost::Json* reply);
  void Recreated(char role);
  void ContextLost(char role);
  // The element posted an ERROR event with `code`.
  void ErrorPosted(char role, int code);

  const Element& Of(char role) const { return elements_.at(role); }
  // The script streams and the probe that the registry may have held under
  // `key` at some time in this input.
  std::set<size_t> StreamsEverUnder(const std::string& key) const;
  // Keys under which the controller may name the local user's own streams,
  // which a single-stream preview or local screen share follows: kept for
  // the process, as the controller keeps them across inputs.
  const std::set<std::string>& SelfKeys() const { return selfKeys_; }
  // Every colour a message gave as a background (an array of three or four
  // numbers, read both as GL's 0..1 and as 0..255).
  const std::vector<Rgb>& Backgrounds() const { return backgrounds_; }

 private:
  void ControllerMessage(const std::string& command, const pphost::Json& data);
  void RenderMessage(Element& element, const std::string& command, const pphost::Json& data, int error);
  void GalleryMessage(Element& element, const std::string& command, const pphost::Json& data, int error);
  void NoteColours(const pphost::Json& value);

  std::map<char, Element> elements_{{'r', {}}, {'g', {}}};
  std::map<std::string, std::set<size_t>> ever_;
  std::set<std::string> selfKeys_;
  std::vector<Rgb> backgrounds_;
};

// The controller's stream key: uid, then "_SCREEN", "_MERGE" or "_CAMERA".
std::string StreamKey(const std::string& uid, bool isScreen, bool isMerge);

}  // namespace tallwick_fuzz
