// SPDX-License-Identifier: MIT
// The X11 services against a live display that x11_services.sh prepared: openbox, the layouts
// us,de,ru, and windows of the classes ListA, ListB (active, in front) and ListC (minimized),
// made in the order A, C, B. Their ids come in E2E_WINDOW_A, E2E_WINDOW_B and E2E_WINDOW_C.
// What the agent reads of the window list (owners, bounds, front to back) the indicator and the
// address-bar switch depend on: tests/e2e/indicator.sh and address_bar.sh.

#include "platform/desktop_broadcast_hub.h"
#include "pump_until.h"
#include "split_monitors.h"
#include "x11/application_identities.h"
#include "x11/single_instance.h"
#include "x11/window_icons.h"
#include "x11/x11_connection.h"
#include "x11/x11_reset_window.h"
#include "x11/x11_screens.h"
#include "x11/x11_workspace.h"
#include "x11/xcb_xkb.h"
#include "x11/xkb_input_sources.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <unistd.h>

namespace velmora::x11 {
namespace {

xcb_window_t windowFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? static_cast<xcb_window_t>(std::strtoul(value, nullptr, 0))
                 : xcb_window_t{XCB_WINDOW_NONE};
}

class LiveDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        connection_ = X11Connection::open("", &error);
        ASSERT_TRUE(connection_) << error;
        a_ = windowFromEnvironment("E2E_WINDOW_A");
        b_ = windowFromEnvironment("E2E_WINDOW_B");
        c_ = windowFromEnvironment("E2E_WINDOW_C");
        ASSERT_TRUE(a_ && b_ && c_) << "run through x11_services.sh";
    }

    // Hands out events until DONE holds; false when a generous deadline passed first.
    template <typename Done> bool pumpUntil(Done done) {
        return x11::pumpUntil(*connection_, done);
    }

    // A client message about WINDOW, sent on C to TO; to the root window it goes the way pagers
    // ask the window manager.
    void sendMessage(xcb_window_t window, xcb_atom_t type, std::uint32_t request,
                     xcb_connection_t* c = nullptr, xcb_window_t to = XCB_WINDOW_NONE) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.window = window;
        message.format = 32;
        message.type = type;
        message.data.data32[0] = request;
        xcb_send_event(c ? c : connection_->xcb(), 0, to ? to : connection_->root(),
                       to ? XCB_EVENT_MASK_NO_EVENT
                          : XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY |
                                XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c ? c : connection_->xcb());
    }

    // What xdotool windowactivate sends: a pager's request to activate WINDOW.
    void requestActivation(xcb_window_t window) {
        sendMessage(window, connection_->ewmh()._NET_ACTIVE_WINDOW, 2);
    }

    X11Workspace& workspace() {
        if (!workspace_)
            workspace_.emplace(*connection_, identities_.emplace(*connection_), log_);
        return *workspace_;
    }

    // A window of class WM_CLASS that C maps: a panel or a menu when OVERRIDE_REDIRECT, else one
    // the window manager lists.
    xcb_window_t mapWindow(xcb_connection_t* c, const std::string& wmClass, bool overrideRedirect) {
        xcb_window_t w = xcb_generate_id(c);
        const std::uint32_t redirect = overrideRedirect;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, connection_->root(), 100, 50, 300, 40, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT, &redirect);
        const std::string value = "x" + std::string(1, '\0') + wmClass + std::string(1, '\0');
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(value.size()), value.data());
        xcb_map_window(c, w);
        xcb_flush(c);
        return w;
    }
    static std::optional<RunningApplication> running(X11Workspace& workspace,
                                                     const std::string& id) {
        for (const auto& app : workspace.runningApplications())
            if (app.bundleIdentifier == id)
                return app;
        return std::nullopt;
    }

    std::unique_ptr<X11Connection> connection_;
    const std::function<void(const std::string&)> log_ = [](const std::string&) {};
    std::optional<ApplicationIdentities> identities_;
    std::optional<X11Workspace> workspace_;
    xcb_window_t a_ = XCB_WINDOW_NONE, b_ = XCB_WINDOW_NONE, c_ = XCB_WINDOW_NONE;
};

