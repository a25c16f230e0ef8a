// SPDX-License-Identifier: MIT
#include "layer_shell_overlay.h"

// The protocol names an argument "namespace", a C++ keyword.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sys/mman.h>
#include <unistd.h>

namespace velmora::wayland {

namespace {

constexpr const char* kNamespace = "velmora-indicator";
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kLayerShellVersion = 4;
// From this version on the layer shell has a destructor of its own.
constexpr std::uint32_t kLayerShellDestroyVersion = 3;

} // namespace

struct OverlayState {
    using Log = LayerShellOverlay::Log;
    Log log;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    std::uint32_t layerShellName = 0;
    std::uint32_t layerShellVersion = 0;
    wl_callback* globalsDone = nullptr;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;
    std::set<wl_buffer*> buffers; // attached, not yet released by the compositor
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    bool globalsKnown = false;
    bool configured = false;
    bool off = false;
    QImage picture; // premultiplied ARGB, what is shown or waits to be
    QPoint place;
    QImage shownPicture;
    QPoint shownPlace{-1, -1};

    ~OverlayState();
    void turnOff(const std::string& why);
    void globalsArrived();
    void makeSurface();
    void present();
    bool attachPicture();
    void readEvents();
    void flush();
};

namespace {

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    auto* state = static_cast<OverlayState*>(data);
    const std::string_view kind(interface);
    if (kind == wl_compositor_interface.name && !state->compositor)
        state->compositor = static_cast<wl_compositor*>(wl_registry_bind(
            registry, name, &wl_compositor_interface, std::min(version, kCompositorVersion)));
    else if (kind == wl_shm_interface.name && !state->shm)
        state->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (kind == zwlr_layer_shell_v1_interface.name && !state->layerShell) {
        state->layerShellVersion = std::min(version, kLayerShellVersion);
        state->layerShellName = name;
        state->layerShell = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            registry, name, &zwlr_layer_shell_v1_interface, state->layerShellVersion));
    }
}

void onGlobalRemoved(void* data, wl_registry*, std::uint32_t name) {
    auto* state = static_cast<OverlayState*>(data);
    if (state->layerShell && name == state->layerShellName)
        state->turnOff("the compositor took its layer shell away");
}

const wl_registry_listener kRegistryListener{onGlobal, onGlobalRemoved};

void onGlobalsDone(void* data, wl_callback* callback, std::uint32_t) {
    auto* state = static_cast<OverlayState*>(data);
    wl_callback_destroy(callback);
    state->globalsDone = nullptr;
    state->globalsArrived();
}

const wl_callback_listener kGlobalsDoneListener{onGlobalsDone};

void onConfigure(void* data, zwlr_layer_surface_v1* surface, std::uint32_t serial, std::uint32_t,
                 std::uint32_t) {
    // The size the compositor suggests is ignored: the picture keeps its own.
    auto* state = static_cast<OverlayState*>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    state->configured = true;
    state->shownPicture = QImage();
    state->present();
}

void onClosed(void* data, zwlr_layer_surface_v1*) {
    static_cast<OverlayState*>(data)->turnOff("the compositor closed the indicator");
}

const zwlr_layer_surface_v1_listener kLayerSurfaceListener{onConfigure, onClosed};

void onBufferReleased(void* data, wl_buffer* buffer) {
    static_cast<OverlayState*>(data)->buffers.erase(buffer);
    wl_buffer_destroy(buffer);
}

const wl_buffer_listener kBufferListener{onBufferReleased};

} // namespace

OverlayState::~OverlayState() {
    for (wl_buffer* buffer : buffers)
        wl_buffer_destroy(buffer);
    if (layerSurface)
        zwlr_layer_surface_v1_destroy(layerSurface);
    if (surface)
        wl_surface_destroy(surface);
    if (globalsDone)
        wl_callback_destroy(globalsDone);
    if (layerShell) {
        if (layerShellVersion >= kLayerShellDestroyVersion)
            zwlr_layer_shell_v1_destroy(layerShell);
        else
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layerShell));
    }
    if (shm)
        wl_shm_destroy(shm);
    if (compositor)
        wl_compositor_destroy(compositor);
    if (registry)
        wl_registry_destroy(registry);
    readable.reset();
    writable.reset();
    if (display) {
        wl_display_flush(display);
        wl_display_disconnect(display);
    }
}

void OverlayState::turnOff(const std::string& why) {
    if (off)
        return;
    off = true;
    if (log)
        log(why + ": the floating indicator is off");
    if (layerSurface) {
        zwlr_layer_surface_v1_destroy(layerSurface);
        layerSurface = nullptr;
    }
    if (surface) {
        wl_surface_destroy(surface);
        surface = nullptr;
    }
}

void OverlayState::globalsArrived() {
    globalsKnown = true;
    if (!layerShell || !compositor || !shm) {
        turnOff("the compositor offers no layer shell");
        return;
    }
    makeSurface();
}

