// The undo and redo steps of the main window. A step is the input image, the work image and the
// distance map whole (sizes, kinds, counts and pixels), with whether an input is loaded and a
// map is ready, as they were before a command that changed them. Undoing and redoing exchange
// the records in use with a step's, so they copy nothing and cannot run out of memory.
//
// The kept steps hold at most maxSteps states and maxBytes of pixels together: beyond that the
// oldest go first (for memory, the farthest redo steps after the undo steps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "image/ImageEngine.h"

namespace dt {

class UndoHistory {
 public:
  // Copies the images as they are now, before a command that may change them; all but the input
  // when `inputStays` (a transform, which never writes it: undoing the step then leaves the
  // input as it is, the same as before the command). When they cannot be kept (larger than
  // maxBytes, or the copy does not fit in memory), only a fingerprint is taken, to tell whether
  // the command changed them.
  void Begin(const ImageEngine& engine, bool inputStays = false);
  // The same for a load, which replaces every image: nothing is copied now. The images it
  // replaced come whole through Replaced and are kept, or fingerprinted when larger than
  // maxBytes; a load that replaces nothing has changed nothing.
  void BeginReplacing(const ImageEngine& engine);
  void Replaced(ImageEngine::ReplacedImages&& images);
  // What became of a command's step: whether the images changed and were kept as they were
  // before, and how many old steps were dropped to stay within maxBytes.
  enum class Kept { yes, unchanged, tooLarge, noMemory };
  struct Outcome {
    Kept kept = Kept::unchanged;
    int dropped = 0;
  };
  // After the command: when the images have changed, the redo steps go and the copy becomes the
  // newest undo step, if there is one. Without one, after a command that may change the input,
  // the newest steps that hold no input go too.
  Outcome End(const ImageEngine& engine);
  // Whether Begin kept the images, and putting them back as they were then (a command that is
  // stopped does so, and End then finds nothing changed). The images are the same size as then.
  bool HoldsBefore() const { return before_.has_value(); }
  void PutBackBefore(ImageEngine& engine) const;

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Puts the images back as they were before the last step (after it, for Redo); the images in
  // use become the other way's step. The result is how many old steps were dropped.
  int Undo(ImageEngine& engine);
  int Redo(ImageEngine& engine);

  static constexpr std::size_t maxSteps = 20;
  std::size_t maxBytes = std::size_t{512} << 20;  // of all steps' pixels (tests may lower it)

 private:
  struct Images {
    ImageRecord input, work, distance;
    int32_t inputLoaded = 0;
    int32_t distanceReady = 0;
    bool withInput = true;  // else `input` is empty, and the input in use is the step's
  };
  static std::size_t BytesOf(const ImageRecord& image);
  static std::size_t BytesOf(const Images& images);
  // A record like `image` with a block for its pixels, a spare one where one fits, not yet
  // copied (throws std::bad_alloc).
  ImageRecord BlankCopyOf(const ImageRecord& image);
  Images CopyOf(const ImageEngine& engine, bool withInput);
  static bool Same(const Images& images, const ImageEngine& engine);
  static uint64_t Fingerprint(const ImageEngine& engine);
  static uint64_t Fingerprint(const ImageRecord& input, const ImageRecord& work,
                              const ImageRecord& distance, int32_t inputLoaded,
                              int32_t distanceReady);
  static void Exchange(Images& images, ImageEngine& engine);
  // Moves the last step of `from` to `to`, exchanged with the images in use.
  int Step(std::deque<Images>& from, std::deque<Images>& to, ImageEngine& engine);
  // Drops the oldest steps beyond maxSteps, then beyond maxBytes; how many went for the bytes.
  int Trim();
  // Keeps the blocks of images that go as spares, and lets go of those beyond one step's.
  // Neither throws.
  void Spare(Images&& images) noexcept;
  void BoundSpares() noexcept;
  void ForgetStepsWithoutInput() noexcept;

  std::optional<Images> before_;  // taken by Begin
  Kept unkept_ = Kept::yes;       // why not, when before_ could not be taken
  bool inputMayChange_ = true;    // the command begun is not one that leaves the input
  uint64_t fingerprint_ = 0;      // of the images then
  // Between BeginReplacing and Replaced: the flags of the images to be replaced.
  std::optional<std::pair<int32_t, int32_t>> replacing_;
  std::deque<Images> undo_;       // the oldest first
  std::deque<Images> redo_;       // the farthest first
  // The pixel blocks of steps that went (dropped, replaced by a new step, or of a command that
  // changed nothing), at most one step's, from the end of a command to the beginning of the
  // next, which copies into them: most of a copy into fresh memory is the system's first touch
  // of its pages (two images of 4000 x 4000: 65-87 ms into fresh blocks, 19-32 ms into used
  // ones). So between commands the history holds at most what it holds during one, the steps and
  // a copy; a command lets go of the spares its copy did not take before it runs, and a load
  // before it reads.
  std::vector<ImageRecord> spares_;
};

}  // namespace dt
