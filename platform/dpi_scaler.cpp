#include "platform/dpi_scaler.h"

#include <utility>

namespace vitrell {

DpiScaler::DpiScaler(IScaledWindow& window, std::vector<ScaledPart> parts, std::vector<ScaledFont> fonts, int images)
    : window_(window), parts_(std::move(parts)), fontSpecs_(std::move(fonts)), imageCount_(images) {}

DpiScaler::~DpiScaler() {
    FreeAll(fonts_, images_);
}

void DpiScaler::Apply(Dpi dpi) {
    dpi_ = dpi;
    for (const ScaledPart& part : parts_)
        window_.PlacePart(part.id, ToPixels(part.place, dpi));

    std::vector<ObjectHandle> fonts;
    fonts.reserve(fontSpecs_.size());
    for (const ScaledFont& font : fontSpecs_)
        fonts.push_back(window_.MakeFont(font.spec, dpi.y, font.text));
    for (const ScaledPart& part : parts_) {
        if (part.font >= 0 && static_cast<size_t>(part.font) < fonts.size())
            window_.SetPartFont(part.id, fonts[static_cast<size_t>(part.font)]);
    }

    std::vector<ObjectHandle> images;
    images.reserve(static_cast<size_t>(imageCount_));
    for (int i = 0; i < imageCount_; ++i) {
        images.push_back(window_.MakeImage(i, dpi));
        window_.UseImage(i, images.back());
    }

    // Every control and the window hold the new ones now: the old can go.
    std::swap(fonts, fonts_);
    std::swap(images, images_);
    FreeAll(fonts, images);
    window_.LaidOut();
}

void DpiScaler::Change(Dpi dpi, const PixelRect& suggested) {
    window_.SetOuterRect(suggested);
    Apply(dpi);
    window_.Repaint();
}

void DpiScaler::FreeAll(const std::vector<ObjectHandle>& fonts, const std::vector<ObjectHandle>& images) {
    for (ObjectHandle font : fonts) {
        if (font)
            window_.FreeFont(font);
    }
    for (ObjectHandle image : images) {
        if (image)
            window_.FreeImage(image);
    }
}

}  // namespace vitrell
