// The span path must give the reference path's pictures bit for bit: render buffer, depth
// map, clip flag and every projected head, over seeded swarms seen from many poses.
#include "bitmap_bits.hpp"
#include "camera/camera.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/funnie.hpp"
#include "sim/particle.hpp"
#include "steady_swarm.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Pose {
  const char* name;
  Camera camera;
};

Camera orbitCamera(float distance, int yaw, int pitch) {
  Camera camera;
  camera.orbitMode = true;
  camera.z = distance;
  camera.yaw = yaw;
  camera.pitch = pitch;
  return camera;
}

/// Poses from inside the swarm (circles across the edges and the near plane), from outside,
/// right behind a head, and orbiting at several distances and angles.
std::vector<Pose> poses(const Funnie* someFunnie) {
  const FunnieSegment& head = someFunnie->segments[0];
  return {{"inside", freeCamera(0, 0, 0, 0, 0)},
          {"outside", freeCamera(0, 0, -900, 0, 8)},
          {"behind a head", freeCamera(head.x, head.y, head.z - 3, 0, 0)},
          {"looking down", freeCamera(20, 300, -40, 37, -63)},
          {"orbit far", orbitCamera(700, 40, 20)},
          {"orbit near", orbitCamera(150, -100, -30)},
          {"orbit inside", orbitCamera(-2, 200, 63)}};
}

/// One frame's drawing, and the projected heads it leaves.
struct Frame {
  BITMAP* buffer;
  ZBUFFER* depthMap;
  std::vector<FunnieSegment> heads;
};

Frame drawFrame(Funnie* funnies, const MATRIX_f& view, int w, int h, PixelPath path) {
  Frame frame{create_bitmap(w, h), nullptr, {}};
  frame.depthMap = create_zbuffer(frame.buffer);
  clear_to_color(frame.buffer, makecol(0, 0, 64));
  clear_zbuffer(frame.depthMap, 0);
  renderFunnies(funnies, frame.buffer, frame.depthMap, view, path);
  renderParticles(frame.buffer, frame.depthMap, view, path);
  for (const Funnie* f = funnies; f != nullptr; f = f->next) {
    frame.heads.push_back(f->projectedHead);
  }
  return frame;
}

void release(Frame& frame) {
  destroy_zbuffer(frame.depthMap);
  destroy_bitmap(frame.buffer);
}

class FastPathIdentity : public ::testing::TestWithParam<unsigned> {
protected:
  void SetUp() override { funnies = steadySwarm(GetParam(), 256); }
  void TearDown() override { releaseSwarm(funnies); }
  Funnie* funnies = nullptr;
};

TEST_P(FastPathIdentity, SameBitsAtEveryPoseAndResolution) {
  const struct { int w, h; } resolutions[] = {{320, 200}, {640, 480}, {1280, 720}, {1920, 1080}};
  for (Pose& pose : poses(funnies)) {
    buildViewMatrix(pose.camera);
    for (const auto& r : resolutions) {
      Frame reference = drawFrame(funnies, pose.camera.viewMatrix, r.w, r.h, PixelPath::reference);
      Frame fast = drawFrame(funnies, pose.camera.viewMatrix, r.w, r.h, PixelPath::fast);
      SCOPED_TRACE(::testing::Message() << pose.name << " at " << r.w << "x" << r.h);
      EXPECT_TRUE(sameBits(reference.buffer, fast.buffer));
      EXPECT_TRUE(sameBits(reference.depthMap, fast.depthMap));
      EXPECT_EQ(reference.buffer->clip, fast.buffer->clip);
      EXPECT_EQ(0, std::memcmp(reference.heads.data(), fast.heads.data(),
                               reference.heads.size() * sizeof(FunnieSegment)));
      release(reference);
      release(fast);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, FastPathIdentity, ::testing::Values(1u, 2024u, 77777u));

} // namespace
