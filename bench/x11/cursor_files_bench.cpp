// SPDX-License-Identifier: MIT
// Reading a cursor theme's text cursor (the address-bar check's I-beam shapes): the agent's own
// Xcursor reader (cursor_theme_shapes.h) against libXcursor's loader, on the same file.
// VELMORA_CURSOR_FILE names the file (default: Adwaita's xterm).

#include "x11/cursor_theme_shapes.h"

#include <X11/Xcursor/Xcursor.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string cursorPath() {
    const char* path = std::getenv("VELMORA_CURSOR_FILE");
    return path ? path : "/usr/share/icons/Adwaita/cursors/xterm";
}

std::string cursorFile() {
    std::ifstream in(cursorPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// libXcursor reading from memory, as the agent would hand it a file read with its size limit.
struct Memory {
    const std::string* bytes;
    std::size_t at = 0;
};

int readMemory(XcursorFile* file, unsigned char* buffer, int length) {
    auto* memory = static_cast<Memory*>(file->closure);
    const std::size_t n = std::min<std::size_t>(length, memory->bytes->size() - memory->at);
    std::memcpy(buffer, memory->bytes->data() + memory->at, n);
    memory->at += n;
    return static_cast<int>(n);
}

int seekMemory(XcursorFile* file, long offset, int whence) {
    auto* memory = static_cast<Memory*>(file->closure);
    if (whence != SEEK_SET || offset < 0 || std::size_t(offset) > memory->bytes->size())
        return -1;
    memory->at = static_cast<std::size_t>(offset);
    return 0;
}

void OwnReader(benchmark::State& state) {
    const std::string file = cursorFile();
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::x11::readXcursorImages(file));
    state.counters["images"] = double(velmora::x11::readXcursorImages(file).size());
}

void LibXcursorFromMemory(benchmark::State& state) {
    const std::string file = cursorFile();
    int images = 0;
    for (auto _ : state) {
        Memory memory{&file};
        XcursorFile source{&memory, readMemory, nullptr, seekMemory};
        XcursorImages* loaded = XcursorXcFileLoadAllImages(&source);
        images = loaded ? loaded->nimage : 0;
        // What the agent keeps of each image: its alpha.
        for (int i = 0; loaded && i < loaded->nimage; ++i)
            benchmark::DoNotOptimize(velmora::x11::shapeOfImage(
                loaded->images[i]->width, loaded->images[i]->height, loaded->images[i]->xhot,
                loaded->images[i]->yhot, loaded->images[i]->pixels));
        if (loaded)
            XcursorImagesDestroy(loaded);
    }
    state.counters["images"] = images;
}

void LibXcursorFromFileName(benchmark::State& state) {
    const std::string path = cursorPath();
    for (auto _ : state) {
        XcursorImages* loaded = XcursorFilenameLoadAllImages(path.c_str());
        benchmark::DoNotOptimize(loaded);
        if (loaded)
            XcursorImagesDestroy(loaded);
    }
}

void OwnReaderOfEveryTheme(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(velmora::x11::textCursorShapesOfThemes());
}

} // namespace

BENCHMARK(OwnReader)->Unit(benchmark::kMicrosecond);
BENCHMARK(LibXcursorFromMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(LibXcursorFromFileName)->Unit(benchmark::kMicrosecond);
BENCHMARK(OwnReaderOfEveryTheme)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
