// HTTP basic authentication from a file the user gives: its first line is
// "user:password". Never from the command line, where ps would show it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantorel::cli::serve {

// The credentials, or nothing with the reason in `error`.
std::optional<std::string> loadCredentials(const std::string& path, std::string& error);

// `header` is the request's Authorization header (null when absent).
bool authorizes(const char* header, std::string_view credentials);

// Standard base64; nothing when the text is not base64.
std::optional<std::string> decodeBase64(std::string_view text);

}  // namespace vantorel::cli::serve
