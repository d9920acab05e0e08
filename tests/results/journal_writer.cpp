// Adds records to a journal, as one more copy of the program would:
// journal_writer JOURNAL NAME COUNT. Exits non-zero when a record fails.
#include "results/journal.h"
#include "richtext/richtext.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 4)
        return 2;
    const merilon::Journal journal(args[1]);
    for (int k = 1; k <= args[3].toInt(); ++k) {
        merilon::RichText record;
        record.setPlain(QStringLiteral(" Фамилия имя: %1 %2\n Оценка: 5\n ").arg(args[2]).arg(k));
        QString error;
        if (!journal.addRecord(record, &error)) {
            QTextStream(stderr) << error << '\n';
            return 1;
        }
    }
    return 0;
}
