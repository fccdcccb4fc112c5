// The one guard on direct row access. For every kind of render buffer and depth map a caller
// can hand over (the mode dialog offers 8, 15, 16, 24 and 32 bits), both pixel paths draw the
// same swarm and leave the same bits wherever they could reach, and the guard lets the direct
// path run where, and only where, it cannot differ.
#include "bitmap_bits.hpp"
#include "camera/camera.hpp"
#include "render/direct_rows.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/funnie.hpp"
#include "sim/particle.hpp"
#include "steady_swarm.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int width = 320;
constexpr int height = 200;
constexpr int ring = 24;     // of the parent around a sub-bitmap
constexpr int inset = 40;    // of a clip rectangle from the edges it does not reach
constexpr int ringDepth = 7; // what the parent depth map holds around a sub-bitmap

/// Colours before drawing: the buffer, and the parent's ring around a sub-bitmap buffer.
int background() {
  return makecol(0, 0, 64);
}
int ringColour() {
  return makecol(90, 91, 92);
}

/// A memory bitmap dressed as a driver's system bitmap (the X11 screen is a driver's video
/// bitmap): every putpixel also reaches the driver's window, which a write straight into the
/// rows misses.
struct Driver {
  GFX_VTABLE vtable;
  GFX_VTABLE* memory;
  BITMAP* window;
};

void putpixelThroughDriver(BITMAP* bitmap, int x, int y, int colour) {
  const Driver* driver = static_cast<const Driver*>(bitmap->extra);
  driver->memory->putpixel(bitmap, x, y, colour);
  putpixel(driver->window, x, y, colour);
}

/// The bitmaps of one case: what the renderers get, and what is compared between the paths.
class Surfaces {
public:
  Surfaces() = default;
  Surfaces(const Surfaces&) = delete;
  Surfaces& operator=(const Surfaces&) = delete;
  ~Surfaces() {
    for (BITMAP* bitmap : dressed) {
      Driver* driver = static_cast<Driver*>(bitmap->extra);
      bitmap->vtable = driver->memory;
      bitmap->extra = nullptr;
      bitmap->id &= ~BMP_ID_SYSTEM;
      destroy_bitmap(driver->window);
      delete driver;
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
      destroy_bitmap(*it); // sub-bitmaps before their parents
    }
  }

  /// A render buffer, cleared to the background before any clip rectangle is set (clearing
  /// stays inside it).
  BITMAP* buffer(int depth, int w = width, int h = height) {
    return filled(create_bitmap_ex(depth, w, h), background());
  }
  /// A depth map, empty; 32 bits unless told otherwise.
  ZBUFFER* depthGrid(int w = width, int h = height, int depth = 32) {
    return filled(create_bitmap_ex(depth, w, h), 0);
  }
  /// A parent `ring` pixels wider on every side, filled with `value`, and the sub-bitmap in
  /// its middle, filled with `inner`.
  BITMAP* subOfParent(int value, int inner, BITMAP*& parent) {
    parent = filled(create_bitmap_ex(32, width + 2 * ring, height + 2 * ring), value);
    return filled(create_sub_bitmap(parent, ring, ring, width, height), inner);
  }

  void dress(BITMAP* bitmap) {
    Driver* driver = new Driver{*bitmap->vtable, bitmap->vtable,
                                create_bitmap_ex(bitmap_color_depth(bitmap), bitmap->w, bitmap->h)};
    clear_to_color(driver->window, 0);
    driver->vtable.putpixel = putpixelThroughDriver;
    bitmap->vtable = &driver->vtable;
    bitmap->extra = driver;
    bitmap->id |= BMP_ID_SYSTEM;
    dressed.push_back(bitmap);
  }

  /// Everything a path could write: the roots of target and depth map, and driver windows.
  std::vector<BITMAP*> watched() const {
    std::vector<BITMAP*> all{targetRoot, depthRoot};
    for (BITMAP* bitmap : dressed) {
      all.push_back(static_cast<Driver*>(bitmap->extra)->window);
    }
    return all;
  }

