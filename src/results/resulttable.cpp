#include "resulttable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <xlsxwriter.h>

namespace merilon {

namespace {

enum Column {
    Date,
    Time,
    Surname,
    Name,
    Test,
    Asked,
    Correct,
    Percent,
    Grade,
    Used,
    Computer,
    Check, // only in a table whose records were checked
    ColumnCount
};

// The columns the rows fill: the check's only when a row has one.
int columnsFor(const QList<TableRow> &rows)
{
    const bool checked = std::any_of(rows.begin(), rows.end(),
                                     [](const TableRow &row) { return !row.check.isEmpty(); });
    return checked ? ColumnCount : ColumnCount - 1;
}

// A cell holds at most this many characters in a workbook.
constexpr qsizetype MaxCellChars = 32767;
// A column is never made wider than this many characters, however long its text.
constexpr double MaxColumnWidth = 100;

bool fail(QString *error, const QString &path, const QString &why)
{
    if (error)
        *error = QStringLiteral("Не удается записать таблицу \"%1\": %2")
                     .arg(QDir::toNativeSeparators(path), why);
    return false;
}

// Why a file at `path` cannot be written, in words for the teacher.
QString openFailure(const QString &path, const QFileDevice &file)
{
    const QDir folder = QFileInfo(path).absoluteDir();
    if (!folder.exists())
        return QStringLiteral("папки \"%1\" нет.").arg(QDir::toNativeSeparators(folder.path()));
    return file.errorString();
}

bool known(int value)
{
    return value >= 0;
}
bool known(double value)
{
    return std::isfinite(value) && value >= 0;
}

// The percent as the result window shows it: to a tenth, with no ",0" after a whole number.
double tenths(double percent)
{
    return std::round(percent * 10) / 10;
}

QString duration(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The row's cells as a spreadsheet in a Russian setting shows them: what the CSV file holds,
// and what the columns' widths are fitted to.
std::array<QString, ColumnCount> shownCells(const TableRow &row)
{
    std::array<QString, ColumnCount> cells;
    if (row.confirmed.isValid()) {
        cells[Date] = row.confirmed.date().toString(QStringLiteral("dd.MM.yyyy"));
        cells[Time] = row.confirmed.time().toString(QStringLiteral("hh:mm:ss"));
    }
    cells[Surname] = row.surname;
    cells[Name] = row.name;
    cells[Test] = row.test;
    if (known(row.asked))
        cells[Asked] = QString::number(row.asked);
    if (known(row.correct))
        cells[Correct] = QString::number(row.correct);
    if (known(row.percent))
        cells[Percent] = QString::number(tenths(row.percent), 'g', 15)
                             .replace(QLatin1Char('.'), QLatin1Char(','));
    if (known(row.grade))
        cells[Grade] = QString::number(row.grade);
    if (known(row.secondsUsed))
        cells[Used] = duration(row.secondsUsed);
    cells[Computer] = row.computer;
    cells[Check] = row.check;
    return cells;
}

// ---- CSV ----------------------------------------------------------------------------------------

QString csvField(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
                        (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void appendCsvLine(QString &out, const auto &cells, int count)
{
    bool first = true;
    for (const QString &cell : QList<QString>(cells.begin(), cells.begin() + count)) {
        if (!first)
            out += QLatin1Char(';');
        first = false;
        out += csvField(cell);
    }
    out += QLatin1String("\r\n");
}

// ---- the workbook -------------------------------------------------------------------------------

// Text a workbook cell can hold: no control characters but tab and line feed (a CR LF becomes
// one line break), nothing XML forbids, "_xHHHH_" kept literal (a reader would decode it), and
// no more than a cell takes.
QByteArray cellText(const QString &text)
{
    QString out;
    out.reserve(std::min<qsizetype>(text.size(), MaxCellChars));
    const auto isHex = [](QChar c) {
        return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text.at(i).unicode();
        QStringView piece(&c, 1);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            c = u'\n';
        } else if (c < 0x20 && c != u'\t' && c != u'\n') {
            c = u' ';
        } else if (c == 0xFFFE || c == 0xFFFF || QChar::isLowSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                piece = QStringView(text).mid(i++, 2);
            else
                c = QChar::ReplacementCharacter;
        } else if (c == u'_' && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x') &&
                   std::all_of(text.begin() + i + 2, text.begin() + i + 6, isHex) &&
                   text.at(i + 6) == QLatin1Char('_')) {
            piece = u"_x005F_";
        }
        if (out.size() + piece.size() > MaxCellChars)
            break;
        out += piece;
    }
    return out.toUtf8();
}

double columnWidth(const QString &text)
{
    qsizetype longest = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n')))
        longest = std::max(longest, line.size());
    return std::min(MaxColumnWidth, double(longest) * 1.1 + 2);
}

// Days since 30 December 1899, the spreadsheets' day 0; fractions of a day for the time.
double serialDate(const QDate &date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

double serialTime(int seconds)
{
    return double(seconds) / 86400;
}

QString libraryFailure(lxw_error code, const QString &scratch)
{
    switch (code) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("не хватает памяти.");
    case LXW_ERROR_CREATING_XLSX_FILE:
        return QStringLiteral("не удается создать временный файл \"%1\".")
            .arg(QDir::toNativeSeparators(scratch));
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("не удается записать временный файл в папку \"%1\".")
            .arg(QDir::toNativeSeparators(QDir::tempPath()));
    default:
        return QStringLiteral("ошибка при составлении книги (%1).")
            .arg(QString::fromUtf8(lxw_strerror(code)));
    }
}

// Where the library writes the workbook before it is copied to its place. The library opens
// the file with the C runtime's narrow functions, which take the name in the system's 8-bit
// encoding (the ANSI code page on Windows): a folder whose name that encoding cannot hold will
// not do, so the temporary folder is tried first and then the table's own.
QString scratchFolder(const QString &path)
{
    for (const QString &folder : {QDir::tempPath(), QFileInfo(path).absolutePath()})
        if (!folder.isEmpty() && QFile::decodeName(QFile::encodeName(folder)) == folder)
            return folder;
    return {};
}

struct Workbook
{
    lxw_workbook *book;
    lxw_worksheet *sheet = nullptr;
    lxw_format *header = nullptr, *date = nullptr, *time = nullptr, *duration = nullptr,
               *grade = nullptr;
    lxw_error status = LXW_NO_ERROR;

    explicit Workbook(const QByteArray &fileName) : book(workbook_new(fileName.constData()))
    {
        if (!book) {
            status = LXW_ERROR_MEMORY_MALLOC_FAILED;
            return;
        }
        sheet = workbook_add_worksheet(book, "Результаты");
        header = workbook_add_format(book);
        format_set_bold(header);
        date = numberFormat("dd.mm.yyyy");
        time = numberFormat("hh:mm:ss");
        duration = numberFormat("[h]:mm:ss");
        grade = workbook_add_format(book);
        format_set_font_color(grade, LXW_COLOR_RED);
        if (!sheet || !header || !date || !time || !duration || !grade)
            status = LXW_ERROR_MEMORY_MALLOC_FAILED;
    }
    ~Workbook()
    {
        if (book)
            workbook_close(book);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_format *numberFormat(const char *code)
    {
        lxw_format *format = workbook_add_format(book);
        if (format)
            format_set_num_format(format, code);
        return format;
    }

    bool ok() const { return status == LXW_NO_ERROR; }
    void check(lxw_error code)
    {
        if (status == LXW_NO_ERROR)
            status = code;
    }
    void text(lxw_row_t row, lxw_col_t column, const QString &value, lxw_format *format = nullptr)
    {
        if (!value.isEmpty())
            check(worksheet_write_string(sheet, row, column, cellText(value).constData(), format));
    }
    void number(lxw_row_t row, lxw_col_t column, double value, lxw_format *format = nullptr)
    {
        check(worksheet_write_number(sheet, row, column, value, format));
    }
    // Writes the file; the workbook is gone afterwards.
    lxw_error close()
    {
        if (!book)
            return status;
        const lxw_error closed = workbook_close(book);
        book = nullptr;
        return ok() ? closed : status;
    }
};

void writeRow(Workbook &book, lxw_row_t at, const TableRow &row)
{
    if (row.confirmed.isValid()) {
        // Days before March 1900 are counted differently by different spreadsheets.
        const double day = serialDate(row.confirmed.date());
        if (day >= 61)
            book.number(at, Date, day, book.date);
        else
            book.text(at, Date, row.confirmed.date().toString(QStringLiteral("dd.MM.yyyy")));
        book.number(at, Time, serialTime(row.confirmed.time().msecsSinceStartOfDay() / 1000),
                    book.time);
    }
    book.text(at, Surname, row.surname);
    book.text(at, Name, row.name);
    book.text(at, Test, row.test);
    if (known(row.asked))
        book.number(at, Asked, row.asked);
    if (known(row.correct))
        book.number(at, Correct, row.correct);
    if (known(row.percent))
        book.number(at, Percent, tenths(row.percent));
    if (known(row.grade))
        book.number(at, Grade, row.grade, book.grade);
    if (known(row.secondsUsed))
        book.number(at, Used, serialTime(row.secondsUsed), book.duration);
    book.text(at, Computer, row.computer);
    if (!row.check.isEmpty())
        book.text(at, Check, row.check);
}

} // namespace

QStringList tableColumns(bool withCheck)
{
    QStringList columns{QStringLiteral("Дата"),
                        QStringLiteral("Время"),
                        QStringLiteral("Фамилия"),
                        QStringLiteral("Имя"),
                        QStringLiteral("Тест"),
                        QStringLiteral("Задано вопросов"),
                        QStringLiteral("Правильных ответов"),
                        QStringLiteral("Процент"),
                        QStringLiteral("Оценка"),
                        QStringLiteral("Затрачено"),
                        QStringLiteral("Компьютер")};
    if (withCheck)
        columns << QStringLiteral("Проверка");
    return columns;
}

bool writeCsv(const QString &path, const QList<TableRow> &rows, QString *error)
{
    QString text;
    text.reserve((rows.size() + 1) * 96);
    const int count = columnsFor(rows);
    appendCsvLine(text, tableColumns(count == ColumnCount), count);
    for (const TableRow &row : rows) {
        auto cells = shownCells(row);
        // A name typed as "=..." must not become a formula when the file is opened: such a
        // text starts with an apostrophe, as a spreadsheet marks text itself.
        for (const int column : {Surname, Name, Test, Computer})
            if (QString &cell = cells[std::size_t(column)];
                !cell.isEmpty() && QStringView(u"=+-@").contains(cell.front()))
                cell.prepend(QLatin1Char('\''));
        appendCsvLine(text, cells, count);
    }
    const QByteArray bytes = "\xEF\xBB\xBF" + text.toUtf8();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, openFailure(path, file));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(error, path, file.errorString());
    return true;
}

bool writeXlsx(const QString &path, const QList<TableRow> &rows, QString *error)
{
    if (rows.size() >= LXW_ROW_MAX)
        return fail(error, path,
                    QStringLiteral("в листе помещается не больше %1 строк.").arg(LXW_ROW_MAX - 1));
    // The older table stays whole until the new one is written in full: the library writes
    // into a file of its own in the temporary folder, and that is copied over in one step.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, path, openFailure(path, file));
    const QString folder = scratchFolder(path);
    if (folder.isEmpty())
        return fail(error, path,
                    QStringLiteral("в именах временной папки \"%1\" и папки таблицы есть знаки, "
                                   "которых нет в кодировке системы.")
                        .arg(QDir::toNativeSeparators(QDir::tempPath())));
    QTemporaryFile scratch(QDir(folder).filePath(QStringLiteral("merilon-XXXXXX.xlsx")));
    if (!scratch.open())
        return fail(
            error, path,
            QStringLiteral("не удается создать временный файл: %1").arg(scratch.errorString()));
    scratch.close();

    const int count = columnsFor(rows);
    const QStringList columns = tableColumns(count == ColumnCount);
    std::array<double, ColumnCount> widths{};
    for (int c = 0; c < count; ++c)
        widths[c] = columnWidth(columns[c]);
    for (const TableRow &row : rows) {
        const auto cells = shownCells(row);
        for (int c = 0; c < count; ++c)
            if (cells[c].size() * 1.1 + 2 > widths[c])
                widths[c] = std::max(widths[c], columnWidth(cells[c]));
    }

    lxw_error written;
    {
        Workbook book(QFile::encodeName(scratch.fileName()));
        if (book.ok()) {
            for (int c = 0; c < count; ++c) {
                book.check(worksheet_set_column(book.sheet, lxw_col_t(c), lxw_col_t(c), widths[c],
                                                nullptr));
                book.text(0, lxw_col_t(c), columns[c], book.header);
            }
            worksheet_freeze_panes(book.sheet, 1, 0);
            book.check(worksheet_autofilter(book.sheet, 0, 0, lxw_row_t(rows.size()),
                                            lxw_col_t(count - 1)));
            lxw_row_t at = 1;
            for (const TableRow &row : rows)
                writeRow(book, at++, row);
        }
        written = book.close();
    }
    if (written != LXW_NO_ERROR)
        return fail(error, path, libraryFailure(written, scratch.fileName()));

    QFile made(scratch.fileName());
    QByteArray bytes;
    if (!made.open(QIODevice::ReadOnly) || (bytes = made.readAll(), made.error()) ||
        bytes.isEmpty())
        return fail(error, path,
                    QStringLiteral("не удается прочитать временный файл \"%1\": %2")
                        .arg(QDir::toNativeSeparators(made.fileName()), made.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(error, path, file.errorString());
    return true;
}

bool writeTable(const QString &path, const QList<TableRow> &rows, QString *error)
{
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return writeCsv(path, rows, error);
    return writeXlsx(path, rows, error);
}

} // namespace merilon
