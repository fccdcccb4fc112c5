// Overlay line 4: the selected funnie's head, each coordinate cut toward zero.
#include "app/overlay.hpp"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

constexpr int stripTop = 30; // line 4 of the overlay, 8 pixels of the built-in font
constexpr int stripHeight = 8;
constexpr int bitmapWidth = 320;
constexpr int bitmapHeight = 48;

class SelectionLine : public ::testing::Test {
protected:
  void SetUp() override {
    drawn = create_bitmap(bitmapWidth, bitmapHeight);
    expected = create_bitmap(bitmapWidth, bitmapHeight);
  }

  void TearDown() override {
    destroy_bitmap(expected);
    destroy_bitmap(drawn);
  }

  /// Pixels of rows [top, bottom) where the two bitmaps differ.
  static int differences(BITMAP* a, BITMAP* b, int top = 0, int bottom = bitmapHeight) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < bitmapWidth; ++x) {
        count += getpixel(a, x, y) != getpixel(b, x, y) ? 1 : 0;
      }
    }
    return count;
  }
  static int stripDifferences(BITMAP* a, BITMAP* b) {
    return differences(a, b, stripTop, stripTop + stripHeight);
  }

  /// The line as the overlay should show it: white on an opaque black box.
  static void writeExpected(BITMAP* target, const char* text) {
    textout_ex(target, font, text, 0, stripTop, makecol(255, 255, 255), 0);
  }

  BITMAP* drawn = nullptr;
  BITMAP* expected = nullptr;
  const int scene = makecol(30, 90, 160); // something the black text box shows up on
};

TEST_F(SelectionLine, LineFourShowsTheHeadCutTowardZero) {
  struct Case {
    float x, y, z;
    const char* text;
  };
  const Case cases[] = {
      {12.7f, -3.9f, 0.2f, "Selected funnie at 12 -3 0."},
      {-0.7f, 3.9f, 100.2f, "Selected funnie at 0 3 100."},
  };
  for (const Case& c : cases) {
    clear_to_color(drawn, scene);
    clear_to_color(expected, scene);
    writeExpected(expected, c.text);
    drawSelectionLine(drawn, FunnieSegment{c.x, c.y, c.z});
    EXPECT_EQ(stripDifferences(drawn, expected), 0) << c.text;
    EXPECT_EQ(differences(drawn, expected), 0) << c.text; // nothing outside the strip
  }
}

TEST_F(SelectionLine, TheStripComparisonTellsNeighbouringNumbersApart) {
  writeExpected(expected, "Selected funnie at 12 -3 0.");
  writeExpected(drawn, "Selected funnie at 13 -4 0."); // rounding instead of cutting
  EXPECT_GT(stripDifferences(drawn, expected), 0);
}

} // namespace
