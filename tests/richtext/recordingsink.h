#pragma once

#include "richtext/rtfreader.h"

#include <QList>
#include <QString>

// Records what the reader hands out: paragraphs of styled runs.
struct RecordingSink : merilon::rtf::Sink
{
    struct Run
    {
        QString text;
        merilon::rtf::CharStyle style;
    };
    struct Paragraph
    {
        QList<Run> runs;
        merilon::rtf::ParaStyle style;
        QString text() const
        {
            QString all;
            for (const Run &run : runs)
                all += run.text;
            return all;
        }
    };

    QList<Paragraph> paragraphs{Paragraph{}};
    QList<merilon::rtf::Picture> pictures;
    bool finished = false;

    void text(const QString &text, const merilon::rtf::CharStyle &style) override
    {
        QList<Run> &runs = paragraphs.back().runs;
        if (!runs.isEmpty() && runs.back().style == style)
            runs.back().text += text;
        else
            runs.append({text, style});
    }
    void paragraphBreak(const merilon::rtf::ParaStyle &style) override
    {
        paragraphs.back().style = style;
        paragraphs.append(Paragraph{});
    }
    void picture(const merilon::rtf::Picture &picture, const merilon::rtf::CharStyle &) override
    {
        pictures.append(picture);
        text(QStringLiteral("\uFFFC"), {});
    }
    void finish(const merilon::rtf::ParaStyle &style) override
    {
        paragraphs.back().style = style;
        finished = true;
    }

    // All paragraphs' text joined by '\n'.
    QString plain() const
    {
        QStringList parts;
        for (const Paragraph &p : paragraphs)
            parts << p.text();
        return parts.join(QLatin1Char('\n'));
    }
};

inline RecordingSink readRtf(QByteArrayView data)
{
    RecordingSink sink;
    merilon::rtf::read(data, sink);
    return sink;
}
