// What the fuzz targets share: splitting one input into a few argument lines and the file
// text that follows them (so a single input chooses both a file's content and what a caller
// asks of it), and a scratch file for readers that take a path.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::fuzz {

/// The first `count` lines of the input (each without its LF; missing ones empty), and in
/// `rest` everything after them.
inline std::vector<std::string> leadingLines(const std::uint8_t* data, std::size_t size, int count,
                                             std::string_view& rest) {
    rest = std::string_view(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::size_t lf = rest.find('\n');
        lines.emplace_back(rest.substr(0, lf));
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
    }
    return lines;
}

/// A path `name` in a fresh folder of its own under /tmp, for the process's lifetime.
inline std::string scratchFile(const char* name) {
    char folder[] = "/tmp/vesk-fuzz-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    return std::string(folder) + "/" + name;
}

/// Replaces the content of `path` with `bytes`.
inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);  // data() of an empty view may be null
    std::fclose(f);
}

}  // namespace vesk::fuzz
