// Token reader for scenario files.
#include "io/token_reader.h"

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <strings.h>

namespace io {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Accepts the words the writer uses for non-finite values.
bool parseNonFinite(std::string_view word, double sign, double& value) {
    if (word.size() >= 3 && strncasecmp(word.data(), "inf", 3) == 0) {
        value = sign * HUGE_VAL;
        return true;
    }
    if (word.size() >= 3 && strncasecmp(word.data(), "nan", 3) == 0) {
        value = std::copysign(std::nan(""), sign);
        return true;
    }
    return false;
}

}  // namespace

double parseNumber(std::string_view token) {
    // Copy the longest valid prefix into a buffer strtod reads, with the
    // exponent letter as e. Its length is bounded by the token's.
    char buffer[maxNumberLength + 8];
    std::size_t in = 0, out = 0;
    double sign = 1;
    if (in < token.size() && (token[in] == '+' || token[in] == '-')) {
        if (token[in] == '-') sign = -1;
        buffer[out++] = token[in++];
    }
    std::size_t digits = 0;
    while (in < token.size() && out < maxNumberLength && isDigit(token[in])) {
        buffer[out++] = token[in++];
        ++digits;
    }
    if (in < token.size() && token[in] == '.' && out < maxNumberLength) {
        buffer[out++] = token[in++];
        while (in < token.size() && out < maxNumberLength && isDigit(token[in])) {
            buffer[out++] = token[in++];
            ++digits;
        }
    }
    if (digits == 0) {
        double value = 0;
        parseNonFinite(token.substr(in), sign, value);
        return value;
    }
    if (in + 1 < token.size() && std::strchr("eEdD", token[in]) != nullptr) {
        std::size_t e = in + 1;
        if (token[e] == '+' || token[e] == '-') ++e;
        if (e < token.size() && isDigit(token[e])) {
            buffer[out++] = 'e';
            for (std::size_t k = in + 1; k < token.size() && out < sizeof buffer - 1 &&
                                         (k < e || isDigit(token[k]));
                 ++k) {
                buffer[out++] = token[k];
            }
        }
    }
    buffer[out] = '\0';
    return std::strtod(buffer, nullptr);
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

double TokenReader::readNumber() {
    skipBlanks();
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
