// The guessing walk must visit exactly the nodes the links name, in their order, however the
// nodes lie: one step apart forwards or backwards, with the step changing, scattered, in
// separate blocks, or a single node.
#include "sim/list_walk.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Node {
  int id;
  Node* next;
};

/// Links `pool`'s nodes in the order `order` gives (indices into pool); returns the first.
Node* linkInOrder(std::vector<Node>& pool, const std::vector<int>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    pool[order[i]].next = i + 1 < order.size() ? &pool[order[i + 1]] : nullptr;
  }
  return order.empty() ? nullptr : &pool[order[0]];
}

std::vector<int> walk(Node* first) {
  std::vector<int> ids;
  WalkStep step;
  for (Node* node = first; node != nullptr; node = followLink(node, step)) {
    ids.push_back(node->id);
  }
  return ids;
}

TEST(ListWalk, VisitsTheLinkedOrderWhereverTheNodesLie) {
  struct Layout {
    const char* name;
    std::vector<int> order;
  };
  const std::vector<Layout> layouts = {
      {"single", {3}},
      {"forwards", {0, 1, 2, 3, 4, 5, 6, 7}},
      {"backwards", {7, 6, 5, 4, 3, 2, 1, 0}},
      {"backwards then forwards", {4, 3, 2, 1, 0, 5, 6, 7}},
      {"every other, then the rest", {0, 2, 4, 6, 1, 3, 5, 7}},
      {"scattered", {5, 0, 7, 2, 6, 1, 3, 4}},
      {"the guess lands on a node that comes later", {0, 1, 3, 2, 4, 5, 6, 7}},
  };
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    std::vector<Node> pool(8);
    for (int i = 0; i < 8; ++i) {
      pool[i].id = i;
    }
    EXPECT_EQ(walk(linkInOrder(pool, layout.order)), layout.order);
  }
}

TEST(ListWalk, CrossesFromOneBlockOfNodesToAnother) {
  std::vector<Node> first(4);
  std::vector<Node> second(4);
  for (int i = 0; i < 4; ++i) {
    first[i] = Node{i, i + 1 < 4 ? &first[i + 1] : second.data()};
    second[i] = Node{4 + i, i + 1 < 4 ? &second[i + 1] : nullptr};
  }
  EXPECT_EQ(walk(first.data()), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(walk(nullptr), std::vector<int>{});
}

} // namespace
