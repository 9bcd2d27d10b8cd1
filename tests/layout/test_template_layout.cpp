// Controls a template puts edge to edge after rounding: a one-pixel reach
// into the neighbour to the right or below is taken back, nothing else moves.
#include "core/TemplateLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Show(const std::vector<RECT>& rects) {
    std::string s;
    for (const RECT& r : rects)
        s += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
             std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
    return s;
}

const struct {
    const char* name;
    std::vector<RECT> in, out;
} kCases[] = {
    {"one pixel into the right neighbour",
     {{74, 16, 197, 40}, {196, 20, 252, 38}},
     {{74, 16, 196, 40}, {196, 20, 252, 38}}},
    {"one pixel into the neighbour below",
     {{0, 0, 35, 35}, {0, 34, 35, 68}},
     {{0, 0, 35, 34}, {0, 34, 35, 68}}},
    {"a row of keys",
     {{43, 0, 78, 34}, {77, 0, 112, 34}, {111, 0, 146, 34}},
     {{43, 0, 77, 34}, {77, 0, 111, 34}, {111, 0, 146, 34}}},
    {"edge to edge already", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}}},
    {"two pixels: a real overlap stays",
     {{0, 0, 12, 10}, {10, 0, 20, 10}},
     {{0, 0, 12, 10}, {10, 0, 20, 10}}},
    {"other rows", {{0, 0, 11, 10}, {10, 10, 20, 20}}, {{0, 0, 11, 10}, {10, 10, 20, 20}}},
    {"one inside the other", {{0, 0, 30, 30}, {5, 5, 10, 10}}, {{0, 0, 30, 30}, {5, 5, 10, 10}}},
    {"an empty control", {{0, 0, 0, 0}, {0, 0, 10, 10}}, {{0, 0, 0, 0}, {0, 0, 10, 10}}},
};

TEST(TemplateLayout, TakesBackTheRoundingPixelOnly) {
    for (const auto& c : kCases) {
        std::vector<RECT> rects = c.in;
        KeepRectsApart(rects.data(), static_cast<int>(rects.size()));
        EXPECT_EQ(Show(c.out), Show(rects)) << c.name;
    }
}

} // namespace
