// Morphology by filter image, timing on: both methods with the sample filter (samples/
// filterQX15.xpm) and 15 x 15 and 31 x 31 discs on 2048 x 2048 blobs, beside OpenCV's dilate and
// erode with the same kernel when OpenCV is there, and Leptonica's with the filter as a
// structuring element (one bit per pixel) when Leptonica is.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Bench.h"
#include "filtermorph/FilterOperations.h"

#if defined(DT_BENCH_OPENCV)
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif
#if defined(DT_BENCH_LEPTONICA)
#include "LeptonicaPictures.h"
#endif

namespace dt::bench {

namespace {

struct Filter {
  std::string name;
  int width = 0;
  int height = 0;
  std::vector<int32_t> pixels;  // row-major, 1 = foreground
};

// A disc of the given odd diameter: the offsets with dx^2 + dy^2 <= r^2 + r.
Filter Disc(int diameter) {
  const int r = diameter / 2;
  Filter f{"disc" + std::to_string(diameter), diameter, diameter, {}};
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) f.pixels.push_back(dx * dx + dy * dy <= r * r + r ? 1 : 0);
  return f;
}

std::string SampleFilterPath() {
  std::string folder = __FILE__;
  return folder.substr(0, folder.find_last_of('/') + 1) + "../samples/filterQX15.xpm";
}

// The sample filter, read by the program's own reader from the samples folder beside bench/ when
// first needed (not while the entries are registered: the image records may not exist yet).
const Filter& SampleFilter() {
  static const Filter sample = [] {
    Filter f{"qx15", 0, 0, {}};
    if (!Engine().LoadFilterImage(SampleFilterPath())) {
      std::fprintf(stderr, "dtbench: cannot read %s\n", SampleFilterPath().c_str());
      std::exit(1);
    }
    f.width = FilterImage.width;
    f.height = FilterImage.height;
    f.pixels.assign(FilterImage.rows.data(),
                    FilterImage.rows.data() + std::size_t(f.width) * f.height);
    return f;
  }();
  return sample;
}

// The three filters by name; the discs are made at once, the sample read on first use.
const Filter& FilterNamed(const std::string& name) {
  static const Filter disc15 = Disc(15), disc31 = Disc(31);
  if (name == "disc15") return disc15;
  if (name == "disc31") return disc31;
  return SampleFilter();
}

const char* const filterNames[] = {"qx15", "disc15", "disc31"};

void UseFilter(const Filter& f) {
  FilterImage.width = f.width;
  FilterImage.height = f.height;
  FilterImage.originRow = f.height / 2;
  FilterImage.originCol = f.width / 2;
  FilterImage.kind = binaryKind;
  FilterImage.rows.Allocate(f.width, f.height);
  std::copy(f.pixels.begin(), f.pixels.end(), FilterImage.rows.data());
  Engine().filterLoaded = 1;
}

const Registration filters(30, "filter morphology, 2048x2048 blobs", [] {
  const BinaryImage* image = &Image(Pattern::blobs, 2048, 2048);
  for (const std::string name : filterNames)
    for (Operation operation : {Operation::dilation, Operation::erosion})
      for (FilterMethod method : {FilterMethod::decomposed, FilterMethod::simple}) {
        const std::string suffix =
            std::string(InfoOf(operation).name) + "/" + name + "/blobs/2048x2048";
        Add({std::string("filter/") + InfoOf(method).name + "/" + suffix,
             [image, name] {
               LoadInput(*image);
               UseFilter(FilterNamed(name));
             },
             [method, operation] {
               RunFilterMorphology(Engine(), NoDrawing(), method, operation);
             },
             "opencv/filter/" + suffix});
      }
});

#if defined(DT_BENCH_OPENCV)
struct Buffers {
  cv::Mat input, kernel, output;
};

// Registered before the entries that name them, so the ratio can be printed.
const Registration opencvFilters(6, "OpenCV, filter kernels", [] {
  cv::setNumThreads(1);
  for (const std::string name : filterNames) {
    for (Operation operation : {Operation::dilation, Operation::erosion}) {
      auto buffers = std::make_shared<Buffers>();
      Add({std::string("opencv/filter/") + InfoOf(operation).name + "/" + name +
               "/blobs/2048x2048",
           [buffers, name] {
             if (!buffers->input.empty()) return;
             const Filter& f = FilterNamed(name);
             buffers->kernel = cv::Mat(f.height, f.width, CV_8UC1);
             for (int y = 0; y < f.height; ++y)
               for (int x = 0; x < f.width; ++x)
                 buffers->kernel.at<uint8_t>(y, x) = f.pixels[std::size_t(y) * f.width + x] ? 1 : 0;
             const BinaryImage& image = Image(Pattern::blobs, 2048, 2048);
             buffers->input = cv::Mat(image.height, image.width, CV_8UC1);
             for (int y = 0; y < image.height; ++y)
               for (int x = 0; x < image.width; ++x)
                 buffers->input.at<uint8_t>(y, x) =
                     image.pixels[std::size_t(y) * image.width + x] ? 255 : 0;
           },
           [buffers, operation] {
             if (operation == Operation::dilation)
               cv::dilate(buffers->input, buffers->output, buffers->kernel);
             else
               cv::erode(buffers->input, buffers->output, buffers->kernel);
           },
           ""});
    }
  }
});
#endif

#if defined(DT_BENCH_LEPTONICA)
// Leptonica has no faster method for a structuring element of any shape than pixDilate and
// pixErode, one pass over the picture's words for each element of the filter.
const Registration leptonicaFilters(7, "Leptonica, filter structuring elements", [] {
  setLeptDebugOK(0);
  for (const std::string name : filterNames) {
    for (Operation operation : {Operation::dilation, Operation::erosion}) {
      auto pictures = std::make_shared<LeptonicaPictures>();
      Add({std::string("leptonica/filter/") + InfoOf(operation).name + "/" + name +
               "/blobs/2048x2048",
           [pictures, name] {
             if (pictures->input != nullptr) return;
             const Filter& f = FilterNamed(name);
             pictures->sel = selCreate(f.height, f.width, nullptr);
             selSetOrigin(pictures->sel, f.height / 2, f.width / 2);
             for (int y = 0; y < f.height; ++y)
               for (int x = 0; x < f.width; ++x)
                 if (f.pixels[std::size_t(y) * f.width + x])
                   selSetElement(pictures->sel, y, x, SEL_HIT);
             pictures->input = ToPix(Image(Pattern::blobs, 2048, 2048), false);
             pictures->output = pixCreateTemplate(pictures->input);
           },
           [pictures, operation] {
             LeptonicaPictures& p = *pictures;
             if (operation == Operation::dilation)
               pixDilate(p.output, p.input, p.sel);
             else
               pixErode(p.output, p.input, p.sel);
           },
           ""});
    }
  }
});
#endif

}  // namespace

}  // namespace dt::bench
