#pragma once

namespace tallwick_bench {

// A rectangle from its top-left corner, y growing downward; in an element's
// CSS pixels or in an image's pixels, as its user says.
struct Rect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

}  // namespace tallwick_bench
