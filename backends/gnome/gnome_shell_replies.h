// SPDX-License-Identifier: MIT
#pragma once
// What the Shell extension sends, read as an untrusted peer's words: each reply or signal is
// taken only with the exact signature it should have, text is cut to a bound and dropped when
// it holds no usable value, lists stop at a bound.

#include <QDBusMessage>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::gnome {

inline constexpr const char* kShellService = "org.gnome.Shell";
inline constexpr const char* kExtensionPath = "/com/quorvant/Velmora/Shell";
inline constexpr const char* kExtensionInterface = "com.quorvant.Velmora.Shell1";
inline constexpr const char* kExtensionUuid = "velmora@quorvant.com";
// The name the extension answers alone, and the agent's object its top-bar button calls.
inline constexpr const char* kAgentService = "com.quorvant.Velmora";
inline constexpr const char* kAgentPath = "/com/quorvant/Velmora";
inline constexpr const char* kAgentInterface = "com.quorvant.Velmora.Agent1";

// Longer text counts as not given.
inline constexpr qsizetype kMaxTextCharacters = 512;
// Sources read at most from one list.
inline constexpr std::size_t kMaxSources = 64;

// The focused window as the extension tells it; all empty and 0 when nothing has the focus.
struct GnomeFocus {
    std::optional<std::string> desktopId; // "org.gnome.TextEditor", without ".desktop"
    std::optional<std::string> wmClass;   // X11 class, or the Wayland app id
    std::int64_t pid = 0;
    bool empty() const { return !desktopId && !wmClass && pid == 0; }
};

// An input source of GNOME's: its own pair, and the ID rules name it by.
struct GnomeSource {
    QString type;         // "xkb", "ibus"
    QString id;           // "de+nodeadkeys", "libpinyin"
    std::string sourceId; // "xkb:de(nodeadkeys)", "ibus:libpinyin"
    std::string name;
};

// GNOME's (TYPE, ID) as a rule's ID; none for a type the agent does not know or an ID that
// is no layout or engine name.
std::optional<std::string> sourceIdOf(const QString& type, const QString& id);

// A GetFocus reply or a FocusChanged signal; none when its signature is not (ssu).
std::optional<GnomeFocus> focusOf(const QDBusMessage& message);

// A GetInputSources reply; none when it is no a(sss). Sources of an unknown type are skipped
// and counted in SKIPPED.
std::optional<std::vector<GnomeSource>> sourcesOf(const QDBusMessage& reply, int* skipped);

// A GetCurrentInputSource reply or CurrentInputSourceChanged signal: GNOME's pair, which may
// be empty; none when its signature is not (ss).
std::optional<std::pair<QString, QString>> currentOf(const QDBusMessage& message);

// What GNOME says of the extension (org.gnome.Shell.Extensions.GetExtensionInfo's "state").
enum class ExtensionState { Enabled, Disabled, NotInstalled, Failed, Unknown };
ExtensionState extensionStateOf(const QDBusMessage& reply);
// The same, from the dictionary ExtensionStateChanged carries.
ExtensionState extensionStateOf(const QVariantMap& info);
const char* describe(ExtensionState state);

// Said when the extension does not answer: how to enable it.
std::string enableAdvice();

} // namespace velmora::gnome
