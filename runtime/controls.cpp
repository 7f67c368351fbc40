// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

#include "runtime/controls.h"

#include <cmath>

#include "runtime/form.h"

namespace rt {

Control::Control(Form& form, const ControlDesign& design)
    : form_(form), kind_(design.kind), name_(design.name), index_(design.index) {}

Visual::Visual(Form& form, const ControlDesign& d)
    : Control(form, d),
      left_(static_cast<Single>(d.left)),
      top_(static_cast<Single>(d.top)),
      width_(static_cast<Single>(d.width)),
      height_(static_cast<Single>(d.height)),
      visible_(d.visible) {}

PixelRect Visual::pixelRect() const {
    return PixelRect{static_cast<int>(std::floor(left_)), static_cast<int>(std::floor(top_)),
                     static_cast<int>(std::ceil(width_)), static_cast<int>(std::ceil(height_))};
}

void Visual::invalidate() const {
    if (visible_) {
        form_.invalidate(pixelRect());
    }
}

void Visual::move(Single& field, Single v) {
    if (!std::isfinite(v)) {
        raiseOverflow("position");
    }
    if (field == v) {
        return;
    }
    invalidate();
    field = v;
    invalidate();
}

void Visual::setLeft(Single v) {
    move(left_, v);
}
void Visual::setTop(Single v) {
    move(top_, v);
}

void Visual::setVisible(bool v) {
    if (visible_ == v) {
        return;
    }
    visible_ = true;  // so that the covered pixels are repainted either way
    invalidate();
    visible_ = v;
}

Image::Image(Form& form, const ControlDesign& d)
    : Visual(form, d), picture_(d.picture), stretch_(d.stretch) {}

void Image::setPicture(PictureRef picture) {
    // A picture is immutable, so the same object needs no repaint.
    if (picture == picture_) {
        return;
    }
    picture_ = std::move(picture);
    invalidate();
}

Label::Label(Form& form, const ControlDesign& d)
    : Visual(form, d),
      caption_(d.caption),
      font_(d.font),
      alignment_(d.alignment),
      foreColor_(d.foreColor),
      transparentBack_(d.transparentBack) {}

void Label::setCaption(const std::string& caption) {
    if (caption == caption_) {
        return;
    }
    caption_ = caption;
    invalidate();
}

Shape::Shape(Form& form, const ControlDesign& d)
    : Visual(form, d),
      filled_(d.filled),
      fillColor_(d.fillColor),
      borderColor_(d.borderColor),
      borderWidth_(d.borderWidth) {}

Timer::Timer(Form& form, const ControlDesign& d)
    : Control(form, d), enabled_(d.enabled), interval_(d.interval) {}

void Timer::setEnabled(bool v) {
    if (enabled_ == v) {
        return;
    }
    enabled_ = v;
    form_.timerChanged(*this);
}

void Timer::setInterval(int ms) {
    if (ms < 0 || ms > 65535) {
        throw RuntimeError(kErrBadArgument,
                           "Invalid property value (Interval " + std::to_string(ms) + ")");
    }
    if (interval_ == ms) {
        return;
    }
    interval_ = ms;
    form_.timerChanged(*this);
}

MenuItem::MenuItem(Form& form, const ControlDesign& d) : Control(form, d), caption_(d.caption) {}

Image& ImageArray::operator[](Integer index) const {
    auto it = elements_.find(index.value());
    if (it == elements_.end()) {
        throw RuntimeError(kErrBadIndex, "Control array element '" + std::to_string(index.value()) +
                                             "' of " + name_ + " doesn't exist");
    }
    return *it->second;
}

void ImageArray::Load(Integer index) {
    if (index.value() < 0) {
        throw RuntimeError(kErrBadIndex, "Control array index " + std::to_string(index.value()) +
                                             " of " + name_ + " is invalid");
    }
    if (exists(index)) {
        throw RuntimeError(kErrAlreadyLoaded, "Element " + std::to_string(index.value()) + " of " +
                                                  name_ + " is already loaded");
    }
    const Image& model = *elements_.begin()->second;
    elements_[index.value()] = &form_.addElement(model, index.value(), &model);
}

}  // namespace rt
