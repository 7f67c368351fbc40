// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// The controls a form is built from. Every property write that changes what the window shows
// tells the form which pixels to repaint; nothing here draws.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "runtime/basic.h"
#include "runtime/design.h"

namespace rt {

class Form;

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class Control {
  public:
    Control(Form& form, const ControlDesign& design);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    int Index() const { return index_; }
    Form& form() const { return form_; }

  protected:
    Form& form_;

  private:
    ControlKind kind_;
    std::string name_;
    int index_;
};

// A control with a place on the window.
class Visual : public Control {
  public:
    Visual(Form& form, const ControlDesign& design);

    Single Left() const { return left_; }
    Single Top() const { return top_; }
    Single Width() const { return width_; }
    Single Height() const { return height_; }
    bool Visible() const { return visible_; }
    void setLeft(Single v);
    void setTop(Single v);
    void setVisible(bool v);

    // The window pixels the control covers: a position with a fraction falls in the pixel
    // that holds it.
    PixelRect pixelRect() const;

  protected:
    void invalidate() const;

  private:
    void move(Single& field, Single v);
    Single left_, top_, width_, height_;
    bool visible_;
};

class Image : public Visual {
  public:
    Image(Form& form, const ControlDesign& design);
    const PictureRef& Picture() const { return picture_; }
    void setPicture(PictureRef picture);
    bool Stretch() const { return stretch_; }

  private:
    PictureRef picture_;
    bool stretch_;
};

class Label : public Visual {
  public:
    Label(Form& form, const ControlDesign& design);
    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& caption);
    const FontDesign& Font() const { return font_; }
    Alignment TextAlignment() const { return alignment_; }
    Rgb ForeColor() const { return foreColor_; }
    bool TransparentBack() const { return transparentBack_; }

  private:
    std::string caption_;
    FontDesign font_;
    Alignment alignment_;
    Rgb foreColor_;
    bool transparentBack_;
};

class Shape : public Visual {
  public:
    Shape(Form& form, const ControlDesign& design);
    bool Filled() const { return filled_; }
    Rgb FillColor() const { return fillColor_; }
    Rgb BorderColor() const { return borderColor_; }
    int BorderWidth() const { return borderWidth_; }

  private:
    bool filled_;
    Rgb fillColor_;
    Rgb borderColor_;
    int borderWidth_;
};

class Timer : public Control {
  public:
    Timer(Form& form, const ControlDesign& design);
    bool Enabled() const { return enabled_; }
    int Interval() const { return interval_; }
    // Writing the value a property already holds changes nothing, so a running timer keeps
    // its period when it is enabled again.
    void setEnabled(bool v);
    void setInterval(int ms);
    // A timer with an interval of 0 never ticks, even when enabled.
    bool running() const { return enabled_ && interval_ > 0; }

  private:
    bool enabled_;
    int interval_;
};

class MenuItem : public Control {
  public:
    MenuItem(Form& form, const ControlDesign& design);
    const std::string& Caption() const { return caption_; }

  private:
    std::string caption_;
};

// A control array of images. Element 0 is the design-time template.
class ImageArray {
  public:
    ImageArray(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

    Integer Count() const { return Integer(static_cast<int>(elements_.size())); }
    Image& operator[](Integer index) const;
    bool exists(Integer index) const { return elements_.count(index.value()) != 0; }
    // Creates element `index` as a hidden copy of the lowest element.
    void Load(Integer index);

    // Runtime side: the element made from the layout.
    void adopt(int index, Image* element) { elements_[index] = element; }

  private:
    Form& form_;
    std::string name_;
    std::map<int, Image*> elements_;  // owned by the form
};

}  // namespace rt
