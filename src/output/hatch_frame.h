// The hatch frame: the drawing frame moved by minus the hatch origin and
// turned by minus the hatch angle. Strokes are made in it and written back
// out of it; this is the one place that does either.
#pragma once

#include <bit>
#include <cstdint>

#include "geometry/primitives.h"

namespace hatch {

struct HatchFrame {
  double theta = 0.0;  // the hatch angle, radians
  double ox = 0.0, oy = 0.0;  // the hatch origin
  Transform into = Transform::rotation(-0.0);
  Transform out_of = Transform::rotation(0.0);

  HatchFrame() = default;
  HatchFrame(double theta_, double ox_, double oy_)
      : theta(theta_), ox(ox_), oy(oy_), into(Transform::rotation(-theta_)), out_of(Transform::rotation(theta_)) {}

  void to_hatch(double& x, double& y) const {
    x -= ox;
    y -= oy;
    into.apply(x, y);
  }
  void to_drawing(double& x, double& y) const {
    out_of.apply(x, y);
    x += ox;
    y += oy;
  }
  // Bit for bit: a turn by -0.0 writes its zeros with other signs than one by 0.0.
  bool same(double theta_, double ox_, double oy_) const {
    return std::bit_cast<std::uint64_t>(theta) == std::bit_cast<std::uint64_t>(theta_) &&
           std::bit_cast<std::uint64_t>(ox) == std::bit_cast<std::uint64_t>(ox_) &&
           std::bit_cast<std::uint64_t>(oy) == std::bit_cast<std::uint64_t>(oy_);
  }
};

}  // namespace hatch
