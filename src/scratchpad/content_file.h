#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/exceptions.h"
#include "scratchpad/content_sink.h"
#include "scratchpad/content_snapshot.h"
#include "scratchpad/styled_text.h"

namespace ormel {

inline constexpr const char* kFailedToLoadStream = "Failed to Load Stream";
inline constexpr const char* kFailedToSaveStream = "Failed to Save Stream";
/// The font a sheet names when it is given none.
inline constexpr std::string_view kDefaultSheetFont = "Verdana";

/// The content stream could not be read ("Failed to Load Stream") or written ("Failed to Save
/// Stream").
class EContentStreamError : public Exception {
 public:
  explicit EContentStreamError(const std::string& message, std::string reason = {})
      : Exception(message), m_reason(std::move(reason)) {}
  /// The system's reason when there is one ("No space left on device"); not part of the message.
  [[nodiscard]] const std::string& reason() const { return m_reason; }

 private:
  std::string m_reason;
};

/// The content as a Rich Text Format document: a font table naming fontFace (UTF-8; empty names
/// kDefaultSheetFont), a colour table of the colours used, then each line's runs with their
/// colour and bold state, lines separated by \par. Characters of code page 1252 are written as
/// \'hh, all others as \uN with the fallback "?".
[[nodiscard]] std::string writeRtf(const StyledText& content, std::string_view fontFace = kDefaultSheetFont);
/// The same document for a snapshot of the content.
[[nodiscard]] std::string writeRtf(const ContentSnapshot& content,
                                   std::string_view fontFace = kDefaultSheetFont);

/// Reads a Rich Text Format document tolerantly: the text of the body with \cfN colours from the
/// colour table, \b, \plain, \par, \line, \tab, \'hh (code page 1252, or UTF-8 with
/// \ansicpg65001), \uN with \ucN; unknown control words and destinations are skipped, a missing
/// closing brace is forgiven. Text without a colour (or with the automatic one) takes
/// defaultStyle's colour. Empty when the bytes do not start as RTF.
[[nodiscard]] std::optional<StyledText> readRtf(std::string_view bytes, CharStyle defaultStyle);
/// The same, handing the text to sink as it is read; false (and nothing sent) when the bytes do
/// not start as RTF.
bool readRtf(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink);

/// False when the bytes start as RTF but end before the document's outermost group closes, or
/// go on after it (a cut or damaged file, whose text the reader would skip or leave unread).
[[nodiscard]] bool rtfIsComplete(std::string_view bytes);

/// Reads plain text, one line per line of the bytes (ended by LF, CR LF or CR), in defaultStyle.
/// The bytes are UTF-8 (a leading byte-order mark is dropped) or, when they are not well-formed
/// UTF-8, code page 1252. Empty for binary data (a NUL byte).
[[nodiscard]] std::optional<StyledText> readPlainText(std::string_view bytes, CharStyle defaultStyle);
/// The same, handing the lines to sink; false (and nothing sent) for binary data.
bool readPlainText(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink);

/// Reads a content file's bytes: as RTF, else as plain text; throws EContentStreamError
/// "Failed to Load Stream" when neither accepts them. An incomplete RTF document that yields no
/// text is shown as plain text, so that what it holds stays in view.
[[nodiscard]] StyledText readContent(std::string_view bytes, CharStyle defaultStyle);
/// The same, handing the text to sink; nothing reaches it when the load fails.
void readContent(std::string_view bytes, CharStyle defaultStyle, ContentSink& sink);

/// Writes the content file atomically, naming fontFace in its font table. Throws EFCreateError
/// when the file cannot be created, and EContentStreamError "Failed to Save Stream" when its
/// content cannot be written (a full disk).
void saveContentFile(const std::string& path, const StyledText& content,
                     std::string_view fontFace = kDefaultSheetFont);

/// Reads a content file (at most kContentFileLimit bytes, never from a FIFO or device). Throws
/// EFOpenError when it cannot be opened or read, and EContentStreamError "Failed to Load Stream"
/// when it is neither RTF nor text.
[[nodiscard]] StyledText loadContentFile(const std::string& path, CharStyle defaultStyle);
/// The same, handing the text to sink; nothing reaches it when the load fails.
void loadContentFile(const std::string& path, CharStyle defaultStyle, ContentSink& sink);

}  // namespace ormel
