#include "form/controls.h"

namespace proxcred {

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    changed();
}

void Control::changed() const {
    if (observer_ != nullptr) observer_->controlChanged(*this);
}

void CaptionedControl::setCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    changed();
}

void TextBox::setText(std::string text) {
    if (options_.text == text) return;
    options_.text = std::move(text);
    changed();
    if (onChange) onChange();
}

void OptionButton::setValue(bool selected) {
    if (value_ == selected) return;
    if (selected) {
        for (OptionButton* other : group_) {
            if (other != this && other->value_) {
                other->value_ = false;
                other->changed();
            }
        }
    }
    value_ = selected;
    changed();
    if (selected && onClick) onClick();
}

void CheckBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    changed();
    if (onClick) onClick();
}

std::string ComboBox::text() const {
    if (selected_ < 0 || static_cast<std::size_t>(selected_) >= entries_.size()) return {};
    return entries_[static_cast<std::size_t>(selected_)];
}

void ComboBox::clear() {
    entries_.clear();
    selected_ = -1;
    changed();
}

void ComboBox::addItem(std::string entry) {
    entries_.push_back(std::move(entry));
    changed();
}

void ComboBox::setSelectedIndex(int index) {
    if (index < -1 || index >= static_cast<int>(entries_.size()) || index == selected_) return;
    selected_ = index;
    changed();
}

void TabControl::setPage(int page) {
    if (page == page_ || page < 0 || page >= static_cast<int>(captions_.size())) return;
    page_ = page;
    changed();
}

}  // namespace proxcred
