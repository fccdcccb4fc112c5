// Projection, depth test and shading of the particles. The reference path goes through the
// library for every particle. The fast path copies a batch of positions out of the list,
// transforms, projects and packs them four at a time, fetches the depth-map cells of those
// that land ahead of use, and then tests and writes them in list order, so that particles
// sharing a pixel meet exactly as in the reference; neither step jumps on where a particle
// lands or on its depth test.
#include "render/particle_renderer.hpp"

#include "numeric/truncate.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/max_int.hpp"
#include "render/particle_lanes.hpp"
#include "render/shading.hpp"
#include "sim/list_walk.hpp"
#include "sim/particle.hpp"

#include <cstdint>

namespace {

/// Particles projected at a time; the next batch's cells are fetched before one is plotted.
/// 256 measured a few percent faster than 64, and the batches still sit in the L1 cache.
constexpr int batchSize = 256;

/// Strictly inside the view pyramid: a particle on its edge or at depth 0 is not drawn.
bool inViewExclusive(const FunnieSegment& p) {
  return p.z > 0 && -p.z < p.x && p.x < p.z && -p.z < p.y && p.y < p.z;
}

/// Through the library: getpixel gives -1 outside the depth map, which fails the test, and
/// putpixel clips to the target.
void plotThroughLibrary(const Particle& particle, const FunnieSegment& p, BITMAP* target,
                        ZBUFFER* depthMap) {
  float sx, sy;
  persp_project_f(p.x, p.y, p.z, &sx, &sy);
  const int px = truncToInt(sx);
  const int py = truncToInt(sy);
  if (!passesDepthTest(getpixel(depthMap, px, py), p.z)) { // exact depth
    return;
  }
  putpixel(target, px, py, shadedColour(particle.colour, depthShade(p.z)));
  putpixel(depthMap, px, py, truncToInt(p.z));
}

void renderThroughLibrary(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  for (const Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    FunnieSegment p;
    apply_matrix_f(&view, particle->position.x, particle->position.y, particle->position.z, &p.x,
                   &p.y, &p.z);
    if (inViewExclusive(p)) {
      plotThroughLibrary(*particle, p, target, depthMap);
    }
  }
}

/// Up to batchSize consecutive particles, one array per axis and component; the lanes past
/// `count` up to the next multiple of laneCount hold zeros.
struct ParticleBatch {
  alignas(16) float x[batchSize];
  alignas(16) float y[batchSize];
  alignas(16) float z[batchSize];
  alignas(16) int red[batchSize];
  alignas(16) int green[batchSize];
  alignas(16) int blue[batchSize];
  int count;
};

/// Fills `batch` from `first` on; returns the particle after the batch. `step` carries the
/// walk's guess from one batch to the next.
const Particle* gatherBatch(const Particle* first, ParticleBatch& batch, WalkStep& step) {
  int n = 0;
  for (; first != nullptr && n < batchSize; first = followLink(first, step), ++n) {
    batch.x[n] = first->position.x;
    batch.y[n] = first->position.y;
    batch.z[n] = first->position.z;
    batch.red[n] = first->colour.red;
    batch.green[n] = first->colour.green;
    batch.blue[n] = first->colour.blue;
  }
  batch.count = n;
  for (; n % laneCount != 0; ++n) {
    batch.x[n] = batch.y[n] = batch.z[n] = 0;
    batch.red[n] = batch.green[n] = batch.blue[n] = 0;
  }
  return first;
}

template <typename Lanes, typename Element> Lanes loadLanes(const Element* from) {
  Lanes lanes;
  __builtin_memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

/// Where a landing particle is drawn: its cell, the same index into the render buffer's and
/// the depth map's rows, its exact view-space depth, the truncated depth the depth map keeps,
/// and its shaded pixel value. One lane of each of four lane rows, so that a lane is stored
/// with one 16-byte write.
struct ParticleCell {
  std::int32_t cell;
  float depth;
  std::int32_t storedDepth;
  std::uint32_t pixel;
};
static_assert(sizeof(ParticleCell) == sizeof(IntLanes), "one cell per lane of a transposed row");

/// Transforms, tests, projects, cuts the depth and packs the batch four at a time and appends, in
/// batch order, every particle in view whose pixel lies in the bitmaps. Returns how many. Every
/// lane is written and only those that land move the count on: whether a particle lands is close to
/// random from one to the next, and a branch on it would mispredict often.
int projectBatch(const ParticleBatch& batch, const MATRIX_f& view, const PixelFormat32& format,
                 int w, int h, ParticleCell* cells) {
  int count = 0;
  for (int first = 0; first < batch.count; first += laneCount) {
    const PointLanes world{loadLanes<FloatLanes>(batch.x + first),
                           loadLanes<FloatLanes>(batch.y + first),
                           loadLanes<FloatLanes>(batch.z + first)};
    const PointLanes p = transformLanes(view, world);
    const PixelLanes at = pixelLanes(projectLanes(p), w, h);
    const IntLanes lands = strictlyInViewLanes(p) & at.inside;
    IntLanes fields[laneCount] = {cellLanes(at, w), laneBits(p.z), truncDepthLanes(p.z),
                                  shadedPixelLanes(format, loadLanes<IntLanes>(batch.red + first),
                                                   loadLanes<IntLanes>(batch.green + first),
                                                   loadLanes<IntLanes>(batch.blue + first), p.z)};
    transposeLanes(fields); // now one ParticleCell per lane
    const int lanes = minInt(laneCount, batch.count - first);
    for (int i = 0; i < lanes; ++i) {
      __builtin_memcpy(cells + count, fields + i, sizeof(ParticleCell));
      count += lands[i] & 1; // a landing lane is all ones
    }
  }
  return count;
}

/// `take` ? `value` : `old`, through a mask. Written as a select whose one arm gives back what
/// a cell holds, it is turned into a jump around the store.
std::uint32_t selectBits(bool take, std::uint32_t value, std::uint32_t old) {
  const std::uint32_t keepOld = static_cast<std::uint32_t>(take) - 1u; // all ones or none
  return (old & keepOld) | (value & ~keepOld);
}

/// The first pixel and depth of two bitmaps whose rows follow one another: a cell indexes both.
struct CellMaps {
  std::uint32_t* pixels;
  std::int32_t* depths;
};

/// The depth test and writes of plotThroughLibrary, straight into the cells. Both cells are
/// written either way, with what they held where the test fails: the test's outcome is close
/// to random from one particle to the next, and a jump on it mispredicts often.
void plotInCells(const ParticleCell& at, const CellMaps& maps) {
  std::int32_t& stored = maps.depths[at.cell];
  std::uint32_t& pixel = maps.pixels[at.cell];
  const bool drawn = passesDepthTest(stored, at.depth); // exact depth
  pixel = selectBits(drawn, at.pixel, pixel);
  stored = static_cast<std::int32_t>(selectBits(drawn, static_cast<std::uint32_t>(at.storedDepth),
                                                static_cast<std::uint32_t>(stored)));
}

/// Fetches the cell of a particle of the next batch, so that it arrives by the time that
/// batch is plotted.
void prefetchCell(const ParticleCell& at, const CellMaps& maps) {
  __builtin_prefetch(maps.depths + at.cell, 1);
  __builtin_prefetch(maps.pixels + at.cell, 1);
}

/// Two batches in flight: the next one is gathered and projected before the current one is
/// plotted, and each plot fetches a cell of the next one, so that the fetches are spread
/// over the plotting instead of queueing up all at once.
void renderInCells(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  ParticleBatch batch;
  ParticleCell cells[2][batchSize];
  int counts[2] = {0, 0};
  int current = 0;
  const PixelFormat32 format = currentPixelFormat32();
  const CellMaps maps{pixelRow(target, 0), depthRow(depthMap, 0)};
  const Particle* next = particleList;
  WalkStep step;
  while (next != nullptr || counts[current] != 0) {
    const int ahead = 1 - current;
    counts[ahead] = 0;
    if (next != nullptr) {
      next = gatherBatch(next, batch, step);
      counts[ahead] = projectBatch(batch, view, format, target->w, target->h, cells[ahead]);
    }
    const int both = minInt(counts[current], counts[ahead]);
    for (int i = 0; i < both; ++i) {
      prefetchCell(cells[ahead][i], maps);
      plotInCells(cells[current][i], maps);
    }
    for (int i = both; i < counts[ahead]; ++i) {
      prefetchCell(cells[ahead][i], maps);
    }
    for (int i = both; i < counts[current]; ++i) {
      plotInCells(cells[current][i], maps);
    }
    current = ahead;
  }
}

} // namespace

void renderParticles(BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix, PixelPath path) {
  set_projection_viewport(0, 0, target->w, target->h);
  if (path == PixelPath::fast && directRowsAllowed(target, depthMap)) {
    renderInCells(target, depthMap, viewMatrix);
  } else {
    renderThroughLibrary(target, depthMap, viewMatrix);
  }
}
