// Adds records to a journal, as one more copy of the program would:
// journal_writer JOURNAL NAME COUNT. Each record carries its data, with this computer's
// name. Exits non-zero when a record fails.
#include "results/journal.h"
#include "results/recorddata.h"
#include "richtext/richtext.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4)
        return 2;
    const merilon::Journal journal(args[1]);
    for (int k = 1; k <= args[3].toInt(); ++k) {
        // A computer's next result comes after another examinee's attempt, never at once:
        // a short random pause stands for that, so that a writer that has just let the lock
        // go does not take it again ahead of all the others.
        if (k > 1)
            QThread::msleep(50 + QRandomGenerator::global()->bounded(250));
        merilon::RichText record;
        record.setPlain(QStringLiteral(" Фамилия имя: %1 %2\n Оценка: 5\n ").arg(args[2]).arg(k));
        merilon::RecordData data;
        data.id = merilon::RecordData::newId();
        data.surname = args[2];
        data.name = QString::number(k);
        data.computer = QSysInfo::machineHostName();
        data.confirmed = QDateTime::currentDateTime();
        record.setCharacterData(0, data.encode());
        // A journal busy past the wait is tried again, as the examinee's result would be
        // (the program keeps it in the user's folder and brings it with the next one); a
        // loaded test machine can starve one writer of thirty that long.
        QString error;
        int tries = 0;
        while (!journal.addRecord(record, &error)) {
            if (!error.startsWith(QStringLiteral("Журнал занят")) || ++tries == 4) {
                QTextStream(stderr) << error << '\n';
                return 1;
            }
            QTextStream(stderr) << "busy, trying again: " << args[2] << ' ' << k << '\n';
        }
    }
    return 0;
}