TEST_F(LiveDisplay, TheCurrentInputSourceFollowsTheEventsInOrder) {
    DesktopBroadcastHub notifications;
    XkbInputSources sources(*connection_, notifications, log_);
    // The groups as sources, their names and selection, and a source the keymap lacks:
    // tests/e2e/switching.sh, popover.sh and keymap_change.sh.
    // Inside an event handler the current group comes from the events already handled, not from
    // the server: a change another client made before the event must be seen, and so must our own
    // selection made in the handler before its notification arrives.
    std::string error;
    auto other = X11Connection::open("", &error);
    ASSERT_TRUE(other) << error;
    // Another client locks ru, then changes a root property: its notification reaches us after
    // the group's state notification.
    xcb_xkb_latch_lock_state(other->xcb(), XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, 2, 0, 0, 0);
    const xcb_atom_t atom = internAtom(other->xcb(), "velmora-test-marker");
    ASSERT_NE(atom, XCB_ATOM_NONE);
    std::vector<std::string> seen;
    connection_->addEventHandler([&](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7F) != XCB_PROPERTY_NOTIFY)
            return;
        const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (e.atom != atom || !seen.empty())
            return;
        seen.push_back(*sources.currentSource()->inputSourceID);
        sources.select(sources.sourcesMatching("xkb:de", false).at(0));
        seen.push_back(*sources.currentSource()->inputSourceID);
    });
    std::uint8_t value = 1;
    xcb_change_property(other->xcb(), XCB_PROP_MODE_REPLACE, other->root(), atom, XCB_ATOM_CARDINAL,
                        8, 1, &value);
    other->flush();
    ASSERT_TRUE(pumpUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"xkb:ru", "xkb:de"}));
    // Outside a handler the server is asked, and it agrees.
    ASSERT_TRUE(pumpUntil([&] { return sources.currentSource()->inputSourceID == "xkb:de"; }));
}

TEST_F(LiveDisplay, WorkspaceFollowsTheActiveWindowByApplication) {
    X11Workspace& workspace = this->workspace();
    // Running applications in the order they came.
    std::vector<std::string> running;
    for (const auto& app : workspace.runningApplications())
        if (app.bundleIdentifier && app.bundleIdentifier->starts_with("List"))
            running.push_back(*app.bundleIdentifier);
    EXPECT_EQ(running, (std::vector<std::string>{"ListA", "ListC", "ListB"}));

    // Another thread asks all along, as the address-bar check does from the global queue; the
    // window and the application it sees always belong together. Observers see, from other
    // threads too, the front they are told about.
    std::atomic<int> mismatches{0};
    std::jthread reader([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            X11Workspace::ActiveWindowSnapshot front = workspace.activeWindowSnapshot();
            std::string id = front.application ? front.application->bundleIdentifier.value_or("")
                                               : std::string();
            if ((front.window == a_ && id != "ListA") || (front.window == b_ && id != "ListB"))
                ++mismatches;
        }
    });
    std::vector<std::string> activated;
    std::vector<std::string> seenElsewhere;
    workspace.addObserver(kApplicationActivatedNotification, [&](const WorkspaceNotification& n) {
        activated.push_back(n.application->bundleIdentifier.value_or("-"));
        auto front =
            std::async(std::launch::async, [&] { return workspace.frontApplication(); }).get();
        seenElsewhere.push_back(front ? front->bundleIdentifier.value_or("-") : "none");
    });
    requestActivation(a_);
    ASSERT_TRUE(pumpUntil([&] { return !activated.empty(); }));
    EXPECT_EQ(activated, (std::vector<std::string>{"ListA"}));
    EXPECT_EQ(workspace.frontApplication()->localizedName, "ListA");
    requestActivation(b_);
    ASSERT_TRUE(pumpUntil([&] { return activated.size() == 2; }));
    EXPECT_EQ(activated.back(), "ListB");
    reader.request_stop();
    reader.join();
    EXPECT_EQ(seenElsewhere, activated);
    EXPECT_EQ(mismatches.load(), 0);
}