void OverlayState::makeSurface() {
    surface = wl_compositor_create_surface(compositor);
    // An empty input region: clicks go to the window below.
    wl_region* nothing = wl_compositor_create_region(compositor);
    wl_surface_set_input_region(surface, nothing);
    wl_region_destroy(nothing);
    layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        layerShell, surface, nullptr, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, kNamespace);
    zwlr_layer_surface_v1_add_listener(layerSurface, &kLayerSurfaceListener, this);
    zwlr_layer_surface_v1_set_anchor(layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                       ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    // Placed from the output's corner itself, not moved aside for panels.
    zwlr_layer_surface_v1_set_exclusive_zone(layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    zwlr_layer_surface_v1_set_size(layerSurface, std::max(1, picture.width()),
                                   std::max(1, picture.height()));
    zwlr_layer_surface_v1_set_margin(layerSurface, place.y(), 0, 0, place.x());
    wl_surface_commit(surface);
    flush();
}

bool OverlayState::attachPicture() {
    const int width = picture.width();
    const int height = picture.height();
    const int stride = width * 4;
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    const int fd = memfd_create(kNamespace, MFD_CLOEXEC);
    if (fd < 0)
        return false;
    bool done = false;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory != MAP_FAILED) {
            // Little-endian ARGB32 in memory is what Wayland's ARGB8888 is.
            for (int row = 0; row < height; ++row)
                std::memcpy(static_cast<char*>(memory) + static_cast<std::ptrdiff_t>(row) * stride,
                            picture.constScanLine(row), static_cast<std::size_t>(stride));
            munmap(memory, bytes);
            wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
            wl_buffer* buffer =
                wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
            wl_shm_pool_destroy(pool);
            wl_buffer_add_listener(buffer, &kBufferListener, this);
            buffers.insert(buffer);
            wl_surface_attach(surface, buffer, 0, 0);
            wl_surface_damage(surface, 0, 0, width, height);
            done = true;
        }
    }
    close(fd);
    return done;
}

void OverlayState::present() {
    if (off || !configured || !layerSurface || picture.isNull())
        return;
    const bool newPicture = picture != shownPicture;
    if (!newPicture && place == shownPlace)
        return;
    if (newPicture && picture.size() != shownPicture.size())
        zwlr_layer_surface_v1_set_size(layerSurface, static_cast<std::uint32_t>(picture.width()),
                                       static_cast<std::uint32_t>(picture.height()));
    if (place != shownPlace)
        zwlr_layer_surface_v1_set_margin(layerSurface, place.y(), 0, 0, place.x());
    if (newPicture && !attachPicture()) {
        turnOff(std::string("no memory for the indicator's picture (") + std::strerror(errno) +
                ")");
        return;
    }
    wl_surface_commit(surface);
    shownPicture = picture;
    shownPlace = place;
    flush();
}

void OverlayState::flush() {
    if (!display)
        return;
    if (wl_display_flush(display) >= 0) {
        if (writable)
            writable->setEnabled(false);
        return;
    }
    if (errno == EAGAIN) {
        // The socket is full: the rest leaves when it can take more.
        if (writable)
            writable->setEnabled(true);
        return;
    }
    turnOff(std::string("the connection to the compositor broke (") + std::strerror(errno) + ")");
    readable->setEnabled(false);
}

void OverlayState::readEvents() {
    while (wl_display_prepare_read(display) != 0)
        wl_display_dispatch_pending(display);
    if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0 ||
        wl_display_get_error(display) != 0) {
        turnOff("the compositor ended the indicator's connection");
        readable->setEnabled(false);
        writable->setEnabled(false);
        return;
    }
    flush();
}

std::unique_ptr<LayerShellOverlay> LayerShellOverlay::connect(Log log, std::string* error) {
    auto state = std::make_unique<OverlayState>();
    state->log = std::move(log);
    state->display = wl_display_connect(nullptr);
    if (!state->display) {
        *error = std::string("no Wayland compositor answers (") + std::strerror(errno) + ")";
        return nullptr;
    }
    state->registry = wl_display_get_registry(state->display);
    wl_registry_add_listener(state->registry, &kRegistryListener, state.get());
    // The globals are all told before this callback's answer.
    state->globalsDone = wl_display_sync(state->display);
    wl_callback_add_listener(state->globalsDone, &kGlobalsDoneListener, state.get());
    const int fd = wl_display_get_fd(state->display);
    OverlayState* raw = state.get();
    state->readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(state->readable.get(), &QSocketNotifier::activated,
                     [raw] { raw->readEvents(); });
    state->writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    state->writable->setEnabled(false);
    QObject::connect(state->writable.get(), &QSocketNotifier::activated, [raw] { raw->flush(); });
    state->flush();
    return std::unique_ptr<LayerShellOverlay>(new LayerShellOverlay(std::move(state)));
}

LayerShellOverlay::LayerShellOverlay(std::unique_ptr<OverlayState> state)
    : state_(std::move(state)) {}

LayerShellOverlay::~LayerShellOverlay() = default;

void LayerShellOverlay::show(const QImage& picture, QPoint topLeft) {
    OverlayState& state = *state_;
    if (state.off)
        return;
    const int width = std::clamp(picture.width(), 0, kMaxSide);
    const int height = std::clamp(picture.height(), 0, kMaxSide);
    state.picture =
        picture.copy(0, 0, width, height).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    state.place =
        QPoint(std::clamp(topLeft.x(), 0, kFarthest), std::clamp(topLeft.y(), 0, kFarthest));
    state.present();
}

bool LayerShellOverlay::on() const {
    return !state_->off;
}

} // namespace velmora::wayland
