#include "platformfaults.h"
#include "program.h"
#include "shell/formzurnal.h"
#include "shell/statusbar.h"
#include "testfiles.h"

#include <QFile>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

using namespace merilon;

namespace {

// What the registration holds of an examinee.
RecordData examinee(const QString &surname, const QString &name)
{
    RecordData data;
    data.surname = surname;
    data.name = name;
    return data;
}

// The name lines of a journal, newest first.
QStringList names(const RichText &journal)
{
    QStringList found;
    for (int i = 0; i < journal.Lines().Count(); ++i)
        if (journal.Lines()[i].startsWith(QStringLiteral(" Фамилия имя: ")))
            found << journal.Lines()[i].mid(14);
    return found;
}

RichText &loaded(RichText &into, const QString &path)
{
    QString error;
    into.Lines().LoadFromFile(path, &error);
    return into;
}

struct Recording : TestProgram
{
    QTemporaryDir testDir;
    Recording() { open(testfiles::write(testDir, QStringLiteral("t.tstt"), testfiles::test())); }
    QString path() const { return journalDir.filePath(QStringLiteral("Journal.res")); }
    void confirm(const QString &surname, int correct)
    {
        Startform.controls().Editfam->setText(surname);
        result.ComputeResult(std::uint16_t(correct));
        result.ButtonokClick();
    }
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void newestFirst();
    void extendsAnOldJournal();
    void hiddenAfterEachWrite();
    void writableByWhoMayWriteItsFolder();
    void unreadableJournalStays();
    void failedWriteRetryOrClose();
    void severalCopiesAtOnce();
    void viewer();
};

void TestJournal::newestFirst()
{
    Recording r;
    QApplication::clipboard()->setText(QStringLiteral("чужое"));
    r.confirm(QStringLiteral("Первов"), 18);
    QVERIFY(clipboardEmpty());
    QVERIFY(QFileInfo(r.path()).isFile());
    RichText journal;
    QCOMPARE(names(loaded(journal, r.path())), QStringList{"Первов Петя"});
    QCOMPARE(journal.Lines()[4], QStringLiteral(" Оценка: 5"));

    r.confirm(QStringLiteral("Вторая"), 11);
    RichText two;
    QCOMPARE(names(loaded(two, r.path())), (QStringList{"Вторая Петя", "Первов Петя"}));
    QCOMPARE(two.Lines()[5], QStringLiteral(" ")); // line 6 keeps its own line
    QCOMPARE(two.Lines()[6], QStringLiteral(" Фамилия имя: Первов Петя"));
    // both grade digits still red, the reports italic
    int red = 0;
    for (QTextBlock b = two.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() == QColor(255, 0, 0))
                ++red;
    QCOMPARE(red, 2);
    QVERIFY(two.document()->begin().begin().fragment().charFormat().fontItalic());
    QVERIFY(!r.Formresult.isVisible());
}

void TestJournal::extendsAnOldJournal()
{
    Recording r;
    QVERIFY(QFile::copy(QStringLiteral(MERILON_TEST_DATA "/richedit-journal.rtf"), r.path()));
    RichText before;
    const QString old = loaded(before, r.path()).Text();
    r.confirm(QStringLiteral("Новый"), 20);
    RichText after;
    loaded(after, r.path());
    QCOMPARE(after.Lines()[0], QStringLiteral(" Фамилия имя: Новый Петя"));
    QVERIFY(after.Text().endsWith(old));
    // the old records keep their bold names
    QTextCursor at(after.document());
    at.setPosition(after.toQt(int(after.Text().indexOf(QStringLiteral("Иванов Петр")))) + 1);
    QVERIFY(at.charFormat().fontWeight() >= QFont::Bold);
}

void TestJournal::hiddenAfterEachWrite()
{
    if (!testfiles::kHasFileAttributes)
        QSKIP("no hidden and system attributes here");
    Recording r;
    r.confirm(QStringLiteral("Первов"), 18);
    QVERIFY(testfiles::hiddenAndSystem(r.path()));
    // a hidden system journal is replaced again, and hidden again
    r.confirm(QStringLiteral("Вторая"), 11);
    QVERIFY(testfiles::hiddenAndSystem(r.path()));
    RichText journal;
    QCOMPARE(names(loaded(journal, r.path())), (QStringList{"Вторая Петя", "Первов Петя"}));
    QVERIFY(!QFileInfo::exists(r.path() + QStringLiteral(".lock")));
}

void TestJournal::writableByWhoMayWriteItsFolder()
{
    // Another account's record replaces the journal only if it may write the file as well as
    // the folder: a shared folder's journal gets the folder's group and others write bits.
    if (!testfiles::kHasPermissionBits)
        QSKIP("no permission bits here");
    using P = QFileDevice;
    const P::Permissions owner =
        P::ReadOwner | P::WriteOwner | P::ExeOwner | P::ReadUser | P::WriteUser | P::ExeUser;
    const P::Permissions groupAndOthers =
        P::ReadGroup | P::WriteGroup | P::ReadOther | P::WriteOther;
    Recording r;
    const QString folder = r.journalDir.path();

    QVERIFY(QFile::setPermissions(folder, owner | P::ReadGroup | P::ExeGroup | P::ReadOther |
                                              P::ExeOther)); // 0755: this account's own
    r.confirm(QStringLiteral("Первов"), 18);
    // nothing added to what any new file of this account gets (its umask)
    QFile plain(QDir(folder).filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    QCOMPARE(QFile::permissions(r.path()) & groupAndOthers, plain.permissions() & groupAndOthers);

    QVERIFY(QFile::setPermissions(folder, owner | P::ReadGroup | P::WriteGroup | P::ExeGroup));
    r.confirm(QStringLiteral("Вторая"), 11); // 0770: a class's group
    QCOMPARE(QFile::permissions(r.path()) & (P::ReadGroup | P::WriteGroup | P::WriteOther),
             P::ReadGroup | P::WriteGroup);

    QVERIFY(QFile::setPermissions(folder, owner | groupAndOthers | P::ExeGroup | P::ExeOther));
    r.confirm(QStringLiteral("Третий"), 5); // 0777: every account, as /var/lib/merilon
    QCOMPARE(QFile::permissions(r.path()) & groupAndOthers, groupAndOthers);
    QVERIFY(!(QFile::permissions(r.path()) & (P::ExeOwner | P::ExeGroup | P::ExeOther)));

    RichText journal;
    QCOMPARE(names(loaded(journal, r.path())),
             (QStringList{"Третий Петя", "Вторая Петя", "Первов Петя"}));
}

void TestJournal::unreadableJournalStays()
{
    // A journal whose reading fails is never replaced; the result waits in the user's folder.
    Recording r;
    testfiles::UnreadableFile unreadable(r.path());
    QVERIFY(unreadable.made());
    r.confirm(QStringLiteral("Некто"), 5);
    QVERIFY(r.desktop.chosen.isEmpty());
    QCOMPARE(r.desktop.warnings.size(), 1);
    const QString &told = r.desktop.warnings[0];
    QVERIFY2(told.contains(QStringLiteral("прежние записи целы")) &&
                 told.contains(QDir::toNativeSeparators(r.place.kept)),
             qPrintable(told));
    QVERIFY(unreadable.unchanged());
    RichText kept;
    QCOMPARE(names(loaded(kept, r.place.kept)), QStringList{"Некто Петя"});
    QVERIFY(!r.Formresult.isVisible());
}

void TestJournal::failedWriteRetryOrClose()
{
    Recording r;
    // The journal's folder cannot be written (here: it does not exist yet).
    const QString folder = r.journalDir.filePath(QStringLiteral("папка"));
    Journal journal(QDir(folder).filePath(QStringLiteral("Journal.res")));
    // Nor can the user's folder: a file stands where it would be.
    JournalPlace place;
    place.journal = journal.path();
    const QString blocker = testfiles::write(r.journalDir, QStringLiteral("файл"), QByteArray("x"));
    place.kept = blocker + QStringLiteral("/сохранённые/Journal.res");
    ResultWindow window(
        r.Formresult, r.test, [] { return examinee("Иванов", "Петя"); }, r.desktop, place, r.clock);
    r.Formresult.show();
    window.ComputeResult(10);

    r.desktop.choices = {0}; // retry, then the box is closed: the window stays
    window.ButtonokClick();
    QCOMPARE(r.desktop.chosen.size(), 2);
    QVERIFY(r.desktop.chosen[0].contains(QStringLiteral("Результат не записан в журнал.")));
    QVERIFY(r.Formresult.isVisible());

    QVERIFY(QDir().mkpath(folder)); // OK again, now that it can be written
    window.ButtonokClick();
    QVERIFY(!r.Formresult.isVisible());
    window.ButtonokClick(); // once more: a second record, never the older ones twice
    RichText written;
    QCOMPARE(names(loaded(written, journal.path())), (QStringList{"Иванов Петя", "Иванов Петя"}));

    // Closing without recording leaves the journal as it was.
    r.Formresult.show();
    QVERIFY(QFile::remove(journal.path()) && QDir().rmdir(folder));
    r.desktop.choices = {1};
    window.ButtonokClick();
    QVERIFY(!r.Formresult.isVisible());
    QVERIFY(!journal.exists());
}

void TestJournal::severalCopiesAtOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Journal.res"));
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < 4; ++w) {
        auto process = std::make_unique<QProcess>();
        process->start(QStringLiteral(MERILON_JOURNAL_WRITER),
                       {path, QStringLiteral("Копия%1").arg(w), QStringLiteral("10")});
        writers.push_back(std::move(process));
    }
    for (auto &process : writers) {
        QVERIFY(process->waitForFinished(60000));
        QCOMPARE(process->exitCode(), 0);
    }
    RichText journal;
    const QStringList all = names(loaded(journal, path));
    QCOMPARE(all.size(), 40);
    for (int w = 0; w < 4; ++w)
        for (int k = 1; k <= 10; ++k)
            QVERIFY(all.contains(QStringLiteral("Копия%1 %2").arg(w).arg(k)));
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));
}

