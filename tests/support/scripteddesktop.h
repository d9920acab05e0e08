#pragma once

#include "shell/desktop.h"

#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

// Answers the file dialog from a script and records the message boxes.
struct ScriptedDesktop final : merilon::Desktop
{
    QString nextFile;
    QString filter;
    QStringList errors;
    QStringList warnings;
    QStringList questions;
    // The answers to the coming confirmations, first first; none left: No.
    std::vector<bool> answers;
    // Runs while a box is open, as the event loop of a modal box would.
    std::function<void()> whileOpen;

    QString openFileName(QWidget *, const QString &f) override
    {
        filter = f;
        return nextFile;
    }
    void showError(QWidget *, const QString &text) override { errors << text; }
    void showWarning(QWidget *, const QString &text) override { warnings << text; }
    bool confirm(QWidget *, const QString &text) override
    {
        questions << text;
        if (auto during = std::exchange(whileOpen, nullptr))
            during();
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.erase(answers.begin());
        return yes;
    }
};
