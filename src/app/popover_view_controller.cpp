#include "app/popover_view_controller.h"

#include "indicator/template_test.h"

namespace velmora {

bool PopoverViewController::canTemplate(const Image* image) {
    return velmora::canTemplate(images_, image, kTemplateChannels);
}

ImagePtr PopoverViewController::scaleImageToSize(const ImagePtr& image, double width,
                                                 double height) {
    return velmora::scaleImageToSize(images_, image, width, height);
}

} // namespace velmora
