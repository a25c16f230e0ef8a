// SPDX-License-Identifier: MIT
#include "kde_keyboard_layouts.h"

#include "platform/images.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QRegularExpression>

#include <algorithm>

namespace velmora::kde {

namespace {

constexpr const char* kService = "org.kde.keyboard";
constexpr const char* kPath = "/Layouts";
constexpr const char* kInterface = "org.kde.KeyboardLayouts";
constexpr qsizetype kMaxNameCharacters = 256;

std::string idOf(const std::vector<NamedLayout>& known, const QString& shortName,
                 const QString& longName, std::size_t index) {
    const std::string description = longName.toStdString();
    for (const NamedLayout& layout : known)
        if (!description.empty() && layout.description == description)
            return inputSourceIdOf(layout);
    static const QRegularExpression code(
        QStringLiteral("^[a-z0-9_-]{1,32}(\\([A-Za-z0-9_-]{1,64}\\))?$"));
    if (code.match(shortName).hasMatch())
        return "xkb:" + shortName.toStdString();
    return "xkb:group" + std::to_string(index + 1);
}

} // namespace

std::optional<std::vector<KdeLayout>> layoutsOfReply(const QDBusMessage& reply,
                                                     const std::vector<NamedLayout>& known) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != "a(sss)")
        return std::nullopt;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    std::vector<KdeLayout> layouts;
    list.beginArray();
    while (!list.atEnd()) {
        QString shortName, displayName, longName;
        list.beginStructure();
        list >> shortName >> displayName >> longName;
        list.endStructure();
        if (layouts.size() >= KdeKeyboardLayouts::kMaxLayouts)
            continue;
        const QString shown = !longName.isEmpty() ? longName : shortName;
        layouts.push_back({idOf(known, shortName.left(kMaxNameCharacters),
                                longName.left(kMaxNameCharacters), layouts.size()),
                           shown.left(kMaxNameCharacters).toStdString()});
    }
    list.endArray();
    return layouts;
}

KdeKeyboardLayouts::KdeKeyboardLayouts(QDBusConnection bus, std::vector<NamedLayout> known,
                                       Post post, Log log)
    : bus_(std::move(bus)), known_(std::move(known)), log_(std::move(log)), told_(std::move(post)) {
    bus_.connect(kService, kPath, kInterface, "layoutChanged", this, SLOT(onLayoutChanged(uint)));
    bus_.connect(kService, kPath, kInterface, "layoutListChanged", this,
                 SLOT(onLayoutListChanged()));
    // What the keyboard has before anything asks: waited for, bounded.
    takeList(bus_.call(call("getLayoutsList"), QDBus::Block, kCallTimeoutMs));
    takeIndex(bus_.call(call("getLayout"), QDBus::Block, kCallTimeoutMs));
    if (layouts_.empty())
        sayOnce("KWin's keyboard service told no layouts yet; the rules wait for them");
    told_.know(ids(), currentId());
}

QDBusMessage KdeKeyboardLayouts::call(const char* method) const {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

void KdeKeyboardLayouts::takeList(const QDBusMessage& reply) {
    std::optional<std::vector<KdeLayout>> layouts = layoutsOfReply(reply, known_);
    if (!layouts) {
        sayOnce("KWin's keyboard service gave no usable list of layouts (" +
                (reply.type() == QDBusMessage::ErrorMessage
                     ? reply.errorMessage().toStdString()
                     : "signature " + reply.signature().toStdString()) +
                ")");
        return;
    }
    layouts_ = std::move(*layouts);
    if (current_ && *current_ >= layouts_.size())
        current_.reset();
}

void KdeKeyboardLayouts::takeIndex(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != "u") {
        sayOnce("KWin's keyboard service gave no usable current layout");
        return;
    }
    onLayoutChanged(reply.arguments().constFirst().toUInt());
}

void KdeKeyboardLayouts::onLayoutChanged(uint index) {
    current_ = index < layouts_.size() ? std::optional<std::size_t>(index) : std::nullopt;
    announce();
}

