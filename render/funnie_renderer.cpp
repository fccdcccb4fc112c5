// Transform, view test, projection and circles of the funnies.
#include "render/funnie_renderer.hpp"

#include "numeric/truncate.hpp"
#include "render/circle.hpp"
#include "render/depth_plot.hpp"
#include "render/direct_rows.hpp"
#include "render/fast_circle.hpp"
#include "render/shading.hpp"

namespace {

constexpr int tailDarkeningStep = 4;
constexpr int sizeLimitDivisor = 8; // circles of w div 8 and more are left out

/// Inside the view pyramid, every bound included.
bool inViewInclusive(const FunnieSegment& p) {
  return p.z >= 0 && -p.z <= p.x && p.x <= p.z && -p.z <= p.y && p.y <= p.z;
}

/// Only (0, 0, 0) passes the inclusive test at depth 0; it has no screen position, and
/// dividing by its depth would give none.
bool hasScreenPosition(const FunnieSegment& p) {
  return p.z != 0;
}

void drawSegmentCircle(const Funnie& funnie, int index, const FunnieSegment& p, BITMAP* target,
                       bool directRows) {
  const double radius = circleRadius(funnie.segmentCount, index, p.z, _persp_xscale_f);
  if (radius >= target->w / sizeLimitDivisor) {
    return; // too close to the camera; also keeps the conversion below in range
  }
  const int darkening = cappedDepthShade(p.z) + tailDarkeningStep * index;
  currentDepth = truncToInt(p.z);
  const int x = truncToInt(p.x);
  const int y = truncToInt(p.y);
  if (directRows) { // colours are made at 32 bits there
    fillDepthTestedCircle(target, x, y, truncToInt(radius),
                          shadedColour32(funnie.colour, darkening));
  } else {
    fillCircle(target, x, y, truncToInt(radius), shadedColour(funnie.colour, darkening),
               depthTestedPlot);
  }
}

/// What every funnie of one frame is drawn with, settled once for all of them: the guard
/// reads every row address of both bitmaps.
struct FunnieFrame {
  BITMAP* target;
  MATRIX_f viewMatrix;
  bool directRows;
};

FunnieFrame startFunnieFrame(BITMAP* target, ZBUFFER* depthMap, const MATRIX_f& viewMatrix,
                             PixelPath path) {
  currentDepthMap = depthMap;
  return FunnieFrame{target, viewMatrix,
                     path == PixelPath::fast && directRowsAllowed(target, depthMap)};
}

void drawFunnie(Funnie& funnie, const FunnieFrame& frame) {
  // The viewport once per funnie, then every segment through apply_matrix_f, head first: the
  // end-to-end picking scenario's preload (tests/e2e/scene_spy.c) finds the heads that way.
  set_projection_viewport(0, 0, frame.target->w, frame.target->h);
  const int count = funnie.segmentCount;
  FunnieSegment projected[maxSegmentCount];
  bool inView[maxSegmentCount] = {};
  for (int i = 0; i < count; ++i) {
    FunnieSegment& p = projected[i];
    const FunnieSegment& segment = funnie.segments[i];
    apply_matrix_f(&frame.viewMatrix, segment.x, segment.y, segment.z, &p.x, &p.y, &p.z);
    inView[i] = inViewInclusive(p);
    if (inView[i] && hasScreenPosition(p)) {
      persp_project_f(p.x, p.y, p.z, &p.x, &p.y); // screen x, y; the view-space z stays
    }
  }

  if (inView[0] && hasScreenPosition(projected[0])) {
    funnie.projectedHead = projected[0];
  } else {
    funnie.projectedHead.z = 0; // not on the screen
  }

  for (int i = count - 2; i >= 0; --i) { // tail first, so the head is drawn last
    if (inView[i] && inView[i + 1] && hasScreenPosition(projected[i])) {
      drawSegmentCircle(funnie, i, projected[i], frame.target, frame.directRows);
    }
  }
}

} // namespace

double circleRadius(int segmentCount, int index, double depth, double xscale) {
  const double sizeFactor = segmentCount / 2; // integer division
  const double alongBody = 1.0 - (index + 1.0) / segmentCount;
  return (1.0 / depth) * sizeFactor * xscale * alongBody;
}

void renderFunnies(Funnie* list, BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix,
                   PixelPath path) {
  if (list == nullptr) {
    return; // nothing to draw, so no need to ask the guard
  }
  const FunnieFrame frame = startFunnieFrame(target, depthMap, viewMatrix, path);
  for (Funnie* funnie = list; funnie != nullptr; funnie = funnie->next) {
    drawFunnie(*funnie, frame);
  }
}

void renderFunnie(Funnie* funnie, BITMAP* target, ZBUFFER* depthMap, MATRIX_f viewMatrix,
                  PixelPath path) {
  drawFunnie(*funnie, startFunnieFrame(target, depthMap, viewMatrix, path));
}
