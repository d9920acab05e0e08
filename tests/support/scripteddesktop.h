#pragma once

#include "shell/desktop.h"

#include <QStringList>

// Answers the file dialog from a script and records the message boxes.
struct ScriptedDesktop final : merilon::Desktop
{
    QString nextFile;
    QString filter;
    QStringList errors;
    QStringList warnings;

    QString openFileName(QWidget *, const QString &f) override
    {
        filter = f;
        return nextFile;
    }
    void showError(QWidget *, const QString &text) override { errors << text; }
    void showWarning(QWidget *, const QString &text) override { warnings << text; }
};
