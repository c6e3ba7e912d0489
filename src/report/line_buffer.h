// A fixed character buffer that lines are composed in: formatted with
// printf rules and appended to, always cut to fit and always terminated.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

namespace ortheo {

// snprintf, kept out of line: cutting what does not fit is meant here, and
// the compiler need not warn of it.
void formatCut(char* buffer, std::size_t capacity, const char* format, ...) __attribute__((format(printf, 3, 4)));

template <std::size_t Capacity>
class LineBuffer {
public:
    // Replaces the contents; at most Capacity - 1 characters are kept.
    template <class... Args>
    void format(const char* format, Args... args) {
        formatCut(text_, Capacity, format, args...);
    }

    // Appends as much of `piece` as fits.
    void append(const char* piece) {
        const std::size_t length = std::strlen(text_);
        const std::size_t room = Capacity - 1 - length;
        const std::size_t count = std::min(std::strlen(piece), room);
        std::memcpy(text_ + length, piece, count);
        text_[length + count] = '\0';
    }

    const char* c_str() const { return text_; }
    std::string str() const { return text_; }

private:
    char text_[Capacity] = {};
};

}  // namespace ortheo
