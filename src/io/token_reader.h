// The tolerant reader of scenario files: numbers and texts separated by
// blanks, commas or line ends (LF, CRLF or a lone CR). The end of the file
// reads as a line end that can be met again and again, so a short file reads
// as if it went on with zeros and empty texts.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace io {

// Longest token a number may have, and longest text.
inline constexpr int maxNumberLength = 67;
inline constexpr int maxTextLength = 4096;

// The number a token stands for: an optional sign, digits with an optional
// fraction and an optional exponent whose letter may be e, E, d or D. Only
// the longest such prefix counts; "inf" and "nan" (as the writer writes
// non-finite values) read as such; anything else, and the empty token, is 0.
// The decimal is rounded once, straight to the nearest float; beyond the
// float range it reads as infinity or zero.
float parseNumber(std::string_view token);

class TokenReader {
public:
    // Reads from an open stream; the caller keeps ownership.
    explicit TokenReader(std::FILE* stream) : stream_(stream) {}

    // Skips blanks and tabs, takes a token up to the next blank, tab, comma
    // or line end (at most 67 characters), then skips blanks and tabs and
    // one comma or line end.
    float readNumber();

    // True once a number was asked for where the file had already ended.
    bool metEnd() const { return metEnd_; }

    // Skips blanks and tabs and takes a text up to the next comma or line end
    // (at most 4096 characters), which is consumed. A double quote as the
    // first character opens a quoted text that keeps commas and ends at the
    // next double quote; the rest of that field is passed over.
    std::string readText();

    // True once the stream reported a read error (not the end of the file).
    bool failed() const { return std::ferror(stream_) != 0; }

private:
    int peek();
    int get() { return std::getc(stream_); }
    void skipBlanks();
    // Consumes one line end (LF, CR LF or CR) if one is next.
    bool consumeLineEnd();

    std::FILE* stream_;
    bool metEnd_ = false;
};

}  // namespace io
