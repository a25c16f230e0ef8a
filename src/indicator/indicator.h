// SPDX-License-Identifier: MIT
#pragma once
// The floating indicator: a small borderless window showing the current input source's icon.
// It sits at a corner of the front window (when it follows windows) or of an open launcher
// panel, and its views are shown only while the indicator is switched on.
//
// All of it runs on the main thread, except isTextCursor, which any thread may call.

#include "detection/launcher_detection.h"
#include "detection/window_frame_lookup.h"
#include "engine/settings.h"
#include "platform/cursor.h"
#include "platform/images.h"
#include "platform/screens.h"
#include "platform/text_input_sources.h"
#include "platform/views.h"

#include <array>
#include <string_view>

namespace velmora {

class Indicator {
  public:
    // A launcher panel gets the indicator in its top-right corner, this far in from both edges.
    static constexpr int kPanelInset = 22;
    // An ordinary window gets it in its bottom-right corner: this far in from the right edge
    // and lifted this far above the bottom edge.
    static constexpr int kWindowInsetRight = 25;
    static constexpr int kWindowLiftBottom = 5;
    // Before any window is followed the indicator sits at the top-left of the screen at the
    // desktop's origin (moved in from both edges by the desktop's start margin).
    static constexpr int kStartOffsetFromTop = 20;
    // A template (glyph) icon is redrawn at this size on its backdrop.
    static constexpr double kTemplateIconSide = 18;
    // The hot spot of the text (I-beam) cursor.
    static constexpr Point kTextCursorHotSpot{4.0, 9.0};
    // The names cursor themes give the I-beam: "xterm" from the X core cursor font, "text"
    // from the CSS and freedesktop cursor names, "ibeam" from Qt's and Windows-derived themes.
    // Toolkits ask for one of these when the pointer is over editable text, and themes alias
    // the others to it. Hot spots differ from theme to theme, so where the platform names the
    // cursor the name is the surer sign. The vertical-text cursor is left out: an address bar
    // is horizontal.
    static constexpr std::array<std::string_view, 3> kTextCursorNames{"xterm", "text", "ibeam"};
    // The indicator looks at colour bytes 0 and 1.
    static constexpr int kTemplateChannels = 2;

    Indicator(Settings& settings, InputSources& inputSources, Images& images, Screens& screens,
              SystemCursor& cursor, IndicatorViews views, const LauncherDetection& launchers,
              const WindowFrameLookup& frames, int startMargin = 0)
        : settings_(settings), inputSources_(inputSources), images_(images), screens_(screens),
          cursor_(cursor), views_(std::move(views)), launchers_(launchers), frames_(frames),
          startMargin_(startMargin) {}

    // Start-up, first step: the window's fixed properties.
    void applyWindowProperties();
    // Start-up, second step: content by "enableTipOfState", and the first position.
    void setUpContentAndPosition();

    // Places the window at firstWindowFrame: at a launcher panel's top-right corner while a
    // panel is open, else at the window's bottom-right corner. Reads no setting.
    void adjustIconView();
    // Refreshes the views after an input source change.
    void inputSourceChanged();
    // The icon of the current input source, redrawn small when it is a glyph; shows the
    // backdrop for a glyph and hides it otherwise. None when the source has no usable icon.
    ImagePtr getCurrentInputIcon();
    // The two-channel template test.
    bool canTemplate(const Image* image);
    ImagePtr scaleImageToSize(const ImagePtr& image, double width, double height);
    // Whether the pointer shows the text cursor now: its name is one of kTextCursorNames, or
    // its hot spot is kTextCursorHotSpot. Any thread.
    bool isTextCursor();
    static bool isTextCursorName(std::string_view name);

    const IndicatorViews& views() const { return views_; }

  private:
    // Shows both views, then the current icon (which may hide the backdrop again).
    void showCurrentIcon();
    void hideViews();
    ImagePtr currentInputImage();
    double originScreenHeight();

    Settings& settings_;
    InputSources& inputSources_;
    Images& images_;
    Screens& screens_;
    SystemCursor& cursor_;
    IndicatorViews views_;
    const LauncherDetection& launchers_;
    const WindowFrameLookup& frames_;
    int startMargin_;
};

} // namespace velmora
