// Frame stages timed on memory bitmaps, the benchmark's camera poses, and medians.
#include "bench/frame_timing.hpp"

#include "app/overlay.hpp"
#include "render/background.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/particle.hpp"

#include <algorithm>
#include <cstring>

double microsecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

double poseMedian(const std::vector<double>& values, int pose, int perPose) {
  const auto first = values.begin() + static_cast<long>(pose) * perPose;
  return median(std::vector<double>(first, first + perPose));
}

std::vector<Camera> benchmarkPoses() {
  std::vector<Camera> poses(4);
  poses[1].z = -900.0f;
  poses[1].pitch = 8;
  poses[2].orbitMode = true;
  poses[2].z = 700.0f;
  poses[2].yaw = 40;
  poses[2].pitch = 20;
  poses[3].orbitMode = true;
  poses[3].z = 300.0f;
  poses[3].yaw = -100;
  poses[3].pitch = -30;
  for (Camera& pose : poses) {
    buildViewMatrix(pose);
  }
  return poses;
}

Surfaces createSurfaces(int width, int height) {
  Surfaces s{create_bitmap(width, height), nullptr, create_bitmap(width, height)};
  s.depthMap = create_zbuffer(s.buffer);
  clear_to_color(s.buffer, backgroundColour(0));
  return s;
}

void destroySurfaces(Surfaces& s) {
  destroy_bitmap(s.screenCopy);
  destroy_zbuffer(s.depthMap);
  destroy_bitmap(s.buffer);
}

namespace {

template <typename Stage> void timeStage(std::vector<double>& into, double& total, Stage stage) {
  const Clock::time_point start = Clock::now();
  stage();
  const double elapsed = microsecondsSince(start);
  into.push_back(elapsed);
  total += elapsed;
}

long coveredCells(ZBUFFER* depthMap) {
  long count = 0;
  for (int y = 0; y < depthMap->h; ++y) {
    for (int x = 0; x < depthMap->w; ++x) {
      count += getpixel(depthMap, x, y) != 0;
    }
  }
  return count;
}

} // namespace

void drawTimedFrame(World& world, const Surfaces& s, PixelPath path, StageTimes& times) {
  double total = 0;
  timeStage(times.clear, total, [&] { clear_zbuffer(s.depthMap, 0); });
  timeStage(times.funnies, total, [&] {
    renderFunnies(world.funnies, s.buffer, s.depthMap, world.camera.viewMatrix, path);
  });
  timeStage(times.particles, total,
            [&] { renderParticles(s.buffer, s.depthMap, world.camera.viewMatrix, path); });
  timeStage(times.overlay, total, [&] { drawCameraLines(s.buffer, world.camera, 0); });
  timeStage(times.present, total, [&] {
    blit(s.buffer, s.screenCopy, 0, 0, 0, 0, s.buffer->w, s.buffer->h);
    clear_to_color(s.buffer, backgroundColour(world.camera.pitch));
  });
  times.total.push_back(total);
}

namespace {

/// Clears the depth map, draws the funnies and then the particle stage, which it times.
double drawParticleStage(World& world, const Surfaces& s, const HeapParticles* asBefore) {
  clear_zbuffer(s.depthMap, 0);
  renderFunnies(world.funnies, s.buffer, s.depthMap, world.camera.viewMatrix);
  const Clock::time_point start = Clock::now();
  if (asBefore != nullptr) {
    renderParticlesAsBefore(*asBefore, s.buffer, s.depthMap, world.camera.viewMatrix);
  } else {
    renderParticles(s.buffer, s.depthMap, world.camera.viewMatrix);
  }
  const double elapsed = microsecondsSince(start);
  clear_to_color(s.buffer, backgroundColour(world.camera.pitch));
  return elapsed;
}

} // namespace

double timeParticleStage(World& world, const Surfaces& s, const HeapParticles* asBefore) {
  drawParticleStage(world, s, asBefore);
  return drawParticleStage(world, s, asBefore);
}

namespace {

bool sameBits(BITMAP* a, BITMAP* b) {
  for (int y = 0; y < a->h; ++y) {
    if (std::memcmp(a->line[y], b->line[y], static_cast<std::size_t>(a->w) * 4) != 0) {
      return false;
    }
  }
  return true;
}

} // namespace

bool drawsAsBefore(World& world, const Surfaces& s, const HeapParticles& asBefore,
                   const Camera& pose) {
  BITMAP* pixels = create_bitmap(s.buffer->w, s.buffer->h);
  ZBUFFER* depths = create_zbuffer(pixels);
  clear_zbuffer(s.depthMap, 0);
  renderFunnies(world.funnies, s.buffer, s.depthMap, pose.viewMatrix);
  renderParticles(s.buffer, s.depthMap, pose.viewMatrix);
  blit(s.buffer, pixels, 0, 0, 0, 0, pixels->w, pixels->h);
  blit(s.depthMap, depths, 0, 0, 0, 0, pixels->w, pixels->h);
  clear_to_color(s.buffer, backgroundColour(0));
  clear_zbuffer(s.depthMap, 0);
  renderFunnies(world.funnies, s.buffer, s.depthMap, pose.viewMatrix);
  renderParticlesAsBefore(asBefore, s.buffer, s.depthMap, pose.viewMatrix);
  const bool same = sameBits(s.buffer, pixels) && sameBits(s.depthMap, depths);
  clear_to_color(s.buffer, backgroundColour(0));
  destroy_zbuffer(depths);
  destroy_bitmap(pixels);
  return same;
}

double floorFrame(const Surfaces& s) {
  const Clock::time_point start = Clock::now();
  clear_zbuffer(s.depthMap, 0);
  blit(s.buffer, s.screenCopy, 0, 0, 0, 0, s.buffer->w, s.buffer->h);
  clear_to_color(s.buffer, backgroundColour(0));
  return microsecondsSince(start);
}

long funniePixels(World& world, const Surfaces& s, const Camera& pose) {
  clear_zbuffer(s.depthMap, 0);
  renderFunnies(world.funnies, s.buffer, s.depthMap, pose.viewMatrix);
  clear_to_color(s.buffer, backgroundColour(0));
  return coveredCells(s.depthMap);
}

long framePixels(World& world, const Surfaces& s, const Camera& pose) {
  clear_zbuffer(s.depthMap, 0);
  renderFunnies(world.funnies, s.buffer, s.depthMap, pose.viewMatrix);
  renderParticles(s.buffer, s.depthMap, pose.viewMatrix);
  clear_to_color(s.buffer, backgroundColour(0));
  return coveredCells(s.depthMap);
}

long liveParticles() {
  long count = 0;
  for (const Particle* p = particleList; p != nullptr; p = p->next) {
    ++count;
  }
  return count;
}
