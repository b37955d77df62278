// A yardstick for algorithm 1 with Euclid: the exact two-pass transform of Meijster, Roerdink and
// Hesselink (2000) written straight from the paper, on a plain array: the first phase scans
// every column down and up, the second runs the lower envelope of each row with one integer
// division per candidate, and the squared distances become distances with one square root each.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "Bench.h"

namespace dt::bench {

namespace {

struct Textbook {
  std::vector<int32_t> g, result;
  std::vector<int64_t> s, t;
};

void TextbookTransform(const BinaryImage& image, Textbook& work) {
  const int m = image.width, n = image.height;
  const int32_t infinity = m + n;
  work.g.resize(std::size_t(m) * n);
  work.result.resize(std::size_t(m) * n);
  work.s.resize(std::size_t(m) + 1);
  work.t.resize(std::size_t(m) + 1);
  int32_t* g = work.g.data();
  const int32_t* b = image.pixels.data();
  // Phase 1: every column.
  for (int x = 0; x < m; ++x) {
    g[x] = b[x] == 1 ? 0 : infinity;
    for (int y = 1; y < n; ++y)
      g[std::size_t(y) * m + x] =
          b[std::size_t(y) * m + x] == 1 ? 0 : 1 + g[std::size_t(y - 1) * m + x];
    for (int y = n - 2; y >= 0; --y) {
      int32_t& here = g[std::size_t(y) * m + x];
      const int32_t below = g[std::size_t(y + 1) * m + x];
      if (below < here) here = 1 + below;
    }
  }
  // Phase 2: every row.
  int64_t* s = work.s.data();
  int64_t* t = work.t.data();
  for (int y = 0; y < n; ++y) {
    const int32_t* row = g + std::size_t(y) * m;
    auto f = [row](int64_t x, int64_t i) { return (x - i) * (x - i) + int64_t{row[i]} * row[i]; };
    auto sep = [row](int64_t i, int64_t u) {
      return (u * u - i * i + int64_t{row[u]} * row[u] - int64_t{row[i]} * row[i]) / (2 * (u - i));
    };
    int q = 0;
    s[0] = 0;
    t[0] = 0;
    for (int u = 1; u < m; ++u) {
      while (q >= 0 && f(t[q], s[q]) > f(t[q], u)) --q;
      if (q < 0) {
        q = 0;
        s[0] = u;
      } else {
        const int64_t w = 1 + sep(s[q], u);
        if (w < m) {
          ++q;
          s[q] = u;
          t[q] = w;
        }
      }
    }
    int32_t* out = work.result.data() + std::size_t(y) * m;
    for (int u = m - 1; u >= 0; --u) {
      out[u] = static_cast<int32_t>(std::sqrt(static_cast<double>(f(u, s[q]))));
      if (u == t[q]) --q;
    }
  }
}

const Registration textbook(12, "textbook two-pass exact Euclidean transform (yardstick)", [] {
  const int sizes[][2] = {{640, 480}, {2048, 2048}, {4000, 4000}, {4096, 4096}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes) {
      const int w = size[0], h = size[1];
      auto work = std::make_shared<Textbook>();
      Add({std::string("textbook/euclid/") + PatternName(pattern) + "/" + SizeName(w, h),
           nullptr, [work, pattern, w, h] { TextbookTransform(Image(pattern, w, h), *work); },
           ""});
    }
});

}  // namespace

}  // namespace dt::bench
