// dtbench: prints the fastest of several runs of every registered entry, in milliseconds.
//
//   dtbench [--runs N] [--max-seconds S] [--alone] [WORD...]
//
// Only entries whose name contains one of the WORDs run (all without WORDs). Each entry runs at
// most N times (default 7) and stops early once its runs took S seconds (default 3), but never
// runs fewer than twice. An entry's baseline (another library's figure) runs just before it,
// unless --alone (for profiling one entry). Times are the processor time of the (single) thread,
// but for the comparisons of threads (see ThreadMs).
#include "Bench.h"

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "image/Processor.h"

namespace dt::bench {

namespace {

struct Section {
  int order;
  std::string title;
  std::vector<Entry> entries;
};

std::vector<Section>& Sections() {
  static std::vector<Section> sections;
  return sections;
}

Section*& CurrentSection() {
  static Section* current = nullptr;
  return current;
}

// Discs of radius 2 to 24 at random places until 40 % of the picture is covered.
BinaryImage MakeBlobs(int width, int height, std::mt19937& rng) {
  BinaryImage image{width, height, std::vector<int32_t>(std::size_t(width) * height, 0)};
  const std::size_t target = image.pixels.size() * 2 / 5;
  std::size_t covered = 0;
  while (covered < target) {
    const int r = 2 + static_cast<int>(rng() % 23);
    const int cx = static_cast<int>(rng() % static_cast<uint32_t>(width));
    const int cy = static_cast<int>(rng() % static_cast<uint32_t>(height));
    for (int y = std::max(0, cy - r); y <= std::min(height - 1, cy + r); ++y)
      for (int x = std::max(0, cx - r); x <= std::min(width - 1, cx + r); ++x) {
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r) continue;
        int32_t& p = image.pixels[std::size_t(y) * width + x];
        covered += p == 0;
        p = 1;
      }
  }
  return image;
}

BinaryImage MakeSparse(int width, int height, std::mt19937& rng) {
  BinaryImage image{width, height, std::vector<int32_t>(std::size_t(width) * height, 0)};
  const std::size_t points = std::max<std::size_t>(1, image.pixels.size() / 1000);
  for (std::size_t k = 0; k < points; ++k) image.pixels[rng() % image.pixels.size()] = 1;
  return image;
}

// The processor time of this thread: other work on a shared machine disturbs it far less than
// the wall clock. Entries on several threads, and the one-thread runs they are compared with,
// are timed by the wall clock instead.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double WallMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double RunMs(const Entry& entry) {
  if (entry.prepare) entry.prepare();
  const auto now = entry.wallClock ? WallMs : ThreadMs;
  const double start = now();
  entry.run();
  return now() - start;
}

bool Selected(const std::string& name, const std::vector<std::string>& words) {
  if (words.empty()) return true;
  for (const auto& w : words)
    if (name.find(w) != std::string::npos) return true;
  return false;
}

}  // namespace

void Add(Entry entry) {
  if (CurrentSection() == nullptr) {
    std::fprintf(stderr, "dtbench: Add outside a Registration\n");
    std::exit(2);
  }
  CurrentSection()->entries.push_back(std::move(entry));
}

Registration::Registration(int order, const char* section, void (*addEntries)()) {
  Sections().push_back(Section{order, section, {}});
  CurrentSection() = &Sections().back();
  addEntries();
  CurrentSection() = nullptr;
}

const BinaryImage& Image(Pattern pattern, int width, int height) {
  static std::map<std::tuple<int, int, int>, std::unique_ptr<BinaryImage>> cache;
  auto& slot = cache[{static_cast<int>(pattern), width, height}];
  if (!slot) {
    std::mt19937 rng(12345u + static_cast<unsigned>(width) * 31u + static_cast<unsigned>(height));
    slot = std::make_unique<BinaryImage>(pattern == Pattern::blobs
                                             ? MakeBlobs(width, height, rng)
                                             : MakeSparse(width, height, rng));
  }
  return *slot;
}

const char* PatternName(Pattern pattern) {
  return pattern == Pattern::blobs ? "blobs" : "sparse";
}

