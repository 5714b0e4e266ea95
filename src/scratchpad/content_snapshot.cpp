#include "scratchpad/content_snapshot.h"

#include <algorithm>
#include <iterator>

namespace ormel {

namespace {

/// Small enough that copying one on a key costs microseconds, large enough that a snapshot of
/// a million lines copies only a few thousand pointers.
constexpr std::size_t kChunkLines = 256;

}  // namespace

ContentSnapshot::ContentSnapshot(const StyledText& lines) {
  SharedLines shared;
  shared.replace(0, 0, lines);
  *this = shared.snapshot();
}

ContentSnapshot SharedLines::snapshot() {
  ++m_snapshots;
  return m_lines;
}

std::pair<std::size_t, std::size_t> SharedLines::locate(std::size_t n) const {
  std::size_t chunk = 0;
  for (; chunk < m_lines.m_chunks.size(); ++chunk) {
    const std::size_t lines = m_lines.m_chunks[chunk]->size();
    if (n < lines) return {chunk, n};
    n -= lines;
  }
  return {chunk, 0};
}

ContentSnapshot::Chunk& SharedLines::writable(std::size_t chunk) {
  auto& held = m_lines.m_chunks[chunk];
  if (m_madeAfter[chunk] != m_snapshots) {
    held = std::make_shared<const ContentSnapshot::Chunk>(*held);
    m_madeAfter[chunk] = m_snapshots;
  }
  // Made here since the last snapshot, so no snapshot holds it.
  return const_cast<ContentSnapshot::Chunk&>(*held);
}

void SharedLines::rechunk(std::size_t first, std::size_t last, StyledText lines) {
  auto& chunks = m_lines.m_chunks;
  chunks.erase(chunks.begin() + static_cast<std::ptrdiff_t>(first),
               chunks.begin() + static_cast<std::ptrdiff_t>(last));
  m_madeAfter.erase(m_madeAfter.begin() + static_cast<std::ptrdiff_t>(first),
                    m_madeAfter.begin() + static_cast<std::ptrdiff_t>(last));
  std::vector<std::shared_ptr<const ContentSnapshot::Chunk>> made;
  for (std::size_t start = 0; start < lines.size(); start += kChunkLines) {
    const auto from = lines.begin() + static_cast<std::ptrdiff_t>(start);
    const auto to = lines.begin() + static_cast<std::ptrdiff_t>(std::min(start + kChunkLines, lines.size()));
    made.push_back(std::make_shared<const ContentSnapshot::Chunk>(std::make_move_iterator(from),
                                                                  std::make_move_iterator(to)));
  }
  chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(first), made.begin(), made.end());
  m_madeAfter.insert(m_madeAfter.begin() + static_cast<std::ptrdiff_t>(first), made.size(), m_snapshots);
}

void SharedLines::replace(std::size_t first, std::size_t count, StyledText lines) {
  first = std::min(first, size());
  count = std::min(count, size() - first);
  const std::size_t newSize = size() - count + lines.size();
  auto& chunks = m_lines.m_chunks;
  m_lines.m_size = newSize;
  if (chunks.empty()) {
    rechunk(0, 0, std::move(lines));
    return;
  }
  auto [chunk, at] = locate(first);
  if (chunk == chunks.size() && chunk > 0) {
    // Lines added at the end go into the last chunk.
    --chunk;
    at = chunks[chunk]->size();
  }
  if (at + count <= chunks[chunk]->size()) {
    // The usual change, a key's: within one chunk.
    ContentSnapshot::Chunk& target = writable(chunk);
    const std::size_t kept = std::min(count, lines.size());
    const auto place = target.begin() + static_cast<std::ptrdiff_t>(at);
    std::move(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(kept), place);
    if (count > kept) {
      target.erase(place + static_cast<std::ptrdiff_t>(kept), place + static_cast<std::ptrdiff_t>(count));
    } else {
      target.insert(place + static_cast<std::ptrdiff_t>(kept),
                    std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(kept)),
                    std::make_move_iterator(lines.end()));
    }
    if (target.empty() || target.size() > 2 * kChunkLines) rechunk(chunk, chunk + 1, std::move(target));
  } else {
    // A change across chunks: the lines of the chunks it touches are cut into chunks again.
    const auto [last, afterLast] = locate(first + count - 1);
    StyledText joined(chunks[chunk]->begin(), chunks[chunk]->begin() + static_cast<std::ptrdiff_t>(at));
    std::move(lines.begin(), lines.end(), std::back_inserter(joined));
    joined.insert(joined.end(), chunks[last]->begin() + static_cast<std::ptrdiff_t>(afterLast + 1),
                  chunks[last]->end());
    rechunk(chunk, last + 1, std::move(joined));
  }
}

}  // namespace ormel
