// Every choice a user makes, each an enum class with one table that gives its stored code (the
// value the engine keeps), its command-line name and its label (marked for translation; the
// dialogs show it through Translate). The dialogs, dtmorph, the benchmark and the tests all read
// these tables, so a new entry is added here once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/Translate.h"

namespace dt {

// The distance function, which is also the shape of the filter it measures (its ball). The
// value is the engine's stored code.
enum class DistanceFunction : int32_t { euclid = 1, cityBlock = 2, chessboard = 3, triangle = 4 };

// The three distance transforms; the value is the engine's processKind code.
enum class TransformAlgorithm : int32_t { envelope = 1, exhaustive = 4, simple = 5 };

// The four morphology operations, the same for both kinds of filter.
enum class Operation { dilation, erosion, opening, closing };

// How filter-image morphology computes; the value is the engine's stored code.
enum class FilterMethod : int32_t { simple = 0, decomposed = 1 };

// The apex of the custom triangle, in the triangle editor's pixels: x to the right of the base
// centre (-150..150), y above the base (0..300); the base is 300 wide.
struct ApexPoint {
  int x = 0;
  int y = 150;
  bool operator==(const ApexPoint& o) const { return x == o.x && y == o.y; }
};

// Where the column pass looks for feature pixels.
enum class ColumnDirection { bothWays, atOrBelow, atOrAbove };

struct DistanceFunctionInfo {
  DistanceFunction value;
  const char* metricName;   // dtmorph transform --metric
  const char* shapeName;    // dtmorph morph --shape
  const char* metricLabel;  // the distance transform dialog
  const char* shapeLabel;   // the morphology dialog
};
inline constexpr DistanceFunctionInfo distanceFunctions[] = {
    {DistanceFunction::euclid, "euclid", "circle", QT_TRANSLATE_NOOP("dtcore", "Euclid 距離 [●]"),
     QT_TRANSLATE_NOOP("dtcore", "[●] 円形フィルタ")},
    {DistanceFunction::cityBlock, "cityblock", "diamond",
     QT_TRANSLATE_NOOP("dtcore", "CItyblock 距離 [◆]"),
     QT_TRANSLATE_NOOP("dtcore", "[◆] ダイヤモンド型フィルタ")},
    {DistanceFunction::chessboard, "chessboard", "square",
     QT_TRANSLATE_NOOP("dtcore", "Chessborad 距離 [■]"),
     QT_TRANSLATE_NOOP("dtcore", "[■] 正方形フィルタ")},
    {DistanceFunction::triangle, "triangle", "triangle",
     QT_TRANSLATE_NOOP("dtcore", "オリジナル三角形距離 [▲]"),
     QT_TRANSLATE_NOOP("dtcore", "[▲] 三角形フィルタ")},
};

struct TransformAlgorithmInfo {
  TransformAlgorithm value;
  const char* name;
  const char* label;
};
inline constexpr TransformAlgorithmInfo transformAlgorithms[] = {
    {TransformAlgorithm::envelope, "udt",
     QT_TRANSLATE_NOOP("dtcore", "距離変換アルゴリズム１ Ｏ(n^2)")},
    {TransformAlgorithm::exhaustive, "exhaustive",
     QT_TRANSLATE_NOOP("dtcore", "距離変換アルゴリズム２ Ｏ(n^3)")},
    {TransformAlgorithm::simple, "simple", QT_TRANSLATE_NOOP("dtcore", "単純距離変換 Ｏ(n^4)")},
};

struct OperationInfo {
  Operation value;
  int32_t processKind;      // the engine's code after a morphology by distance transform
  int32_t filterOperation;  // the engine's code after a filter-image morphology
  const char* name;
  const char* label;
};
inline constexpr OperationInfo operations[] = {
    {Operation::dilation, 2, 0, "dilate", QT_TRANSLATE_NOOP("dtcore", "Dilation（太め処理）")},
    {Operation::erosion, 3, 1, "erode", QT_TRANSLATE_NOOP("dtcore", "Erosion（細め処理）")},
    {Operation::opening, 7, 2, "open", QT_TRANSLATE_NOOP("dtcore", "Opening（正雑音除去）")},
    {Operation::closing, 8, 3, "close", QT_TRANSLATE_NOOP("dtcore", "Closing（負雑音除去）")},
};

struct FilterMethodInfo {
  FilterMethod value;
  const char* name;
  const char* label;
};
inline constexpr FilterMethodInfo filterMethods[] = {
    {FilterMethod::simple, "simple", QT_TRANSLATE_NOOP("dtcore", "単純法")},
    {FilterMethod::decomposed, "decomposed", QT_TRANSLATE_NOOP("dtcore", "１次元分解距離変換法")},
};

// The table of an enum, for the lookups below.
inline constexpr const auto& TableOf(DistanceFunction) { return distanceFunctions; }
inline constexpr const auto& TableOf(TransformAlgorithm) { return transformAlgorithms; }
inline constexpr const auto& TableOf(Operation) { return operations; }
inline constexpr const auto& TableOf(FilterMethod) { return filterMethods; }

template <class E>
constexpr const auto& InfoOf(E value) {
  for (const auto& info : TableOf(E{}))
    if (info.value == value) return info;
  return TableOf(E{})[0];  // not reached: every enumerator has its entry
}

// The stored code of an enum whose value is its code.
template <class E>
constexpr int32_t CodeOf(E value) {
  return static_cast<int32_t>(value);
}

// The entry whose `name` member (or the member given) is `name`, if any.
template <class E, class Info = std::decay_t<decltype(TableOf(E{})[0])>>
std::optional<E> FromName(std::string_view name, const char* Info::*member = &Info::name) {
  for (const Info& info : TableOf(E{}))
    if (name == info.*member) return info.value;
  return std::nullopt;
}

// Every name, in table order (for help texts and option checks).
template <class E, class Info = std::decay_t<decltype(TableOf(E{})[0])>>
std::vector<std::string> NamesOf(const char* Info::*member = &Info::name) {
  std::vector<std::string> names;
  for (const Info& info : TableOf(E{})) names.push_back(info.*member);
  return names;
}

// The direction of the column pass for a shape: both ways for the symmetric ones. The triangle
// measures towards feature pixels at or below, and an erosion's pass, which turns it half a
// turn, towards those at or above.
constexpr ColumnDirection ColumnDirectionFor(DistanceFunction shape, bool erosion) {
  if (shape != DistanceFunction::triangle) return ColumnDirection::bothWays;
  return erosion ? ColumnDirection::atOrAbove : ColumnDirection::atOrBelow;
}

// A distance measure as the passes receive it: the function, the triangle's apex, and whether it
// is the pass of an erosion, which measures with the ball turned half a turn (only the triangle
// changes by that).
struct Measure {
  DistanceFunction function = DistanceFunction::euclid;
  ApexPoint apex{};
  bool reflected = false;

  ColumnDirection columnDirection() const { return ColumnDirectionFor(function, reflected); }
};

}  // namespace dt
