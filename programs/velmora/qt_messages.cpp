// SPDX-License-Identifier: MIT
#include "qt_messages.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <string_view>

namespace velmora::program {

namespace {

void printQtMessage(QtMsgType, const QMessageLogContext& context, const QString& message) {
    // The program's own lines (log_categories.h) are written as they were said; Qt's are
    // split into lines.
    const std::string_view category = context.category ? context.category : "";
    std::string text = category.starts_with("velmora.") ? "velmora: " + message.toStdString() + "\n"
                                                        : formatQtMessage(message.toStdString());
    // One write per message, so that lines from several threads do not interleave.
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace

std::string formatQtMessage(const std::string& message) {
    std::string text;
    std::string_view rest = message;
    while (!rest.empty()) {
        auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        text.append("velmora: ").append(line).append("\n");
    }
    return text;
}

void installQtMessageHandler() {
    qInstallMessageHandler(printQtMessage);
}

} // namespace velmora::program
