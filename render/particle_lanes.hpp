// The particles' direct path four at a time: view transform, strict view test, projection,
// pixel, the depth the depth map keeps, and pixel packing. Each step does, lane by lane, the
// operations of the library call or rule it stands for, in the same order, so that every lane gets
// the bits one particle gets on the library path.
#pragma once

#include "numeric/float_lanes.hpp"

#include <allegro.h>

#include <climits>

/// Four points, one per lane.
struct PointLanes {
  FloatLanes x, y, z;
};

/// Whether the library's compiled float arithmetic fuses a multiply into the add that takes
/// its product. Debian builds the library with GCC's default contraction, which fuses wherever
/// the target's baseline has a fused multiply-add: on arm64, and not on x86-64 (SSE2). This
/// program itself never fuses (-ffp-contract=off), and neither do the library's inline
/// functions (persp_project_f), which are compiled into it.
#ifdef __FP_FAST_FMAF
constexpr bool libraryFusesMultiplyAdd = true;
#else
constexpr bool libraryFusesMultiplyAdd = false;
#endif

/// a * b + c as the library's compiled code computes it.
inline FloatLanes libraryMultiplyAdd(FloatLanes a, float b, FloatLanes c) {
  if constexpr (libraryFusesMultiplyAdd) {
    return fusedMultiplyAddLanes(a, FloatLanes{} + b, c);
  }
  return a * b + c;
}

/// apply_matrix_f on four points: row r is x * v[r][0] + y * v[r][1] + z * v[r][2] + t[r],
/// summed left to right as the library sums it. Where the library fuses, GCC fused the x and
/// z products and rounded the y one: t + fma(z, v2, fma(x, v0, y * v1)).
inline PointLanes transformLanes(const MATRIX_f& m, const PointLanes& p) {
  const auto row = [&m, &p](int r) {
    const FloatLanes xy = libraryMultiplyAdd(p.x, m.v[r][0], p.y * m.v[r][1]);
    return libraryMultiplyAdd(p.z, m.v[r][2], xy) + m.t[r];
  };
  return PointLanes{row(0), row(1), row(2)};
}

/// All ones where the view-space point lies strictly inside the view pyramid: z > 0,
/// -z < x < z and -z < y < z. A point on an edge, at depth 0 or behind, or with a NaN is out.
inline IntLanes strictlyInViewLanes(const PointLanes& p) {
  return (p.z > 0) & (-p.z < p.x) & (p.x < p.z) & (-p.z < p.y) & (p.y < p.z);
}

/// Four screen positions, in pixels before truncation.
struct ScreenLanes {
  FloatLanes x, y;
};

/// persp_project_f on four view-space points, with the values set_projection_viewport left.
inline ScreenLanes projectLanes(const PointLanes& p) {
  const FloatLanes z1 = 1.0f / p.z;
  return ScreenLanes{((p.x * z1) * _persp_xscale_f) + _persp_xoffset_f,
                     ((p.y * z1) * _persp_yscale_f) + _persp_yoffset_f};
}

/// The pixels of four screen positions on a w x h bitmap, and all ones where the pixel lies in
/// it; elsewhere the library's getpixel gives -1, which no depth passes.
struct PixelLanes {
  IntLanes x, y, inside;
};

/// Truncation toward zero, as truncToInt does it, for every position that can land inside.
inline PixelLanes pixelLanes(const ScreenLanes& s, int w, int h) {
  const IntLanes x = truncToPixelLanes(s.x, static_cast<float>(w));
  const IntLanes y = truncToPixelLanes(s.y, static_cast<float>(h));
  return PixelLanes{x, y, (x >= 0) & (x < w) & (y >= 0) & (y < h)};
}

/// The cell of each pixel, y * w + x, in maps of w columns whose rows follow one another in
/// memory. Formed in unsigned lanes: a lane that does not land may lie a pixel outside the
/// bitmap and give a cell outside it too, but it wraps instead of overflowing.
inline IntLanes cellLanes(const PixelLanes& at, int w) {
  using UnsignedLanes = unsigned __attribute__((vector_size(16)));
  const UnsignedLanes cell =
      __builtin_convertvector(at.y, UnsignedLanes) * static_cast<unsigned>(w) +
      __builtin_convertvector(at.x, UnsignedLanes);
  return __builtin_convertvector(cell, IntLanes); // the same bits, every landing cell below 2^31
}

/// truncToInt of four depths, for every depth the view test lets by (above 0): 2^31 and
/// beyond, +inf included, give INT_MAX, as truncToInt has it. A depth of 0 or below, or NaN,
/// never lands and gives 0, so that the conversion is always defined.
inline IntLanes truncDepthLanes(FloatLanes depth) {
  constexpr float beyondInt = 2147483648.0f; // 2^31, exact in float
  const FloatLanes none = {};
  const IntLanes saturated = IntLanes{} + INT_MAX;
  const IntLanes convertible = (depth > 0) & (depth < beyondInt);
  const FloatLanes cutFrom = convertible ? depth : none;
  const IntLanes cut = __builtin_convertvector(cutFrom, IntLanes); // toward zero
  return depth >= beyondInt ? saturated : cut;
}

/// Where makecol32 puts each component, read once for a whole frame of pixels: the library
/// keeps the shifts in globals that every store through a pixel pointer could alias.
struct PixelFormat32 {
  int redShift, greenShift, blueShift;
};

inline PixelFormat32 currentPixelFormat32() {
  return PixelFormat32{_rgb_r_shift_32, _rgb_g_shift_32, _rgb_b_shift_32};
}

/// Four colours of components 0..255, each component less trunc(0.25 * depth) and none below
/// 0, packed as makecol32 packs them; for depths above 0, which is all the view test lets by.
inline IntLanes shadedPixelLanes(const PixelFormat32& format, IntLanes red, IntLanes green,
                                 IntLanes blue, FloatLanes depth) {
  constexpr float depthShadingFactor = 0.25f;
  constexpr float blackening = 255.0f; // a shade of 255 and more takes every component to 0
  const FloatLanes none = {};
  FloatLanes shade = depthShadingFactor * depth;
  shade = shade < blackening ? shade : none + blackening; // +inf and NaN too: defined below
  shade = shade > 0 ? shade : none;
  const IntLanes darkening = __builtin_convertvector(shade, IntLanes); // toward zero
  const IntLanes zero = {};
  const auto darken = [&](IntLanes component) {
    const IntLanes darker = component - darkening;
    return darker > 0 ? darker : zero;
  };
  return (darken(red) << format.redShift) | (darken(green) << format.greenShift) |
         (darken(blue) << format.blueShift);
}
