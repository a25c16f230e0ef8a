// SPDX-License-Identifier: MIT
#include "kwin_script_text.h"

namespace velmora::kde {

namespace {

// What both scripts share: calling the program's object, a window's values as text.
QString prelude(const QString& service, const char* path) {
    // Plasma 5 gives a window's class as a byte array (an ArrayBuffer in the script), Plasma 6
    // as a string: text() makes a string of either. A window id is KWin's internal UUID.
    static const char* const kPrelude = R"(
var PROGRAM = ["%1", "%2", "%3"];
function text(value) {
    if (value === undefined || value === null)
        return "";
    if (typeof value === "object" && value.byteLength !== undefined)
        return String.fromCharCode.apply(null, new Uint8Array(value));
    return String(value);
}
function tell(method, args) {
    callDBus.apply(null, PROGRAM.concat([method]).concat(args));
}
function frame(window) {
    var g = window.frameGeometry || window.geometry || {};
    return [g.x, g.y, g.width, g.height].map(function (n) { return text(Math.round(n || 0)); }).join(",");
}
function described(window) {
    return [text(window.internalId), text(window.desktopFileName), text(window.resourceClass),
        text(window.pid), frame(window)];
}
)";
    return QString::fromLatin1(kPrelude).arg(service, QString::fromLatin1(path),
                                             QString::fromLatin1(kActivationInterface));
}

} // namespace

QString kwinActivationScript(const QString& service) {
    return prelude(service, kActivationPath) + QStringLiteral(R"(
function front() {
    return workspace.activeWindow || workspace.activeClient;
}
// Moves and resizes of the window in front only; each window is followed once.
var followed = {};
function follow(window) {
    var id = text(window.internalId);
    if (followed[id] || !window.frameGeometryChanged)
        return;
    followed[id] = true;
    window.frameGeometryChanged.connect(function () {
        var now = front();
        if (now && text(now.internalId) === id)
            tell("windowMoved", [id, frame(window)]);
    });
}
function activated(window) {
    if (!window)
        return;
    follow(window);
    tell("windowActivated", described(window));
}
function closed(window) {
    if (!window)
        return;
    delete followed[text(window.internalId)];
    tell("windowClosed", [text(window.internalId)]);
}
(workspace.windowActivated || workspace.clientActivated).connect(activated);
(workspace.windowRemoved || workspace.clientRemoved).connect(closed);
activated(front());
)");
}

QString kwinListingScript(const QString& service) {
    return prelude(service, kListingPath) + QStringLiteral(R"(
var all = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < all.length; ++i)
    if (all[i].normalWindow)
        tell("window", described(all[i]));
tell("listed", []);
)");
}

} // namespace velmora::kde
