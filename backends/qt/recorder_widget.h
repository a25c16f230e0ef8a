// SPDX-License-Identifier: MIT
#pragma once
// The widget in which the user records a shortcut. A click starts a recording: the widget
// grabs the keyboard (so that no hotkey of ours or of anyone else fires meanwhile, and no
// shortcut of the window takes the keys; in a pop-up, which holds the keyboard already, it
// keeps the pop-up's grab), shows the modifiers held, and takes the first key
// pressed with them. What it records is the key's position (the native key code through the
// key translation) and the modifiers, never the symbol typed. Backspace or Delete without
// modifiers, or the small clear mark, clear the shortcut; Escape, a click elsewhere, losing the
// focus or being hidden give up and keep the old one. One widget records at a time. Every end
// of a recording (and a click on the clear mark) is reported once.

#include "key_translation.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace velmora::qt {

struct RecordedShortcut {
    std::int64_t keyCode = 0;
    std::uint64_t modifierFlags = 0;
    bool operator==(const RecordedShortcut&) const = default;
};

class RecorderWidget final : public QWidget {
  public:
    enum class Ending { Recorded, Cleared, Cancelled };
    using EndedHandler = std::function<void(Ending ending)>;

    explicit RecorderWidget(KeyTranslation keys);
    ~RecorderWidget() override;

    void setShortcut(std::optional<RecordedShortcut> shortcut);
    const std::optional<RecordedShortcut>& shortcut() const { return shortcut_; }
    // Modifiers outside ALLOWED are dropped; REQUIRED must all be held; a key without
    // modifiers is taken only when ALLOWSEMPTY.
    void setAllowedModifierFlags(std::uint64_t allowed, std::uint64_t required, bool allowsEmpty);
    // Runs last in every ending: it may delete this widget.
    void setEndedHandler(EndedHandler handler) { ended_ = std::move(handler); }

    void startRecording();
    // Gives up a recording in progress, keeping the old shortcut; nothing when not recording.
    void cancelRecording();
    bool isRecording() const { return recording_; }
    // The widget recording now, if any.
    static RecorderWidget* recordingWidget();

    // What the widget shows: the shortcut, the placeholder, or during a recording the
    // modifiers held.
    QString displayedText() const;
    // Where the clear mark is; empty while it is not shown (no shortcut, or recording).
    QRect clearMarkRect() const;

    QSize sizeHint() const override { return {110, 22}; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // The part of the widget that is seen: a table cell may cut off its lower part.
    QRect shownArea() const;
    void stopListening();
    void end(Ending ending);

    KeyTranslation keys_;
    std::optional<RecordedShortcut> shortcut_;
    std::uint64_t allowed_ = ~std::uint64_t{0};
    std::uint64_t required_ = 0;
    bool allowsEmpty_ = true;
    bool recording_ = false;
    bool grabbed_ = false;   // whether the recording took the keyboard itself
    std::uint64_t held_ = 0; // modifiers held during a recording
    EndedHandler ended_;
};

} // namespace velmora::qt
