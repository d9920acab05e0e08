#include "journalplace.h"

#include "journal.h"
#include "recorddata.h"
#include "richtext/qtcompat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace merilon {

namespace {

struct Setting
{
    QString folder;
    QString problem;
};

// The results folder a settings file names: "Папка" in the section "Журнал". A relative
// folder is taken from the settings file's own folder.
Setting readSettings(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                QStringLiteral("Не удается прочитать файл настроек \"%1\": %2.")
                    .arg(shown, file.errorString())};
    const QByteArray bytes = file.read(64 * 1024);
    // UTF-8, with or without its mark; UTF-16 with its mark (Notepad's "Юникод", and what
    // the installer writes).
    const auto marked = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(marked.value_or(QStringConverter::Utf8),
                           QStringDecoder::Flag::Stateless |
                               QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    if (decoder.hasError())
        return {{},
                QStringLiteral("Файл настроек \"%1\" сохранён не в кодировке UTF-8, и папка "
                               "для результатов в нём не прочитана. Сохраните его в UTF-8 "
                               "(в Блокноте: \"Сохранить как\", кодировка UTF-8).")
                    .arg(shown)};
    bool inJournal = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inJournal = line.mid(1, line.size() - 2)
                            .trimmed()
                            .compare(QStringLiteral("Журнал"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inJournal || eq < 0 ||
            line.left(eq).trimmed().compare(QStringLiteral("Папка"), Qt::CaseInsensitive) != 0)
            continue;
        QString folder = line.mid(eq + 1).trimmed();
        if (folder.size() >= 2 && folder.startsWith(QLatin1Char('"')) &&
            folder.endsWith(QLatin1Char('"')))
            folder = folder.mid(1, folder.size() - 2).trimmed();
        if (folder.isEmpty())
            return {};
        return {QDir::cleanPath(
                    QFileInfo(path).dir().absoluteFilePath(QDir::fromNativeSeparators(folder))),
                {}};
    }
    return {};
}

} // namespace

JournalPlace JournalPlace::locate(const QString &programFolder)
{
    return locate(programFolder, settingsFiles(programFolder), keptFolder());
}

JournalPlace JournalPlace::locate(const QString &programFolder, const QStringList &files,
                                  const QString &keptFolder)
{
    JournalPlace place;
    place.journal = Journal::pathIn(programFolder);
    place.kept = Journal::pathIn(keptFolder);
    for (const QString &file : files) {
        if (!QFileInfo(file).isFile())
            continue;
        // The first settings file there is decides, even when it names no folder.
        const Setting setting = readSettings(file);
        if (!setting.problem.isEmpty()) {
            place.problems.append(setting.problem);
            break;
        }
        if (setting.folder.isEmpty())
            break;
        place.settings = file;
        place.journal = Journal::pathIn(setting.folder);
        const QFileInfo folder(setting.folder);
        const QString shown = QDir::toNativeSeparators(setting.folder);
        if (!folder.exists())
            place.problems.append(
                QStringLiteral("Папка для результатов \"%1\", указанная в \"%2\", "
                               "не найдена.")
                    .arg(shown, QDir::toNativeSeparators(file)));
        else if (!folder.isDir())
            place.problems.append(QStringLiteral("В \"%2\" для результатов указана не папка, а "
                                                 "файл: \"%1\".")
                                      .arg(shown, QDir::toNativeSeparators(file)));
        break;
    }
    return place;
}

bool JournalPlace::writable(QString *why) const
{
    const auto fail = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    const QFileInfo info(journal);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!QFileInfo(info.absolutePath()).isDir())
        return fail(QStringLiteral("папки \"%1\" нет").arg(folder));
    // The journal is replaced by a new file beside it: the folder must take new files.
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/Journal-XXXXXX.tmp"));
    if (!probe.open())
        return fail(QStringLiteral("в папку \"%1\" нельзя записать файл").arg(folder));
    probe.close();
    if (info.exists()) {
        QFile file(journal);
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("журнал нельзя прочитать: %1").arg(file.errorString()));
    }
    return true;
}

int JournalPlace::keptCount() const
{
    QFile file(kept);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return int(readJournalRecords(file.readAll()).size());
}

QString JournalPlace::describe() const
{
    QStringList lines;
    lines << QStringLiteral("Журнал результатов: %1").arg(QDir::toNativeSeparators(journal));
    if (!settings.isEmpty())
        lines << QStringLiteral("Папка указана в файле настроек %1.")
                     .arg(QDir::toNativeSeparators(settings));
    QString why;
    lines << (writable(&why) ? QStringLiteral("Запись в журнал возможна.")
                             : QStringLiteral("Записать в журнал сейчас нельзя: %1. Результаты "
                                              "будут сохранены в папке пользователя: %2.")
                                   .arg(why, QDir::toNativeSeparators(kept)));
    if (const int count = keptCount(); count > 0)
        lines << QStringLiteral("Ждут переноса в журнал: %1 (в %2).")
                     .arg(count)
                     .arg(QDir::toNativeSeparators(kept));
    lines << problems;
    return lines.join(QLatin1Char('\n'));
}

} // namespace merilon
