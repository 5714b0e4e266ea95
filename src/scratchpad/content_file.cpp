#include "scratchpad/content_file.h"

#include <algorithm>
#include <cerrno>

#include "base/atomic_file.h"
#include "base/unicode_text.h"
#include "scratchpad/code_page_1252.h"

namespace ormel {

std::optional<StyledText> readPlainText(std::string_view bytes, CharStyle defaultStyle) {
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::u16string units;
  if (isValidUtf8(bytes)) {
    units = utf8ToUtf16(bytes);
  } else {
    units.reserve(bytes.size());
    for (const char byte : bytes) units.push_back(codePage1252ToUnicode(static_cast<unsigned char>(byte)));
  }
  StyledText lines;
  StyledLine line{{}, {}, defaultStyle};
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' || units[i] == u'\n') {
      if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') ++i;
      lines.push_back(std::move(line));
      line = StyledLine{{}, {}, defaultStyle};
    } else {
      line.text.push_back(units[i]);
      line.styles.push_back(defaultStyle);
    }
  }
  lines.push_back(std::move(line));
  return lines;
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

bool holdsText(const StyledText& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const StyledLine& line) { return !line.text.empty(); });
}

}  // namespace

StyledText readContent(std::string_view bytes, CharStyle defaultStyle) {
  if (std::optional<StyledText> rich = readRtf(bytes, defaultStyle)) {
    if (holdsText(*rich) || rtfIsComplete(bytes)) return std::move(*rich);
  }
  if (std::optional<StyledText> plain = readPlainText(bytes, defaultStyle)) return std::move(*plain);
  throw EContentStreamError(kFailedToLoadStream);
}

void saveContentFile(const std::string& path, const StyledText& content, std::string_view fontFace) {
  // Saves of this folder that were killed left their temporary files here.
  removeStaleTemporaryFiles(folderOf(path));
  const FileResult result = writeFileAtomically(path, writeRtf(content, fontFace));
  if (result.ok) return;
  // The file could be created but its content not written out.
  if (result.error == ENOSPC || result.error == EIO || result.error == EDQUOT || result.error == EFBIG) {
    throw EContentStreamError(kFailedToSaveStream, result.reason);
  }
  throw EFCreateError(path, result.reason);
}

StyledText loadContentFile(const std::string& path, CharStyle defaultStyle) {
  std::string bytes;
  const FileResult result = readWholeFile(path, bytes, kContentFileLimit);
  if (!result.ok) throw EFOpenError(path, result.reason);
  return readContent(bytes, defaultStyle);
}

}  // namespace ormel
