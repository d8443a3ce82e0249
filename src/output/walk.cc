#include "output/walk.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace hatch {

std::int64_t step_budget(double from, double to, double step) {
  if (!(step > 0.0) || !std::isfinite(step) || !std::isfinite(from) || from + step == from) return 0;
  const double n = (to - from) / step;
  if (!(n >= 0.0)) return 1;
  if (n >= 9.0e18) return INT64_MAX;
  return static_cast<std::int64_t>(n) + 2;
}

bool advance(double& v, double step) {
  const double next = v + step;
  if (next == v) return false;
  v = next;
  return true;
}

namespace {

// The binade of v: its exponent and sign; the spacing there is 2^(exp-52).
struct Binade {
  static constexpr int kSubnormal = -1023;  // zero and the subnormals: one spacing, across zero
  int exp = 0;
  bool negative = false;
  bool normal = false;
  bool operator==(const Binade& o) const { return normal && o.normal && exp == o.exp && negative == o.negative; }
};

Binade binade_of(double v) {
  Binade b;
  b.normal = std::isfinite(v);
  if (!b.normal) return b;
  if (std::fabs(v) < DBL_MIN) {
    b.exp = Binade::kSubnormal;
  } else {
    b.exp = std::ilogb(v);
    b.negative = v < 0.0;
  }
  return b;
}

// The last value in binade b every one of whose sums still rounds at its spacing u.
double binade_end(const Binade& b) {
  const bool sub = b.exp == Binade::kSubnormal;
  const double u = sub ? std::ldexp(1.0, -1074) : std::ldexp(1.0, b.exp - 52);
  return sub ? DBL_MIN - u : b.negative ? -std::ldexp(1.0, b.exp) - u : std::ldexp(1.0, b.exp + 1) - u;
}

}  // namespace

// From a value u-spaced in its binade, v + step rounds to v + round(step / u) * u
// while the sum stays in the binade, whatever v is; only a tie depends on v's
// last bit, and after one addition in the binade that bit is even and stays so.
// So after two additions inside one binade, the third and later ones add the
// second one's increment d exactly, up to the binade's end.
RepeatedSum repeat_add(double& v, double step, std::int64_t limit, double below) {
  RepeatedSum r;
  int inside = 0;  // additions in a row that began and ended in v's binade
  double last = 0.0;
  while (r.steps < limit && v < below) {
    if (inside >= 2) {
      const double d = v - last;
      const double end = binade_end(binade_of(v));
      const double to_end = std::floor((end - v) / d) - 1.0;
      const double to_below = std::floor((below - v) / d * (1.0 - 4.0 * DBL_EPSILON)) - 1.0;
      const double k = std::min({to_end, to_below, static_cast<double>(limit - r.steps)});
      if (k >= 1.0) {
        const auto n = static_cast<std::int64_t>(k);
        v += static_cast<double>(n) * d;  // exact: a multiple of u inside the binade
        r.steps += n;
        last = v - d;
        continue;
      }
    }
    const Binade before = binade_of(v);
    const double next = v + step;
    if (next == v) {
      r.stuck = true;
      return r;
    }
    inside = binade_of(next) == before ? inside + 1 : 0;
    last = v;
    v = next;
    ++r.steps;
  }
  return r;
}

std::int64_t repeat_add_pair(double& a, double& b, double step, std::int64_t limit, double below) {
  std::int64_t made = 0;
  while (made < limit && b < below) {
    const Binade bin = binade_of(a);
    const double a1 = a + step, a2 = a1 + step;
    const double b1 = b + step, b2 = b1 + step;
    if (!(binade_of(a2) == bin && binade_of(b) == bin && binade_of(b2) == bin)) return made;
    // Both settled on one increment d: from here on each sum adds d exactly up
    // to the binade's end, and a < b < a + d holds as it holds now.
    const double d = a1 - a;
    if (!(a2 - a1 == d && b1 - b == d && b2 - b1 == d && a < b && b < a1)) return made;
    const double to_end = std::floor((binade_end(bin) - b) / d) - 1.0;
    const double to_below = std::floor((below - b) / d * (1.0 - 4.0 * DBL_EPSILON)) - 1.0;
    const double k = std::min({to_end, to_below, static_cast<double>(limit - made)});
    if (!(k >= 1.0)) return made;
    const auto n = static_cast<std::int64_t>(k);
    a += static_cast<double>(n) * d;  // exact: multiples of u inside the binade
    b += static_cast<double>(n) * d;
    made += n;
  }
  return made;
}

double after_additions(double v, double step, std::int64_t count) {
  repeat_add(v, step, count, INFINITY);
  return v;
}

// In a binade both share, the two sums move by the same rounded step (only a
// tie on the first addition there depends on the last bit), so they part only
// in the few additions around each power of two one of them passes: a few
// spacings per binade, and the spacings of all binades below a magnitude add
// up to less than twice the top one.
double twin_sum_drift(double magnitude) { return std::ldexp(std::fabs(magnitude), -46) + DBL_MIN; }

void Spans::add(double lo, double hi) {
  all = false;
  spans.push_back({lo, hi});
}

void Spans::close() {
  if (all) return;
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.lo < b.lo; });
  std::vector<Span> merged;
  for (const Span& s : spans) {
    if (!merged.empty() && s.lo <= merged.back().hi)
      merged.back().hi = std::max(merged.back().hi, s.hi);
    else
      merged.push_back(s);
  }
  spans = std::move(merged);
}

Spans Spans::widened(double below, double above) const {
  Spans w = *this;
  if (w.all) return w;
  for (Span& s : w.spans) {
    s.lo -= below;
    s.hi += above;
  }
  w.close();
  return w;
}

}  // namespace hatch
