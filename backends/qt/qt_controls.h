// SPDX-License-Identifier: MIT
#pragma once
// Text fields, choice boxes and buttons as widgets.

#include "qt_view.h"

#include "platform/controls.h"

#include <QComboBox>

#include <optional>
#include <string>

class QLineEdit;
class QToolButton;

namespace velmora::qt {

// A line edit. One that is not editable is a label: it takes neither the focus nor the mouse
// (a press reaches what is below, such as the table the field is a cell of).
class QtTextField final : public QtView<TextField> {
  public:
    QtTextField();
    void setStringValue(const std::string& text) override;
    std::string stringValue() const override;
    void setBezeled(bool bezeled) override;
    void setEditable(bool editable) override;
    void setDrawsBackground(bool draws) override;
    void setBackgroundColor(Color color) override;

  private:
    QLineEdit* edit() const;
    void applyBackground();
    std::string text_;
    bool drawsBackground_ = true;
    bool clearBackground_ = false;
};

// A combo box that leaves the mouse wheel to what it is in (the table scrolls) unless it has
// the keyboard focus, so that scrolling a list of boxes never changes one by accident. A text
// too long for it ends in "…", and the whole of it is the box's tool tip.
class WheelGuardedComboBox final : public QComboBox {
  protected:
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The text shown while no item is selected is the box's placeholder: setStringValue selects
// none. An item chosen by the user (with the mouse or the keyboard) is the selected item, and
// the observer hears of it.
class QtComboBox final : public QtView<ComboBox> {
  public:
    QtComboBox();
    ~QtComboBox() override;
    void addItemsWithObjectValues(const std::vector<std::string>& items) override;
    std::vector<std::string> objectValues() const override;
    void setTag(std::int64_t tag) override { tag_ = tag; }
    std::int64_t tag() const override { return tag_; }
    // Only a box that is not editable is made: an editable one would take any text.
    void setEditable(bool editable) override;
    void setStringValue(const std::string& text) override;
    std::string stringValue() const override;
    std::optional<std::string> objectValueOfSelectedItem() const override;
    void setSelectionDidChangeObserver(Observer observer) override;

    QComboBox* comboBox() const;

  private:
    void userSelected(int index);

    std::int64_t tag_ = 0;
    std::optional<std::string> selected_;
    Observer observer_;
    QMetaObject::Connection connection_;
};

// A push button, or a two-state button when made checkable. Its named image is drawn in the
// colour of the button's text.
class QtButton final : public QtView<Button> {
  public:
    enum class Kind { Push, TwoState };
    explicit QtButton(Kind kind = Kind::Push);
    ~QtButton() override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setImageNamed(const std::string& name) override;
    std::string imageName() const override { return imageName_; }
    void setAction(Action action) override { action_ = std::move(action); }
    void setTag(std::int64_t tag) override { tag_ = tag; }
    std::int64_t tag() const override { return tag_; }
    void setState(std::int64_t state) override;
    std::int64_t state() const override;

    QToolButton* button() const;

  private:
    void clicked();

    Kind kind_;
    std::string imageName_;
    Action action_;
    std::int64_t tag_ = 0;
    QMetaObject::Connection connection_;
};

} // namespace velmora::qt
