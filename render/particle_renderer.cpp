// Projection, depth test and shading of the particles. The reference path goes through the
// library for every particle. The fast path copies a batch of positions out of the list,
// transforms and projects them four at a time, fetches the depth-map cells of those that
// land ahead of use, and then tests and writes them in list order, so that particles
// sharing a pixel meet exactly as in the reference.
#include "render/particle_renderer.hpp"

#include "numeric/float_lanes.hpp"
#include "numeric/truncate.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/max_int.hpp"
#include "render/shading.hpp"
#include "sim/particle.hpp"

namespace {

constexpr int batchSize = 64; // enough particles in flight to hide the depth map's latency

/// Where a particle lands: its pixel and its exact view-space depth.
struct ParticlePixel {
  Colour colour;
  int px, py;
  float depth;
};

/// Strictly inside the view pyramid: a particle on its edge or at depth 0 is not drawn.
bool inViewExclusive(const FunnieSegment& p) {
  return p.z > 0 && -p.z < p.x && p.x < p.z && -p.z < p.y && p.y < p.z;
}

/// The pixel of a particle at view-space `p`, and its exact depth.
ParticlePixel projectToPixel(const Particle& particle, const FunnieSegment& p) {
  float sx, sy;
  persp_project_f(p.x, p.y, p.z, &sx, &sy);
  return ParticlePixel{particle.colour, truncToInt(sx), truncToInt(sy), p.z};
}

/// Through the library: getpixel gives -1 outside the depth map, which fails the test, and
/// putpixel clips to the target.
void plotThroughLibrary(const ParticlePixel& at, BITMAP* target, ZBUFFER* depthMap) {
  if (!passesDepthTest(getpixel(depthMap, at.px, at.py), at.depth)) { // exact depth
    return;
  }
  putpixel(target, at.px, at.py, shadedColour(at.colour, depthShade(at.depth)));
  putpixel(depthMap, at.px, at.py, truncToInt(at.depth));
}

void renderThroughLibrary(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  for (const Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    FunnieSegment p;
    apply_matrix_f(&view, particle->position.x, particle->position.y, particle->position.z, &p.x,
                   &p.y, &p.z);
    if (inViewExclusive(p)) {
      plotThroughLibrary(projectToPixel(*particle, p), target, depthMap);
    }
  }
}

/// Positions of up to batchSize consecutive particles, one array per axis; the lanes past
/// `count` up to the next multiple of laneCount hold zeros.
struct PositionBatch {
  alignas(16) float x[batchSize];
  alignas(16) float y[batchSize];
  alignas(16) float z[batchSize];
  Colour colour[batchSize];
  int count;
};

/// Fills `batch` from `first` on; returns the particle after the batch.
const Particle* gatherPositions(const Particle* first, PositionBatch& batch) {
  int n = 0;
  for (; first != nullptr && n < batchSize; first = first->next, ++n) {
    batch.x[n] = first->position.x;
    batch.y[n] = first->position.y;
    batch.z[n] = first->position.z;
    batch.colour[n] = first->colour;
  }
  batch.count = n;
  for (; n % laneCount != 0; ++n) {
    batch.x[n] = batch.y[n] = batch.z[n] = 0;
  }
  return first;
}

FloatLanes loadLanes(const float* from) {
  FloatLanes lanes;
  __builtin_memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

/// Row `row` of the view matrix applied to four positions: apply_matrix_f's operations,
/// summed left to right as it sums them.
FloatLanes viewLanes(const MATRIX_f& m, int row, FloatLanes x, FloatLanes y, FloatLanes z) {
  return x * m.v[row][0] + y * m.v[row][1] + z * m.v[row][2] + m.t[row];
}

/// Transforms and projects the batch four at a time and appends, in batch order, every
/// particle whose pixel lies in the bitmaps; through the library any other would fail the
/// depth test. Returns how many it appended.
int projectBatch(const PositionBatch& batch, const MATRIX_f& view, const BITMAP* bounds,
                 ParticlePixel* pixels) {
  int count = 0;
  for (int first = 0; first < batch.count; first += laneCount) {
    const FloatLanes x = loadLanes(batch.x + first);
    const FloatLanes y = loadLanes(batch.y + first);
    const FloatLanes z = loadLanes(batch.z + first);
    const FloatLanes vx = viewLanes(view, 0, x, y, z);
    const FloatLanes vy = viewLanes(view, 1, x, y, z);
    const FloatLanes vz = viewLanes(view, 2, x, y, z);
    const IntLanes inView = (vz > 0) & (-vz < vx) & (vx < vz) & (-vz < vy) & (vy < vz);
    const FloatLanes z1 = 1.0f / vz; // persp_project_f, lane by lane
    const IntLanes px =
        truncToPixelLanes(((vx * z1) * _persp_xscale_f) + _persp_xoffset_f, bounds->w);
    const IntLanes py =
        truncToPixelLanes(((vy * z1) * _persp_yscale_f) + _persp_yoffset_f, bounds->h);
    const IntLanes lands = inView & (px >= 0) & (px < bounds->w) & (py >= 0) & (py < bounds->h);
    const int lanes = minInt(laneCount, batch.count - first);
    for (int i = 0; i < lanes; ++i) {
      if (lands[i]) {
        pixels[count++] = ParticlePixel{batch.colour[first + i], px[i], py[i], vz[i]};
      }
    }
  }
  return count;
}

/// The depth test and writes of plotThroughLibrary, straight into the rows.
void plotInRows(const ParticlePixel& at, const PixelFormat32& format, BITMAP* target,
                ZBUFFER* depthMap) {
  std::int32_t& stored = depthRow(depthMap, at.py)[at.px];
  if (!passesDepthTest(stored, at.depth)) {
    return;
  }
  pixelRow(target, at.py)[at.px] = shadedColour32(format, at.colour, depthShade(at.depth));
  stored = truncToInt(at.depth);
}

/// Fetches the cells a batch will test and write, so that they arrive while the batch
/// before it is plotted.
void prefetchCells(const ParticlePixel* pixels, int count, BITMAP* target, ZBUFFER* depthMap) {
  for (int i = 0; i < count; ++i) {
    __builtin_prefetch(&depthRow(depthMap, pixels[i].py)[pixels[i].px], 1);
    __builtin_prefetch(&pixelRow(target, pixels[i].py)[pixels[i].px], 1);
  }
}

/// Two batches in flight: the next one is gathered, projected and fetched before the
/// current one is plotted.
void renderInRows(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  PositionBatch positions;
  ParticlePixel pixels[2][batchSize];
  int counts[2] = {0, 0};
  int current = 0;
  const PixelFormat32 format = currentPixelFormat32();
  const Particle* next = particleList;
  while (next != nullptr || counts[current] != 0) {
    const int ahead = 1 - current;
    counts[ahead] = 0;
    if (next != nullptr) {
      next = gatherPositions(next, positions);
      counts[ahead] = projectBatch(positions, view, depthMap, pixels[ahead]);
      prefetchCells(pixels[ahead], counts[ahead], target, depthMap);
    }
    for (int i = 0; i < counts[current]; ++i) {
      plotInRows(pixels[current][i], format, target, depthMap);
    }
    current = ahead;
  }
}

} // namespace

void renderParticles(BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix, PixelPath path) {
  set_projection_viewport(0, 0, target->w, target->h);
  if (path == PixelPath::fast && directRowsAllowed(target, depthMap)) {
    renderInRows(target, depthMap, viewMatrix);
  } else {
    renderThroughLibrary(target, depthMap, viewMatrix);
  }
}
