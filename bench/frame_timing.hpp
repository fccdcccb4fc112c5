// The pieces the benchmark times a frame with: memory bitmaps standing in for the screen,
// camera poses that see the swarm, the stages of one frame, and medians.
#pragma once

#include "app/world.hpp"
#include "bench/todays_particles.hpp"
#include "render/pixel_path.hpp"

#include <allegro.h>

#include <chrono>
#include <vector>

using Clock = std::chrono::steady_clock;

double microsecondsSince(Clock::time_point start);

/// The middle value; 0 for none.
double median(std::vector<double> values);

/// The median of `perPose` consecutive values starting at pose `pose`'s first.
double poseMedian(const std::vector<double>& values, int pose, int perPose);

/// Poses that see the swarm: from inside it, from outside in free mode, and orbiting.
std::vector<Camera> benchmarkPoses();

struct Surfaces {
  BITMAP* buffer;
  ZBUFFER* depthMap;
  BITMAP* screenCopy; ///< stands in for the screen: the blit's cost without a display
};

Surfaces createSurfaces(int width, int height);
void destroySurfaces(Surfaces& s);

/// Stage timings of many frames, in microseconds, in the order the frames were drawn.
struct StageTimes {
  std::vector<double> clear, funnies, particles, overlay, present, total;
};

/// One whole frame of the main loop on memory bitmaps, each stage timed.
void drawTimedFrame(World& world, const Surfaces& s, PixelPath path, StageTimes& times);

/// The particle stage, the program's or, given `asBefore`, the one as it was, in microseconds:
/// timed in the second of two frames alike, since in the running program the frame before has
/// just walked the same list. Both stages are timed this way, so that they meet on equal terms.
double timeParticleStage(World& world, const Surfaces& s, const HeapParticles* asBefore);

/// Whether the particle path as it was leaves the program's pixels and depths from `pose`.
bool drawsAsBefore(World& world, const Surfaces& s, const HeapParticles& asBefore,
                   const Camera& pose);

/// Clears and blit only: what any frame costs at this size.
double floorFrame(const Surfaces& s);

/// Depth-map cells the funnies alone cover from `pose`.
long funniePixels(World& world, const Surfaces& s, const Camera& pose);

/// Depth-map cells covered once funnies and particles are drawn from `pose`.
long framePixels(World& world, const Surfaces& s, const Camera& pose);

/// Particles in the list.
long liveParticles();
