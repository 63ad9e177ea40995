#pragma once
// Test support: pictures compared with stored reference images (binary PPM files under
// tests/render/reference/). Running the tests with TORVANE_UPDATE_REFERENCES=1 writes
// the references instead of comparing; look at every rewritten image before committing
// it. A mismatch leaves the drawn picture in <build>/picture-failures/ for inspection.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ReferenceImage {
// `pixels` are ARGB, rows from the top. A pixel matches when no channel differs by more
// than `tolerance`; the picture matches when at most `maxBadPixels` pixels do not (0.5%
// of them under Mesa's softpipe).
::testing::AssertionResult matches(const std::string& name, const std::vector<std::uint32_t>& pixels, int width,
                                   int height, int tolerance = 6, int maxBadPixels = 8);
bool writePpm(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);
bool readPpm(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height);
}  // namespace ReferenceImage
