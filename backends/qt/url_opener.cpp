#include "url_opener.h"

#include <QProcess>
#include <QStandardPaths>
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
    const QString handler = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (handler.isEmpty()) {
        say("cannot open " + url + ": xdg-open (package xdg-utils) is not installed");
        return false;
    }
    if (!QProcess::startDetached(handler, {parsed.toString(QUrl::FullyEncoded)})) {
        say("cannot open " + url + ": " + handler.toStdString() + " did not start");
        return false;
    }
    return true;
}

} // namespace velmora::qt
