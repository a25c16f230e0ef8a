#pragma once
// Images of the simulated desktop: each made from an icon of the scenario and keeping its
// name through scaling, so the trace can say which icon is shown.

#include "platform/images.h"

#include <map>
#include <string>
#include <vector>

namespace velmora::sim {

class SimImage final : public Image {
  public:
    SimImage(std::string name, Size size) : name_(std::move(name)), size_(size) {}
    Size size() const override { return size_; }
    bool isTemplate() const override { return template_; }
    void setTemplate(bool isTemplate) override { template_ = isTemplate; }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    Size size_;
    bool template_ = false;
};

// An image file that exists but cannot be read. No icon can have this name (icon names are
// never empty), so loading it always fails.
inline constexpr const char* kBrokenIconURL = "";

// An icon as the scenario defines it: W x H pixels of 4 bytes.
struct SimIcon {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

class SimImages final : public Images {
  public:
    std::map<std::string, SimIcon> icons;

    ImagePtr imageWithIconRef(const std::string& iconRef) override;
    ImagePtr imageWithContentsOfURL(const std::string& url) override;
    std::optional<std::vector<std::uint8_t>> copyFirstImagePixelBytes(const Image& image) override;
    ImagePtr scaledImage(const Image& source, Size size) override;
    // An icon of the scenario with that name, else an 18 x 18 image of that name.
    ImagePtr imageNamed(const std::string& name) override;

  private:
    ImagePtr make(const std::string& name);
};

} // namespace velmora::sim
