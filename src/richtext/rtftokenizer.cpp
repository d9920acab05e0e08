#include "rtftokenizer.h"

#include <algorithm>

namespace merilon::rtf {

namespace {

// Control words longer than this are read as unknown words.
constexpr qsizetype kMaxWordLetters = 32;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

qsizetype envelopeStart(QByteArrayView data)
{
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < data.size() &&
           (data[pos] == ' ' || data[pos] == '\t' || data[pos] == '\r' || data[pos] == '\n'))
        ++pos;
    return pos;
}

Tokenizer::Tokenizer(QByteArrayView data) : m_data(data), m_pos(envelopeStart(data)) {}

QByteArrayView Tokenizer::takeBinary(long long count)
{
    const qsizetype take =
        static_cast<qsizetype>(std::min<long long>(count, m_data.size() - m_pos));
    const QByteArrayView bytes = m_data.sliced(m_pos, take);
    m_pos += take;
    return bytes;
}

// Letters, an optional number with an optional minus, and one space that belongs to the word.
Token Tokenizer::word()
{
    const qsizetype n = m_data.size();
    const qsizetype start = m_pos;
    while (m_pos < n && isLetter(m_data[m_pos]))
        ++m_pos;
    const qsizetype letters = m_pos - start;
    Token token{Token::Kind::Word};
    bool negative = false;
    if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < n && isDigit(m_data[m_pos])) {
        token.hasNumber = true;
        if (token.number < 100000000000LL)
            token.number = token.number * 10 + (m_data[m_pos] - '0');
        ++m_pos;
    }
    if (negative)
        token.number = -token.number;
    if (m_pos < n && m_data[m_pos] == ' ')
        ++m_pos;
    if (letters <= kMaxWordLetters)
        token.text = std::string_view(m_data.data() + start, static_cast<size_t>(letters));
    return token;
}

} // namespace merilon::rtf
