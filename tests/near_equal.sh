#!/usr/bin/env bash
# near_equal.sh A B: exit 0 when the two text files agree line for line and
# word for word (words split at single blanks), except that two numbers may
# differ by 1e-9 of the larger one, or by 1e-9 when both are below 1: what a
# different sine and cosine in the runtime change. Line ends must agree too.
set -u
[ -s "$1" ] || { [ ! -s "$2" ]; exit; }
[ "$(tail -c 1 "$1" | od -An -tx1)" = "$(tail -c 1 "$2" | od -An -tx1)" ] || exit 1
LC_ALL=C awk '
  function is_number(w) { return w ~ /^[-+]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?$/ }
  function near(a, b,   d, m) {
    a += 0; b += 0; d = a - b; if (d < 0) d = -d
    m = (a < 0 ? -a : a); if ((b < 0 ? -b : b) > m) m = (b < 0 ? -b : b); if (m < 1) m = 1
    return d <= 1e-9 * m
  }
  NR == FNR { want[FNR] = $0; lines = FNR; next }
  {
    if (FNR > lines) exit 1
    a = want[FNR]; b = $0
    if (sub(/\r$/, "", a) != sub(/\r$/, "", b)) exit 1
    n = split(a, wa, / /)
    if (split(b, wb, / /) != n) exit 1
    for (i = 1; i <= n; i++)
      if (wa[i] != wb[i] && !(is_number(wa[i]) && is_number(wb[i]) && near(wa[i], wb[i]))) exit 1
  }
  END { if (FNR != lines) exit 1 }
' "$1" "$2"