std::string SizeName(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string MorphologyName(Operation operation, DistanceFunction shape, int size,
                           Pattern pattern) {
  return std::string(InfoOf(operation).name) + "/" + InfoOf(shape).shapeName + "/" +
         std::to_string(size) + "/" + PatternName(pattern) + "/2048x2048";
}

ImageEngine& Engine() {
  static ImageEngine engine;
  return engine;
}

DrawingTargets NoDrawing() {
  static NullSurface nothing;
  return DrawingTargets{&nothing, &nothing};
}

void LoadInput(const BinaryImage& image) {
  ImageEngine& engine = Engine();
  const auto white = std::count(image.pixels.begin(), image.pixels.end(), 1);
  if (InputImage.rows == nullptr || InputImage.width != image.width ||
      InputImage.height != image.height) {
    ImageRecord record;
    record.width = image.width;
    record.height = image.height;
    record.rows.Allocate(image.width, image.height);
    engine.ReplaceInput(std::move(record));
  }
  // Pictures of one size reuse the images, so that preparing a run allocates nothing.
  std::copy(image.pixels.begin(), image.pixels.end(), InputImage.rows.data());
  InputImage.kind = binaryKind;
  InputImage.whiteCount = static_cast<int32_t>(white);
  InputImage.blackCount = static_cast<int32_t>(image.pixels.size() - white);
  engine.measureTime = 1;
  engine.CopyInputToWork();
}

// The processor's model and the vector extensions it has, from /proc/cpuinfo: figures from
// different machines are only compared with this beside them.
std::string CpuDescription() {
  std::ifstream info("/proc/cpuinfo");
  std::string line, model = "unknown processor", extensions;
  bool flagsSeen = false;
  while (std::getline(info, line)) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, line.find_last_not_of(" \t", colon - 1) + 1);
    const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    if (key == "model name" && model == "unknown processor") model = value;
    if (key != "flags" || flagsSeen) continue;
    flagsSeen = true;
    std::istringstream flags(value);
    for (std::string flag; flags >> flag;)
      for (const char* wanted : {"sse4_2", "avx", "avx2", "fma", "bmi2", "avx512f", "avx512bw",
                                 "avx512vl", "avx512_vnni", "neon", "asimd"})
        if (flag == wanted) extensions += " " + flag;
  }
  return model + " (" + std::to_string(std::thread::hardware_concurrency()) + " threads;" +
         (extensions.empty() ? " no vector extensions listed" : extensions) + ")";
}

}  // namespace dt::bench

int main(int argc, char** argv) {
  using namespace dt::bench;
  int maxRuns = 7;
  double maxSeconds = 3.0;
  bool alone = false;
  std::vector<std::string> words;
  for (int k = 1; k < argc; ++k) {
    if (std::strcmp(argv[k], "--runs") == 0 && k + 1 < argc) {
      maxRuns = std::max(2, std::atoi(argv[++k]));
    } else if (std::strcmp(argv[k], "--max-seconds") == 0 && k + 1 < argc) {
      maxSeconds = std::atof(argv[++k]);
    } else if (std::strcmp(argv[k], "--alone") == 0) {
      alone = true;
    } else if (argv[k][0] == '-') {
      std::fprintf(stderr, "usage: dtbench [--runs N] [--max-seconds S] [--alone] [WORD...]\n");
      return 2;
    } else {
      words.push_back(argv[k]);
    }
  }

  auto sections = Sections();
  std::stable_sort(sections.begin(), sections.end(),
                   [](const Section& a, const Section& b) { return a.order < b.order; });
  std::map<std::string, const Entry*> byName;
  for (const Section& section : sections)
    for (const Entry& entry : section.entries) byName[entry.name] = &entry;

  std::map<std::string, double> fastest;
  auto measure = [&](const Entry& entry) {
    double best = 1e300, total = 0.0;
    int runs = 0;
    while (runs < maxRuns && (runs < 2 || total < maxSeconds * 1000.0)) {
      const double ms = RunMs(entry);
      best = std::min(best, ms);
      total += ms;
      ++runs;
    }
    fastest[entry.name] = best;
    std::printf("%-52s %10.2f %5d", entry.name.c_str(), best, runs);
  };
  std::printf("cpu: %s\n", CpuDescription().c_str());
  std::printf("engine's vector code: %s\n",
              dt::UseAvx2() ? "AVX2" : "SSE2 (no AVX2, or DTMORPH_DISABLE_AVX2 set)");
  std::printf("%-52s %10s %5s\n", "benchmark", "min ms", "runs");
  for (const Section& section : sections) {
    bool header = false;
    for (const Entry& entry : section.entries) {
      if (!Selected(entry.name, words) || fastest.count(entry.name)) continue;
      if (!header) {
        std::printf("-- %s\n", section.title.c_str());
        header = true;
      }
      // A baseline runs just before the entry that compares with it.
      const auto base = byName.find(entry.baseline);
      if (!alone && base != byName.end() && !fastest.count(entry.baseline)) {
        measure(*base->second);
        std::printf("\n");
      }
      measure(entry);
      if (fastest.count(entry.baseline) && fastest[entry.baseline] > 0.0)
        std::printf("   ours/that = %.2f", fastest[entry.name] / fastest[entry.baseline]);
      std::printf("\n");
      std::fflush(stdout);
    }
  }
  return 0;
}
