#pragma once

#include "journal.h"

#include <QObject>

namespace merilon {

class Desktop;
class TFormzurnal;
class TMainForm;

// The journal command: a new journal window over the file each time, with
// copy and print of the whole journal. Edits in the window are never saved.
class JournalViewer : public QObject
{
    Q_OBJECT

public:
    JournalViewer(TMainForm &form, Desktop &desktop, Journal journal);

    void ZurnalExecute();

    // The journal window's handlers.
    static void FormCreate(TFormzurnal &window, const Journal &journal, Desktop &desktop);
    static void copydocExecute(TFormzurnal &window);
    static void printdocExecute(TFormzurnal &window, Desktop &desktop);
    // Saves the journal's records as a workbook or a CSV file the teacher names.
    static void tabledocExecute(TFormzurnal &window, const Journal &journal, Desktop &desktop);

    // The plain text as a print job's title: one line, at most 255 bytes.
    static QString jobTitle(const QString &text);

private:
    TMainForm &m_form;
    Desktop &m_desktop;
    Journal m_journal;
    QString m_savedMode; // the mode panel while the journal is open
};

} // namespace merilon
