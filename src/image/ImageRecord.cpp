#include "image/ImageRecord.h"

#include <algorithm>
#include <new>

namespace dt {

void PixelRows::Allocate(int width, int height) {
  const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::size_t h = height > 0 ? static_cast<std::size_t>(height) : 0;
  // Without exceptions from the allocator itself, so that an allocator told to give up early
  // (AddressSanitizer's max_allocation_size_mb, say) leads here too.
  std::unique_ptr<int32_t[]> block(new (std::nothrow) int32_t[w * h == 0 ? 1 : w * h]);
  std::unique_ptr<int32_t*[]> table(new (std::nothrow) int32_t*[h == 0 ? 1 : h]);
  if (!block || !table) throw std::bad_alloc();
  for (std::size_t r = 0; r < h; ++r) table[r] = block.get() + r * w;
  block_ = std::move(block);
  table_ = std::move(table);
}

void PixelRows::Release() {
  table_.reset();
  block_.reset();
}

void FeatureMap::Allocate(int w, int h, bool unset) {
  const std::size_t count = 2 * static_cast<std::size_t>(std::max(w, 0)) *
                            static_cast<std::size_t>(std::max(h, 0));
  if (pairs == nullptr || width != std::max(w, 0) || height != std::max(h, 0)) {
    std::unique_ptr<int32_t[]> block(new (std::nothrow) int32_t[count == 0 ? 1 : count]);
    if (!block) throw std::bad_alloc();
    width = std::max(w, 0);
    height = std::max(h, 0);
    pairs = std::move(block);
  }
  if (unset) std::fill(pairs.get(), pairs.get() + count, -1);
}

}  // namespace dt
