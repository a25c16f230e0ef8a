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
function activated(window) {
    if (!window)
        return;
    var g = window.frameGeometry || window.geometry || {};
    tell("windowActivated", [text(window.internalId), text(window.desktopFileName),
        text(window.resourceClass), text(window.pid),
        [g.x, g.y, g.width, g.height].map(function (n) { return text(Math.round(n || 0)); }).join(",")]);
}
function closed(window) {
    if (window)
        tell("windowClosed", [text(window.internalId)]);
}
(workspace.windowActivated || workspace.clientActivated).connect(activated);
(workspace.windowRemoved || workspace.clientRemoved).connect(closed);
activated(workspace.activeWindow || workspace.activeClient);
)";
    return QString::fromLatin1(kScript).arg(service, QString::fromLatin1(kActivationPath),
                                            QString::fromLatin1(kActivationInterface));
}

} // namespace velmora::kde
