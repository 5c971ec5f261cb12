#include "filter/diagram/ScanlineFill.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t W = 0xFFFFFFFF, K = 0xFF000000, H = 0xFFC0C0C0;

struct Image {
    int width, height;
    std::vector<std::uint32_t> px;
    Image(int w, int h, std::uint32_t fill = W) : width(w), height(h), px(size_t(w * h), fill) {}
    std::uint32_t& at(int x, int y) { return px[size_t(y * width + x)]; }
    TPixelBuffer buffer() { return {px.data(), width, height, width}; }
};

// The plain definition: every pixel of colour target reachable through side neighbours.
std::vector<bool> reachable(Image& img, int x, int y, std::uint32_t target) {
    std::vector<bool> seen(img.px.size(), false);
    if (img.at(x, y) != target)
        return seen;
    std::deque<std::pair<int, int>> queue{{x, y}};
    seen[size_t(y * img.width + x)] = true;
    while (!queue.empty()) {
        auto [cx, cy] = queue.front();
        queue.pop_front();
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int nx = cx + dx[k], ny = cy + dy[k];
            if (nx < 0 || ny < 0 || nx >= img.width || ny >= img.height)
                continue;
            const size_t i = size_t(ny * img.width + nx);
            if (!seen[i] && img.px[i] == target) {
                seen[i] = true;
                queue.push_back({nx, ny});
            }
        }
    }
    return seen;
}

} // namespace

TEST(ScanlineFill, AreaMatchesThePlainDefinitionOnRandomImages) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        Image img(37, 23);
        std::bernoulli_distribution wall(round % 2 ? 0.45 : 0.3);
        for (auto& p : img.px)
            p = wall(rng) ? K : W;
        const int sx = int(rng() % 37), sy = int(rng() % 23);
        img.at(sx, sy) = W;
        const std::vector<bool> expected = reachable(img, sx, sy, W);
        Image before = img;
        const long long n = HatchFillArea(img.buffer(), sx, sy, W, H, 0x00FFFFFF, 3, 5);
        long long count = 0;
        for (int y = 0; y < img.height; ++y)
            for (int x = 0; x < img.width; ++x) {
                const size_t i = size_t(y * img.width + x);
                count += expected[i];
                const std::uint32_t want =
                    expected[i] ? (OnHatchLine(x + 3, y + 5) ? H : W) : before.px[i];
                ASSERT_EQ(img.px[i], want) << "round " << round << " at " << x << "," << y;
            }
        EXPECT_EQ(n, count);
    }
}

TEST(ScanlineFill, DiagonalLinesBoundTheArea) {
    // A one-pixel diagonal line closes the area for a fill through side neighbours.
    Image img(20, 20);
    for (int i = 0; i < 20; ++i)
        img.at(i, 19 - i) = K;
    const long long n = HatchFillArea(img.buffer(), 0, 0, W, H, 0, 0, 0);
    EXPECT_EQ(n, 190); // the triangle above the line
    EXPECT_EQ(img.at(19, 19), W);
    // Back-diagonal hatch lines: x + y a multiple of 8.
    EXPECT_EQ(img.at(0, 0), H);
    EXPECT_EQ(img.at(7, 1), H);
    EXPECT_EQ(img.at(1, 7), H);
    EXPECT_EQ(img.at(1, 1), W);
    // The hatch lines of one fill bound a second fill: the band 1 <= x + y <= 7.
    const long long band = HatchFillArea(img.buffer(), 1, 1, W, H, 0, 0, 0);
    EXPECT_EQ(band, 2 + 3 + 4 + 5 + 6 + 7 + 8);
}

TEST(ScanlineFill, StartOutsideOrOnAnotherColourDoesNothing) {
    Image img(10, 10);
    img.at(5, 5) = K;
    EXPECT_EQ(HatchFillArea(img.buffer(), 5, 5, W, H, 0, 0, 0), 0);
    EXPECT_EQ(HatchFillArea(img.buffer(), -1, 5, W, H, 0, 0, 0), 0);
    EXPECT_EQ(HatchFillArea(img.buffer(), 5, 10, W, H, 0, 0, 0), 0);
    EXPECT_EQ(FloodSpans(img.buffer(), 1, 1, W, W).size(), 0u); // marker equal to target
    for (std::uint32_t p : img.px)
        EXPECT_TRUE(p == W || p == K);
    // A large open area is found as one span per row.
    Image big(1000, 800);
    EXPECT_EQ(FloodSpans(big.buffer(), 500, 400, W, 1).size(), 800u);
}
