#include "content/checker.h"
#include "content/sealtool.h"
#include "results/journalplace.h"
#include "results/journaltool.h"
#include "shell/console.h"

#include <QGuiApplication>
#include <QTextStream>

namespace {

// Only what the checker itself says reaches the terminal: Qt's notes about
// the missing display are dropped.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        merilon::writeText(stderr, message + QLatin1Char('\n'));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    merilon::useHeadlessPlatform();
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments().mid(1);
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    // The password is asked at the terminal, unseen, before anything else is written.
    const merilon::PasswordReader read = [](const QString &prompt) {
        return merilon::readSecretLine(prompt);
    };
    int status = merilon::runSealTool(arguments, read, out, err);
    if (status < 0)
        status = merilon::runJournalTool(
            arguments, merilon::JournalPlace::locate(QGuiApplication::applicationDirPath()), read,
            out, err);
    if (status < 0)
        status = merilon::runChecker(arguments, out, err);
    out.flush();
    err.flush();
    // A console shows the messages in its own code page; JSON stays UTF-8 for the program
    // that reads it.
    const bool json = arguments.contains(QStringLiteral("--json"));
    merilon::writeText(stdout, outText,
                       json ? merilon::TextMode::Raw : merilon::TextMode::Terminal);
    merilon::writeText(stderr, errText);
    return status;
}
