// The whitespace-separated words of a text held in memory, for the hand-written readers of
// the data files: views into the text, no copies, and the line of each word on the way.
#pragma once

#include <cstddef>
#include <string_view>

// White space as the C library's isspace sees it in the "C" locale.
constexpr bool isWordSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

class WordScanner {
public:
    // Words from start on; line is the number of the line start stands on.
    explicit WordScanner(std::string_view text, std::size_t start = 0, int line = 1)
        : text_(text), pos_(start < text.size() ? start : text.size()), line_(line) {}

    // The next word, empty at the end of the text. Every byte but white space, NUL
    // included, belongs to a word; a word has no length limit here, its reader sets one.
    std::string_view next() {
        const std::size_t size = text_.size();
        for (; pos_ < size && isWordSpace(text_[pos_]); ++pos_) line_ += text_[pos_] == '\n' ? 1 : 0;
        const std::size_t start = pos_;
        while (pos_ < size && !isWordSpace(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // The line of the word last returned (a word holds no line end).
    int line() const { return line_; }

private:
    std::string_view text_;
    std::size_t pos_;
    int line_;
};
