// The midpoint filled-circle rasteriser: which pixels reach the plot routine, in what order,
// and what becomes of the target's clip flag.
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render_fixture.hpp"

#include <vector>

namespace {

struct PlotCall {
  int x, y, clip;
};

std::vector<PlotCall> calls; // a PlotRoutine is a plain function pointer: it records here

void recordPlot(BITMAP* target, int x, int y, int) {
  calls.push_back({x, y, target->clip});
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

std::ostream& operator<<(std::ostream& out, const Span& s) {
  return out << "row " << s.y << ": " << s.first << ".." << s.last;
}

/// Runs of calls on one row, each one column right of the one before. A pixel handed twice
/// or out of order starts a new span.
std::vector<Span> spansOf(const std::vector<PlotCall>& recorded) {
  std::vector<Span> spans;
  for (const PlotCall& call : recorded) {
    if (!spans.empty() && spans.back().y == call.y && spans.back().last + 1 == call.x) {
      spans.back().last = call.x;
    } else {
      spans.push_back({call.y, call.x, call.x});
    }
  }
  return spans;
}

class CircleRaster : public RenderBuffer {
protected:
  void SetUp() override {
    RenderBuffer::SetUp();
    calls.clear();
    currentDepthMap = depthMap;
    currentDepth = 5;
  }
};

struct CircleShape {
  int x, y, radius;
  int pixels;
  std::vector<Span> spans; // in the order the midpoint walk hands them over
};

TEST_F(CircleRaster, EveryRowIsOneLeftToRightSpanAndEveryPixelComesOnce) {
  const CircleShape shapes[] = {
      {10, 10, 0, 0, {}},
      {50, 60, 1, 2, {{60, 49, 50}}},
      {10, 10, 2, 16, {{10, 8, 11}, {9, 8, 11}, {11, 8, 11}, {8, 9, 10}, {12, 9, 10}}},
      {10,
       10,
       3,
       30,
       {{10, 7, 12}, {9, 7, 12}, {11, 7, 12}, {7, 9, 10}, {13, 9, 10}, {8, 8, 11}, {12, 8, 11}}},
  };
  for (const CircleShape& shape : shapes) {
    SCOPED_TRACE(shape.radius);
    calls.clear();
    fillCircle(target, shape.x, shape.y, shape.radius, makecol(255, 255, 255), recordPlot);
    EXPECT_EQ(static_cast<int>(calls.size()), shape.pixels);
    EXPECT_EQ(spansOf(calls), shape.spans);
  }
}

TEST_F(CircleRaster, ASpanLeavesOutItsLargerEndWhicheverWayItIsGiven) {
  struct SpanCase {
    int x1, x2;
    std::vector<Span> spans;
  };
  const SpanCase cases[] = {{5, 2, {{7, 2, 4}}}, {2, 5, {{7, 2, 4}}}, {3, 3, {}}};
  for (const SpanCase& c : cases) {
    calls.clear();
    drawSpan(target, c.x1, 7, c.x2, 0, recordPlot);
    EXPECT_EQ(spansOf(calls), c.spans) << c.x1 << " to " << c.x2;
  }
}

TEST_F(CircleRaster, TheMarginBoxCullsOrSparesTheClipping) {
  constexpr int untouched = 5; // any "on" value other than the -1 a drawn circle leaves
  enum class Box { outside, inside, crossing };
  struct BoxCase {
    int x, y;
    Box box; // radius 3: the box reaches 4 pixels past the centre
  };
  const BoxCase cases[] = {
      {-5, 100, Box::outside},   {-4, 100, Box::crossing}, {3, 100, Box::crossing},
      {4, 100, Box::inside},     {324, 100, Box::outside}, {323, 100, Box::crossing},
      {316, 100, Box::crossing}, {315, 100, Box::inside},  {160, -5, Box::outside},
      {160, -4, Box::crossing},  {160, 4, Box::inside},    {160, 204, Box::outside},
      {160, 196, Box::crossing}, {160, 195, Box::inside},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "centre " << c.x << ", " << c.y);
    calls.clear();
    target->clip = untouched;
    fillCircle(target, c.x, c.y, 3, 0, recordPlot);
    if (c.box == Box::outside) {
      EXPECT_TRUE(calls.empty());
      EXPECT_EQ(target->clip, untouched);
      continue;
    }
    ASSERT_EQ(calls.size(), 30u);
    const int clipWhileDrawing = c.box == Box::inside ? 0 : untouched;
    for (const PlotCall& call : calls) {
      EXPECT_EQ(call.clip, clipWhileDrawing);
    }
    EXPECT_EQ(target->clip, -1);
  }
}

TEST_F(CircleRaster, WithClippingOffNothingIsCulled) {
  const int centres[][2] = {{-20, 100}, {160, 100}, {160, 250}};
  for (const auto& centre : centres) {
    calls.clear();
    target->clip = 0;
    fillCircle(target, centre[0], centre[1], 3, 0, recordPlot);
    EXPECT_EQ(calls.size(), 30u);
    for (const PlotCall& call : calls) {
      EXPECT_EQ(call.clip, 0);
    }
    EXPECT_EQ(target->clip, 0);
  }
}

// The buffer and its depth map are windows into larger bitmaps, so that a write outside
// them would show in the surrounding ring.
class FramedBuffer : public ::testing::Test {
protected:
  static constexpr int ring = 8;

