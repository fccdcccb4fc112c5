// Four single-precision lanes, through the compiler's vector extension (SSE on x86-64).
// Each lane does the IEEE operations a scalar float does, in the same order, so the
// per-particle path computes four particles at once and still gets the scalar bits.
#pragma once

using FloatLanes = float __attribute__((vector_size(16)));
using IntLanes = int __attribute__((vector_size(16))); // also the all-ones / zero lane masks

constexpr int laneCount = 4;

/// Truncation toward zero of screen coordinates, exact for every lane that can land in
/// [0, limit): NaN gives 0, as truncToInt has it, and a value beyond [-1, limit] is clamped
/// there first, outside the bitmap either way, so that the conversion is always defined.
inline IntLanes truncToPixelLanes(FloatLanes value, float limit) {
  const FloatLanes none = {};
  const FloatLanes low = none - 1.0f;
  const FloatLanes high = none + limit;
  FloatLanes v = value == value ? value : none;
  v = v < low ? low : v;
  v = v > high ? high : v;
  return __builtin_convertvector(v, IntLanes);
}

/// a * b + c in each lane with one rounding, as fmaf gives it. Lane by lane, so that the
/// compiler may use a vector instruction where the target has one.
inline FloatLanes fusedMultiplyAddLanes(FloatLanes a, FloatLanes b, FloatLanes c) {
  FloatLanes sum;
  for (int i = 0; i < laneCount; ++i) {
    sum[i] = __builtin_fmaf(a[i], b[i], c[i]);
  }
  return sum;
}

/// The bits of four floats as four ints, for records that keep floats beside ints.
inline IntLanes laneBits(FloatLanes lanes) {
  IntLanes bits;
  __builtin_memcpy(&bits, &lanes, sizeof bits);
  return bits;
}

/// Turns four rows of four lanes into four columns: afterwards rows[i][j] holds what
/// rows[j][i] held, so that lane i of every row can be stored as one 16-byte record.
inline void transposeLanes(IntLanes (&rows)[laneCount]) {
  enum : int { a0, a1, a2, a3, b0, b1, b2, b3 }; // the lanes of a shuffle's first and second input
  const IntLanes low01 = __builtin_shufflevector(rows[0], rows[1], a0, b0, a1, b1);
  const IntLanes high01 = __builtin_shufflevector(rows[0], rows[1], a2, b2, a3, b3);
  const IntLanes low23 = __builtin_shufflevector(rows[2], rows[3], a0, b0, a1, b1);
  const IntLanes high23 = __builtin_shufflevector(rows[2], rows[3], a2, b2, a3, b3);
  rows[0] = __builtin_shufflevector(low01, low23, a0, a1, b0, b1);
  rows[1] = __builtin_shufflevector(low01, low23, a2, a3, b2, b3);
  rows[2] = __builtin_shufflevector(high01, high23, a0, a1, b0, b1);
  rows[3] = __builtin_shufflevector(high01, high23, a2, a3, b2, b3);
}
