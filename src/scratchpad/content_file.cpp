#include "scratchpad/content_file.h"

#include <algorithm>
#include <cerrno>

#include "base/atomic_file.h"
#include "base/unicode_text.h"
#include "scratchpad/code_page_1252.h"
#include "scratchpad/content_sink.h"

namespace ormel {

bool readPlainText(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::u16string units;
  if (isValidUtf8(bytes)) {
    units = utf8ToUtf16(bytes);
  } else {
    units.reserve(bytes.size());
    for (const char byte : bytes) units.push_back(codePage1252ToUnicode(static_cast<unsigned char>(byte)));
  }
  const std::u16string_view text(units);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find_first_of(u"\r\n", start);
    const std::u16string_view line = text.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (!line.empty()) sink.run(line, defaultStyle);
    sink.endLine(defaultStyle);
    if (end == std::u16string_view::npos) return true;
    start = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
  }
}

std::optional<StyledText> readPlainText(std::string_view bytes, CharStyle defaultStyle) {
  StyledTextSink lines;
  if (!readPlainText(bytes, defaultStyle, lines)) return std::nullopt;
  return lines.take();
}

void sendStyledText(const StyledText& content, ContentSink& sink) {
  sendStyledText(content.begin(), content.end(), sink);
}

void sendStyledText(StyledText::const_iterator first, StyledText::const_iterator last, ContentSink& sink) {
  for (; first != last; ++first) sendStyledLine(*first, sink);
}

void sendStyledLine(const StyledLine& line, ContentSink& sink) {
  std::size_t run = 0;
  while (run < line.text.size()) {
    std::size_t end = run + 1;
    while (end < line.text.size() && line.styles[end] == line.styles[run]) ++end;
    sink.run(std::u16string_view(line.text).substr(run, end - run), line.styles[run]);
    run = end;
  }
  sink.endLine(line.lineStyle);
}

bool rtfIsComplete(std::string_view bytes) {
  const std::size_t start = bytes.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos || bytes.substr(start, 5) != "{\\rtf") return true;
  int depth = 0;
  for (std::size_t i = start; i < bytes.size(); ++i) {
    if (bytes[i] == '\\') {
      ++i;  // \{, \} and \\ are text, not groups
    } else if (bytes[i] == '{') {
      ++depth;
    } else if (bytes[i] == '}' && --depth == 0) {
      // Text after the end is what a lost "{" cut off.
      return bytes.find_first_not_of(std::string_view(" \t\r\n\0", 5), i + 1) == std::string_view::npos;
    }
  }
  return false;
}

namespace {

/// Notes only whether a text holds any character.
class TextPresence final : public ContentSink {
 public:
  void run(std::u16string_view /*text*/, CharStyle /*style*/) override { found = true; }
  void endLine(CharStyle /*lineStyle*/) override {}
  bool found = false;
};

}  // namespace

void readContent(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink) {
  // The choice between RTF and plain text is made before anything reaches the sink, so that a
  // cut document that yields no text is shown as plain text only.
  TextPresence presence;
  const bool rich = rtfIsComplete(bytes) || (readRtf(bytes, defaultStyle, presence) && presence.found);
  if (rich && readRtf(bytes, defaultStyle, sink)) return;
  if (readPlainText(bytes, defaultStyle, sink)) return;
  throw EContentStreamError(kFailedToLoadStream);
}

StyledText readContent(std::string_view bytes, CharStyle defaultStyle) {
  StyledTextSink lines;
  readContent(bytes, defaultStyle, lines);
  return lines.take();
}

void saveContentFile(const std::string& path, const StyledText& content, std::string_view fontFace) {
  // Saves of this folder that were killed left their temporary files here.
  removeStaleTemporaryFilesBeside(path);
  const FileResult result = writeFileAtomically(path, writeRtf(content, fontFace));
  if (result.ok) return;
  // The file could be created but its content not written out.
  if (result.error == ENOSPC || result.error == EIO || result.error == EDQUOT || result.error == EFBIG) {
    throw EContentStreamError(kFailedToSaveStream, result.reason);
  }
  throw EFCreateError(path, result.reason);
}

void loadContentFile(const std::string& path, CharStyle defaultStyle, ContentSink& sink) {
  std::string bytes;
  const FileResult result = readWholeFile(path, bytes, kContentFileLimit);
  if (!result.ok) throw EFOpenError(path, result.reason);
  readContent(bytes, defaultStyle, sink);
}

StyledText loadContentFile(const std::string& path, CharStyle defaultStyle) {
  StyledTextSink lines;
  loadContentFile(path, defaultStyle, lines);
  return lines.take();
}

}  // namespace ormel
