// OpenCV side by side (built only when OpenCV is installed): the transforms and morphology that
// our entries name as their baseline, single-threaded, on the same pictures.
//
// Our transform gives every pixel its distance to the nearest white pixel; OpenCV measures the
// distance to the nearest zero pixel, so it gets the inverted picture. Our morphology filters
// are the balls of the distance functions; OpenCV gets the same offsets as a kernel.
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "Bench.h"

namespace dt::bench {

namespace {

cv::Mat ToMat(const BinaryImage& image, bool invert) {
  cv::Mat mat(image.height, image.width, CV_8UC1);
  for (int y = 0; y < image.height; ++y) {
    auto* row = mat.ptr<uint8_t>(y);
    for (int x = 0; x < image.width; ++x) {
      const bool on = image.pixels[std::size_t(y) * image.width + x] == 1;
      row[x] = (on != invert) ? 255 : 0;
    }
  }
  return mat;
}

// The filter of a shape and size as a kernel: circle dx^2 + dy^2 < (r + 1)^2, diamond
// |dx| + |dy| <= r, square max(|dx|, |dy|) <= r.
cv::Mat Kernel(DistanceFunction shape, int r) {
  cv::Mat k(2 * r + 1, 2 * r + 1, CV_8UC1, cv::Scalar(0));
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      bool in = false;
      if (shape == DistanceFunction::euclid) in = dx * dx + dy * dy < (r + 1) * (r + 1);
      if (shape == DistanceFunction::cityBlock) in = std::abs(dx) + std::abs(dy) <= r;
      if (shape == DistanceFunction::chessboard) in = true;
      k.at<uint8_t>(dy + r, dx + r) = in ? 1 : 0;
    }
  return k;
}

struct Buffers {
  cv::Mat input, output;
};

const Registration opencv(90, "OpenCV (not compared above)", [] {
  cv::setNumThreads(1);
  const int sizes[][2] = {{640, 480}, {2000, 2000}, {2048, 2048}, {4000, 4000}, {4096, 4096}};
  struct Type {
    const char* name;
    int distance;
    int mask;
  };
  const Type types[] = {{"euclid", cv::DIST_L2, cv::DIST_MASK_PRECISE},
                        {"cityblock", cv::DIST_L1, 3},
                        {"chessboard", cv::DIST_C, 3}};
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (const auto& size : sizes)
      for (const Type& type : types) {
        auto buffers = std::make_shared<Buffers>();
        const int w = size[0], h = size[1];
        Add({std::string("opencv/distanceTransform/") + type.name + "/" + PatternName(pattern) +
                 "/" + SizeName(w, h),
             [buffers, pattern, w, h] {
               if (buffers->input.empty()) buffers->input = ToMat(Image(pattern, w, h), true);
             },
             [buffers, type] {
               cv::distanceTransform(buffers->input, buffers->output, type.distance, type.mask,
                                     CV_32F);
             },
             ""});
      }
  for (Pattern pattern : {Pattern::blobs, Pattern::sparse})
    for (bool erosion : {false, true})
      for (DistanceFunction shape : {DistanceFunction::euclid, DistanceFunction::cityBlock,
                                     DistanceFunction::chessboard})
        for (int size : morphologySizes) {
          auto buffers = std::make_shared<Buffers>();
          const Operation operation = erosion ? Operation::erosion : Operation::dilation;
          Add({"opencv/" + MorphologyName(operation, shape, size, pattern),
               [buffers, pattern] {
                 if (buffers->input.empty())
                   buffers->input = ToMat(Image(pattern, 2048, 2048), false);
               },
               [buffers, erosion, shape, size] {
                 const cv::Mat kernel = Kernel(shape, size);
                 if (erosion)
                   cv::erode(buffers->input, buffers->output, kernel);
                 else
                   cv::dilate(buffers->input, buffers->output, kernel);
               },
               ""});
        }
});

}  // namespace

}  // namespace dt::bench
