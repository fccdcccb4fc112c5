// Times the frame pipeline headless on memory bitmaps: the span path against the per-pixel
// reference and against the floor of a frame (clears and blit only), at four resolutions,
// plus one simulation tick with the heap calls it makes, and how tick and frame grow with
// the swarm. Prints medians; the figures that matter are the ratios, since they are measured
// in one run on the same machine. `--quick` runs every stage briefly, for the memory checker.
#include "bench/frame_timing.hpp"
#include "bench/heap_count.hpp"
#include "sim/particle.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int programSwarm = 256;
constexpr int scalingSwarms[] = {256, 1024, 4096}; // the benchmark's only; the program keeps 256

/// How much of the run to do: all of it, or a short pass through every stage (for memcheck).
struct RunLength {
  int warmUpTicks;
  int framesPerPose;
  int resolutionCount;
  int timedTicks;
  int scalingSwarmCount;
};
constexpr RunLength fullRun{300, 30, 4, 300, 3};
constexpr RunLength quickRun{120, 1, 2, 5, 2};

struct Resolution {
  int width, height;
};
constexpr Resolution resolutions[] = {{320, 200}, {640, 480}, {1280, 720}, {1920, 1080}};
constexpr Resolution scalingResolutions[] = {{640, 480}, {1920, 1080}};

/// Time and general-heap calls of one part of a tick.
struct TickPart {
  double micros = 0;
  long heapCalls = 0;
};

template <typename Part> TickPart timePart(Part part) {
  const long callsBefore = heapCalls();
  const Clock::time_point start = Clock::now();
  part();
  return TickPart{microsecondsSince(start), heapCalls() - callsBefore};
}

/// One tick, and, with a heap copy of the particles, the tick as it was beside it: the same
/// funnie update, then the emitted particles copied into heap blocks and the copy updated as
/// it was.
struct TickParts {
  TickPart funnies, particles, emittedAsBefore, particlesAsBefore;
  TickPart now() const {
    return {funnies.micros + particles.micros, funnies.heapCalls + particles.heapCalls};
  }
  TickPart asBefore() const {
    return {funnies.micros + emittedAsBefore.micros + particlesAsBefore.micros,
            funnies.heapCalls + emittedAsBefore.heapCalls + particlesAsBefore.heapCalls};
  }
};

TickParts runTick(World& world, HeapParticles* asBefore) {
  TickParts t;
  t.funnies = timePart([&] { updateFunnies(world.funnies); });
  if (asBefore != nullptr) { // while the new particles still have their whole life
    t.emittedAsBefore = timePart([&] { copyEmitted(*asBefore); });
  }
  t.particles = timePart([] { updateParticles(); });
  if (asBefore != nullptr) {
    t.particlesAsBefore = timePart([&] { updateParticlesAsBefore(*asBefore); });
  }
  return t;
}

/// `count` funnies and their particles, taken past the first particles' expiry; `asBefore`,
/// if given, keeps in step. The same seed every time: the same swarms in every run, and the
/// scaling table's 256 are the ones the resolution tables draw.
World makeSwarm(int count, int warmUpTicks, HeapParticles* asBefore = nullptr) {
  constexpr unsigned seed = 12345;
  std::srand(seed);
  World world;
  world.funnies = createFunnies(count);
  for (int n = 0; n < warmUpTicks; ++n) {
    runTick(world, asBefore);
  }
  return world;
}

void releaseSwarm(World& world) {
  deleteFunnies(world.funnies);
  world.funnies = nullptr;
  deleteParticles();
}

struct TickFigures {
  double median;    ///< us
  double heapCalls; ///< per tick, mean
  double medianAsBefore;
  double heapCallsAsBefore;
  long particles; ///< in the list between ticks
};

TickFigures benchTick(World& world, int timedTicks, HeapParticles* asBefore = nullptr) {
  std::vector<double> ticks, ticksAsBefore;
  ticks.reserve(static_cast<std::size_t>(timedTicks));
  ticksAsBefore.reserve(static_cast<std::size_t>(timedTicks));
  long calls = 0;
  long callsAsBefore = 0;
  for (int n = 0; n < timedTicks; ++n) {
    const TickParts t = runTick(world, asBefore);
    ticks.push_back(t.now().micros);
    ticksAsBefore.push_back(t.asBefore().micros);
    calls += t.now().heapCalls;
    callsAsBefore += t.asBefore().heapCalls;
  }
  return TickFigures{median(ticks), static_cast<double>(calls) / timedTicks, median(ticksAsBefore),
                     static_cast<double>(callsAsBefore) / timedTicks, liveParticles()};
}

long sum(const std::vector<long>& values) {
  long total = 0;
  for (long value : values) {
    total += value;
  }
  return total;
}

/// Nanoseconds per particle of the list for the median of a particle stage.
double nsPerParticle(const std::vector<double>& stage) {
  const long particles = liveParticles();
  return particles == 0 ? 0.0 : 1000.0 * median(stage) / static_cast<double>(particles);
}

/// Nanoseconds per unit of work for a stage: the sum of its per-pose medians over the work.
double nsPer(const std::vector<double>& stage, const std::vector<long>& work, int perPose) {
  double micros = 0;
  long units = 0;
  for (std::size_t pose = 0; pose < work.size(); ++pose) {
    micros += poseMedian(stage, static_cast<int>(pose), perPose);
    units += work[pose];
  }
  return units == 0 ? 0.0 : 1000.0 * micros / static_cast<double>(units);
}