// Images that remember the pixels they were made of.
class PixelImages final : public Images {
  public:
    struct Pixels final : Image {
        std::uint32_t width, height;
        std::vector<std::uint32_t> argb;
        Size size() const override { return Size{double(width), double(height)}; }
        bool isTemplate() const override { return false; }
        void setTemplate(bool) override {}
    };
    ImagePtr imageWithIconRef(const std::string&) override { return nullptr; }
    ImagePtr imageWithContentsOfURL(const std::string&) override { return nullptr; }
    std::optional<std::vector<std::uint8_t>> copyFirstImagePixelBytes(const Image&) override {
        return std::nullopt;
    }
    ImagePtr scaledImage(const Image&, Size) override { return nullptr; }
    ImagePtr imageWithARGBPixels(std::uint32_t width, std::uint32_t height,
                                 const std::vector<std::uint32_t>& argb) override {
        auto image = std::make_shared<Pixels>();
        image->width = width, image->height = height, image->argb = argb;
        return image;
    }
};

// The icon of an application without a desktop file (which tests/e2e/identity.sh shows in the
// rule table) is read again when one of its windows sets another.
TEST_F(LiveDisplay, WindowIconIsReadAgainWhenAWindowSetsAnother) {
    auto setIcon = [&](std::uint32_t side, std::uint32_t argb) {
        std::vector<std::uint32_t> words{side, side};
        words.insert(words.end(), side * side, argb);
        xcb_change_property(connection_->xcb(), XCB_PROP_MODE_REPLACE, a_,
                            connection_->ewmh()._NET_WM_ICON, XCB_ATOM_CARDINAL, 32,
                            static_cast<std::uint32_t>(words.size()), words.data());
        connection_->flush();
    };
    setIcon(16, 0x80ff0000u);
    ApplicationIdentities identities(*connection_);
    PixelImages images;
    WindowIcons windowIcons(*connection_, images, 20);
    X11Workspace workspace(*connection_, identities, log_, nullptr, &windowIcons);
    const auto path = workspace.applicationPath("ListA");
    ASSERT_TRUE(path);
    auto pixels = [&] {
        auto image = std::dynamic_pointer_cast<PixelImages::Pixels>(workspace.iconForFile(*path));
        return image ? std::vector<std::uint32_t>{image->width, image->argb[0]}
                     : std::vector<std::uint32_t>{};
    };
    EXPECT_EQ(pixels(), (std::vector<std::uint32_t>{16, 0x80ff0000u}));
    setIcon(24, 0xff00ff00u);
    EXPECT_TRUE(pumpUntil([&] { return pixels() == std::vector<std::uint32_t>{24, 0xff00ff00u}; }));
}

TEST_F(LiveDisplay, RestoredWindowUnhidesItsApplication) {
    X11Workspace& workspace = this->workspace();
    std::vector<std::string> unhidden;
    workspace.addObserver(kApplicationUnhiddenNotification, [&](const WorkspaceNotification& n) {
        unhidden.push_back(n.application->bundleIdentifier.value_or("-"));
    });
    requestActivation(c_); // openbox restores a minimized window that is activated
    ASSERT_TRUE(pumpUntil([&] { return !unhidden.empty(); }));
    EXPECT_EQ(unhidden, (std::vector<std::string>{"ListC"}));
    // Minimized again (ICCCM's WM_CHANGE_STATE request), as the other tests expect it.
    sendMessage(c_, internAtom(connection_->xcb(), "WM_CHANGE_STATE"), kWmStateIconic);
    requestActivation(b_);
    ASSERT_TRUE(pumpUntil([&] {
        return workspace.activeWindow() == b_ &&
               readWindowFacts(*connection_, {c_}, kStatePart)[0].wmState == kWmStateIconic;
    }));
}

// The agent's reset window, shown and hidden around activations, is never an application's
// window: no activation is of this process, and the window manager never lists it.
TEST_F(LiveDisplay, ResetWindowIsNeverAnApplication) {
    X11Workspace& workspace = this->workspace();
    std::vector<std::string> activated;
    workspace.addObserver(kApplicationActivatedNotification, [&](const WorkspaceNotification& n) {
        activated.push_back(n.application->bundleIdentifier.value_or("-"));
    });
    X11ResetWindow reset(*connection_);
    for (xcb_window_t w : {a_, b_}) {
        requestActivation(w);
        reset.makeKeyAndOrderFront();
        reset.orderOut();
        ASSERT_TRUE(pumpUntil([&] { return workspace.activeWindow() == w; }));
    }
    EXPECT_FALSE(activated.empty());
    for (const std::string& app : activated)
        EXPECT_NE(app, kOwnBundleIdentifier);
    for (const auto& app : workspace.runningApplications())
        EXPECT_NE(app.bundleIdentifier, kOwnBundleIdentifier);
}

