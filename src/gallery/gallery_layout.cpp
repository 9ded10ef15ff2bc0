// GalleryRenderEmbed's layouts (the class is in gallery_render_embed.h): how
// a new tile layout from the page replaces the current one, and when the
// change asks for the whole element to be cleared.
#include <iterator>

#include "common/log_instance.h"
#include "controller/share_memory_diff.h"
#include "embed/protocol.h"
#include "gallery/gallery_render_embed.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LogAt;

namespace {

constexpr uint32_t kColorComponents = 4;

// A tile whose state a new layout keeps: drawn, or (withStatus) with a
// frame status reported or frames the page was told cannot be drawn.
bool CarriesState(const GalleryRenderInfo& info, bool withStatus) {
  return info.isPainting || (withStatus && (info.reader.Status() != kStatusNone || info.reader.Undrawable()));
}

// Only tiles that carry state worth keeping across a layout change.
GalleryRenderInfos Snapshot(const GalleryRenderInfos& infos, bool withStatus) {
  GalleryRenderInfos kept;
  for (const auto& [key, info] : infos) {
    if (CarriesState(info, withStatus)) kept.emplace(key, info);
  }
  return kept;
}

TileColor ReadTileColor(const pp::Var& value) {
  const pp::VarArray color(value);
  TileColor tile{};
  if (color.GetLength() != kColorComponents) return tile;
  for (uint32_t i = 0; i < kColorComponents; ++i) tile.at(i) = static_cast<float>(color.Get(i).AsDouble());
  return tile;
}

float ReadFloat(const pp::VarDictionary& config, const char* key) {
  return static_cast<float>(config.Get(key).AsDouble());
}

}  // namespace

GalleryRenderInfo GalleryRenderEmbed::ReadRenderInfo(const pp::Var& value, int32_t index) const {
  const pp::VarDictionary item(value);
  const pp::VarDictionary config(item.Get(kKeyRenderConfig));
  GalleryRenderInfo info;
  info.uid = item.Get(kKeyUserId).AsString();
  info.sid = item.Get(kKeyStreamId).AsString();
  info.streamType = item.Get(kKeyStreamType).AsString();
  info.isSelf = item.Get(kKeyIsSelf).AsBool();
  info.isMirror = config.Get(kKeyIsMirror).AsBool();
  info.top = ReadFloat(config, kKeyTop);
  info.left = ReadFloat(config, kKeyLeft);
  info.width = ReadFloat(config, kKeyWidth);
  info.height = ReadFloat(config, kKeyHeight);
  info.renderMode = config.Get(kKeyRenderMode).AsInt();
  info.backgroundColor = ReadTileColor(config.Get(kKeyBackgroundColor));
  info.index = index;
  info.reader.StartWait();
  return info;
}

// Fills pendingRenderInfos from the page's list. A stream that is already on
// screen keeps its segment, frame, status and timing; it counts as drawn only
// if it stays at the same place in the list.
void GalleryRenderEmbed::ParseRenderInfo(const pp::VarArray& items) {
  const GalleryRenderInfos painting = Snapshot(renderinfos_, false);
  pendingRenderInfos.clear();
  const uint32_t count = items.GetLength();
  for (uint32_t i = 0; i < count; ++i) {
    GalleryRenderInfo info = ReadRenderInfo(items.Get(i), static_cast<int32_t>(i));
    const std::string key = MakeStreamKey(info.uid, false, false);
    auto old = painting.find(key);
    if (old != painting.end()) {
      info.reader = old->second.reader;
      info.isPainting = old->second.index == info.index;
      LogAt(kLevelInfo,
            "[GalleryRenderEmbed] uuid:{} ParseRenderInfo, but already painting, updateinfo, sid = {}, key = {}", uuid,
            info.sid, key);
    } else {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} ParseRenderInfo, sid = {}, key: {}", uuid, info.sid, key);
    }
    pendingRenderInfos[key] = std::move(info);
  }
  layoutPending_ = true;
}

// Makes the pending layout current, carrying over the state of tiles that
// were drawn or had reported a status. Once applied, the layout is applied
// again at every paint tick; that only restores the tiles without state.
void GalleryRenderEmbed::ApplyPendingRenderInfos() {
  if (!layoutPending_) {
    RestoreTilesWithoutState();
    return;
  }
  layoutPending_ = false;
  const GalleryRenderInfos kept = Snapshot(renderinfos_, true);
  renderinfos_ = pendingRenderInfos;
  for (auto& [key, info] : renderinfos_) {
    auto old = kept.find(key);
    if (old == kept.end()) continue;
    const GalleryRenderInfo& previous = old->second;
    if (previous.index == info.index) info.isPainting = previous.isPainting;
    info.reader = previous.reader;
  }
}

// With the pending layout already applied, both maps hold the same keys and
// tiles, and a tile with state would be carried over unchanged. A tile
// without state gets its pending record back: a segment it opened and the
// frames it read since are dropped, as a fresh copy of the layout drops them.
void GalleryRenderEmbed::RestoreTilesWithoutState() {
  for (auto& [key, info] : renderinfos_) {
    if (CarriesState(info, true)) continue;
    const auto pending = pendingRenderInfos.find(key);
    if (pending != pendingRenderInfos.end()) info = pending->second;
  }
}

bool GalleryRenderEmbed::CheckNeedClearScreen() const {
  if (renderinfos_.size() != pendingRenderInfos.size()) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} CheckNeedClearScreen render infos size changed, needClear:true",
          uuid);
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} need clear screen", uuid);
    return true;
  }
  // Both maps usually hold the same keys: walk them side by side and look a
  // key up only where they part.
  auto next = pendingRenderInfos.begin();
  for (const auto& [key, old] : renderinfos_) {
    const bool inStep = next != pendingRenderInfos.end() && next->first == key;
    const auto now = inStep ? next : pendingRenderInfos.find(key);
    if (now == pendingRenderInfos.end()) {
      LogAt(kLevelInfo,
            "[GalleryRenderEmbed] uuid:{} CheckNeedClearScreen old render item is not found in new render infos, "
            "needClear:true key:{}",
            uuid, key);
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} need clear screen", uuid);
      return true;
    }
    if (TileChanged(key, old, now->second)) return true;
    next = std::next(now);
  }
  return false;
}

// Exact comparisons: any move, resize, mirror or reorder repaints the element.
bool GalleryRenderEmbed::TileChanged(const std::string& key, const GalleryRenderInfo& old,
                                     const GalleryRenderInfo& now) const {
  // NOLINTNEXTLINE(clang-diagnostic-float-equal): an exact change is what counts
  const bool same = old.left == now.left && old.top == now.top && old.width == now.width && old.height == now.height &&
                    old.isMirror == now.isMirror && old.index == now.index;
  if (same) return false;
  LogAt(kLevelInfo,
        "[GalleryRenderEmbed] uuid:{} CheckNeedClearScreen render item changed, needClear:true key:{} uid:{} sid:{} "
        "left:{}->{} top:{}->{} width:{}->{} height:{}->{} isMirror:{}->{} index:{}->{}",
        uuid, key, old.uid, old.sid, old.left, now.left, old.top, now.top, old.width, now.width, old.height, now.height,
        old.isMirror, now.isMirror, old.index, now.index);
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} need clear screen", uuid);
  return true;
}

}  // namespace TALLWICK_PP_RENDER