void KdeKeyboardLayouts::onLayoutListChanged() {
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(call("getLayoutsList"), kCallTimeoutMs), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this](QDBusPendingCallWatcher* list) {
                         list->deleteLater();
                         takeList(list->reply());
                         // The index after the list, which it indexes into.
                         auto* index = new QDBusPendingCallWatcher(
                             bus_.asyncCall(call("getLayout"), kCallTimeoutMs), this);
                         QObject::connect(index, &QDBusPendingCallWatcher::finished, this,
                                          [this](QDBusPendingCallWatcher* reply) {
                                              reply->deleteLater();
                                              takeIndex(reply->reply());
                                              announce();
                                          });
                     });
}

std::vector<std::string> KdeKeyboardLayouts::ids() const {
    std::vector<std::string> ids;
    for (const KdeLayout& layout : layouts_)
        ids.push_back(layout.id);
    return ids;
}

std::optional<std::string> KdeKeyboardLayouts::currentId() const {
    return current_ ? std::optional(layouts_[*current_].id) : std::nullopt;
}

void KdeKeyboardLayouts::announce() {
    told_.tell(ids(), currentId());
}

InputSource KdeKeyboardLayouts::sourceAt(std::size_t index) const {
    InputSource source;
    source.inputSourceID = layouts_[index].id;
    source.localizedName = layouts_[index].name;
    source.nativeHandle = static_cast<std::int64_t>(index);
    if (!layouts_[index].id.starts_with("xkb:group"))
        source.iconRef = kLayoutBadgeIconRefPrefix + layouts_[index].id.substr(4);
    return source;
}

std::optional<InputSource> KdeKeyboardLayouts::currentSource() {
    if (!current_)
        return std::nullopt;
    return sourceAt(*current_);
}

std::vector<InputSource> KdeKeyboardLayouts::sourcesMatching(const std::optional<std::string>& id,
                                                             bool includeAllInstalled) {
    std::vector<InputSource> sources;
    for (std::size_t i = 0; i < layouts_.size(); ++i)
        if (!id || layouts_[i].id == *id)
            sources.push_back(sourceAt(i));
    if (id && sources.empty() && includeAllInstalled)
        for (const NamedLayout& layout : known_) {
            if (inputSourceIdOf(layout) != *id)
                continue;
            InputSource missing;
            missing.inputSourceID = *id;
            missing.localizedName = layout.description;
            missing.isEnabled = false;
            missing.isSelectCapable = false;
            missing.nativeHandle = static_cast<std::int64_t>(layouts_.size());
            sources.push_back(std::move(missing));
            break;
        }
    return sources;
}

void KdeKeyboardLayouts::select(const InputSource& source) {
    if (!source.inputSourceID || !source.isEnabled)
        return;
    const auto at = std::find_if(layouts_.begin(), layouts_.end(), [&](const KdeLayout& layout) {
        return layout.id == *source.inputSourceID;
    });
    if (at == layouts_.end())
        return;
    const auto index = static_cast<std::size_t>(at - layouts_.begin());
    if (current_ == index)
        return;
    current_ = index; // as KWin will say; its layoutChanged then announces the change
    QDBusMessage set = call("setLayout");
    set << static_cast<uint>(index);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(set, kCallTimeoutMs), this);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* reply) {
            reply->deleteLater();
            const QDBusMessage answer = reply->reply();
            if (answer.type() == QDBusMessage::ErrorMessage ||
                (answer.signature() == "b" && !answer.arguments().constFirst().toBool()))
                sayOnce("KWin refused to switch a layout" +
                        (answer.type() == QDBusMessage::ErrorMessage
                             ? ": " + answer.errorMessage().toStdString()
                             : std::string()));
        });
}

void KdeKeyboardLayouts::sayOnce(const std::string& line) {
    if (!log_ || std::find(said_.begin(), said_.end(), line) != said_.end())
        return;
    said_.push_back(line);
    log_(line);
}

} // namespace velmora::kde
