// Token reader for scenario files.
#include "io/token_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace io {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Accepts the words the writer uses for non-finite values.
bool parseNonFinite(std::string_view word, float sign, float& value) {
    if (word.size() >= 3 && strncasecmp(word.data(), "inf", 3) == 0) {
        value = sign * HUGE_VALF;
        return true;
    }
    if (word.size() >= 3 && strncasecmp(word.data(), "nan", 3) == 0) {
        value = std::copysign(std::nanf(""), sign);
        return true;
    }
    return false;
}

}  // namespace

float parseNumber(std::string_view token) {
    // Copy the longest valid prefix into a buffer from_chars reads, without a
    // plus sign and with the exponent letter as e. Its length is bounded by
    // the token's. Alongside, the decimal magnitude of the number (digits
    // before the point, or minus the zeros after it) and its exponent tell
    // which way a number beyond the float range lies.
    char buffer[maxNumberLength + 8];
    std::size_t in = 0, out = 0;
    float sign = 1;
    if (in < token.size() && (token[in] == '+' || token[in] == '-')) {
        if (token[in] == '-') {
            sign = -1;
            buffer[out++] = '-';
        }
        ++in;
    }
    std::size_t digits = 0;
    long magnitude = 0;
    bool significant = false;
    while (in < token.size() && out < maxNumberLength && isDigit(token[in])) {
        significant = significant || token[in] != '0';
        magnitude += significant;
        buffer[out++] = token[in++];
        ++digits;
    }
    if (in < token.size() && token[in] == '.' && out < maxNumberLength) {
        buffer[out++] = token[in++];
        while (in < token.size() && out < maxNumberLength && isDigit(token[in])) {
            significant = significant || token[in] != '0';
            magnitude -= !significant;
            buffer[out++] = token[in++];
            ++digits;
        }
    }
    if (digits == 0) {
        float value = 0;
        parseNonFinite(token.substr(in), sign, value);
        return value;
    }
    long exponent = 0;
    if (in + 1 < token.size() && std::strchr("eEdD", token[in]) != nullptr) {
        std::size_t e = in + 1;
        const bool negative = token[e] == '-';
        if (token[e] == '+' || token[e] == '-') ++e;
        if (e < token.size() && isDigit(token[e])) {
            buffer[out++] = 'e';
            if (negative) buffer[out++] = '-';
            for (; e < token.size() && out < sizeof buffer && isDigit(token[e]); ++e) {
                buffer[out++] = token[e];
                exponent = std::min(exponent * 10 + (token[e] - '0'), 1'000'000L);
            }
            if (negative) exponent = -exponent;
        }
    }
    // Rounded once, from the decimal digits straight to the nearest float.
    float value = 0;
    if (std::from_chars(buffer, buffer + out, value).ec == std::errc::result_out_of_range) {
        value = std::copysign(magnitude + exponent > 0 ? HUGE_VALF : 0.f, sign);
    }
    return value;
}

int TokenReader::peek() {
    const int c = std::getc(stream_);
    if (c != EOF) std::ungetc(c, stream_);
    return c;
}

void TokenReader::skipBlanks() {
    for (int c = peek(); c == ' ' || c == '\t'; c = peek()) get();
}

bool TokenReader::consumeLineEnd() {
    const int c = peek();
    if (c == '\n') {
        get();
        return true;
    }
    if (c == '\r') {
        get();
        if (peek() == '\n') get();
        return true;
    }
    return false;
}

float TokenReader::readNumber() {
    skipBlanks();
    if (peek() == EOF) metEnd_ = true;
    char token[maxNumberLength];
    std::size_t length = 0;
    for (int c = peek(); length < maxNumberLength && c != EOF && c != ' ' && c != '\t' &&
                         c != ',' && c != '\n' && c != '\r';
         c = peek()) {
        token[length++] = char(get());
    }
    skipBlanks();
    if (peek() == ',') {
        get();
    } else {
        consumeLineEnd();
    }
    return parseNumber(std::string_view(token, length));
}

std::string TokenReader::readText() {
    skipBlanks();
    std::string text;
    if (peek() == '"') {
        get();
        for (int c = peek(); c != EOF && c != '"' && c != '\n' && c != '\r' &&
                             text.size() < maxTextLength;
             c = peek()) {
            text.push_back(char(get()));
        }
        // Whatever stands between the closing quote and the field's end is
        // not part of the name.
        for (int c = peek(); c != EOF && c != ',' && c != '\n' && c != '\r'; c = peek()) get();
    } else {
        for (int c = peek(); c != EOF && c != ',' && c != '\n' && c != '\r' &&
                             text.size() < maxTextLength;
             c = peek()) {
            text.push_back(char(get()));
        }
    }
    if (peek() == ',') {
        get();
    } else {
        consumeLineEnd();
    }
    return text;
}

}  // namespace io