TEST_F(LiveDisplay, AgentsOwnWindowsAreNoLaunchedApplication) {
    X11Workspace& workspace = this->workspace();
    std::vector<std::string> launched;
    workspace.addObserver(kApplicationLaunchedNotification, [&](const WorkspaceNotification& n) {
        launched.push_back(n.application->bundleIdentifier.value_or("-"));
    });
    // An ordinary window of the agent (its settings without a tray, a file dialog), then one
    // of another application; both normal windows that the window manager lists.
    xcb_connection_t* c = connection_->xcb();
    xcb_window_t agent = mapWindow(c, kOwnBundleIdentifier, false);
    xcb_window_t other = mapWindow(c, "ListD", false);
    auto policyOf = [&](const std::string& id) {
        auto app = running(workspace, id);
        return app ? std::optional(app->activationPolicy) : std::nullopt;
    };
    ASSERT_TRUE(pumpUntil([&] { return !launched.empty() && policyOf(kOwnBundleIdentifier); }));
    EXPECT_EQ(launched, (std::vector<std::string>{"ListD"}));
    EXPECT_EQ(policyOf(kOwnBundleIdentifier), ActivationPolicy::Accessory);
    EXPECT_EQ(policyOf("ListD"), ActivationPolicy::Regular);
    xcb_destroy_window(c, agent);
    xcb_destroy_window(c, other);
    connection_->flush();
    ASSERT_TRUE(pumpUntil([&] { return !policyOf("ListD"); }));
}

// rofi and dmenu: override-redirect windows that never become active. Their mapping is a
// panel that opens (and a launch, for the rule list), their unmapping one that closes; other
// override-redirect windows (menus) are nothing of the kind. A launcher seen stays listed.
TEST_F(LiveDisplay, LauncherPanelsFollowTheirWindows) {
    X11Workspace& workspace = this->workspace();
    std::vector<std::string> seen;
    std::optional<PlistDictionary> bounds;
    auto record = [&](const char* name, const std::string& label) {
        workspace.addObserver(name, [&seen, &bounds, label](const WorkspaceNotification& n) {
            const std::string entry = label + " " + n.application->bundleIdentifier.value_or("-");
            // Openbox may give the focus back to B, in front, late after the last test's windows
            // went: not a panel's doing.
            if (entry == "activated ListB")
                return;
            seen.push_back(entry);
            if (n.panelBounds)
                bounds = n.panelBounds;
        });
    };
    record(kApplicationLaunchedNotification, "launched");
    record(kLauncherPanelDidOpenNotification, "opened");
    record(kLauncherPanelDidCloseNotification, "closed");
    record(kApplicationActivatedNotification, "activated");
    // A launcher of its own: its end takes its windows with it.
    xcb_connection_t* launcher = xcb_connect(nullptr, nullptr);
    auto listed = [&](const std::string& id) { return running(workspace, id).has_value(); };
    mapWindow(launcher, "ListMenu", true);
    xcb_window_t rofi = mapWindow(launcher, "Rofi", true);
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 2; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"launched Rofi", "opened Rofi"}));
    EXPECT_EQ(bounds, (PlistDictionary{{"X", std::int64_t{100}},
                                       {"Y", std::int64_t{50}},
                                       {"Width", std::int64_t{300}},
                                       {"Height", std::int64_t{40}}}));
    EXPECT_TRUE(listed("Rofi"));
    EXPECT_FALSE(listed("ListMenu"));
    EXPECT_EQ(workspace.frontApplication()->bundleIdentifier, "ListB");
    // A panel already open when the workspace starts is listed.
    {
        std::string error;
        auto other = X11Connection::open("", &error);
        ASSERT_TRUE(other) << error;
        ApplicationIdentities otherIdentities(*other);
        X11Workspace later(*other, otherIdentities, log_);
        EXPECT_TRUE(running(later, "Rofi"));
    }
    xcb_unmap_window(launcher, rofi);
    xcb_flush(launcher);
    ASSERT_TRUE(pumpUntil([&] { return seen.size() >= 3; }));
    EXPECT_EQ(seen.back(), "closed Rofi");
    EXPECT_TRUE(listed("Rofi")); // once seen
    xcb_disconnect(launcher);    // its client's end closes it too: tests/e2e/launcher.sh
}

