#include "scratchpad/content_file.h"

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

StyledText readContent(std::string_view bytes, CharStyle defaultStyle) {
  if (std::optional<StyledText> rich = readRtf(bytes, defaultStyle)) return std::move(*rich);
  if (std::optional<StyledText> plain = readPlainText(bytes, defaultStyle)) return std::move(*plain);
  throw EContentStreamError(kFailedToLoadStream);
}

void saveContentFile(const std::string& path, const StyledText& content, std::string_view fontFace) {
  const FileResult result = writeFileAtomically(path, writeRtf(content, fontFace));
  if (result.ok) return;
  // The file could be created but its content not written out.
  if (result.error == ENOSPC || result.error == EIO || result.error == EDQUOT || result.error == EFBIG) {
    throw EContentStreamError(kFailedToSaveStream);
  }
  throw EFCreateError(path, result.reason);
}

StyledText loadContentFile(const std::string& path, CharStyle defaultStyle) {
  std::string bytes;
  const FileResult result = readWholeFile(path, bytes);
  if (!result.ok) throw EFOpenError(path, result.reason);
  return readContent(bytes, defaultStyle);
}

}  // namespace ormel
