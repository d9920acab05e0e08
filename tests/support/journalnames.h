#pragma once

// The records of a journal as the tests tell them apart: by their name lines.

#include "richtext/richtext.h"

#include <QStringList>

// What follows " Фамилия имя: " on each name line of a journal, newest record first.
inline QStringList journalNames(const merilon::RichText &journal)
{
    const QString label = QStringLiteral(" Фамилия имя: ");
    QStringList found;
    for (int i = 0; i < journal.Lines().Count(); ++i)
        if (const QString line = journal.Lines()[i]; line.startsWith(label))
            found << line.mid(label.size());
    return found;
}

// The journal at `path`, read as the viewer reads it; nothing when it cannot be read.
inline QStringList journalNames(const QString &path)
{
    merilon::RichText journal;
    QString error;
    if (!journal.Lines().LoadFromFile(path, &error))
        return {};
    return journalNames(journal);
}
