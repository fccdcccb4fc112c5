// The midpoint filled-circle rasteriser: which pixels reach the plot routine, in what order,
// and what becomes of the target's clip flag.
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render_fixture.hpp"

#include <algorithm>
#include <vector>

namespace {

struct PlotCall {
  int x, y, clip;
};

std::vector<PlotCall> plotCalls; // a PlotRoutine is a plain function: it records here

void recordPlot(BITMAP* target, int x, int y, int) {
  plotCalls.push_back({x, y, target->clip});
}

void recordAndDepthTest(BITMAP* target, int x, int y, int colour) {
  recordPlot(target, x, y, colour);
  depthTestedPlot(target, x, y, colour);
}

/// Columns first..last, both included, of one row.
struct Span {
  int y, first, last;
  bool operator==(const Span& o) const { return y == o.y && first == o.first && last == o.last; }
};

void PrintTo(const Span& s, std::ostream* out) {
  *out << "row " << s.y << ": " << s.first << ".." << s.last;
}

/// The recorded calls cut into runs of neighbouring columns of one row, taken left to right,
/// sorted by row. A row handed over twice, split, or walked leftwards shows as extra runs.
std::vector<Span> recordedSpans() {
  std::vector<Span> spans;
  for (const PlotCall& call : plotCalls) {
    if (!spans.empty() && spans.back().y == call.y && spans.back().last + 1 == call.x) {
      spans.back().last = call.x;
    } else {
      spans.push_back({call.y, call.x, call.x});
    }
  }
  std::stable_sort(spans.begin(), spans.end(),
                   [](const Span& a, const Span& b) { return a.y < b.y; });
  return spans;
}

constexpr int clipOn = -1;
constexpr int clipOff = 0;
constexpr int unusualClipOn = 5; // nonzero, but not the value the rasteriser leaves
constexpr int anyColour = 0x123456;

class CircleRaster : public RenderBuffer {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    plotCalls.clear();
  }
  void TearDown() override {
    plotCalls.clear();
    RenderBuffer::TearDown();
  }
};

TEST_F(CircleRaster, EveryRowIsOneSpanAndEveryPixelComesOnce) {
  const struct {
    int radius;
    std::size_t pixels;
    std::vector<Span> rows;
  } cases[] = {
      {0, 0, {}},
      {1, 2, {{10, 9, 10}}},
      {2, 16, {{8, 9, 10}, {9, 8, 11}, {10, 8, 11}, {11, 8, 11}, {12, 9, 10}}},
      {3,
       30,
       {{7, 9, 10}, {8, 8, 11}, {9, 7, 12}, {10, 7, 12}, {11, 7, 12}, {12, 8, 11}, {13, 9, 10}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.radius);
    plotCalls.clear();
    fillCircle(target, 10, 10, c.radius, anyColour, recordPlot);
    EXPECT_EQ(plotCalls.size(), c.pixels);
    EXPECT_EQ(recordedSpans(), c.rows);
  }
}

TEST_F(CircleRaster, ASpanLeavesOutItsLargerEndWhicheverWayItIsGiven) {
  for (const auto& ends : {std::make_pair(5, 2), std::make_pair(2, 5)}) {
    plotCalls.clear();
    drawSpan(target, ends.first, 7, ends.second, anyColour, recordPlot);
    EXPECT_EQ(recordedSpans(), (std::vector<Span>{{7, 2, 4}}));
  }
}

TEST_F(CircleRaster, TheMarginBoxCullsOrSparesTheClipping) {
  set_clip_rect(target, 50, 50, 99, 99); // columns and rows 50..99 inside
  constexpr int radius = 3;
  constexpr std::size_t pixels = 30;
  const struct {
    int x, y;
    CircleBox box;
  } cases[] = {
      {104, 75, CircleBox::outside}, {75, 104, CircleBox::outside},  {45, 75, CircleBox::outside},
      {75, 45, CircleBox::outside},  {103, 75, CircleBox::crossing}, {75, 103, CircleBox::crossing},
      {46, 75, CircleBox::crossing}, {75, 46, CircleBox::crossing},  {53, 75, CircleBox::crossing},
      {96, 75, CircleBox::crossing}, {54, 54, CircleBox::inside},    {95, 95, CircleBox::inside},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    plotCalls.clear();
    target->clip = unusualClipOn;
    EXPECT_EQ(placeCircleBox(target, c.x, c.y, radius), c.box);
    fillCircle(target, c.x, c.y, radius, anyColour, recordPlot);
    if (c.box == CircleBox::outside) {
      EXPECT_TRUE(plotCalls.empty());
      EXPECT_EQ(target->clip, unusualClipOn);
      continue;
    }
    const int clipWhileDrawing = c.box == CircleBox::inside ? clipOff : unusualClipOn;
    EXPECT_EQ(plotCalls.size(), pixels);
    for (const PlotCall& call : plotCalls) {
      EXPECT_EQ(call.clip, clipWhileDrawing);
    }
    EXPECT_EQ(target->clip, clipOn);
  }
}

TEST_F(CircleRaster, WithClippingOffNothingIsCulled) {
  for (const auto& centre : {std::make_pair(-50, -50), std::make_pair(160, 100)}) {
    plotCalls.clear();
    target->clip = clipOff;
    fillCircle(target, centre.first, centre.second, 3, anyColour, recordPlot);
    EXPECT_EQ(plotCalls.size(), 30u);
    EXPECT_TRUE(std::all_of(plotCalls.begin(), plotCalls.end(),
                            [](const PlotCall& call) { return call.clip == clipOff; }));
    EXPECT_EQ(target->clip, clipOff);
  }
}

TEST_F(CircleRaster, AtTheCornerOutsidePixelsAreOfferedButNoneIsWritten) {
  for (int clip : {clipOn, clipOff}) {
    SCOPED_TRACE(clip);
    plotCalls.clear();
    clearBuffers();
    target->clip = clip;
    currentDepthMap = depthMap;
    currentDepth = 20;
    fillCircle(target, 0, 1, 3, makecol32(200, 100, 50), recordAndDepthTest);
    currentDepthMap = nullptr;

    int inside = 0;
    for (const PlotCall& call : plotCalls) {
      EXPECT_EQ(call.clip, clip);
      if (call.x >= 0 && call.y >= 0) {
        ++inside;
        EXPECT_TRUE(drawnAt(call.x, call.y));
        EXPECT_EQ(depthAt(call.x, call.y), 20);
      }
    }
    EXPECT_EQ(plotCalls.size(), 30u); // the left and upper parts are offered too
    EXPECT_EQ(drawnPixelCount(), inside);
    for (int y : {0, 1, 2, 3, 4, bufferHeight - 1}) { // where a row's column -1 would land
      EXPECT_FALSE(drawnAt(bufferWidth - 1, y)) << y;
      EXPECT_EQ(depthAt(bufferWidth - 1, y), 0) << y;
    }
    EXPECT_EQ(target->clip, clip);
  }
}

} // namespace