void TestJournal::viewer()
{
    Recording r;
    const TMainForm::Controls &ui = r.MainForm.controls();
    ui.Zurnal->trigger();
    QCOMPARE(r.desktop.warnings, QStringList{"Файл журнала отсутствует."});
    QVERIFY(r.desktop.dialogs.isEmpty());

    r.confirm(QStringLiteral("Читаемый"), 15);
    r.MainForm.status().setPanelText(ModePanel, QStringLiteral("Выберите режим"));
    QString shown, mode;
    r.desktop.whileOpen = [&] {
        auto *window = r.MainForm.findChild<TFormzurnal *>();
        RichText &text = window->controls().Editorzur->content();
        shown = text.Lines()[0];
        mode = r.MainForm.status().panelText(ModePanel);
        window->controls().copydoc->trigger();
        text.SetSelStart(0);
        text.SetSelText(QStringLiteral("правка "));
    };
    ui.Zurnal->trigger(); // closed by its close box
    QCOMPARE(shown, QStringLiteral(" Фамилия имя: Читаемый Петя"));
    QCOMPARE(mode, QStringLiteral("Журнал"));
    QCOMPARE(r.MainForm.status().panelText(ModePanel), QStringLiteral("Журнал"));
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral(" Фамилия имя: Читаемый")));
    QVERIFY(r.MainForm.findChildren<TFormzurnal *>().isEmpty());

    // Cancel brings the mode back; the edit of last time is gone.
    r.MainForm.status().setPanelText(ModePanel, QStringLiteral("Выберите режим"));
    r.desktop.whileOpen = [&] {
        auto *window = r.MainForm.findChild<TFormzurnal *>();
        shown = window->controls().Editorzur->content().Lines()[0];
        window->controls().Button3->click();
    };
    ui.Zurnal->trigger();
    QCOMPARE(shown, QStringLiteral(" Фамилия имя: Читаемый Петя"));
    QCOMPARE(r.MainForm.status().panelText(ModePanel), QStringLiteral("Выберите режим"));

    // Without a printer, Ctrl+P says so; a journal that cannot be read says
    // why and the window still opens.
    r.desktop.whileOpen = [&] {
        auto *window = r.MainForm.findChild<TFormzurnal *>();
        window->controls().printdoc->trigger();
    };
    ui.Zurnal->trigger();
    if (QPrinterInfo::defaultPrinter().isNull())
        QVERIFY(r.desktop.errors.size() == 1 && r.desktop.errors[0].contains(u"принтер"));
    r.desktop.errors.clear();
    QVERIFY(QFile::remove(r.path()));
    testfiles::UnreadableFile unreadable(r.path());
    QVERIFY(unreadable.made());
    r.desktop.dialogs.clear();
    ui.Zurnal->trigger();
    QCOMPARE(r.desktop.errors.size(), 1);
    QCOMPARE(r.desktop.dialogs, QStringList{"Formzurnal"});

    const QString title = JournalViewer::jobTitle(QStringLiteral("строка\r\n").repeated(100));
    QVERIFY(title.toUtf8().size() <= 255 && !title.contains(QLatin1Char('\n')));
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
