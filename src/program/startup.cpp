#include "startup.h"

#include "program.h"
#include "richtext/qtcompat.h"
#include "shell/desktop.h"
#include "shell/fonts.h"
#include "shell/singleinstance.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>

namespace merilon {

void setUpApplication(QTranslator &russian)
{
    QApplication::setApplicationName(QStringLiteral("Merilon"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/merilon.png")));
    loadWindowFonts();
    // The standard dialogs speak Russian whatever the system's language.
    if (russian.load(QStringLiteral(":/translations/qtbase_ru.qm")))
        QApplication::installTranslator(&russian);
}

int runProgram(int argc, char *argv[])
{
    // A second copy ends at once and silently.
    SingleInstanceGuard guard;
    if (!guard.CheckSingleInstance(QStringLiteral("Merilon")))
        return 0;

    scaleLikeQt6();
    QApplication app(argc, argv);
    QTranslator qtRussian;
    setUpApplication(qtRussian);

    SystemDesktop desktop;
    SystemClock clock;
    const QString folder = QCoreApplication::applicationDirPath();
    Program program(desktop, clock, folder, JournalPlace::locate(folder));
    program.show();
    return QApplication::exec();
}

} // namespace merilon
