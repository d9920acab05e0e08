#include "content/checker.h"

#include <QGuiApplication>
#include <QTextStream>

namespace {

// Only what the checker itself says reaches the terminal: Qt's notes about
// the missing display are dropped.
void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietHandler);
    // The checker shows no window and needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = merilon::runChecker(QGuiApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