  void SetUp() override {
    parent = create_bitmap(bufferWidth + 2 * ring, bufferHeight + 2 * ring);
    parentDepths = create_zbuffer(parent);
    buffer = create_sub_bitmap(parent, ring, ring, bufferWidth, bufferHeight);
    depths = create_sub_zbuffer(parentDepths, ring, ring, bufferWidth, bufferHeight);
    currentDepthMap = depths;
    currentDepth = 5;
  }

  void TearDown() override {
    destroy_zbuffer(depths);
    destroy_bitmap(buffer);
    destroy_zbuffer(parentDepths);
    destroy_bitmap(parent);
  }

  int ringWrites() const {
    int count = 0;
    for (int y = 0; y < parent->h; ++y) {
      for (int x = 0; x < parent->w; ++x) {
        const bool inRing =
            x < ring || y < ring || x >= ring + bufferWidth || y >= ring + bufferHeight;
        const bool written =
            !(rgbOf(getpixel(parent, x, y)) == Rgb{0, 0, 0}) || getpixel(parentDepths, x, y) != 0;
        count += inRing && written ? 1 : 0;
      }
    }
    return count;
  }

  BITMAP* parent = nullptr;
  ZBUFFER* parentDepths = nullptr;
  BITMAP* buffer = nullptr;
  ZBUFFER* depths = nullptr;
};

TEST_F(FramedBuffer, OutsidePixelsAreOfferedToThePlotButNoneIsWritten) {
  constexpr Rgb white{255, 255, 255};
  struct EdgeCase {
    int clip, x, y; // with clipping off only the depth test keeps the writes inside
  };
  const EdgeCase cases[] = {{-1, 0, 0},    {-1, 319, 0}, {-1, 0, 199}, {-1, 319, 199},
                            {-1, -3, 100}, {0, -3, 100}, {0, 0, 50},   {0, 317, 150}};
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "clip " << c.clip << " centre " << c.x << ", " << c.y);
    clear_to_color(parent, makecol(0, 0, 0));
    clear_zbuffer(parentDepths, 0);
    calls.clear();
    buffer->clip = c.clip;
    fillCircle(buffer, c.x, c.y, 5, makecol(white.red, white.green, white.blue),
               recordAndDepthTest);
    int inside = 0;
    for (const PlotCall& call : calls) {
      if (call.x >= 0 && call.y >= 0 && call.x < bufferWidth && call.y < bufferHeight) {
        ++inside;
        EXPECT_EQ(rgbOf(getpixel(buffer, call.x, call.y)), white) << call.x << ", " << call.y;
      }
    }
    EXPECT_GT(inside, 0);
    EXPECT_LT(inside, static_cast<int>(calls.size()));
    EXPECT_EQ(ringWrites(), 0);
    EXPECT_EQ(buffer->clip, c.clip);
  }
}

} // namespace
