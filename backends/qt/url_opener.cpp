// SPDX-License-Identifier: MIT
#include "url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace velmora::qt {

namespace {

constexpr std::size_t kLongestURL = 2048;

} // namespace

bool openURLWithDesktop(const std::string& url,
                        const std::function<void(const std::string&)>& log) {
    auto say = [&log](const std::string& line) {
        if (log)
            log(line);
    };
    if (url.size() > kLongestURL) {
        say("not opening a URL of " + std::to_string(url.size()) + " characters");
        return false;
    }
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    // A relative reference would be taken for a file name, and a leading "-" for an option.
    if (!parsed.isValid() || parsed.isRelative() || url.front() == '-') {
        say("not opening \"" + url + "\": it is not an absolute URL");
        return false;
    }
    // Qt hands it to the desktop: through the XDG portal inside a sandbox, otherwise to the
    // browser of $DEFAULT_BROWSER or $BROWSER, or to xdg-open.
    if (!QDesktopServices::openUrl(parsed)) {
        say("cannot open " + url +
            ": no program opens it here (is xdg-open, package xdg-utils, installed?)");
        return false;
    }
    return true;
}

} // namespace velmora::qt
