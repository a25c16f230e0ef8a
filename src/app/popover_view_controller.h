#pragma once
// The popover's controller. For now it carries the icon handling that the shortcut table
// uses: its template test looks at three colour bytes, where the indicator looks at two.

#include "platform/images.h"

namespace velmora {

class PopoverViewController {
  public:
    static constexpr int kTemplateChannels = 3;

    explicit PopoverViewController(Images& images) : images_(images) {}
    PopoverViewController(const PopoverViewController&) = delete;
    PopoverViewController& operator=(const PopoverViewController&) = delete;

    // The three-channel template test.
    bool canTemplate(const Image* image);
    ImagePtr scaleImageToSize(const ImagePtr& image, double width, double height);

  private:
    Images& images_;
};

} // namespace velmora
