#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

// Where a command writes its output and its errors: standard output and
// standard error on the command line, text kept for the web app. Plain
// appending and no iostreams, whose locale machinery would be a third of the
// web app's download. (Not "TextOut": Windows' headers take that name.)
namespace proxcred::cli {

class TextSink {
  public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view text) = 0;
    // False once something written could not go out (a full disk, a closed
    // pipe): commands stop writing then, and the caller reports it.
    virtual bool ok() const { return true; }

    TextSink& operator<<(std::string_view text) {
        write(text);
        return *this;
    }
    TextSink& operator<<(const char* text) { return *this << std::string_view(text); }
    TextSink& operator<<(const std::string& text) { return *this << std::string_view(text); }
    TextSink& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <std::integral Number>
    requires(!std::same_as<Number, bool> && !std::same_as<Number, char>) TextSink& operator<<(
        Number number) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
    }
};

// Text written is kept, for the web app and the tests.
class StringOut final : public TextSink {
  public:
    void write(std::string_view text) override { text_.append(text); }
    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

// `text` left-aligned (or right-aligned) in a column `width` characters wide,
// as a table's cell.
inline std::string padded(std::string_view text, std::size_t width, bool right = false) {
    const std::string fill(text.size() < width ? width - text.size() : 0, ' ');
    return right ? fill + std::string(text) : std::string(text) + fill;
}

}  // namespace proxcred::cli
