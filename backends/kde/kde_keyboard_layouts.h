// SPDX-License-Identifier: MIT
#pragma once
// Keyboard layouts on KWin through its keyboard service (org.kde.keyboard, /Layouts): the
// list (getLayoutsList: short name, display name, long name for each), the current index
// (getLayout, signal layoutChanged), selecting (setLayout) and a new list (layoutListChanged).
// The IDs are those X11 uses, "xkb:de" or "xkb:de(nodeadkeys)": the long name is the XKB
// registry's description of layout and variant (KNOWN turns it into them), else the short name
// stands for itself when it looks like "de" or "de(nodeadkeys)", else "xkb:group<N>".
// The list at start is waited for (bounded); every later call leaves at once and its reply,
// like any value KWin sends, is checked before it counts.
//
// Main thread only, once the QCoreApplication exists.

#include "platform/distributed_notifications.h"
#include "platform/input_source_changes.h"
#include "platform/text_input_sources.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora::kde {

struct KdeLayout {
    std::string id;   // "xkb:de(nodeadkeys)"
    std::string name; // what the user reads
};

// The layouts in a getLayoutsList reply; none when the reply is not a list of three strings
// each. At most kMaxLayouts are read.
std::optional<std::vector<KdeLayout>> layoutsOfReply(const QDBusMessage& reply,
                                                     const std::vector<NamedLayout>& known);

class KdeKeyboardLayouts final : public QObject, public InputSources {
    Q_OBJECT

  public:
    using Post = std::function<void(DesktopBroadcast)>;
    using Log = std::function<void(const std::string& line)>;
    static constexpr std::size_t kMaxLayouts = 32;
    static constexpr int kCallTimeoutMs = 2000;

    KdeKeyboardLayouts(QDBusConnection bus, std::vector<NamedLayout> known, Post post, Log log);

    std::optional<InputSource> currentSource() override;
    std::vector<InputSource> sourcesMatching(const std::optional<std::string>& id,
                                             bool includeAllInstalled) override;
    void select(const InputSource& source) override;

  private Q_SLOTS:
    void onLayoutChanged(uint index);
    void onLayoutListChanged();

  private:
    QDBusMessage call(const char* method) const;
    void takeList(const QDBusMessage& reply);
    void takeIndex(const QDBusMessage& reply);
    void announce();
    std::vector<std::string> ids() const;
    std::optional<std::string> currentId() const;
    InputSource sourceAt(std::size_t index) const;
    void sayOnce(const std::string& line);

    QDBusConnection bus_;
    std::vector<NamedLayout> known_;
    Log log_;
    std::vector<KdeLayout> layouts_;
    std::optional<std::size_t> current_;
    InputSourceChanges told_;
    std::vector<std::string> said_;
};

} // namespace velmora::kde