  BITMAP* target = nullptr;
  ZBUFFER* depthMap = nullptr;
  BITMAP* targetRoot = nullptr; // the parent when the target is a sub-bitmap
  BITMAP* depthRoot = nullptr;

private:
  BITMAP* filled(BITMAP* bitmap, int value) {
    clear_to_color(bitmap, value);
    owned.push_back(bitmap);
    return bitmap;
  }
  std::vector<BITMAP*> owned;
  std::vector<BITMAP*> dressed;
};

/// A render buffer of `depth` bits and its depth map, both width x height.
void plainPair(Surfaces& s, int depth) {
  s.target = s.targetRoot = s.buffer(depth);
  s.depthMap = s.depthRoot = s.depthGrid();
}

/// A 32-bit render buffer with a depth map of another size.
void depthMapOfSize(Surfaces& s, int w, int h) {
  s.target = s.targetRoot = s.buffer(32);
  s.depthMap = s.depthRoot = s.depthGrid(w, h);
}

void nothing() {}

struct GuardCase {
  const char* name;
  bool allowed;
  void (*make)(Surfaces&);
  void (*enter)() = nothing; // process-wide drawing state for the case, undone by leave
  void (*leave)() = nothing;
};

/// A plain pair, the clip rectangle of its depth map or its target set to columns l .. r and
/// rows t .. b.
void clipped(Surfaces& s, bool depthMap, int l, int t, int r, int b) {
  plainPair(s, 32);
  set_clip_rect(depthMap ? s.depthMap : s.target, l, t, r, b);
}

void colourDepth16() {
  set_color_depth(16);
}
void colourDepth32() {
  set_color_depth(32);
}
void xorMode() {
  drawing_mode(DRAW_MODE_XOR, nullptr, 0, 0);
}

const GuardCase guardCases[] = {
    {"Plain32Bit", true, [](Surfaces& s) { plainPair(s, 32); }},
    {"Target8Bit", false, [](Surfaces& s) { plainPair(s, 8); }},
    {"Target15Bit", false, [](Surfaces& s) { plainPair(s, 15); }},
    {"Target16Bit", false, [](Surfaces& s) { plainPair(s, 16); }},
    {"Target24Bit", false, [](Surfaces& s) { plainPair(s, 24); }},
    {"TargetSubBitmap", false,
     [](Surfaces& s) {
       s.target = s.subOfParent(ringColour(), background(), s.targetRoot);
       s.depthMap = s.depthRoot = s.depthGrid();
     }},
    {"DepthMapSubBitmap", false,
     [](Surfaces& s) {
       s.target = s.targetRoot = s.buffer(32);
       s.depthMap = s.subOfParent(ringDepth, 0, s.depthRoot);
     }},
    {"ClipRectInside", false,
     [](Surfaces& s) { clipped(s, false, inset, inset, width - inset - 1, height - inset - 1); }},
    {"ClipRectShortOfRight", false,
     [](Surfaces& s) { clipped(s, false, 0, 0, width - inset - 1, height - 1); }},
    {"ClipRectShortOfBottom", false,
     [](Surfaces& s) { clipped(s, false, 0, 0, width - 1, height - inset - 1); }},
    {"ClipRectShortOfLeft", false,
     [](Surfaces& s) { clipped(s, false, inset, 0, width - 1, height - 1); }},
    {"ClipRectShortOfTop", false,
     [](Surfaces& s) { clipped(s, false, 0, inset, width - 1, height - 1); }},
    {"ClippingOff", true,
     [](Surfaces& s) {
       plainPair(s, 32);
       set_clip_state(s.target, FALSE);
     }},
    {"ClippingOffWithARectInside", true,
     [](Surfaces& s) {
       clipped(s, false, inset, inset, width - inset - 1, height - inset - 1);
       set_clip_state(s.target, FALSE);
     }},
    {"DepthMapNarrower", false, [](Surfaces& s) { depthMapOfSize(s, width - inset, height); }},
    {"DepthMapShorter", false, [](Surfaces& s) { depthMapOfSize(s, width, height - inset); }},
    {"DepthMapClipRectInside", false,
     [](Surfaces& s) { clipped(s, true, inset, inset, width - inset - 1, height - inset - 1); }},
    {"DepthMapClippingOff", true,
     [](Surfaces& s) {
       plainPair(s, 32);
       set_clip_state(s.depthMap, FALSE);
     }},
    {"DepthMap16Bit", false,
     [](Surfaces& s) {
       s.target = s.targetRoot = s.buffer(32);
       s.depthMap = s.depthRoot = s.depthGrid(width, height, 16);
     }},
    {"TargetThroughADriver", false,
     [](Surfaces& s) {
       plainPair(s, 32);
       s.dress(s.target);
     }},
    {"DepthMapThroughADriver", false,
     [](Surfaces& s) {
       plainPair(s, 32);
       s.dress(s.depthMap);
     }},
    {"ColoursMadeAt16Bits", false, [](Surfaces& s) { plainPair(s, 32); }, colourDepth16,
     colourDepth32},
    {"XorDrawingMode", false, [](Surfaces& s) { plainPair(s, 32); }, xorMode, solid_mode},
};

