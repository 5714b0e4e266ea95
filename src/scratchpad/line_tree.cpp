#include "scratchpad/line_tree.h"

namespace ormel {

LineTree::LineTree() { reset(CharStyle{}); }

int LineTree::count() const { return sizeOf(m_root); }

const StyledLine& LineTree::at(int n) const {
  int node = m_root;
  for (;;) {
    const int leftSize = sizeOf(m_nodes[node].left);
    if (n < leftSize) {
      node = m_nodes[node].left;
    } else if (n > leftSize) {
      n -= leftSize + 1;
      node = m_nodes[node].right;
    } else {
      return m_nodes[node].line;
    }
  }
}

int LineTree::startOf(int n) const {
  int start = 0;
  int node = m_root;
  while (node >= 0) {
    const int leftSize = sizeOf(m_nodes[node].left);
    if (n <= leftSize) {
      node = m_nodes[node].left;
    } else {
      start += lengthOf(m_nodes[node].left) + static_cast<int>(m_nodes[node].line.text.size()) + 1;
      n -= leftSize + 1;
      node = m_nodes[node].right;
    }
  }
  return start;
}

int LineTree::lineAt(int position) const {
  int line = 0;
  int node = m_root;
  for (;;) {
    const int leftLength = lengthOf(m_nodes[node].left);
    const int own = static_cast<int>(m_nodes[node].line.text.size()) + 1;
    if (position < leftLength) {
      node = m_nodes[node].left;
    } else if (position < leftLength + own || m_nodes[node].right < 0) {
      return line + sizeOf(m_nodes[node].left);
    } else {
      position -= leftLength + own;
      line += sizeOf(m_nodes[node].left) + 1;
      node = m_nodes[node].right;
    }
  }
}

int LineTree::totalLength() const { return lengthOf(m_root) - 1; }

void LineTree::insertAfter(int n, std::vector<StyledLine> lines) {
  int added = -1;
  for (StyledLine& line : lines) added = merge(added, newNode(std::move(line)));
  int first = -1;
  int rest = -1;
  split(m_root, n + 1, first, rest);
  m_root = merge(merge(first, added), rest);
}

void LineTree::erase(int first, int last) {
  if (first >= last) return;
  int head = -1;
  int middle = -1;
  int tail = -1;
  split(m_root, first, head, middle);
  split(middle, last - first, middle, tail);
  freeTree(middle);
  m_root = merge(head, tail);
  if (m_root < 0) m_root = newNode(StyledLine{});
}

void LineTree::reset(CharStyle lineStyle) {
  m_nodes.clear();
  m_free.clear();
  m_root = newNode(StyledLine{{}, {}, lineStyle});
}

int LineTree::newNode(StyledLine line) {
  // xorshift: priorities only need to be independent of the order lines arrive in.
  m_random ^= m_random << 13;
  m_random ^= m_random >> 17;
  m_random ^= m_random << 5;
  Node node;
  node.line = std::move(line);
  node.priority = m_random;
  node.length = static_cast<int>(node.line.text.size()) + 1;
  if (!m_free.empty()) {
    const int index = m_free.back();
    m_free.pop_back();
    m_nodes[index] = std::move(node);
    return index;
  }
  m_nodes.push_back(std::move(node));
  return static_cast<int>(m_nodes.size()) - 1;
}

void LineTree::freeTree(int node) {
  if (node < 0) return;
  freeTree(m_nodes[node].left);
  freeTree(m_nodes[node].right);
  m_nodes[node].line = StyledLine{};
  m_free.push_back(node);
}

void LineTree::update(int node) {
  Node& n = m_nodes[node];
  n.size = sizeOf(n.left) + sizeOf(n.right) + 1;
  n.length = lengthOf(n.left) + lengthOf(n.right) + static_cast<int>(n.line.text.size()) + 1;
}

int LineTree::merge(int a, int b) {
  if (a < 0) return b;
  if (b < 0) return a;
  if (m_nodes[a].priority > m_nodes[b].priority) {
    m_nodes[a].right = merge(m_nodes[a].right, b);
    update(a);
    return a;
  }
  m_nodes[b].left = merge(a, m_nodes[b].left);
  update(b);
  return b;
}

void LineTree::split(int node, int k, int& first, int& rest) {
  if (node < 0) {
    first = rest = -1;
    return;
  }
  const int leftSize = sizeOf(m_nodes[node].left);
  if (k <= leftSize) {
    split(m_nodes[node].left, k, first, m_nodes[node].left);
    rest = node;
  } else {
    split(m_nodes[node].right, k - leftSize - 1, m_nodes[node].right, rest);
    first = node;
  }
  update(node);
}

}  // namespace ormel
