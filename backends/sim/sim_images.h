// SPDX-License-Identifier: MIT
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
    // A REDRAWN image was drawn from its icon at SIZE; its pixels are the icon's resampled.
    SimImage(std::string name, Size size, bool redrawn = false)
        : name_(std::move(name)), size_(size), redrawn_(redrawn) {}
    bool redrawn() const { return redrawn_; }
    Size size() const override { return size_; }
    bool isTemplate() const override { return template_; }
    void setTemplate(bool isTemplate) override { template_ = isTemplate; }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    Size size_;
    bool template_ = false;
    bool redrawn_ = false;
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
    // Redrawn images larger than this on a side keep their icon's own pixels.
    static constexpr std::int64_t kMaxRedrawnSide = 4096;

    std::map<std::string, SimIcon> icons;

    ImagePtr imageWithIconRef(const std::string& iconRef) override;
    ImagePtr imageWithContentsOfURL(const std::string& url) override;
    // An icon's pixels; for an image redrawn at another size, the icon resampled to it. An
    // image merely stated bigger than its icon keeps the icon's (too few) pixels.
    std::optional<std::vector<std::uint8_t>> copyFirstImagePixelBytes(const Image& image) override;
    ImagePtr scaledImage(const Image& source, Size size) override;
    // An icon of the scenario with that name, else an 18 x 18 image of that name.
    ImagePtr imageNamed(const std::string& name) override;

  private:
    ImagePtr make(const std::string& name);
};

} // namespace velmora::sim
