#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "scratchpad/styled_text.h"

namespace ormel {

/// The scratch pad's content at one moment, line by line, in chunks of lines that it shares with
/// the pad's copy it was taken from. Taking one costs a pointer per chunk, not per line, so the
/// window thread can take it between two keys and another thread write it out.
class ContentSnapshot {
 public:
  using Chunk = std::vector<StyledLine>;

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = StyledLine;
    using difference_type = std::ptrdiff_t;
    using pointer = const StyledLine*;
    using reference = const StyledLine&;

    const_iterator() = default;
    reference operator*() const { return (*(*m_chunks)[m_chunk])[m_line]; }
    pointer operator->() const { return &**this; }
    const_iterator& operator++() {
      if (++m_line == (*m_chunks)[m_chunk]->size()) {
        ++m_chunk;
        m_line = 0;
      }
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
      return a.m_chunk == b.m_chunk && a.m_line == b.m_line;
    }

   private:
    friend class ContentSnapshot;
    const_iterator(const std::vector<std::shared_ptr<const Chunk>>* chunks, std::size_t chunk)
        : m_chunks(chunks), m_chunk(chunk) {}
    const std::vector<std::shared_ptr<const Chunk>>* m_chunks = nullptr;
    std::size_t m_chunk = 0;
    std::size_t m_line = 0;
  };

  ContentSnapshot() = default;
  /// A snapshot of a text that no pad holds.
  explicit ContentSnapshot(const StyledText& lines);

  [[nodiscard]] std::size_t size() const { return m_size; }
  [[nodiscard]] bool empty() const { return m_size == 0; }
  /// Chunks are never empty, so the end is the chunk past the last.
  [[nodiscard]] const_iterator begin() const { return {&m_chunks, 0}; }
  [[nodiscard]] const_iterator end() const { return {&m_chunks, m_chunks.size()}; }
  [[nodiscard]] StyledText lines() const { return {begin(), end()}; }

 private:
  friend class SharedLines;
  std::vector<std::shared_ptr<const Chunk>> m_chunks;
  std::size_t m_size = 0;
};

/// The pad's lines as snapshots share them. A change copies the chunk it touches only when a
/// snapshot taken since may hold it; one made since the last snapshot is changed in place.
class SharedLines {
 public:
  [[nodiscard]] std::size_t size() const { return m_lines.m_size; }
  /// Lines first to first + count - 1 (clipped to the end) become the given lines.
  void replace(std::size_t first, std::size_t count, StyledText lines);
  [[nodiscard]] ContentSnapshot snapshot();

 private:
  /// The chunk holding line n, and the line's place in it; the end for n == size().
  [[nodiscard]] std::pair<std::size_t, std::size_t> locate(std::size_t n) const;
  /// The chunk, copied first if a snapshot may hold it.
  [[nodiscard]] ContentSnapshot::Chunk& writable(std::size_t chunk);
  /// Chunks first to last - 1 become lines, cut into chunks of the usual size.
  void rechunk(std::size_t first, std::size_t last, StyledText lines);

  ContentSnapshot m_lines;
  /// For each chunk, the number of snapshots taken before it was made.
  std::vector<std::uint64_t> m_madeAfter;
  std::uint64_t m_snapshots = 0;
};

}  // namespace ormel
