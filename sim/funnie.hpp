// Funnies: worm-like creatures whose trail retraces the head's random walk, held near the
// origin and shedding one particle per tick.
#pragma once

#include "sim/colour.hpp"
#include "sim/funnie_segment.hpp"

/// The longest a funnie can be; renderers size their stack scratch by it.
constexpr int maxSegmentCount = 23;

struct Funnie {
  /// Builds a funnie of random length and colour with its whole body at the origin, linked
  /// in front of `next`.
  explicit Funnie(Funnie* next);
  ~Funnie();
  Funnie(const Funnie&) = delete;
  Funnie& operator=(const Funnie&) = delete;

  /// Advances the funnie by one tick and emits its particle.
  void update();

  FunnieSegment* segments;     ///< owned, segmentCount long; element 0 is the head
  FunnieSegment velocity;      ///< world units per tick, whole numbers in -5..5
  FunnieSegment projectedHead; ///< screen x, y and view depth when last drawn; depth 0 = not seen
  int segmentCount;            ///< 8..23
  Colour colour;
  Funnie* next; ///< not owning
};

/// Creates `count` funnies, each put in front of the last: the one created last comes first.
Funnie* createFunnies(int count);

/// Updates every funnie of the list, head first.
void updateFunnies(Funnie* list);

/// Deletes every funnie of the list.
void deleteFunnies(Funnie* list);
