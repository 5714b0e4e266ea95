#pragma once

#include <cstdint>
#include <vector>

#include "scratchpad/styled_text.h"

namespace ormel {

/// The lines of a text in an implicit balanced tree (a treap ordered by line number), each node
/// knowing the length of its subtree's text, so that finding a line by number or by character
/// position, and inserting or removing lines, cost O(log lines). A line counts its length plus
/// one for its line break. Holds at least one line.
class LineTree {
 public:
  LineTree();

  [[nodiscard]] int count() const;
  /// Line n, 0 <= n < count().
  [[nodiscard]] const StyledLine& at(int n) const;
  /// Changes line n through edit(StyledLine&) and updates the lengths above it.
  template <typename Edit>
  void modify(int n, Edit&& edit) {
    modifyIn(m_root, n, edit);
  }
  /// Calls visit(n, line) for the lines first .. last-1 in order, in O(log lines + lines visited).
  template <typename Visit>
  void visit(int first, int last, Visit&& visit) const {
    visitIn(m_root, 0, first, last, visit);
  }
  /// Position of the first character of line n, 0 <= n <= count() (count() gives length + 1).
  [[nodiscard]] int startOf(int n) const;
  /// The line holding position (0 <= position <= totalLength()); the break belongs to its line.
  [[nodiscard]] int lineAt(int position) const;
  /// The length of the whole text, line breaks included.
  [[nodiscard]] int totalLength() const;
  /// Inserts lines after line n (-1 inserts before the first line).
  void insertAfter(int n, std::vector<StyledLine> lines);
  /// Removes the lines first .. last-1; the tree keeps at least one line.
  void erase(int first, int last);
  /// Back to one empty line with the given style.
  void reset(CharStyle lineStyle);

 private:
  struct Node {
    StyledLine line;
    std::uint32_t priority = 0;
    int left = -1;
    int right = -1;
    int size = 1;
    int length = 1;  // of the subtree: text units plus one break per line
  };

  int newNode(StyledLine line);
  void freeTree(int node);
  void update(int node);
  [[nodiscard]] int sizeOf(int node) const { return node < 0 ? 0 : m_nodes[node].size; }
  [[nodiscard]] int lengthOf(int node) const { return node < 0 ? 0 : m_nodes[node].length; }
  int merge(int a, int b);
  /// Splits node's tree into its first k lines and the rest.
  void split(int node, int k, int& first, int& rest);
  template <typename Visit>
  void visitIn(int node, int offset, int first, int last, Visit& visit) const {
    if (node < 0 || offset >= last || offset + m_nodes[node].size <= first) return;
    const Node& current = m_nodes[node];
    const int own = offset + sizeOf(current.left);
    visitIn(current.left, offset, first, last, visit);
    if (own >= first && own < last) visit(own, current.line);
    visitIn(current.right, own + 1, first, last, visit);
  }
  template <typename Edit>
  void modifyIn(int node, int n, Edit& edit) {
    const int leftSize = sizeOf(m_nodes[node].left);
    if (n < leftSize) {
      modifyIn(m_nodes[node].left, n, edit);
    } else if (n > leftSize) {
      modifyIn(m_nodes[node].right, n - leftSize - 1, edit);
    } else {
      edit(m_nodes[node].line);
    }
    update(node);
  }

  std::vector<Node> m_nodes;
  std::vector<int> m_free;
  int m_root = -1;
  std::uint32_t m_random = 0x9E3779B9u;
};

}  // namespace ormel
