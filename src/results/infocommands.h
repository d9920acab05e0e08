#pragma once

#include "journalplace.h"

#include <QObject>
#include <QString>

namespace merilon {

class Desktop;
class TInforform;
class TMainForm;

// The three commands that are always on: the test information, the about
// box and the help file.
class InfoCommands : public QObject
{
    Q_OBJECT

public:
    // `programFolder` holds the help file; the information tells where `place` puts results.
    InfoCommands(TMainForm &form, TInforform &information, Desktop &desktop, QString programFolder,
                 JournalPlace place);

    void InformExecute();
    void AboutExecute();
    void HelpfileExecute();

    QString helpPath() const;
    // The guide as HTML pages, or empty when they are not installed.
    QString htmlHelpPath() const;

private:
    // What to say when neither the help file nor the HTML guide (`guide`, if found) opened.
    QString helpMissing(const QString &guide) const;

    TMainForm &m_form;
    TInforform &m_information;
    Desktop &m_desktop;
    QString m_folder;
    JournalPlace m_place;
};

} // namespace merilon