void printStages(const char* name, const StageTimes& t) {
  std::printf("  %-9s clear %7.1f  funnies %8.1f  particles %7.1f  overlay %5.1f  blit+clear %6.1f"
              "  frame %8.1f us\n",
              name, median(t.clear), median(t.funnies), median(t.particles), median(t.overlay),
              median(t.present), median(t.total));
}

void benchResolution(World& world, const HeapParticles& asBefore, const std::vector<Camera>& poses,
                     Resolution r, int framesPerPose) {
  Surfaces s = createSurfaces(r.width, r.height);
  StageTimes fast, reference;
  std::vector<double> floor, particlesNow, particlesBefore;
  std::vector<long> covered;
  long pixels = 0;
  bool sameAsBefore = true;
  for (const Camera& pose : poses) {
    world.camera = pose;
    for (int frame = 0; frame < framesPerPose; ++frame) { // interleaved, so noise hits all
      drawTimedFrame(world, s, PixelPath::reference, reference);
      drawTimedFrame(world, s, PixelPath::fast, fast);
      particlesNow.push_back(timeParticleStage(world, s, nullptr));
      particlesBefore.push_back(timeParticleStage(world, s, &asBefore));
      floor.push_back(floorFrame(s));
    }
    covered.push_back(funniePixels(world, s, pose));
    pixels += framePixels(world, s, pose);
    sameAsBefore = sameAsBefore && drawsAsBefore(world, s, asBefore, pose);
  }
  const long poseCount = static_cast<long>(poses.size());
  const double fastFrame = median(fast.total);
  std::printf(
      "%dx%d: %ld pixels drawn per frame, %ld of them by the funnies (mean over %ld poses)\n",
      r.width, r.height, pixels / poseCount, sum(covered) / poseCount, poseCount);
  printStages("reference", reference);
  printStages("fast", fast);
  std::printf("  floor %.1f us   fast/reference %.3f   fast/floor %.2f\n", median(floor),
              fastFrame / median(reference.total), fastFrame / median(floor));
  std::printf("  particle stage %.1f (reference %.1f) ns per particle; funnie stage %.2f "
              "(reference %.2f) ns per covered pixel\n",
              nsPerParticle(fast.particles), nsPerParticle(reference.particles),
              nsPer(fast.funnies, covered, framesPerPose),
              nsPer(reference.funnies, covered, framesPerPose));
  std::printf("  particle stage beside the one as it was (heap nodes, jumps per lane and depth"
              " test), each timed after a frame alike: %.1f us against %.1f, %.3f of it; same"
              " pixels: %s\n",
              median(particlesNow), median(particlesBefore),
              median(particlesNow) / median(particlesBefore), sameAsBefore ? "yes" : "NO");
  destroySurfaces(s);
}

/// One row of the scaling table: the fast frame of `world` at one size.
void benchScalingRow(World& world, const std::vector<Camera>& poses, Resolution r,
                     int framesPerPose) {
  Surfaces s = createSurfaces(r.width, r.height);
  StageTimes fast;
  std::vector<long> covered;
  for (const Camera& pose : poses) {
    world.camera = pose;
    for (int frame = 0; frame < framesPerPose; ++frame) {
      drawTimedFrame(world, s, PixelPath::fast, fast);
    }
    covered.push_back(funniePixels(world, s, pose));
  }
  char size[16];
  std::snprintf(size, sizeof size, "%dx%d", r.width, r.height);
  std::printf(" | %9s %9.1f %9.1f %9.1f %12.1f %12.2f\n", size, median(fast.funnies),
              median(fast.particles), median(fast.total), nsPerParticle(fast.particles),
              nsPer(fast.funnies, covered, framesPerPose));
  destroySurfaces(s);
}

/// How tick and fast frame grow with the swarm: one row per swarm and size.
void benchScaling(const std::vector<Camera>& poses, const RunLength& run) {
  std::printf("scaling with the swarm (fast path, medians, us):\n"
              "  funnies particles      tick heap/tick |      size   funnies particles     frame"
              "  ns/particle  ns/funnie px\n");
  for (int i = 0; i < run.scalingSwarmCount; ++i) {
    World world = makeSwarm(scalingSwarms[i], run.warmUpTicks);
    const TickFigures tick = benchTick(world, run.timedTicks);
    for (const Resolution& r : scalingResolutions) {
      std::printf("  %7d %9ld %9.1f %9.2f", scalingSwarms[i], tick.particles, tick.median,
                  tick.heapCalls);
      benchScalingRow(world, poses, r, run.framesPerPose);
    }
    releaseSwarm(world);
  }
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  const RunLength run = quick ? quickRun : fullRun;
  install_allegro(SYSTEM_NONE, &errno, std::atexit);
  set_color_depth(32);
  resetParticles();
  HeapParticles asBefore;
  World world = makeSwarm(programSwarm, run.warmUpTicks, &asBefore);
  const TickFigures tick = benchTick(world, run.timedTicks, &asBefore);
  std::printf("tick (%d funnies, %ld particles): median %.1f us, %.2f%% of the 33.3 ms budget, "
              "%.2f heap calls per tick\n",
              programSwarm, tick.particles, tick.median, tick.median / 333.33, tick.heapCalls);
  std::printf("  tick as it was (particles on the general heap): median %.1f us, %.2f heap calls"
              " per tick; now %.3f of it\n",
              tick.medianAsBefore, tick.heapCallsAsBefore, tick.median / tick.medianAsBefore);
  const std::vector<Camera> poses = benchmarkPoses();
  for (int i = 0; i < run.resolutionCount; ++i) {
    benchResolution(world, asBefore, poses, resolutions[i], run.framesPerPose);
  }
  releaseSwarm(world);
  releaseHeapParticles(asBefore);
  benchScaling(poses, run);
  return 0;
}
END_OF_MAIN()
