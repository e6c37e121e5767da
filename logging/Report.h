#pragma once

#include "logging/Printable.h"
#include "logging/SystemError.h"

#include <QString>

#include <spdlog/spdlog.h>

#include <string>
#include <type_traits>

// Reporting convention of the whole program: fetch "KWLOG" by name at the
// reporting site, build the text only when the level lets it through, and
// start it with the reporting function's signature (pass Q_FUNC_INFO).
//
//   Tessaly::report(spdlog::level::err, Q_FUNC_INFO, ": ", path, " Error ", Tessaly::SystemError::last());
//
// Messages quote what the board sent; control characters in them are
// escaped and overlong ones cut, so that neither the terminal nor the system
// log is steered or flooded by a misbehaving board.

namespace Tessaly {

namespace detail {

inline void append(std::string& text, const char* piece) { text += piece ? piece : "(null)"; }
inline void append(std::string& text, const std::string& piece) { text += piece; }
inline void append(std::string& text, const QString& piece) { text += piece.toStdString(); }
inline void append(std::string& text, const SystemError& error) { text += error.describe(); }
template <typename Number, typename = std::enable_if_t<std::is_arithmetic_v<Number>>>
void append(std::string& text, Number piece) { text += std::to_string(piece); }

} // namespace detail

template <typename... Pieces>
void report(spdlog::level::level_enum level, const char* signature, const Pieces&... pieces)
{
    const auto logger = spdlog::get("KWLOG");
    if (!logger || !logger->should_log(level))
        return;
    std::string text(signature);
    (detail::append(text, pieces), ...);
    text = printable(text);
    cutMessage(text);
    logger->log(level, spdlog::string_view_t(text));
}

} // namespace Tessaly
