#include "cli/serve/basic_auth.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vantorel::cli::serve {

std::optional<std::string> loadCredentials(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == line.size()) {
        error = path + ": the first line must be user:password";
        return std::nullopt;
    }
    return line;
}

std::optional<std::string> decodeBase64(std::string_view text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        int v = -1;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else if (c == '=') {
            ++padding;
            continue;
        }
        if (v < 0 || padding > 0) return std::nullopt;
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (padding > 2 || (text.size() % 4) != 0) return std::nullopt;
    return out;
}

bool authorizes(const char* header, std::string_view credentials) {
    if (header == nullptr) return false;
    std::string_view h(header);
    if (!h.starts_with("Basic ")) return false;
    h.remove_prefix(6);
    const std::optional<std::string> given = decodeBase64(h);
    if (!given || given->size() != credentials.size()) return false;
    // Compared in full whatever differs first: the time tells nothing.
    unsigned char diff = 0;
    for (std::size_t i = 0; i < credentials.size(); ++i)
        diff |= static_cast<unsigned char>((*given)[i] ^ credentials[i]);
    return diff == 0;
}

}  // namespace vantorel::cli::serve
