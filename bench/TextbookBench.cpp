// The yardstick for algorithm 1 with Euclid: the exact two-pass transform of Meijster, Roerdink
// and Hesselink (2000) as a careful engineer writes it plainly, with no intrinsics, built for the
// machine it runs on (-march=native, see CMakeLists.txt). The column phase runs in row order,
// a whole row of columns at a time (down, then up), so that the compiler vectorises it; squared
// distances are int32; the row phase runs one lower envelope per row with integer division; the
// last step stores floor(sqrt(d^2)), timed too, as algorithm 1's figures include it.
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "Bench.h"

namespace dt::bench {

namespace {

struct Textbook {
  std::vector<int32_t> g, squared, result;
  std::vector<int32_t> s, t;
};

void TextbookTransform(const BinaryImage& image, Textbook& work) {
  const int m = image.width, n = image.height;
  const int32_t infinity = m + n;  // beyond any distance in the picture, and its square fits
  const std::size_t size = std::size_t(m) * n;
  work.g.resize(size);
  work.squared.resize(size);
  work.result.resize(size);
  work.s.resize(std::size_t(m) + 1);
  work.t.resize(std::size_t(m) + 1);
  int32_t* __restrict g = work.g.data();
  const int32_t* __restrict b = image.pixels.data();
  // Phase 1, in row order: down the picture, then up.
  for (int x = 0; x < m; ++x) g[x] = b[x] == 1 ? 0 : infinity;
  for (int y = 1; y < n; ++y) {
    const int32_t* __restrict above = g + std::size_t(y - 1) * m;
    int32_t* __restrict here = g + std::size_t(y) * m;
    const int32_t* __restrict pixels = b + std::size_t(y) * m;
    for (int x = 0; x < m; ++x) here[x] = pixels[x] == 1 ? 0 : std::min(above[x] + 1, infinity);
  }
  for (int y = n - 2; y >= 0; --y) {
    const int32_t* __restrict below = g + std::size_t(y + 1) * m;
    int32_t* __restrict here = g + std::size_t(y) * m;
    for (int x = 0; x < m; ++x) here[x] = std::min(here[x], below[x] + 1);
  }
  // Phase 2: the lower envelope of every row.
  int32_t* s = work.s.data();
  int32_t* t = work.t.data();
  for (int y = 0; y < n; ++y) {
    const int32_t* row = g + std::size_t(y) * m;
    const auto f = [row](int32_t x, int32_t i) { return (x - i) * (x - i) + row[i] * row[i]; };
    const auto sep = [row](int32_t i, int32_t u) {
      return (u * u - i * i + row[u] * row[u] - row[i] * row[i]) / (2 * (u - i));
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
        const int32_t w = 1 + sep(s[q], u);
        if (w < m) {
          ++q;
          s[q] = u;
          t[q] = w;
        }
      }
    }
    int32_t* out = work.squared.data() + std::size_t(y) * m;
    for (int u = m - 1; u >= 0; --u) {
      out[u] = f(u, s[q]);
      if (u == t[q]) --q;
    }
  }
  // floor(sqrt(d^2)): exact in single precision below 2^22, in double above.
  const int32_t* __restrict squared = work.squared.data();
  int32_t* __restrict result = work.result.data();
  for (std::size_t k = 0; k < size; ++k)
    result[k] = static_cast<int32_t>(std::sqrt(static_cast<double>(squared[k])));
}

const Registration textbook(12, "Meijster's plain two-pass exact Euclidean transform (yardstick)",
                            [] {
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
