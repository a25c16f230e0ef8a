// SPDX-License-Identifier: MIT
#pragma once
// GNOME Shell's input source on the bus, (type, id, name) as a(sss) lists them;
// qDBusRegisterMetaType both it and its list before use.

#include <QDBusArgument>
#include <QMetaType>

struct WireInputSource {
    QString type, id, name;
};
Q_DECLARE_METATYPE(WireInputSource)
inline QDBusArgument& operator<<(QDBusArgument& out, const WireInputSource& source) {
    out.beginStructure();
    out << source.type << source.id << source.name;
    out.endStructure();
    return out;
}
inline const QDBusArgument& operator>>(const QDBusArgument& in, WireInputSource&) {
    return in; // only sent
}
