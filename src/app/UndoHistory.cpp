#include "app/UndoHistory.h"

#include <algorithm>
#include <new>
#include <utility>

#include "image/Globals.h"
#include "image/Parallel.h"

namespace dt {

namespace {

std::size_t PixelsOf(const ImageRecord& image) {
  return static_cast<std::size_t>(std::max(image.width, 0)) *
         static_cast<std::size_t>(std::max(image.height, 0));
}

bool SameRecord(const ImageRecord& a, const ImageRecord& b) {
  if (a.width != b.width || a.height != b.height || a.originRow != b.originRow ||
      a.originCol != b.originCol || a.kind != b.kind || a.whiteCount != b.whiteCount ||
      a.blackCount != b.blackCount || (a.rows != nullptr) != (b.rows != nullptr))
    return false;
  return !a.rows || std::equal(a.rows.data(), a.rows.data() + PixelsOf(a), b.rows.data());
}

}  // namespace

std::size_t UndoHistory::BytesOf(const ImageRecord& image) {
  return image.rows ? PixelsOf(image) * sizeof(int32_t) : 0;
}

std::size_t UndoHistory::BytesOf(const Images& images) {
  return BytesOf(images.input) + BytesOf(images.work) + BytesOf(images.distance);
}

ImageRecord UndoHistory::BlankCopyOf(const ImageRecord& image) {
  ImageRecord copy{image.width, image.height,     image.originRow,  image.originCol,
                   image.kind,  image.whiteCount, image.blackCount, {}};
  if (!image.rows) return copy;
  const auto spare = std::find_if(spares_.begin(), spares_.end(), [&](const ImageRecord& kept) {
    return kept.width == image.width && kept.height == image.height;
  });
  if (spare == spares_.end()) {
    copy.rows.Allocate(image.width, image.height);
  } else {
    copy.rows = std::move(spare->rows);
    spares_.erase(spare);
  }
  return copy;
}

// The pixels on every core, the window's computations' one thread notwithstanding: at 4000 x 4000
// the copy into fresh blocks takes twice as long on one.
UndoHistory::Images UndoHistory::CopyOf(const ImageEngine& engine, bool withInput) {
  Images images{withInput ? BlankCopyOf(InputImage) : ImageRecord{}, BlankCopyOf(WorkImage),
                BlankCopyOf(DistanceMap), engine.inputLoaded, engine.distanceReady, withInput};
  std::vector<PixelCopy> copies;
  for (const auto& [from, to] : {std::pair{&InputImage, &images.input}, {&WorkImage, &images.work},
                                 {&DistanceMap, &images.distance}})
    if (from->rows && to->rows)
      copies.push_back({from->rows.data(), to->rows.data(), PixelsOf(*from)});
  CopyInParallel(copies, 0);
  return images;
}

// The work image first: every command that changes anything changes it, most often its kind,
// which ends the comparison at once.
bool UndoHistory::Same(const Images& images, const ImageEngine& engine) {
  return images.inputLoaded == engine.inputLoaded && images.distanceReady == engine.distanceReady &&
         SameRecord(images.work, WorkImage) &&
         (!images.withInput || SameRecord(images.input, InputImage)) &&
         SameRecord(images.distance, DistanceMap);
}

void UndoHistory::Exchange(Images& images, ImageEngine& engine) {
  if (images.withInput) std::swap(images.input, InputImage);
  std::swap(images.work, WorkImage);
  std::swap(images.distance, DistanceMap);
  std::swap(images.inputLoaded, engine.inputLoaded);
  std::swap(images.distanceReady, engine.distanceReady);
}

uint64_t UndoHistory::Fingerprint(const ImageEngine& engine) {
  return Fingerprint(InputImage, WorkImage, DistanceMap, engine.inputLoaded,
                     engine.distanceReady);
}

// FNV-1a over the sizes, kinds, counts, flags and pixels.
uint64_t UndoHistory::Fingerprint(const ImageRecord& input, const ImageRecord& work,
                                  const ImageRecord& distance, int32_t inputLoaded,
                                  int32_t distanceReady) {
  uint64_t hash = 14695981039346656037ull;
  const auto mix = [&hash](int32_t value) {
    hash = (hash ^ static_cast<uint32_t>(value)) * 1099511628211ull;
  };
  for (const ImageRecord* image : {&input, &work, &distance}) {
    for (int32_t value : {image->width, image->height, image->kind, image->whiteCount,
                          image->blackCount, static_cast<int32_t>(image->rows != nullptr)})
      mix(value);
    if (image->rows) {
      // The pixels two to a step, in four lanes side by side so that the steps do not wait on
      // one another's multiplication (about three times as fast on a large picture), then the
      // lanes into the whole. Each step is invertible, so any one pixel changed changes it.
      const int32_t* pixels = image->rows.data();
      const std::size_t count = PixelsOf(*image), whole = count & ~std::size_t{7};
      uint64_t lanes[4] = {hash, hash ^ 1, hash ^ 2, hash ^ 3};
      for (std::size_t i = 0; i < whole; i += 8)
        for (std::size_t k = 0; k < 4; ++k) {
          const uint64_t two = static_cast<uint32_t>(pixels[i + 2 * k]) |
                               uint64_t{static_cast<uint32_t>(pixels[i + 2 * k + 1])} << 32;
          lanes[k] = (lanes[k] ^ two) * 1099511628211ull;
        }
      std::for_each(pixels + whole, pixels + count, mix);
      for (const uint64_t lane : lanes) hash = (hash ^ lane) * 1099511628211ull;
    }
  }
  mix(inputLoaded);
  mix(distanceReady);
  return hash;
}

void UndoHistory::Begin(const ImageEngine& engine, bool inputStays) {
  before_.reset();
  replacing_.reset();
  inputMayChange_ = !inputStays;
  unkept_ = Kept::yes;
  if ((inputStays ? 0 : BytesOf(InputImage)) + BytesOf(WorkImage) + BytesOf(DistanceMap) >
      maxBytes) {
    unkept_ = Kept::tooLarge;
  } else {
    try {
      before_ = CopyOf(engine, !inputStays);
    } catch (const std::bad_alloc&) {
      unkept_ = Kept::noMemory;
    }
  }
  spares_.clear();  // the command may need the memory that the copy did not take
  if (!before_) fingerprint_ = Fingerprint(engine);
}

void UndoHistory::BeginReplacing(const ImageEngine& engine) {
  before_.reset();
  inputMayChange_ = true;
  spares_.clear();
  unkept_ = Kept::yes;
  replacing_.emplace(engine.inputLoaded, engine.distanceReady);
}

// Taking the replaced images saves copying them (192 MB at 4000 x 4000) and holding them twice.
void UndoHistory::Replaced(ImageEngine::ReplacedImages&& images) {
  if (!replacing_) return;  // no step awaits them: they go
  Images replaced{std::move(images.input), std::move(images.work), std::move(images.distance),
                  replacing_->first, replacing_->second};
  replacing_.reset();
  if (BytesOf(replaced) <= maxBytes) {
    before_ = std::move(replaced);
    return;
  }
  unkept_ = Kept::tooLarge;
  fingerprint_ = Fingerprint(replaced.input, replaced.work, replaced.distance,
                             replaced.inputLoaded, replaced.distanceReady);
}

UndoHistory::Outcome UndoHistory::End(const ImageEngine& engine) {
  std::optional<Images> before = std::move(before_);
  before_.reset();
  const bool nothingReplaced = replacing_.has_value();
  replacing_.reset();
  if (nothingReplaced) return {};
  if (before ? Same(*before, engine) : Fingerprint(engine) == fingerprint_) {
    if (before) Spare(std::move(*before));
    BoundSpares();
    return {};
  }
  while (!redo_.empty()) {
    Spare(std::move(redo_.back()));
    redo_.pop_back();
  }
  if (!before) {
    ForgetStepsWithoutInput();
    BoundSpares();
    return {unkept_, 0};
  }
  try {
    undo_.push_back(std::move(*before));
  } catch (const std::bad_alloc&) {
    ForgetStepsWithoutInput();
    spares_.clear();
    return {Kept::noMemory, 0};  // not even room for the step's entry
  }
  return {Kept::yes, Trim()};
}

// A step without the input holds what a transform changed against the input it found, so a
// command that may have changed the input and made no step of its own ends such steps: undoing
// one would put its map beside another picture (of another size, even). The steps below hold
// the input again, or follow one that does.
void UndoHistory::ForgetStepsWithoutInput() noexcept {
  if (!inputMayChange_) return;
  while (!undo_.empty() && !undo_.back().withInput) {
    Spare(std::move(undo_.back()));
    undo_.pop_back();
  }
}

void UndoHistory::PutBackBefore(ImageEngine& engine) const {
  if (!before_) return;
  const auto putBack = [](const ImageRecord& from, ImageRecord& to) {
    if (from.rows && to.rows) std::copy_n(from.rows.data(), PixelsOf(from), to.rows.data());
    to.kind = from.kind;
    to.whiteCount = from.whiteCount;
    to.blackCount = from.blackCount;
  };
  if (before_->withInput) putBack(before_->input, InputImage);
  putBack(before_->work, WorkImage);
  putBack(before_->distance, DistanceMap);
  engine.inputLoaded = before_->inputLoaded;
  engine.distanceReady = before_->distanceReady;
}

int UndoHistory::Undo(ImageEngine& engine) { return Step(undo_, redo_, engine); }
int UndoHistory::Redo(ImageEngine& engine) { return Step(redo_, undo_, engine); }

int UndoHistory::Step(std::deque<Images>& from, std::deque<Images>& to, ImageEngine& engine) {
  if (from.empty()) return 0;
  to.push_back(std::move(from.back()));  // when this throws, nothing has changed
  from.pop_back();
  Exchange(to.back(), engine);
  return Trim();
}

int UndoHistory::Trim() {
  while (undo_.size() + redo_.size() > maxSteps) {
    std::deque<Images>& steps = undo_.empty() ? redo_ : undo_;
    Spare(std::move(steps.front()));
    steps.pop_front();
  }
  std::size_t bytes = 0;
  for (const std::deque<Images>* steps : {&undo_, &redo_})
    for (const Images& images : *steps) bytes += BytesOf(images);
  int dropped = 0;
  while (bytes > maxBytes) {
    std::deque<Images>& steps = undo_.empty() ? redo_ : undo_;
    bytes -= BytesOf(steps.front());
    Spare(std::move(steps.front()));
    steps.pop_front();
    ++dropped;
  }
  BoundSpares();
  return dropped;
}

void UndoHistory::Spare(Images&& images) noexcept {
  for (ImageRecord* image : {&images.input, &images.work, &images.distance}) {
    if (!image->rows) continue;
    try {
      spares_.push_back(std::move(*image));
    } catch (const std::bad_alloc&) {
      return;  // no room to list it: the block goes with the step
    }
  }
}

// Spares of another size than the images' would only stand in the way of the next copy's memory
// (a load, or undoing or redoing one, changes the size, and each ends here).
void UndoHistory::BoundSpares() noexcept {
  spares_.erase(std::remove_if(spares_.begin(), spares_.end(),
                               [](const ImageRecord& kept) {
                                 return kept.width != WorkImage.width ||
                                        kept.height != WorkImage.height;
                               }),
                spares_.end());
  constexpr std::size_t mostSpares = 3;  // as many as a step copies
  while (spares_.size() > mostSpares) spares_.pop_back();
}

}  // namespace dt
