// SPDX-License-Identifier: MIT
#include "xml_error_position.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace velmora::store {

namespace {

const std::set<QString>& leafElements() {
    static const std::set<QString> names{"key",  "string", "integer", "real",
                                         "date", "data",   "true",    "false"};
    return names;
}

// The line and column (from 1, as editors count) of the last character read: the one where the
// mistake became plain (the end of a wrong tag, the last character of a truncated file).
std::string at(const QXmlStreamReader& reader, const QString& what) {
    return "line " + std::to_string(std::max<qint64>(reader.lineNumber(), 1)) + ", column " +
           std::to_string(std::max<qint64>(reader.columnNumber(), 1)) + ": " + what.toStdString();
}

// Qt's messages are sentences ("Premature end of document."); the program's are not.
QString asClause(QString text) {
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

std::string xmlErrorPosition(std::string_view bytes) {
    if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max()))
        return {};
    QXmlStreamReader reader(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    // Per open element: its name, and for a dictionary whether a key waits for its value.
    struct Open {
        QString name;
        bool keyWaits = false;
    };
    std::vector<Open> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.hasError())
            return at(reader, asClause(reader.errorString()));
        if (reader.isEndElement()) {
            if (!open.empty())
                open.pop_back();
            continue;
        }
        if (!reader.isStartElement())
            continue;
        const QString name = reader.name().toString();
        if (!open.empty() && leafElements().contains(open.back().name))
            return at(reader, "<" + name + "> inside <" + open.back().name + ">");
        if (name != "plist" && name != "dict" && name != "array" && !leafElements().contains(name))
            return at(reader, "<" + name + "> is no element of a property list");
        if (!open.empty() && open.back().name == "dict") {
            bool& keyWaits = open.back().keyWaits;
            if (name != "key" && !keyWaits)
                return at(reader, "<" + name + "> in a dictionary without its <key>");
            keyWaits = name == "key" && !keyWaits;
        }
        open.push_back({name, false});
    }
    return {};
}

} // namespace velmora::store
