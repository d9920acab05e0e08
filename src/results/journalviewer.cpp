#include "journalviewer.h"

#include "recorddata.h"
#include "resulttable.h"
#include "richtext/richedit.h"
#include "shell/desktop.h"
#include "shell/formzurnal.h"
#include "shell/mainform.h"
#include "shell/statusbar.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStandardPaths>

namespace merilon {

JournalViewer::JournalViewer(TMainForm &form, Desktop &desktop, Journal journal)
    : QObject(&form), m_form(form), m_desktop(desktop), m_journal(std::move(journal))
{
    connect(form.controls().Zurnal, &QAction::triggered, this, &JournalViewer::ZurnalExecute);
}

void JournalViewer::ZurnalExecute()
{
    if (!m_journal.exists()) {
        m_desktop.showWarning(&m_form, QStringLiteral("Файл журнала отсутствует."));
        return;
    }
    TFormzurnal Formzurnal(&m_form); // made anew, gone when closed
    FormCreate(Formzurnal, m_journal, m_desktop);
    const TFormzurnal::Controls &ui = Formzurnal.controls();
    connect(ui.copydoc, &QAction::triggered, &Formzurnal,
            [&Formzurnal] { copydocExecute(Formzurnal); });
    connect(ui.printdoc, &QAction::triggered, &Formzurnal,
            [&Formzurnal, this] { printdocExecute(Formzurnal, m_desktop); });
    connect(ui.tabledoc, &QAction::triggered, &Formzurnal,
            [&Formzurnal, this] { tabledocExecute(Formzurnal, m_journal, m_desktop); });
    connect(ui.Button3, &QPushButton::clicked, &Formzurnal, [this, &Formzurnal] {
        // Button3Click
        m_form.status().setPanelText(ModePanel, m_savedMode);
        Formzurnal.close();
    });
    m_savedMode = m_form.status().panelText(ModePanel);
    m_form.status().setPanelText(ModePanel, QStringLiteral("Журнал"));
    m_desktop.exec(Formzurnal);
}

void JournalViewer::FormCreate(TFormzurnal &window, const Journal &journal, Desktop &desktop)
{
    RichText &text = window.controls().Editorzur->content();
    text.Lines().Clear();
    QString error;
    if (!text.Lines().LoadFromFile(journal.path(), &error))
        desktop.showError(&window, error);
}

void JournalViewer::copydocExecute(TFormzurnal &window)
{
    RichText &text = window.controls().Editorzur->content();
    text.SelectAll();
    text.CopyToClipboard();
}

void JournalViewer::printdocExecute(TFormzurnal &window, Desktop &desktop)
{
    const RichText &text = window.controls().Editorzur->content();
    QString error;
    if (!text.Print(jobTitle(text.Text()), &error))
        desktop.showError(&window, error);
}

void JournalViewer::tabledocExecute(TFormzurnal &window, const Journal &journal, Desktop &desktop)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(documents).filePath(
        QStringLiteral("Результаты %1.xlsx").arg(QDate::currentDate().toString(u"dd.MM.yyyy")));
    QString path = desktop.saveFileName(
        &window, suggested,
        QStringLiteral("Книга Excel (*.xlsx);;Таблица CSV для Excel и LibreOffice (*.csv)"));
    if (path.isEmpty())
        return;
    // A name typed without its ending is a workbook.
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    // The file as it is, not the window's text, which the teacher may have edited.
    QFile file(journal.path());
    if (!file.open(QIODevice::ReadOnly)) {
        desktop.showError(&window,
                          QStringLiteral("Не удается прочитать журнал \"%1\": %2")
                              .arg(QDir::toNativeSeparators(journal.path()), file.errorString()));
        return;
    }
    QString error;
    if (!writeTable(path, mergeJournals({readJournalRecords(file.readAll())}), &error))
        desktop.showError(&window, error);
}

QString JournalViewer::jobTitle(const QString &text)
{
    QString title = text.simplified();
    while (title.toUtf8().size() > 255)
        title.chop(1);
    return title;
}

} // namespace merilon
