#include "resultwindow.h"

#include "attempt/attemptstate.h"
#include "content/testdocument.h"
#include "recordproof.h"
#include "richtext/richedit.h"
#include "shell/desktop.h"
#include "shell/formresult.h"
#include "shell/piechart.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <cmath>

namespace merilon {

Score scoreOf(std::uint16_t correct, const TestSettings &settings)
{
    Score score;
    if (settings.QuestionsPerAttempt == 0)
        return score;
    const double p = double(std::int32_t(correct) * 100) / settings.QuestionsPerAttempt;
    // One decimal, halves away from zero.
    score.percent = std::round(p * 10) / 10;
    const auto &t = settings.GradeThresholds;
    score.grade = score.percent >= t[4]   ? 5
                  : score.percent >= t[3] ? 4
                  : score.percent >= t[2] ? 3
                  : score.percent >= t[1] ? 2
                                          : 1;
    return score;
}

QString percentText(double percent, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(percent, 'g', 15);
}

ResultWindow::ResultWindow(TFormresult &form, const TestDocument &test,
                           std::function<RecordData()> details, Desktop &desktop,
                           JournalPlace place, const Clock &clock)
    : QObject(&form), m_form(form), m_test(test), m_details(std::move(details)), m_desktop(desktop),
      m_place(std::move(place)), m_clock(clock)
{
    connect(form.controls().Buttonok, &QPushButton::clicked, this, &ResultWindow::ButtonokClick);
}

void ResultWindow::ComputeResult(std::uint16_t correct)
{
    const TestSettings &settings = m_test.settings();
    m_score = scoreOf(correct, settings);
    m_correct = correct;

    PieChart &chart = *m_form.controls().Chart1;
    chart.clear();
    chart.addSlice(m_score.percent, QStringLiteral("Правильно"), QColor(0, 255, 0));
    chart.addSlice(100 - m_score.percent, QStringLiteral("Неправильно"), QColor(255, 0, 0));

    RichText &report = m_form.controls().Editresult->content();
    m_record = m_details ? m_details() : RecordData{};
    // One id for the record however often OK is tried, so that it is never kept twice.
    m_record.id = RecordData::newId();
    const RecordData &names = m_record;
    report.Lines().Clear();
    // Each value right after its label, in the default format.
    const auto append = [&report](const QString &value) {
        report.SetSelStart(report.TextLength());
        report.SetSelText(value);
    };
    const auto line = [&](const QString &label, const QString &value) {
        report.Lines().Add(label);
        const int end = report.LineIndex(report.Lines().Count() - 1) + int(label.size());
        report.SetSelStart(end);
        report.SetSelLength(report.TextLength() - end);
        report.SetSelText(value);
    };
    line(QStringLiteral(" Фамилия имя: "), names.surname + QLatin1Char(' '));
    append(names.name);
    line(QStringLiteral(" Задано вопросов: "), QString::number(settings.QuestionsPerAttempt));
    line(QStringLiteral(" Правильных ответов: "), QString::number(correct));
    line(QStringLiteral(" Процент правильных ответов: "),
         percentText(m_score.percent, QLocale()) + QLatin1Char('%'));
    const QString gradeLabel = QStringLiteral(" Оценка: ");
    line(gradeLabel, QString::number(m_score.grade));
    const int digit = report.LineIndex(4) + int(gradeLabel.size());
    report.SetSelStart(digit);
    report.SetSelLength(1);
    report.SetSelColor(QColor(255, 0, 0));
    report.Lines().Add(QStringLiteral(" "));
    report.SetSelStart(report.LineIndex(5));
    report.SetSelLength(1);
    report.SetSelColor(QColor(0, 0, 0));
    // The control's italic Tahoma belongs to the text, so that the journal
    // keeps it.
    report.SelectAll();
    report.SetSelFont(m_form.controls().Editresult->font(), 10);
    report.SetSelStart(0);
}

bool ResultWindow::record(bool &kept, QString &error)
{
    // In a class the journal may be busy for some seconds: the examinee sees that it works.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    RichText &report = m_form.controls().Editresult->content();
    m_record.confirmed = m_clock.now();
    if (const sealed::RecordKey *key = m_test.recordKey()) {
        // What the visible lines say, as the teacher's check reads them back.
        TableRow shown;
        shown.asked = m_test.settings().QuestionsPerAttempt;
        shown.correct = m_correct;
        shown.percent = m_score.percent;
        shown.grade = m_score.grade;
        proveRecord(m_record, shown, *key);
    }
    report.setCharacterData(0, m_record.encode());
    kept = false;
    if (Journal(m_place.journal).addRecord(report, &error, m_place.kept))
        return true;
    QString keptError;
    QDir().mkpath(QFileInfo(m_place.kept).absolutePath());
    if (Journal(m_place.kept).addRecord(report, &keptError)) {
        kept = true;
        return true;
    }
    error += QStringLiteral("\n\nСохранить результат в папке пользователя тоже не удалось: ") +
             keptError;
    return false;
}

void ResultWindow::ButtonokClick()
{
    for (;;) {
        QString error;
        bool kept = false;
        if (record(kept, error)) {
            if (kept)
                m_desktop.showWarning(
                    &m_form,
                    QStringLiteral("Результат не попал в журнал: %1\n\nОн сохранён на этом "
                                   "компьютере, в папке пользователя:\n%2\n\nОн будет перенесён "
                                   "в журнал вместе со следующим результатом, который туда "
                                   "попадёт.")
                        .arg(error, QDir::toNativeSeparators(m_place.kept)));
            break;
        }
        const int answer = m_desktop.choose(
            &m_form,
            QStringLiteral("Результат не записан в журнал.\n\n%1\n\nМожно повторить запись. "
                           "Если закрыть окно без записи, этот результат в журнале не "
                           "сохранится.")
                .arg(error),
            {QStringLiteral("Повторить"), QStringLiteral("Закрыть без записи")});
        if (answer == 0)
            continue;
        if (answer == 1)
            break;
        return; // the window stays; its OK tries again
    }
    RichText::ClearClipboard();
    m_form.closeByOk();
}

} // namespace merilon
