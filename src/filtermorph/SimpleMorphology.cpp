// The simple filter method: dilation and erosion straight from the definition, visiting every
// filter position for every image pixel. It is the reference the decomposed method must match,
// so it stays plain: the only shortcut is listing the filter's key positions once per call.
#include <algorithm>
#include <vector>

#include "image/ImageEngine.h"
#include "image/Messages.h"

namespace dt {

namespace {

struct Offset {
  int64_t dy, dx;
};

// The displacements of the filter pixels equal to key, in filter order.
std::vector<Offset> KeyOffsets(int key) {
  std::vector<Offset> offsets;
  for (int fr = 0; fr < FilterImage.height; ++fr)
    for (int fc = 0; fc < FilterImage.width; ++fc)
      if (FilterImage.rows[fr][fc] == key)
        offsets.push_back(
            {int64_t{fr} - FilterImage.originRow, int64_t{fc} - FilterImage.originCol});
  return offsets;
}

// Shared start of both operations: false (after its message) when there is nothing to work on;
// otherwise DistanceMap holds the input and WorkImage is a cleared binary image.
bool SimplePrologue(ImageEngine& engine) {
  if (engine.inputLoaded == 0) {
    ShowMessage(Translate(text::noInputImage), Translate(text::errorCaption));
    return false;
  }
  if (engine.filterLoaded == 0) {
    ShowMessage(Translate(text::noFilterImage), Translate(text::errorCaption));
    return false;
  }
  engine.CopyInputToWork();
  WorkImage.kind = binaryKind;
  for (int y = 0; y < InputImage.height; ++y) std::fill_n(WorkImage.rows[y], InputImage.width, 0);
  return true;
}

void SimpleEpilogue(ImageEngine& engine) {
  engine.distanceReady = 0;
  engine.AdoptResultAsInput();
}

}  // namespace

// Nothing is drawn here.
bool ImageEngine::SimpleDilation(int key) {
  if (!SimplePrologue(*this)) return false;
  const std::vector<Offset> offsets = KeyOffsets(key);
  const int64_t h = InputImage.height, w = InputImage.width;
  const Pass rows(h);
  for (int64_t y = 0; y < h; ++y) {
    const int32_t* source = DistanceMap.rows[static_cast<int>(y)];
    for (int64_t x = 0; x < w; ++x) {
      if (source[x] != key) continue;
      for (const Offset& o : offsets) {
        const int64_t ty = y + o.dy, tx = x + o.dx;
        if (ty >= 0 && ty < h && tx >= 0 && tx < w) WorkImage.rows[static_cast<int>(ty)][tx] = 1;
      }
    }
    rows.Done(y + 1);
  }
  SimpleEpilogue(*this);
  return true;
}

// Positions outside the image are not tested, so the border counts as neither foreground nor
// background; only pixels that are key themselves can stay.
bool ImageEngine::SimpleErosion(int key) {
  if (!SimplePrologue(*this)) return false;
  const std::vector<Offset> offsets = KeyOffsets(key);
  const int64_t h = InputImage.height, w = InputImage.width;
  const Pass rows(h);
  for (int64_t y = 0; y < h; ++y) {
    const int32_t* source = DistanceMap.rows[static_cast<int>(y)];
    for (int64_t x = 0; x < w; ++x) {
      if (source[x] != key) continue;
      bool fits = true;
      for (const Offset& o : offsets) {
        const int64_t ty = y + o.dy, tx = x + o.dx;
        if (ty >= 0 && ty < h && tx >= 0 && tx < w &&
            DistanceMap.rows[static_cast<int>(ty)][tx] != key) {
          fits = false;
          break;
        }
      }
      if (fits) WorkImage.rows[static_cast<int>(y)][x] = 1;
    }
    rows.Done(y + 1);
  }
  SimpleEpilogue(*this);
  return true;
}

}  // namespace dt
