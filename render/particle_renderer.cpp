// Projection, depth test and shading of the particles.
#include "render/particle_renderer.hpp"

#include "numeric/truncate.hpp"
#include "render/depth_plot.hpp"
#include "render/shading.hpp"
#include "sim/particle.hpp"

namespace {

/// Strictly inside the view pyramid: a particle on its edge or at depth 0 is not drawn.
bool inViewExclusive(float x, float y, float z) {
  return z > 0 && -z < x && x < z && -z < y && y < z;
}

} // namespace

void renderParticles(BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix) {
  set_projection_viewport(0, 0, target->w, target->h);
  for (const Particle* particle = particleList; particle != nullptr; particle = particle->next) {
    const FunnieSegment& position = particle->position;
    float x, y, z;
    apply_matrix_f(&viewMatrix, position.x, position.y, position.z, &x, &y, &z);
    if (!inViewExclusive(x, y, z)) {
      continue;
    }
    float sx, sy;
    persp_project_f(x, y, z, &sx, &sy);
    const int px = truncToInt(sx);
    const int py = truncToInt(sy);
    if (!passesDepthTest(getpixel(depthMap, px, py), z)) { // exact depth, not truncated
      continue;
    }
    putpixel(target, px, py, shadedColour(particle->colour, depthShade(z)));
    putpixel(depthMap, px, py, truncToInt(z));
  }
}