TEST_F(LiveDisplay, MainScreenIsTheMonitorOfTheActiveWindow) {
    X11Workspace& workspace = this->workspace();
    X11Screens screens(*connection_, workspace);
    auto main = screens.mainScreen();
    ASSERT_TRUE(main);
    EXPECT_NE(main->number, 0);
    EXPECT_EQ(main->frame, (Rect{{0, 0}, {1280, 800}}));
    EXPECT_EQ(screens.deepestScreen()->number, main->number);
    EXPECT_EQ(screens.mainScreen()->number, main->number); // stable
    auto move = [&](std::uint32_t x, std::uint32_t y) {
        const std::uint32_t values[] = {x, y, 200, 200};
        xcb_configure_window(connection_->xcb(), b_,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        connection_->flush();
    };

    // Asked while an event is handled, the question sends nothing to the server ahead of what
    // the handler sends next (a layout switch): the next read goes after the handlers.
    std::vector<unsigned> sent; // requests sent by the answer in each handled event
    connection_->addEventHandler([&](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7F) != XCB_CONFIGURE_NOTIFY || sent.size() == 2)
            return;
        xcb_connection_t* c = connection_->xcb();
        const unsigned before = xcb_get_input_focus(c).sequence;
        EXPECT_EQ(screens.mainScreen()->number, main->number);
        const unsigned after = xcb_get_input_focus(c).sequence;
        sent.push_back(after - before - 1);
        xcb_discard_reply(c, before);
        xcb_discard_reply(c, after);
    });
    move(10, 10);
    ASSERT_TRUE(pumpUntil([&] { return !sent.empty(); }));
    move(20, 20); // the second answer takes the read the first one asked for after its event
    ASSERT_TRUE(pumpUntil([&] { return sent.size() == 2; }));
    EXPECT_EQ(sent, (std::vector<unsigned>{0, 0}));

    // Two monitors of different heights: the active window's centre picks one, and frames
    // are measured up from the bottom of the shorter one at the origin.
    SplitMonitors split(*connection_);
    move(800, 500); // centre below the shorter monitor's bottom edge
    ASSERT_TRUE(
        pumpUntil([&] { return screens.mainScreen()->number == std::int32_t(split.right); }));
    EXPECT_EQ(screens.mainScreen()->frame, (Rect{{640, 600 - 800}, {640, 800}}));
    move(100, 100);
    ASSERT_TRUE(
        pumpUntil([&] { return screens.mainScreen()->number == std::int32_t(split.left); }));
    EXPECT_EQ(screens.mainScreen()->frame, (Rect{{0, 0}, {640, 600}}));
    EXPECT_EQ(screens.originScreen()->number, std::int32_t(split.left));
}

// A client message of another kind to the running agent's window is no request to reopen (a
// later start asking it: tests/e2e/popover.sh and program.sh).
TEST_F(LiveDisplay, OnlyAReopenRequestReopens) {
    std::string error;
    auto later = X11Connection::open("", &error);
    ASSERT_TRUE(later) << error;
    SingleInstance running(*connection_);
    ASSERT_EQ(running.claim(), SingleInstance::Outcome::Claimed);
    int reopened = 0;
    running.setReopenHandler([&] { ++reopened; });
    SingleInstance second(*later);
    ASSERT_EQ(second.claim(), SingleInstance::Outcome::AlreadyRunning);
    const std::string name =
        "_VELMORA_U" + std::to_string(getuid()) + "_S" + std::to_string(later->screenNumber());
    XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        later->xcb(), xcb_get_selection_owner(later->xcb(), internAtom(later->xcb(), name)),
        nullptr));
    ASSERT_TRUE(owner);
    sendMessage(owner->owner, XCB_ATOM_STRING, 0, later->xcb(), owner->owner);
    EXPECT_TRUE(second.askToReopen()); // a checked request: both were sent when it returns
    ASSERT_TRUE(pumpUntil([&] { return reopened >= 1; }));
    // Anything the server had for the agent is in by a round trip.
    roundTrip(connection_->xcb());
    connection_->dispatchQueued();
    EXPECT_EQ(reopened, 1);
}

} // namespace
} // namespace velmora::x11
