// SPDX-License-Identifier: MIT
#include "qt_pasteboard.h"

#include <QMimeData>

namespace velmora::qt {

QString mimeTypeForPasteboardType(const std::string& type) {
    if (type == kRowDragType)
        return QStringLiteral("text/plain");
    // Types are the program's own names; anything outside a MIME token becomes '_'.
    QString token;
    for (char c : type) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        token += plain ? QChar::fromLatin1(c) : QChar('_');
    }
    return QStringLiteral("application/x-velmora-pasteboard.") + token;
}

void QtPasteboard::declareTypes(const std::vector<std::string>& types) {
    declared_ = std::set<std::string>(types.begin(), types.end());
    data_.clear();
}

bool QtPasteboard::setDataForType(const Data& data, const std::string& type) {
    if (!declared_.contains(type))
        return false;
    data_[type] = data;
    return true;
}

std::optional<Data> QtPasteboard::dataForType(const std::string& type) const {
    auto it = data_.find(type);
    if (it == data_.end())
        return std::nullopt;
    return it->second;
}

std::unique_ptr<QMimeData> QtPasteboard::toMimeData() const {
    auto mime = std::make_unique<QMimeData>();
    for (const auto& [type, data] : data_)
        mime->setData(mimeTypeForPasteboardType(type),
                      QByteArray(reinterpret_cast<const char*>(data.data()),
                                 static_cast<qsizetype>(data.size())));
    return mime;
}

std::optional<Data> MimePasteboard::dataForType(const std::string& type) const {
    const QString format = mimeTypeForPasteboardType(type);
    if (!mime_ || !mime_->hasFormat(format))
        return std::nullopt;
    const QByteArray bytes = mime_->data(format);
    return Data(bytes.begin(), bytes.end());
}

bool carriesAnyType(const QMimeData* mime, const std::vector<std::string>& types) {
    if (!mime)
        return false;
    for (const auto& type : types)
        if (mime->hasFormat(mimeTypeForPasteboardType(type)))
            return true;
    return false;
}

} // namespace velmora::qt
