// Projection, depth test and shading of the particles. The reference path goes through the
// library for every particle; the fast path works in batches whose depth-map cells are
// fetched ahead while the batch is transformed, and then tests and writes them in list
// order, so that particles sharing a pixel meet exactly as in the reference.
#include "render/particle_renderer.hpp"

#include "numeric/truncate.hpp"
#include "render/depth_plot.hpp"
#include "render/shading.hpp"
#include "render/span_writer.hpp"
#include "render/view_transform.hpp"
#include "sim/particle.hpp"

namespace {

constexpr int batchSize = 64; // enough particles in flight to hide the depth map's latency

/// Where a particle lands: its pixel and its exact view-space depth.
struct ParticlePixel {
  const Particle* particle;
  int px, py;
  float depth;
};

/// Strictly inside the view pyramid: a particle on its edge or at depth 0 is not drawn.
bool inViewExclusive(const FunnieSegment& p) {
  return p.z > 0 && -p.z < p.x && p.x < p.z && -p.z < p.y && p.y < p.z;
}

/// The view-space position through the library, as the reference path takes it.
bool transformThroughLibrary(const MATRIX_f& view, const FunnieSegment& position,
                             FunnieSegment& p) {
  apply_matrix_f(&view, position.x, position.y, position.z, &p.x, &p.y, &p.z);
  return inViewExclusive(p);
}

/// The same test on the same bits, each coordinate computed only once the earlier ones pass.
bool transformInline(const MATRIX_f& view, const FunnieSegment& position, FunnieSegment& p) {
  p.z = viewCoordinate(view, 2, position);
  if (!(p.z > 0)) {
    return false;
  }
  p.x = viewCoordinate(view, 0, position);
  if (!(-p.z < p.x && p.x < p.z)) {
    return false;
  }
  p.y = viewCoordinate(view, 1, position);
  return -p.z < p.y && p.y < p.z;
}

/// The pixel of a particle at view-space `p`, and its exact depth.
ParticlePixel projectToPixel(const Particle& particle, const FunnieSegment& p) {
  float sx, sy;
  persp_project_f(p.x, p.y, p.z, &sx, &sy);
  return ParticlePixel{&particle, truncToInt(sx), truncToInt(sy), p.z};
}

/// Through the library: getpixel gives -1 outside the depth map, which fails the test, and
/// putpixel clips to the target.
void plotThroughLibrary(const ParticlePixel& at, BITMAP* target, ZBUFFER* depthMap) {
  if (!passesDepthTest(getpixel(depthMap, at.px, at.py), at.depth)) { // exact depth
    return;
  }
  putpixel(target, at.px, at.py, shadedColour(at.particle->colour, depthShade(at.depth)));
  putpixel(depthMap, at.px, at.py, truncToInt(at.depth));
}

/// The same test and writes straight into the rows, for a pixel inside both bitmaps.
void plotInRows(const ParticlePixel& at, BITMAP* target, ZBUFFER* depthMap) {
  std::int32_t& stored = depthRow(depthMap, at.py)[at.px];
  if (!passesDepthTest(stored, at.depth)) {
    return;
  }
  pixelRow(target, at.py)[at.px] =
      static_cast<std::uint32_t>(shadedColour32(at.particle->colour, depthShade(at.depth)));
  stored = truncToInt(at.depth);
}

void renderThroughLibrary(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  for (const Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    FunnieSegment p;
    if (transformThroughLibrary(view, particle->position, p)) {
      plotThroughLibrary(projectToPixel(*particle, p), target, depthMap);
    }
  }
}

/// A pixel outside the bitmaps is dropped: through the library its depth test would fail.
void renderInRows(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& view) {
  ParticlePixel batch[batchSize];
  const Particle* particle = particleList;
  while (particle != nullptr) {
    int count = 0;
    for (; particle != nullptr && count < batchSize; particle = particle->next) {
      FunnieSegment p;
      if (!transformInline(view, particle->position, p)) {
        continue;
      }
      const ParticlePixel at = projectToPixel(*particle, p);
      if (insideBitmap(depthMap, at.px, at.py)) {
        __builtin_prefetch(&depthRow(depthMap, at.py)[at.px], 1);
        batch[count++] = at;
      }
    }
    for (int i = 0; i < count; ++i) {
      plotInRows(batch[i], target, depthMap);
    }
  }
}

} // namespace

void renderParticles(BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix, PixelPath path) {
  set_projection_viewport(0, 0, target->w, target->h);
  if (path == PixelPath::fast && rowsWritable(target, depthMap) && get_color_depth() == 32) {
    renderInRows(target, depthMap, viewMatrix);
  } else {
    renderThroughLibrary(target, depthMap, viewMatrix);
  }
}
