// SPDX-License-Identifier: MIT
#include "kwin_script_text.h"

namespace velmora::kde {

QString kwinActivationScript(const QString& service) {
    // Plasma 5 gives a window's class as a byte array (an ArrayBuffer in the script), Plasma 6
    // as a string: text() makes a string of either. A window id is KWin's internal UUID.
    static const char* const kScript = R"(
var AGENT = ["%1", "%2", "%3"];
function text(value) {
    if (value === undefined || value === null)
        return "";
    if (typeof value === "object" && value.byteLength !== undefined)
        return String.fromCharCode.apply(null, new Uint8Array(value));
    return String(value);
}
function tell(method, args) {
    callDBus.apply(null, AGENT.concat([method]).concat(args));
}
function frame(window) {
    var g = window.frameGeometry || window.geometry || {};
    return [g.x, g.y, g.width, g.height].map(function (n) { return text(Math.round(n || 0)); }).join(",");
}
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
    tell("windowActivated", [text(window.internalId), text(window.desktopFileName),
        text(window.resourceClass), text(window.pid), frame(window)]);
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
)";
    return QString::fromLatin1(kScript).arg(service, QString::fromLatin1(kActivationPath),
                                            QString::fromLatin1(kActivationInterface));
}

} // namespace velmora::kde
