#pragma once

#include "shell/desktop.h"

#include <QDialog>
#include <QStringList>
#include <algorithm>
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
    QStringList dialogs;          // the object names of the dialogs shown modally
    QStringList documents;        // what was handed to the desktop to open
    QStringList refusedDocuments; // the desktop cannot open files whose names end so
    // The answers to the coming confirmations, first first; none left: No.
    std::vector<bool> answers;
    // Runs while a box is open, as the event loop of a modal box would.
    std::function<void()> whileOpen;

    QString openFileName(QWidget *, const QString &f) override
    {
        filter = f;
        return nextFile;
    }
    QString nextSaveFile;    // the answer of the next save dialog
    QStringList saveOffered; // the names the save dialogs offered
    QString saveFileName(QWidget *, const QString &suggested, const QString &f) override
    {
        saveOffered << suggested;
        filter = f;
        return std::exchange(nextSaveFile, QString());
    }
    void showError(QWidget *, const QString &text) override { errors << text; }
    void showWarning(QWidget *, const QString &text) override { warnings << text; }
    std::vector<int> choices; // the buttons pressed in the coming boxes; none left: closed
    QStringList chosen;       // the texts of those boxes
    int choose(QWidget *, const QString &text, const QStringList &) override
    {
        chosen << text;
        if (choices.empty())
            return -1;
        const int answer = choices.front();
        choices.erase(choices.begin());
        return answer;
    }
    // What the coming dialogs do while they are open, first first, each giving the dialog's
    // result; none left: whileOpen, then 1.
    std::vector<std::function<int(QDialog &)>> dialogScripts;
    int exec(QDialog &dialog) override
    {
        dialogs << dialog.objectName();
        if (!dialogScripts.empty()) {
            const auto script = dialogScripts.front();
            dialogScripts.erase(dialogScripts.begin());
            return script(dialog);
        }
        if (auto during = std::exchange(whileOpen, nullptr))
            during();
        return 1;
    }
    bool openDocument(const QString &path) override
    {
        documents << path;
        return std::none_of(refusedDocuments.begin(), refusedDocuments.end(),
                            [&](const QString &end) { return path.endsWith(end); });
    }
    QStringList networkFolders; // paths below these lie on another computer
    bool onNetwork(const QString &path) override
    {
        return std::any_of(networkFolders.begin(), networkFolders.end(),
                           [&](const QString &folder) { return path.startsWith(folder); });
    }
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
