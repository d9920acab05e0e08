#pragma once

#include "qtcompat.h"

#include <string_view>

// Splitting RTF bytes into tokens: braces, control words with their numbers, control
// symbols, hex-escaped bytes and runs of plain bytes. It knows nothing of what they mean.
namespace merilon::rtf {

struct Token
{
    enum class Kind { End, GroupStart, GroupEnd, Word, Symbol, HexByte, Text };

    Kind kind = Kind::End;
    // Word: its letters, empty for a word longer than the format allows. Text: plain bytes up
    // to the next brace or backslash, line breaks and NULs among them.
    std::string_view text{};
    // Word: its number when it has one. HexByte: the byte, or -1 when no hex digit followed.
    long long number = 0;
    bool hasNumber = false;
    char symbol = 0; // Symbol: the character after the backslash
};

class Tokenizer
{
public:
    // Starts where the document begins.
    explicit Tokenizer(QByteArrayView data);

    Token next();
    // The next bytes as binary data, at most `count`, however many the input still has.
    QByteArrayView takeBinary(long long count);

private:
    Token control();
    Token word();
    Token hexByte();
    Token text();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

// Where the document begins: after a UTF-8 byte-order mark and white space.
qsizetype envelopeStart(QByteArrayView data);

// The value of a hex digit, or -1.
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

inline bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// ---- the tokens most of a document is made of ----------------------------------------------
//
// Braces, hex-escaped bytes, symbols and plain text are read here, inline: the reader's loop
// takes millions of them, and a call for each costs it as much as the rest of the token.
// Control words are read in rtftokenizer.cpp.

inline Token Tokenizer::next()
{
    if (m_pos >= m_data.size())
        return {};
    switch (m_data[m_pos]) {
    case '{':
        ++m_pos;
        return {Token::Kind::GroupStart};
    case '}':
        ++m_pos;
        return {Token::Kind::GroupEnd};
    case '\\':
        ++m_pos;
        return control();
    default:
        return text();
    }
}

// After a backslash. A backslash that ends the input ends it.
inline Token Tokenizer::control()
{
    if (m_pos >= m_data.size())
        return {};
    const char c = m_data[m_pos];
    if (isLetter(c))
        return word();
    ++m_pos;
    if (c == '\'')
        return hexByte();
    Token token{Token::Kind::Symbol};
    token.symbol = c;
    return token;
}

// After "\'": up to two hex digits.
inline Token Tokenizer::hexByte()
{
    int value = 0;
    int digits = 0;
    for (; digits < 2 && m_pos < m_data.size(); ++digits, ++m_pos) {
        const int digit = hexValue(m_data[m_pos]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    Token token{Token::Kind::HexByte};
    token.number = digits > 0 ? value : -1;
    return token;
}

// Plain bytes up to the next brace or backslash.
inline Token Tokenizer::text()
{
    const qsizetype n = m_data.size();
    const qsizetype start = m_pos;
    while (m_pos < n) {
        const char c = m_data[m_pos];
        if (c == '{' || c == '}' || c == '\\')
            break;
        ++m_pos;
    }
    Token token{Token::Kind::Text};
    token.text = std::string_view(m_data.data() + start, static_cast<size_t>(m_pos - start));
    return token;
}

} // namespace merilon::rtf
