#include "devhost/runtime/region_watch.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

namespace pphost {

namespace {

uint64_t Combine(uint64_t seed, uint64_t value) {
  return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

}  // namespace

std::optional<uint64_t> HashRegion(const PresentedImage& image, const PP_Rect& rect) {
  const int64_t left = std::clamp<int64_t>(rect.point.x, 0, image.width);
  const int64_t top = std::clamp<int64_t>(rect.point.y, 0, image.height);
  const int64_t right = std::clamp<int64_t>(int64_t{rect.point.x} + rect.size.width, 0, image.width);
  const int64_t bottom = std::clamp<int64_t>(int64_t{rect.point.y} + rect.size.height, 0, image.height);
  if (right <= left || bottom <= top) return std::nullopt;
  // The clipped size takes part, so the same bytes in another shape differ.
  uint64_t hash = Combine(static_cast<uint64_t>(right - left), static_cast<uint64_t>(bottom - top));
  const std::hash<std::string_view> hashRow;
  const auto rowBytes = static_cast<size_t>(right - left) * 4;
  for (int64_t y = top; y < bottom; ++y) {
    const auto* row = reinterpret_cast<const char*>(image.At(static_cast<int32_t>(left), static_cast<int32_t>(y)));
    hash = Combine(hash, hashRow(std::string_view(row, rowBytes)));
  }
  return hash;
}

RegionWatch::RegionWatch(const std::vector<WatchedRegion>& regions) {
  regions_.reserve(regions.size());
  for (const WatchedRegion& region : regions) {
    Region watched{region, RegionChanges{}, std::nullopt};
    watched.counts.name = region.name;
    regions_.push_back(std::move(watched));
  }
}

void RegionWatch::Notice(const PresentedImage& image, int64_t nowMs) {
  for (Region& region : regions_) {
    const std::optional<uint64_t> hash = HashRegion(image, region.place.rect);
    const bool changed = hash.has_value() && hash != region.lastHash;
    region.lastHash = hash;
    if (!changed) continue;
    ++region.counts.changes;
    if (!region.counts.firstMs) region.counts.firstMs = nowMs;
    region.counts.lastMs = nowMs;
  }
}

std::vector<RegionChanges> RegionWatch::Changes() const {
  std::vector<RegionChanges> changes;
  changes.reserve(regions_.size());
  for (const Region& region : regions_) changes.push_back(region.counts);
  return changes;
}

}  // namespace pphost