/// From inside the swarm (circles across every edge, particles up to the bitmap's borders)
/// and from outside it.
std::vector<Camera> poses() {
  std::vector<Camera> all{freeCamera(0, 0, 0, 0, 0), freeCamera(0, 0, 0, 128, 20),
                          freeCamera(0, 0, -700, 0, 5)};
  for (Camera& camera : all) {
    buildViewMatrix(camera);
  }
  return all;
}

/// Pixels of the target's root outside the target that no longer hold `expected`.
int ringChanges(BITMAP* root, const BITMAP* inner, int expected) {
  if (root == inner) {
    return 0;
  }
  int changed = 0;
  for (int y = 0; y < root->h; ++y) {
    for (int x = 0; x < root->w; ++x) {
      const bool inside = x >= ring && y >= ring && x < ring + inner->w && y < ring + inner->h;
      changed += !inside && getpixel(root, x, y) != expected ? 1 : 0;
    }
  }
  return changed;
}

int pixelsDrawn(BITMAP* target) {
  int drawn = 0;
  for (int y = 0; y < target->h; ++y) {
    for (int x = 0; x < target->w; ++x) {
      drawn += getpixel(target, x, y) != background() ? 1 : 0;
    }
  }
  return drawn;
}

class DirectRowsGuard : public ::testing::TestWithParam<GuardCase> {
protected:
  void SetUp() override { funnies = steadySwarm(5, 256); }
  void TearDown() override { releaseSwarm(funnies); }

  void draw(Surfaces& s, const Camera& pose, PixelPath path) {
    const GuardCase& c = GetParam();
    c.make(s);
    c.enter();
    EXPECT_EQ(directRowsAllowed(s.target, s.depthMap), c.allowed);
    renderFunnies(funnies, s.target, s.depthMap, pose.viewMatrix, path);
    renderParticles(s.target, s.depthMap, pose.viewMatrix, path);
    c.leave();
  }

  Funnie* funnies = nullptr;
};

TEST_P(DirectRowsGuard, BothPathsLeaveTheSameBitsEverywhere) {
  int pose = 0;
  for (const Camera& camera : poses()) {
    SCOPED_TRACE(testing::Message() << "pose " << pose++);
    Surfaces reference;
    Surfaces fast;
    draw(reference, camera, PixelPath::reference);
    draw(fast, camera, PixelPath::fast);
    EXPECT_GT(pixelsDrawn(reference.target), 500); // the swarm is in view
    const std::vector<BITMAP*> expected = reference.watched();
    const std::vector<BITMAP*> actual = fast.watched();
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(firstDifferingRow(expected[i], actual[i]), -1) << "bitmap " << i;
    }
    EXPECT_EQ(reference.target->clip, fast.target->clip);
    EXPECT_EQ(ringChanges(fast.targetRoot, fast.target, ringColour()), 0);
    EXPECT_EQ(ringChanges(fast.depthRoot, fast.depthMap, ringDepth), 0);
  }
}

std::string caseName(const ::testing::TestParamInfo<GuardCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, DirectRowsGuard, ::testing::ValuesIn(guardCases), caseName);

} // namespace
