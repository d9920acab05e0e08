#include "checker.h"

#include "questionblock.h"
#include "richtext/richtext.h"
#include "testcheck.h"
#include "testdocument.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace merilon {

namespace {

const QString kUsage = QStringLiteral(
    "Использование: merilon-check [--dump | --json] ФАЙЛ.tstt\n"
    "               merilon-check --where\n"
    "               merilon-check --table ТАБЛИЦА.xlsx|ТАБЛИЦА.csv ЖУРНАЛ...\n"
    "                             [--verify ТЕСТ.tstt] [--password-file ФАЙЛ]\n"
    "               merilon-check --seal ТЕСТ.tstt [ВЫХОД.tstt] [--password-file ФАЙЛ]\n"
    "               merilon-check --unseal ТЕСТ.tstt ВЫХОД.tstt [--password-file ФАЙЛ]\n"
    "\n"
    "Проверяет файл теста так, как его открывает «Мерилон», и перечисляет\n"
    "ошибки (из-за них тест не откроется) и предупреждения (тест откроется,\n"
    "но покажет не то, что, вероятно, задумано), с номером вопроса и строки.\n"
    "\n"
    "  --dump   показать каждый вопрос и его варианты так, как их покажет программа\n"
    "  --json   то же, с ошибками и предупреждениями, в виде JSON\n"
    "  --where  какой журнал ведёт этот компьютер и можно ли в него записать\n"
    "  --table  собрать журналы нескольких компьютеров в одну таблицу; запись,\n"
    "           попавшая в два журнала, берётся один раз\n"
    "  --verify с --table: проверить записи по защищённому тесту (нужен его пароль);\n"
    "           столбец «Проверка»: подлинная, изменена или без проверки\n"
    "  --seal   проверить тест и записать его копию, защищённую паролем: без пароля\n"
    "           нельзя увидеть ни вопросы, ни верные ответы (по умолчанию\n"
    "           ТЕСТ-защищён.tstt рядом с тестом)\n"
    "  --unseal записать защищённый тест снова без защиты\n"
    "  --password-file  взять пароль из первой строки файла, а не спрашивать\n"
    "  --help   эта справка\n"
    "\n"
    "Код завершения: 0 — тест откроется, 1 — тест не откроется,\n"
    "2 — файл не прочитан или команда задана неверно.\n"
    "\n"
    "В консоли Windows текст показывается в её кодировке; в файл или канал\n"
    "он выводится в UTF-8, а --json — всегда в UTF-8.\n");

// A question as the display shows it.
struct ShownQuestion
{
    QuestionBlock block;
    QString text;
    QStringList rows;
};

std::vector<ShownQuestion> showAll(const RichText &document, int questionCount)
{
    std::vector<ShownQuestion> shown;
    for (int number = 1; number <= questionCount; ++number) {
        ShownQuestion question{
            readQuestion(document, number, questionCount, MaxVariantRows), {}, {}};
        if (question.block.found()) {
            question.text = document.rangeText(question.block.textFrom, question.block.textTo);
            for (const Variant &v : question.block.variants)
                question.rows << document.rangeText(v.from, v.to);
        }
        shown.push_back(std::move(question));
    }
    return shown;
}

// The lines of a shown text; the break that closes it opens no line.
QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void dump(const std::vector<ShownQuestion> &shown, QTextStream &out)
{
    for (const ShownQuestion &q : shown) {
        if (!q.block.found()) {
            out << QStringLiteral("== Вопрос %1: нет в файле ==\n\n").arg(q.block.number);
            continue;
        }
        out << QStringLiteral("== Вопрос %1, строка %2 ==\n")
                   .arg(q.block.number)
                   .arg(q.block.markerLine + 1);
        for (const QString &line : linesOf(q.text))
            out << line << '\n';
        for (qsizetype i = 0; i < q.rows.size(); ++i) {
            const QStringList lines = linesOf(q.rows[i]);
            out << VariantLetters[i] << (q.block.variants[size_t(i)].correct ? " (+) " : " (-) ")
                << lines.value(0) << '\n';
            for (qsizetype l = 1; l < lines.size(); ++l)
                out << "    " << lines[l] << '\n';
        }
        out << '\n';
    }
}

QJsonObject json(const QString &path, const std::vector<TestProblem> &problems,
                 const std::vector<ShownQuestion> &shown)
{
    QJsonArray problemList;
    for (const TestProblem &p : problems)
        problemList.append(QJsonObject{
            {"kind", p.error ? "error" : "warning"},
            {"question", p.question},
            {"line", p.line < 0 ? QJsonValue() : QJsonValue(p.line + 1)},
            {"text", p.text},
        });
    QJsonArray questions;
    for (const ShownQuestion &q : shown) {
        QJsonObject question{{"number", q.block.number}, {"found", q.block.found()}};
        if (q.block.found()) {
            QJsonArray rows;
            for (qsizetype i = 0; i < q.rows.size(); ++i) {
                const Variant &v = q.block.variants[size_t(i)];
                rows.append(QJsonObject{{"letter", QString(QLatin1Char(VariantLetters[i]))},
                                        {"correct", v.correct},
                                        {"line", v.line + 1},
                                        {"text", q.rows[i]}});
            }
            question.insert("line", q.block.markerLine + 1);
            question.insert("variantCount", q.block.VariantCount());
            question.insert("text", q.text);
            question.insert("rows", rows);
        }
        questions.append(question);
    }
    return {{"file", path},
            {"usable", !hasErrors(problems)},
            {"problems", problemList},
            {"questions", questions}};
}

} // namespace

int runChecker(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    bool wantDump = false;
    bool wantJson = false;
    QString path;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out << kUsage;
            return 0;
        }
        if (argument == QLatin1String("--dump")) {
            wantDump = true;
        } else if (argument == QLatin1String("--json")) {
            wantJson = true;
        } else if (argument.startsWith(QLatin1Char('-')) || !path.isEmpty()) {
            err << QStringLiteral("Непонятный параметр: %1\n\n").arg(argument) << kUsage;
            return 2;
        } else {
            path = argument;
        }
    }
    if (path.isEmpty() || (wantDump && wantJson)) {
        err << kUsage;
        return 2;
    }

    RichText document;
    QString error;
    std::vector<TestProblem> problems;
    if (!TestDocument::loadAndCheck(path, document, problems, &error)) {
        err << error << '\n';
        return 2;
    }
    const int questionCount = TestDocument::standardSettings().QuestionCount;
    const bool refused = hasErrors(problems);

    if (wantJson) {
        out << QString::fromUtf8(
            QJsonDocument(json(path, problems, showAll(document, questionCount))).toJson());
        return refused ? 1 : 0;
    }
    if (wantDump)
        dump(showAll(document, questionCount), out);
    int errors = 0;
    for (const TestProblem &problem : problems) {
        errors += problem.error ? 1 : 0;
        out << (problem.error ? QStringLiteral("[ошибка] ") : QStringLiteral("[предупреждение] "))
            << describeProblem(problem) << '\n';
    }
    out << QStringLiteral("Ошибок: %1, предупреждений: %2. ")
               .arg(errors)
               .arg(problems.size() - size_t(errors))
        << (refused ? QStringLiteral("Тест не откроется.") : QStringLiteral("Тест откроется."))
        << '\n';
    return refused ? 1 : 0;
}

} // namespace merilon
