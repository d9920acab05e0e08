#pragma once

// Test documents for the tests: well-formed blocks, whole tests and files.

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <map>

namespace testfiles {

// A well-formed block of question n: three variants, the second correct.
inline QString block(int n)
{
    return QStringLiteral("#%1 Вопрос %1?\n-нет %1\n+да %1\n-может быть %1\n\n").arg(n);
}

// A test of `count` questions; `replaced` gives other texts for some blocks
// (an empty text leaves the block out).
inline QString test(int count = 50, const std::map<int, QString> &replaced = {},
                    const QString &preamble = QStringLiteral("Контрольная работа\n\n"))
{
    QString text = preamble;
    for (int n = 1; n <= count; ++n) {
        const auto it = replaced.find(n);
        text += it == replaced.end() ? block(n) : it->second;
    }
    return text;
}

inline QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return path;
}

inline QString write(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    return write(dir, name, text.toUtf8());
}

} // namespace testfiles

#include "richtext/codepages.h"

namespace testfiles {

// The text as the document exposes it: CR LF between lines.
inline QString crlf(QString text)
{
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

// The text as a Windows-1251 plain-text file with CR LF line ends.
inline QByteArray cp1251(const QString &text)
{
    QByteArray bytes;
    const QString lines = crlf(text);
    for (QChar c : lines) {
        const unsigned char b = merilon::rtf::encode1251(c.unicode());
        bytes += b ? char(b) : '?';
    }
    return bytes;
}

// The text as the body of an RTF document in Windows-1251, one paragraph
// per line.
inline QByteArray rtfBody(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        if (c == QLatin1Char('\n'))
            out += "\\par\n";
        else if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            out += '\\' + QByteArray(1, char(c.unicode()));
        else if (c.unicode() < 0x80)
            out += char(c.unicode());
        else
            out += "\\'" + QByteArray::number(merilon::rtf::encode1251(c.unicode()), 16);
    }
    return out;
}

// An RTF document around a body: Arial at 20 points, red as colour 1.
inline QByteArray rtfDocument(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}"
           "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs40 " +
           body + "}";
}

inline QByteArray rtf(const QString &text)
{
    return rtfDocument(rtfBody(text));
}

} // namespace testfiles
