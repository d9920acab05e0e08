#pragma once

#include <QString>
#include <QStringList>

namespace merilon {

// Where this computer's results go. By default the journal lies beside the program; an
// administrator may name another folder, a shared one on a server for a class, in
// merilon.ini beside the program (on Linux also /etc/merilon/merilon.ini; the one beside the
// program wins):
//
//     [Журнал]
//     Папка=\\server\results\7a
//
// A result that cannot reach that journal is kept in a journal in the user's own data folder
// until the next result that reaches it takes it along.
struct JournalPlace
{
    QString journal;  // the journal's path; its name is always Journal.res
    QString kept;     // the journal that keeps what could not reach it
    QString settings; // the settings file that named the folder, or empty
    // What is wrong with the settings, in Russian; the journal is where they leave it.
    QStringList problems;

    // The settings files looked at, in order: merilon.ini beside the program, then the
    // system's.
    static QStringList settingsFiles(const QString &programFolder);
    // The user's own data folder for the kept journal.
    static QString keptFolder();

    static JournalPlace locate(const QString &programFolder);
    static JournalPlace locate(const QString &programFolder, const QStringList &settingsFiles,
                               const QString &keptFolder);

    // Whether a file can be made in the journal's folder and the journal, if there is one,
    // can be written; `why` says what stands in the way.
    bool writable(QString *why = nullptr) const;
    // How many results wait in the kept journal.
    int keptCount() const;
    // Where the results go, in Russian, for the information window and the checker.
    QString describe() const;
};

} // namespace merilon
