// Times the frame pipeline headless on memory bitmaps: the span path against the per-pixel
// reference and against the floor of a frame (clears and blit only), at four resolutions,
// plus one simulation tick. Prints medians; the figures that matter are the ratios, since
// they are measured in one run on the same machine. `--quick` runs every stage briefly, for
// the memory checker.
#include "app/main_loop.hpp"
#include "app/overlay.hpp"
#include "render/funnie_renderer.hpp"
#include "render/particle_renderer.hpp"
#include "sim/particle.hpp"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int funnieCount = 256;
constexpr int warmUpTicks = 300;
/// How much of the run to do: all of it, or a short pass through every stage (for memcheck).
struct RunLength {
  int framesPerPose;
  int resolutionCount;
  int timedTicks;
};
constexpr RunLength fullRun{30, 4, 300};
constexpr RunLength quickRun{1, 2, 5};

struct Resolution {
  int width, height;
};
constexpr Resolution resolutions[] = {{320, 200}, {640, 480}, {1280, 720}, {1920, 1080}};

/// Poses that see the swarm: from inside it, from outside in free mode, and orbiting.
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

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

/// Stage timings of many frames, in microseconds.
struct StageTimes {
  std::vector<double> clear, funnies, particles, overlay, present, total;
};

struct Surfaces {
  BITMAP* buffer;
  ZBUFFER* depthMap;
  BITMAP* screenCopy; // stands in for the screen: the blit's cost without a display
};

template <typename Stage> void timeStage(std::vector<double>& into, double& total, Stage stage) {
  const Clock::time_point start = Clock::now();
  stage();
  const double elapsed = microsecondsSince(start);
  into.push_back(elapsed);
  total += elapsed;
}

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

double floorFrame(const Surfaces& s) {
  const Clock::time_point start = Clock::now();
  clear_zbuffer(s.depthMap, 0);
  blit(s.buffer, s.screenCopy, 0, 0, 0, 0, s.buffer->w, s.buffer->h);
  clear_to_color(s.buffer, backgroundColour(0));
  return microsecondsSince(start);
}

long drawnPixels(ZBUFFER* depthMap) {
  long count = 0;
  for (int y = 0; y < depthMap->h; ++y) {
    for (int x = 0; x < depthMap->w; ++x) {
      count += getpixel(depthMap, x, y) != 0;
    }
  }
  return count;
}

void printStages(const char* name, const StageTimes& t) {
  std::printf("  %-9s clear %7.1f  funnies %8.1f  particles %7.1f  overlay %5.1f  blit+clear %6.1f"
              "  frame %8.1f us\n",
              name, median(t.clear), median(t.funnies), median(t.particles), median(t.overlay),
              median(t.present), median(t.total));
}

void benchResolution(World& world, const std::vector<Camera>& poses, Resolution r,
                     int framesPerPose) {
  Surfaces s{create_bitmap(r.width, r.height), nullptr, create_bitmap(r.width, r.height)};
  s.depthMap = create_zbuffer(s.buffer);
  clear_to_color(s.buffer, backgroundColour(0));
  StageTimes fast, reference;
  std::vector<double> floor;
  long pixels = 0;
  for (const Camera& pose : poses) {
    world.camera = pose;
    for (int frame = 0; frame < framesPerPose; ++frame) { // interleaved, so noise hits both
      drawTimedFrame(world, s, PixelPath::reference, reference);
      drawTimedFrame(world, s, PixelPath::fast, fast);
      floor.push_back(floorFrame(s));
    }
    clear_zbuffer(s.depthMap, 0);
    renderFunnies(world.funnies, s.buffer, s.depthMap, pose.viewMatrix);
    renderParticles(s.buffer, s.depthMap, pose.viewMatrix);
    pixels += drawnPixels(s.depthMap);
    clear_to_color(s.buffer, backgroundColour(0));
  }
  const double fastFrame = median(fast.total);
  std::printf("%dx%d: %ld pixels drawn per frame (mean over %zu poses)\n", r.width, r.height,
              pixels / static_cast<long>(poses.size()), poses.size());
  printStages("reference", reference);
  printStages("fast", fast);
  std::printf("  floor %.1f us   fast/reference %.3f   fast/floor %.2f\n", median(floor),
              fastFrame / median(reference.total), fastFrame / median(floor));
  destroy_bitmap(s.screenCopy);
  destroy_zbuffer(s.depthMap);
  destroy_bitmap(s.buffer);
}

void benchTick(World& world, int timedTicks) {
  std::vector<double> ticks;
  for (int n = 0; n < timedTicks; ++n) {
    const Clock::time_point start = Clock::now();
    updateFunnies(world.funnies);
    updateParticles();
    ticks.push_back(microsecondsSince(start));
  }
  long particles = 0;
  for (const Particle* p = particleList; p != nullptr; p = p->next) {
    ++particles;
  }
  std::printf("tick (256 funnies, %ld particles): median %.1f us, %.2f%% of the 33.3 ms budget\n",
              particles, median(ticks), median(ticks) / 333.33);
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const RunLength run = quick ? quickRun : fullRun;
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  std::srand(12345);
  resetParticles();
  World world;
  world.funnies = createFunnies(funnieCount);
  for (int n = 0; n < warmUpTicks; ++n) {
    updateFunnies(world.funnies);
    updateParticles();
  }
  benchTick(world, run.timedTicks);
  const std::vector<Camera> poses = benchmarkPoses();
  for (int i = 0; i < run.resolutionCount; ++i) {
    benchResolution(world, poses, resolutions[i], run.framesPerPose);
  }
  deleteFunnies(world.funnies);
  deleteParticles();
  return 0;
}
END_OF_MAIN()
