// SPDX-License-Identifier: MIT
#pragma once
// The common part of the popover's views as Qt widgets: a frame in the superview with its
// origin at the bottom left (as the program sets frames), a hidden flag, and the views held.
//
// A view owns its widget while the widget has no parent; once the widget is inside another
// (a superview, a table cell, the popover window), Qt's parent owns it, and the view only
// refers to it: a view whose widget is gone ignores every call. A view keeps the views it
// holds (and so their widgets' handlers) alive.
//
// Frames: a frame set while the widget is inside another is turned into Qt's top-left
// coordinates with the parent's height at that moment. What happens when the parent's height
// changes later is the parent's choice (ViewWidget::Pinning): children keep their distance
// from the bottom (the program's default for views, and what a table cell's views need, whose
// frames are set before the table gives the cell its height), from the top (the popover's
// content, which grows downwards), or fill the parent.

#include "platform/view.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace velmora::qt {

// The widget of the views that hold others.
class ViewWidget : public QWidget {
  public:
    enum class Pinning { Bottom, Top, Fill };

    explicit ViewWidget(Pinning pinning = Pinning::Bottom) : pinning_(pinning) {}
    Pinning pinning() const { return pinning_; }
    // Places CHILD, a widget inside this one, at FRAME (the program's coordinates).
    void place(QWidget& child, Rect frame);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    Pinning pinning_;
};

// What every view of this backend is besides its interface: a widget.
class WidgetView {
  public:
    WidgetView() = default;
    WidgetView(const WidgetView&) = delete;
    WidgetView& operator=(const WidgetView&) = delete;
    virtual ~WidgetView() = default;

    // nullptr once Qt has deleted it.
    virtual QWidget* widget() const = 0;
    // The widget has been put inside another: take the place the frame says, show or hide.
    virtual void attached() = 0;
};

// The widget of VIEW; nullptr for a null view, a view of another kind, or one whose widget is
// gone.
QWidget* widgetOf(const View* view);
// Puts VIEW's widget inside PARENT, placed by its frame. False (and nothing happens) for a
// view without a widget, or one that would end up inside itself.
bool attachView(View& view, QWidget& parent);

// Frames in the program's coordinates and widget geometry in Qt's, for a parent PARENTHEIGHT
// high. Sizes below zero are taken as zero; values are rounded to whole pixels.
QRect toQtGeometry(Rect frame, int parentHeight);
Rect fromQtGeometry(const QRect& geometry, int parentHeight);

template <class Interface> class QtView : public Interface, public WidgetView {
  public:
    // Takes WIDGET, which must have no parent yet.
    explicit QtView(QWidget* widget) : widget_(widget) {}
    ~QtView() override {
        if (widget_ && !widget_->parent())
            delete widget_.data();
    }

    QWidget* widget() const override { return widget_.data(); }

    void setHidden(bool hidden) override {
        hidden_ = hidden;
        if (widget_ && widget_->parentWidget())
            widget_->setVisible(!hidden);
    }
    bool isHidden() const override { return hidden_; }

    void setFrame(Rect frame) override {
        frame_ = frame;
        if (!widget_)
            return;
        if (widget_->parentWidget())
            placeInParent();
        else
            widget_->resize(toQtGeometry(frame, 0).size());
    }
    Rect frame() const override {
        if (!widget_)
            return frame_;
        if (QWidget* parent = widget_->parentWidget())
            return fromQtGeometry(widget_->geometry(), parent->height());
        return Rect{frame_.origin, Size{static_cast<double>(widget_->width()),
                                        static_cast<double>(widget_->height())}};
    }

    void addSubview(std::shared_ptr<View> view) override {
        if (!view || !widget_ || !attachView(*view, *widget_))
            return;
        subviews_.push_back(std::move(view));
    }
    std::vector<std::shared_ptr<View>> subviews() const override { return subviews_; }

    void attached() override {
        if (!widget_)
            return;
        if (!widget_->parentWidget())
            return;
        placeInParent();
        widget_->setVisible(!hidden_);
    }

  private:
    void placeInParent() {
        QWidget* parent = widget_->parentWidget();
        if (auto* container = dynamic_cast<ViewWidget*>(parent))
            container->place(*widget_, frame_);
        else
            widget_->setGeometry(toQtGeometry(frame_, parent->height()));
    }

    QPointer<QWidget> widget_;
    Rect frame_;
    bool hidden_ = false;
    std::vector<std::shared_ptr<View>> subviews_;
};

// A plain view that holds others.
class QtPlainView final : public QtView<View> {
  public:
    explicit QtPlainView(ViewWidget::Pinning pinning = ViewWidget::Pinning::Bottom)
        : QtView(new ViewWidget(pinning)) {}
};

} // namespace velmora::qt
