#include "infocommands.h"

#include "shell/aboutbox.h"
#include "shell/desktop.h"
#include "shell/inforform.h"
#include "shell/mainform.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace merilon {

InfoCommands::InfoCommands(TMainForm &form, TInforform &information, Desktop &desktop,
                           QString programFolder, JournalPlace place)
    : QObject(&form), m_form(form), m_information(information), m_desktop(desktop),
      m_folder(std::move(programFolder)), m_place(std::move(place))
{
    const TMainForm::Controls &ui = form.controls();
    connect(ui.Inform, &QAction::triggered, this, &InfoCommands::InformExecute);
    connect(ui.About, &QAction::triggered, this, &InfoCommands::AboutExecute);
    connect(ui.Helpfile, &QAction::triggered, this, &InfoCommands::HelpfileExecute);
}

void InfoCommands::InformExecute()
{
    m_information.setJournalText(m_place.describe());
    m_desktop.exec(m_information);
}

void InfoCommands::AboutExecute()
{
    TAboutBox AboutBox(&m_form); // a new one each time
    m_desktop.exec(AboutBox);
}

void InfoCommands::HelpfileExecute()
{
    const QString guide = htmlHelpPath();
    // Windows shows a compiled help file from a network folder with its contents but blank
    // pages: there the guide's own pages come first.
    if (!guide.isEmpty() && m_desktop.onNetwork(m_folder) && m_desktop.openDocument(guide))
        return;
    if (m_desktop.openDocument(helpPath()))
        return;
    // No viewer for the compiled help here (most Linux desktops): the same guide as HTML in
    // the browser, when it is installed beside the program.
    if (!guide.isEmpty() && m_desktop.openDocument(guide))
        return;
    m_desktop.showWarning(&m_form, helpMissing(guide));
}

QString InfoCommands::helpMissing(const QString &guide) const
{
    const QString chm = QDir::toNativeSeparators(helpPath());
    const QString compiled =
        QFileInfo::exists(helpPath())
            ? QStringLiteral("для файла справки %1 на этом компьютере нет программы просмотра")
                  .arg(chm)
            : QStringLiteral("файла справки нет: %1").arg(chm);
    if (!guide.isEmpty())
        return QStringLiteral("Справку открыть нельзя: %1, а страницы справки (%2) не открылись: "
                              "на этом компьютере не задан браузер.")
            .arg(compiled, QDir::toNativeSeparators(guide));
    return QStringLiteral("Справку открыть нельзя: %1, а папки help со страницами справки рядом "
                          "с программой нет (%2).")
        .arg(compiled, QDir::toNativeSeparators(QDir(m_folder).filePath(QStringLiteral("help"))));
}

QString InfoCommands::htmlHelpPath() const
{
    // Beside the program, or where an installation for Linux puts shared files.
    for (const QString &folder :
         {QStringLiteral("help"), QStringLiteral("../share/merilon/help")}) {
        const QString index = QDir(m_folder).filePath(folder + QStringLiteral("/index.html"));
        if (QFileInfo::exists(index))
            return QDir::cleanPath(index);
    }
    return {};
}

QString InfoCommands::helpPath() const
{
    // Beside the program (Windows, and the build), else with the guide's pages where an
    // installation for Linux puts shared files; a missing one is named beside the program.
    const QString beside = QDir(m_folder).filePath(QStringLiteral("Help-T.chm"));
    const QString shared =
        QDir(m_folder).filePath(QStringLiteral("../share/merilon/help/Help-T.chm"));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(shared))
        return QDir::cleanPath(shared);
    return beside;
}

} // namespace merilon
