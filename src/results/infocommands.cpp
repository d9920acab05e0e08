#include "infocommands.h"

#include "shell/aboutbox.h"
#include "shell/desktop.h"
#include "shell/inforform.h"
#include "shell/mainform.h"
#include "ui_mainform.h"

#include <QDir>

namespace merilon {

InfoCommands::InfoCommands(TMainForm &form, TInforform &information, Desktop &desktop,
                           QString programFolder)
    : QObject(&form), m_form(form), m_information(information), m_desktop(desktop),
      m_folder(std::move(programFolder))
{
    const Ui::TMainForm &ui = form.widgets();
    connect(ui.Inform, &QAction::triggered, this, &InfoCommands::InformExecute);
    connect(ui.About, &QAction::triggered, this, &InfoCommands::AboutExecute);
    connect(ui.Helpfile, &QAction::triggered, this, &InfoCommands::HelpfileExecute);
}

void InfoCommands::InformExecute()
{
    m_desktop.exec(m_information);
}

void InfoCommands::AboutExecute()
{
    TAboutBox AboutBox(&m_form); // a new one each time
    m_desktop.exec(AboutBox);
}

void InfoCommands::HelpfileExecute()
{
    m_desktop.openDocument(helpPath());
}

QString InfoCommands::helpPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("Help-T.chm"));
}

} // namespace merilon
