#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The control kinds of the form as plain state. Writing a value from code runs
// the control's handler at once, nested, and only when the value changes, as
// an operator's change would; the operator's own actions are separate entry
// points on the form that also honour enabled, read-only and maximum length.
namespace proxcred {

enum class ControlKind : std::uint8_t {
    TextBox,
    Label,
    OptionButton,
    CheckBox,
    CommandButton,
    Frame,
    ComboBox,
    PictureBox,
    TabControl,
};

class Control;

// Told of every change of a control's visible state, for a view that mirrors
// the form.
class ControlObserver {
  public:
    virtual ~ControlObserver() = default;
    virtual void controlChanged(const Control& control) = 0;
    virtual void focusChanged(const Control& /*focused*/) {}
};

class Control {
  public:
    Control(ControlKind kind, std::string_view name, const Control* container = nullptr)
        : kind_(kind), name_(name), container_(container) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    const Control* container() const { return container_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Whether the operator can reach it: it and the frame it stands in are enabled.
    bool usable() const { return enabled_ && (container_ == nullptr || container_->usable()); }

    void setObserver(ControlObserver* observer) { observer_ = observer; }

  protected:
    void changed() const;

  private:
    ControlKind kind_;
    std::string name_;
    const Control* container_;
    bool enabled_ = true;
    ControlObserver* observer_ = nullptr;
};

// A control with a fixed text: label, frame, command button, option button, check box.
class CaptionedControl : public Control {
  public:
    CaptionedControl(ControlKind kind, std::string_view name, std::string_view caption,
                     const Control* container = nullptr)
        : Control(kind, name, container), caption_(caption) {}

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

  private:
    std::string caption_;
};

class Label : public CaptionedControl {
  public:
    Label(std::string_view name, std::string_view caption)
        : CaptionedControl(ControlKind::Label, name, caption) {}
};

class Frame : public CaptionedControl {
  public:
    Frame(std::string_view name, std::string_view caption)
        : CaptionedControl(ControlKind::Frame, name, caption) {}
};

class TextBox : public Control {
  public:
    struct Options {
        std::size_t maxLength = 0;  // 0: no limit
        bool readOnly = false;
        bool multiLine = false;
        std::string text;
    };

    static Options limitedTo(std::size_t maxLength) {
        Options options;
        options.maxLength = maxLength;
        return options;
    }
    static Options readOnlyBox() {
        Options options;
        options.readOnly = true;
        return options;
    }
    static Options multiLineText(std::string_view text, bool readOnly) {
        Options options;
        options.readOnly = readOnly;
        options.multiLine = true;
        options.text = std::string(text);
        return options;
    }

    TextBox(std::string_view name, Options options, const Control* container = nullptr)
        : Control(ControlKind::TextBox, name, container), options_(std::move(options)) {}
    explicit TextBox(std::string_view name) : TextBox(name, Options{}) {}

    const std::string& text() const { return options_.text; }
    // A code write: no limit applies; the change handler runs when the text changes.
    void setText(std::string text);

    std::size_t maxLength() const { return options_.maxLength; }
    // How long typing may make the text: the maximum length, or the text's
    // own where code wrote a longer one (a lock read), so that it is shown
    // whole; 0 for no limit.
    std::size_t typingLimit() const {
        return maxLength() == 0 ? 0 : std::max(maxLength(), text().size());
    }
    // Whether Enter in the box is the box's: it has a key handler.
    bool takesEnter() const { return onKeyDown || onKeyPress; }
    bool readOnly() const { return options_.readOnly; }
    // Instruction texts are multi-line; the window shows them in an editor.
    bool multiLine() const { return options_.multiLine; }

    std::function<void()> onChange;
    std::function<void()> onLostFocus;
    std::function<void(int keyCode)> onKeyDown;
    std::function<void(int character)> onKeyPress;

  private:
    Options options_;
};

// One of an exclusive group: selecting it deselects the others silently.
class OptionButton : public CaptionedControl {
  public:
    OptionButton(std::string_view name, std::string_view caption, const Control* container,
                 std::vector<OptionButton*>& group)
        : CaptionedControl(ControlKind::OptionButton, name, caption, container), group_(group) {
        group_.push_back(this);
    }

    bool value() const { return value_; }
    // Selecting runs the click handler when the button was not selected;
    // deselecting runs nothing.
    void setValue(bool selected);

    std::function<void()> onClick;

  private:
    std::vector<OptionButton*>& group_;
    bool value_ = false;
};

class CheckBox : public CaptionedControl {
  public:
    static constexpr int kUnchecked = 0;
    static constexpr int kChecked = 1;
    static constexpr int kGrayed = 2;

    CheckBox(std::string_view name, std::string_view caption)
        : CaptionedControl(ControlKind::CheckBox, name, caption) {}

    int value() const { return value_; }
    // Runs the click handler when the value changes.
    void setValue(int value);

    std::function<void()> onClick;

  private:
    int value_ = kUnchecked;
};

class CommandButton : public CaptionedControl {
  public:
    CommandButton(std::string_view name, std::string_view caption, std::string_view toolTip = {})
        : CaptionedControl(ControlKind::CommandButton, name, caption), toolTip_(toolTip) {}

    const std::string& toolTip() const { return toolTip_; }

    std::function<void()> onClick;

  private:
    std::string toolTip_;
};

// A drop-down list: the operator can only pick one of its entries.
class ComboBox : public Control {
  public:
    ComboBox(std::string_view name, const Control* container)
        : Control(ControlKind::ComboBox, name, container) {}

    const std::vector<std::string>& entries() const { return entries_; }
    int selectedIndex() const { return selected_; }
    // The selected entry, or the empty text when none is selected.
    std::string text() const;

    void clear();
    void addItem(std::string entry);
    void setSelectedIndex(int index);

  private:
    std::vector<std::string> entries_;
    int selected_ = -1;
};

class TabControl : public Control {
  public:
    TabControl(std::string_view name, std::vector<std::string> pageCaptions, int page)
        : Control(ControlKind::TabControl, name), captions_(std::move(pageCaptions)), page_(page) {}

    const std::vector<std::string>& pageCaptions() const { return captions_; }
    int page() const { return page_; }
    void setPage(int page);

  private:
    std::vector<std::string> captions_;
    int page_;
};

}  // namespace proxcred
