#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// A named rectangle of an instance's presented image, in drawing-buffer
// pixels (rows from the top).
struct WatchedRegion {
  std::string name;
  PP_Rect rect;
};

// How often a region's content changed, and when (host monotonic ms).
struct RegionChanges {
  std::string name;
  int64_t changes = 0;
  std::optional<int64_t> firstMs;
  std::optional<int64_t> lastMs;
};

// Counts, per region, the presented images whose content in that region
// differs from the one before. It starts having seen nothing, so the first
// image that shows a region counts as a change; a region that lies wholly
// outside the image shows nothing and never counts. Contents are compared
// by a hash of their rows.
class RegionWatch {
 public:
  explicit RegionWatch(const std::vector<WatchedRegion>& regions);

  void Notice(const PresentedImage& image, int64_t nowMs);
  std::vector<RegionChanges> Changes() const;

 private:
  struct Region {
    WatchedRegion place;
    RegionChanges counts;
    std::optional<uint64_t> lastHash;  // none while it showed nothing
  };

  std::vector<Region> regions_;
};

// The hash of what `image` shows inside `rect` (clipped to the image); none
// when nothing of it lies on the image.
std::optional<uint64_t> HashRegion(const PresentedImage& image, const PP_Rect& rect);

}  // namespace pphost
