#pragma once
// Texts the program stores with a fixed maximum length (terms 120, list terms
// 60, axis titles 80 characters). Every assignment cuts, so no writer can
// forget it; reading gives the plain UTF-8 string.

#include <array>
#include <cassert>
#include <cstddef>
#include <string>
#include <string_view>

#include "number_text.h"

namespace kalvo {

template <size_t N>
class BoundedText {
public:
    static constexpr size_t kMaxChars = N;

    BoundedText() = default;
    BoundedText(std::string_view s) : text_(CutToChars(s, N)) {}
    BoundedText(const std::string& s) : text_(CutToChars(s, N)) {}
    BoundedText(const char* s) : text_(CutToChars(s, N)) {}

    BoundedText& operator=(std::string_view s) {
        text_ = CutToChars(s, N);
        return *this;
    }
    BoundedText& operator=(const std::string& s) { return *this = std::string_view(s); }
    BoundedText& operator=(const char* s) { return *this = std::string_view(s); }

    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }
    operator std::string_view() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    bool empty() const { return text_.empty(); }
    size_t size() const { return text_.size(); }

    friend bool operator==(const BoundedText& a, const BoundedText& b) { return a.text_ == b.text_; }
    friend bool operator==(const BoundedText& a, std::string_view b) { return a.text_ == b; }

private:
    std::string text_;
};

// An array indexed from 1 to N, as the program's tables are counted.
template <typename T, size_t N>
class OneBased {
public:
    static constexpr size_t kCount = N;
    T& operator[](size_t i) {
        assert(i >= 1 && i <= N);
        return items_[i - 1];
    }
    const T& operator[](size_t i) const {
        assert(i >= 1 && i <= N);
        return items_[i - 1];
    }
    static constexpr size_t size() { return N; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    friend bool operator==(const OneBased&, const OneBased&) = default;

private:
    std::array<T, N> items_{};
};

}  // namespace kalvo
