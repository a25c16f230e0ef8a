// SPDX-License-Identifier: MIT
#include "cursor_theme_shapes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace velmora::x11 {

namespace {

constexpr std::uint32_t kImageChunkType = 0xfffd0002;
constexpr std::uint32_t kImageHeaderBytes = 36;
constexpr std::uint32_t kMaxImageSide = 1024;
constexpr std::uint32_t kMaxTocEntries = 4096;
constexpr std::size_t kMaxThemes = 64;
constexpr std::uintmax_t kMaxFileBytes = 4u << 20;
constexpr const char* kTextCursorFiles[] = {"xterm", "text", "ibeam"};

// Xcursor files are little-endian throughout.
bool readWord(std::string_view file, std::uint64_t offset, std::uint32_t* value) {
    if (offset + 4 > file.size())
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(file.data() + offset);
    *value = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
             std::uint32_t(p[3]) << 24;
    return true;
}

bool readImage(std::string_view file, std::uint64_t position, CursorShape* shape) {
    std::uint32_t header = 0, type = 0, width = 0, height = 0, xhot = 0, yhot = 0;
    if (!readWord(file, position, &header) || !readWord(file, position + 4, &type) ||
        !readWord(file, position + 16, &width) || !readWord(file, position + 20, &height) ||
        !readWord(file, position + 24, &xhot) || !readWord(file, position + 28, &yhot))
        return false;
    if (type != kImageChunkType || header < kImageHeaderBytes || width == 0 || height == 0 ||
        width > kMaxImageSide || height > kMaxImageSide || xhot >= width || yhot >= height)
        return false;
    const std::uint64_t pixels = position + header;
    const std::uint64_t count = std::uint64_t{width} * height;
    if (pixels + 4 * count > file.size())
        return false;
    shape->width = width;
    shape->height = height;
    shape->xhot = xhot;
    shape->yhot = yhot;
    shape->alpha.resize(count);
    for (std::uint64_t i = 0; i < count; ++i)
        shape->alpha[i] = static_cast<std::uint8_t>(file[pixels + 4 * i + 3]);
    return true;
}

std::string readSmallFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes)
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

std::vector<CursorShape> readXcursorImages(std::string_view file) {
    std::vector<CursorShape> shapes;
    std::uint32_t headerBytes = 0, entries = 0;
    if (file.substr(0, 4) != "Xcur" || !readWord(file, 4, &headerBytes) ||
        !readWord(file, 12, &entries))
        return shapes;
    entries = std::min(entries, kMaxTocEntries);
    // Each pixel of an image takes four bytes of the file. Entries that point at one image, or
    // images that share their pixels, would multiply them: a file of a few megabytes could cost
    // gigabytes. Reading stops where the images would hold more pixels than the file does.
    std::uint64_t pixelsLeft = file.size() / 4;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint64_t entry = std::uint64_t{headerBytes} + 12u * std::uint64_t{i};
        std::uint32_t type = 0, position = 0;
        if (!readWord(file, entry, &type) || !readWord(file, entry + 8, &position))
            break;
        CursorShape shape;
        if (type == kImageChunkType && readImage(file, position, &shape)) {
            if (shape.alpha.size() > pixelsLeft)
                break;
            pixelsLeft -= shape.alpha.size();
            shapes.push_back(std::move(shape));
        }
    }
    return shapes;
}

CursorShape shapeOfImage(std::uint32_t width, std::uint32_t height, std::uint32_t xhot,
                         std::uint32_t yhot, const std::uint32_t* argb) {
    CursorShape shape{width, height, xhot, yhot, {}};
    const std::uint64_t count = std::uint64_t{width} * height;
    shape.alpha.resize(count);
    for (std::uint64_t i = 0; i < count; ++i)
        shape.alpha[i] = static_cast<std::uint8_t>(argb[i] >> 24);
    return shape;
}

std::vector<std::string> cursorSearchPath(const std::string& home, const std::string& xcursorPath) {
    std::vector<std::string> folders;
    std::string path = xcursorPath;
    if (path.empty())
        path = "~/.local/share/icons:~/.icons:/usr/share/icons:/usr/share/pixmaps";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        std::string folder = path.substr(start, end - start);
        if (folder.starts_with("~/"))
            folder = home.empty() ? std::string() : home + folder.substr(1);
        if (!folder.empty())
            folders.push_back(folder);
        start = end + 1;
    }
    return folders;
}

std::vector<CursorShape> textCursorShapesOfThemes() {
    const char* home = std::getenv("HOME");
    const char* xcursorPath = std::getenv("XCURSOR_PATH");
    std::vector<CursorShape> shapes;
    std::set<std::filesystem::path> seen;
    std::size_t themes = 0;
    for (const std::string& folder :
         cursorSearchPath(home ? home : "", xcursorPath ? xcursorPath : "")) {
        std::error_code listing;
        for (std::filesystem::directory_iterator it(folder, listing), end; !listing && it != end;
             it.increment(listing)) {
            std::error_code error;
            const std::filesystem::path cursors = it->path() / "cursors";
            if (!std::filesystem::is_directory(cursors, error))
                continue;
            if (++themes > kMaxThemes)
                return shapes;
            for (const char* name : kTextCursorFiles) {
                // Themes link their names to one file ("text" -> "xterm"); read it once.
                const std::filesystem::path file =
                    std::filesystem::weakly_canonical(cursors / name, error);
                if (error || !seen.insert(file).second)
                    continue;
                for (CursorShape& shape : readXcursorImages(readSmallFile(file)))
                    if (std::find(shapes.begin(), shapes.end(), shape) == shapes.end())
                        shapes.push_back(std::move(shape));
            }
        }
    }
    return shapes;
}

} // namespace velmora::x11
