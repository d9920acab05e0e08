#include "richtext/qtcompat.h"
#include "richtext/richedit.h"
#include "richtext/richtext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using merilon::RichEdit;
using merilon::RichText;

namespace {

const QByteArray kFormatted = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}"
                              "{\\colortbl;\\red200\\green0\\blue0;}"
                              "\\f0\\fs24 plain \\b bold\\b0  \\cf1 red\\cf0\\par second}";

QTextCharFormat formatAt(const RichText &doc, int position)
{
    QTextCursor cursor(doc.document());
    cursor.setPosition(doc.toQt(position) + 1);
    return cursor.charFormat();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRichText : public QObject
{
    Q_OBJECT

private slots:
    void init() { QApplication::clipboard()->clear(); }

    void linesAndLineStarts_data();
    void linesAndLineStarts();
    void caretLineAndColumn();
    void rangesEndingOnCrAndLf();
    void selectionReadBack();
    void softLineBreakIsALine();
    void findText_data();
    void findText();
    void textIsNotRebuiltWhenUnchanged();
    void linesAddDeleteAssign();
    void selectionAttributes();

    void loadPlainTextEncodings_data();
    void loadPlainTextEncodings();
    void loadRtfWithByteOrderMark();
    void loadFailureLeavesContent();
    void saveAndLoadBack();
    void saveFailureLeavesOldFile();

    void copyKeepsFormattingAndOffersFormats();
    void rtfNamesOnTheClipboard_data();
    void rtfNamesOnTheClipboard();
    void pasteFromOtherPrograms();
    void readOnlyRefusesPasteAndCut();
    void directTransferKeepsFormatting();

    void printToPdf();
    void printWithoutPrinterIsAnError();

    void widgetFollowsContent();
    void overflowScrollsByBarOrButtons();
};

void TestRichText::linesAndLineStarts_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("starts"); // line 0 .. count + 1

    QTest::newRow("empty") << ""
                           << "" << 0 << QList<int>{0, -1};
    QTest::newRow("one line") << "ab"
                              << "ab" << 1 << QList<int>{0, -1, -1};
    QTest::newRow("no final break") << "ab\ncd"
                                    << "ab\r\ncd" << 2 << QList<int>{0, 4, -1, -1};
    QTest::newRow("final break") << "ab\ncd\n"
                                 << "ab\r\ncd\r\n"
                                 << 2 << QList<int>{0, 4, 8, -1};
    QTest::newRow("empty lines inside") << "a\n\n\nb"
                                        << "a\r\n\r\n\r\nb" << 4 << QList<int>{0, 3, 5, 7, -1, -1};
    QTest::newRow("only a break") << "\n"
                                  << "\r\n"
                                  << 1 << QList<int>{0, 2, -1};
    QTest::newRow("two final breaks") << "a\n\n"
                                      << "a\r\n\r\n"
                                      << 2 << QList<int>{0, 3, 5, -1};
}

void TestRichText::linesAndLineStarts()
{
    QFETCH(QString, plain);
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QList<int>, starts);

    RichText doc;
    doc.setPlain(plain);
    QCOMPARE(doc.Text(), text);
    QCOMPARE(doc.TextLength(), text.size());
    QCOMPARE(doc.Lines().Count(), count);
    for (int line = 0; line < starts.size(); ++line)
        QCOMPARE(doc.LineIndex(line), starts[line]);
    QCOMPARE(doc.LineIndex(-2), -1);
    QCOMPARE(doc.LineIndex(1 << 30), -1);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int i = 0; i < count; ++i)
        QCOMPARE(doc.Lines()[i], lines[i]);
    QCOMPARE(doc.Lines()[count], QString());
    QCOMPARE(doc.Lines()[-1], QString());
}

void TestRichText::caretLineAndColumn()
{
    RichText doc;
    doc.setPlain(QStringLiteral("ab\ncd\n"));
    QCOMPARE(doc.CaretPos().line, 0);
    QCOMPARE(doc.LineIndex(-1), 0);

    doc.SetSelStart(5);
    QCOMPARE(doc.CaretPos().line, 1);
    QCOMPARE(doc.CaretPos().column, 1);
    QCOMPARE(doc.LineIndex(-1), 4);

    // on the CR: the end of the line; on the LF: the start of the next
    doc.SetSelStart(2);
    QCOMPARE(doc.CaretPos().line, 0);
    QCOMPARE(doc.CaretPos().column, 2);
    doc.SetSelStart(3);
    QCOMPARE(doc.CaretPos().line, 1);
    QCOMPARE(doc.CaretPos().column, 0);

    // past the end and before the start are clamped
    doc.SetSelStart(1000);
    QCOMPARE(doc.CaretPos().line, 2);
    QCOMPARE(doc.SelStart(), 8);
    doc.SetSelStart(-7);
    QCOMPARE(doc.SelStart(), 0);

    // the caret is the selection's end
    doc.SetSelStart(1);
    doc.SetSelLength(5);
    QCOMPARE(doc.CaretPos().line, 1);
    QCOMPARE(doc.CaretPos().column, 2);
}

void TestRichText::rangesEndingOnCrAndLf()
{
    struct Case
    {
        int start, length;
        QString after; // Text after replacing the range by "X"
    };
    const Case cases[] = {
        {0, 2, "X\r\ncd"},                       // ends before the CR: the break stays
        {0, 3, "Xcd"},                           // ends before the LF: the break goes with it
        {0, 4, "Xcd"},                           // ends after the LF
        {2, 1, "abXcd"},                         // the CR alone is the break
        {2, 2, "abXcd"},     {3, 1, "ab\r\nXd"}, // starts on the LF: the next paragraph's start
        {4, 0, "ab\r\nXcd"}, {5, 100, "ab\r\ncX"},
    };
    for (const Case &c : cases) {
        RichText doc;
        doc.setPlain(QStringLiteral("ab\ncd"));
        doc.SetSelStart(c.start);
        doc.SetSelLength(c.length);
        doc.SetSelText(QStringLiteral("X"));
        QVERIFY2(
            doc.Text() == c.after,
            qPrintable(QStringLiteral("%1,%2 gave %3").arg(c.start).arg(c.length).arg(doc.Text())));
    }
}

void TestRichText::selectionReadBack()
{
    RichText doc;
    doc.setPlain(QStringLiteral("ab\ncd\nef"));
    doc.SetSelStart(4);
    doc.SetSelLength(4);
    QCOMPARE(doc.SelStart(), 4);
    QCOMPARE(doc.SelLength(), 4); // "cd\r\n" in CR LF positions
    doc.SelectAll();
    QCOMPARE(doc.SelStart(), 0);
    QCOMPARE(doc.SelLength(), doc.TextLength());
    doc.SetSelLength(-5);
    QCOMPARE(doc.SelLength(), 0);
    // a selection of lines replaced by text with its own breaks
    doc.SetSelStart(0);
    doc.SetSelLength(2);
    doc.SetSelText(QStringLiteral("1\r\n2"));
    QCOMPARE(doc.Text(), QStringLiteral("1\r\n2\r\ncd\r\nef"));
    QCOMPARE(doc.Lines().Count(), 4);
}

void TestRichText::softLineBreakIsALine()
{
    RichText doc;
    doc.setRtf("{\\rtf1 one\\line two\\par three}");
    QCOMPARE(doc.Text(), QStringLiteral("one\r\ntwo\r\nthree"));
    QCOMPARE(doc.Lines().Count(), 3);
    QCOMPARE(doc.LineIndex(1), 5);
}

void TestRichText::findText_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<int>("found");

    // text: "Вопрос ЁЛКА\r\n#2 ёлка Tree\r\n"
    QTest::newRow("latin folding") << "tree" << 0LL << 100LL << 21;
    QTest::newRow("cyrillic folding") << "вопрос" << 0LL << 30LL << 0;
    QTest::newRow("yo folding upper to lower") << "ёлка" << 0LL << 30LL << 7;
    QTest::newRow("yo folding lower to upper") << "ЁЛКА" << 8LL << 30LL << 16;
    QTest::newRow("not whole word") << "опро" << 0LL << 30LL << 1;
    QTest::newRow("across a break") << "ка\r\n#2" << 0LL << 30LL << 9;
    QTest::newRow("match must fit the range") << "ёлка" << 0LL << 10LL << -1;
    QTest::newRow("match exactly fills the range") << "ёлка" << 7LL << 4LL << 7;
    QTest::newRow("start after match") << "вопрос" << 1LL << 100LL << -1;
    QTest::newRow("negative start") << "вопрос" << -50LL << 100LL << 0;
    QTest::newRow("huge length") << "tree" << 3LL << (1LL << 62) << 21;
    QTest::newRow("huge start") << "tree" << (1LL << 62) << 10LL << -1;
    QTest::newRow("negative length") << "вопрос" << 0LL << -1LL << -1;
    QTest::newRow("zero length") << "в" << 0LL << 0LL << -1;
    QTest::newRow("empty needle") << "" << 0LL << 100LL << -1;
    QTest::newRow("absent") << "#3" << 0LL << 100LL << -1;
    QTest::newRow("needle longer than text") << QString(100, 'a') << 0LL << 100LL << -1;
}

void TestRichText::findText()
{
    QFETCH(QString, needle);
    QFETCH(qint64, start);
    QFETCH(qint64, length);
    QFETCH(int, found);

    RichText doc;
    doc.setPlain(QStringLiteral("Вопрос ЁЛКА\n#2 ёлка Tree\n"));
    QCOMPARE(doc.FindText(needle, start, length), found);
}

void TestRichText::textIsNotRebuiltWhenUnchanged()
{
    RichText doc;
    doc.setPlain(QStringLiteral("one\ntwo"));
    const QChar *first = doc.Text().constData();
    doc.FindText(QStringLiteral("two"), 0, 100);
    doc.LineIndex(1);
    QCOMPARE(doc.Text().constData(), first);

    // an edit through Qt's own cursor is seen
    QTextCursor cursor(doc.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\nthree"));
    QCOMPARE(doc.Text(), QStringLiteral("one\r\ntwo\r\nthree"));
    QCOMPARE(doc.LineIndex(2), 10);
}

void TestRichText::linesAddDeleteAssign()
{
    RichText doc;
    doc.Lines().Add(QStringLiteral("a"));
    QCOMPARE(doc.Text(), QStringLiteral("a\r\n"));
    doc.Lines().Add(QStringLiteral("b"));
    QCOMPARE(doc.Text(), QStringLiteral("a\r\nb\r\n"));
    QCOMPARE(doc.Lines().Count(), 2);

    doc.setPlain(QStringLiteral("x"));
    doc.Lines().Add(QStringLiteral("y"));
    QCOMPARE(doc.Text(), QStringLiteral("x\r\ny"));

    doc.setPlain(QStringLiteral("1\n2\n3\n"));
    doc.Lines().Delete(1);
    QCOMPARE(doc.Text(), QStringLiteral("1\r\n3\r\n"));
    doc.Lines().Delete(5);
    doc.Lines().Delete(-1);
    QCOMPARE(doc.Text(), QStringLiteral("1\r\n3\r\n"));

    RichText source;
    source.setRtf(kFormatted);
    doc.Lines().Assign(source.Lines());
    QCOMPARE(doc.Text(), QStringLiteral("plain bold red\r\nsecond\r\n"));
    QCOMPARE(formatAt(doc, 6).fontWeight(), QFont::Normal);

    doc.Lines().Clear();
    QCOMPARE(doc.TextLength(), 0);
    QCOMPARE(doc.Lines().Count(), 0);
}

void TestRichText::selectionAttributes()
{
    RichText doc;
    doc.setPlain(QStringLiteral("abcdef"));
    doc.SetSelStart(1);
    doc.SetSelLength(2);
    doc.SetSelSize(18);
    doc.SetSelColor(Qt::blue);
    QCOMPARE(formatAt(doc, 1).fontPointSize(), 18.0);
    QCOMPARE(formatAt(doc, 2).foreground().color(), QColor(Qt::blue));
    QVERIFY(formatAt(doc, 3).fontPointSize() != 18.0);
}

void TestRichText::loadPlainTextEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QString text = QStringLiteral("Вопрос ё\n+да\n-нет");
    QStringEncoder utf16le(QStringConverter::Utf16LE);
    QStringEncoder utf16be(QStringConverter::Utf16BE);

    QTest::newRow("utf-8") << text.toUtf8();
    QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QTest::newRow("utf-16le bom") << QByteArray("\xFF\xFE") + QByteArray(utf16le(text));
    QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF") + QByteArray(utf16be(text));
    QTest::newRow("windows-1251 crlf")
        << QByteArray("\xc2\xee\xef\xf0\xee\xf1 \xb8\r\n+\xe4\xe0\r\n-\xed\xe5\xf2");
    QTest::newRow("windows-1251 cr")
        << QByteArray("\xc2\xee\xef\xf0\xee\xf1 \xb8\r+\xe4\xe0\r-\xed\xe5\xf2");
}

void TestRichText::loadPlainTextEncodings()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.tstt"));
    writeFile(path, bytes);

    RichText doc;
    doc.setPlain(QStringLiteral("old"));
    doc.SetSelStart(3);
    QString error;
    QVERIFY2(doc.Lines().LoadFromFile(path, &error), qPrintable(error));
    QCOMPARE(doc.Text(), QStringLiteral("Вопрос ё\r\n+да\r\n-нет"));
    QCOMPARE(doc.SelStart(), 0);
}

void TestRichText::loadRtfWithByteOrderMark()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("test.tstt"));
    writeFile(path, "\xEF\xBB\xBF\r\n" + kFormatted);
    RichText doc;
    QVERIFY(doc.Lines().LoadFromFile(path, nullptr));
    QCOMPARE(doc.Text(), QStringLiteral("plain bold red\r\nsecond"));
    QCOMPARE(formatAt(doc, 6).fontWeight(), QFont::Bold);
    QCOMPARE(formatAt(doc, 11).foreground().color(), QColor(200, 0, 0));
}

void TestRichText::loadFailureLeavesContent()
{
    QTemporaryDir dir;
    RichText doc;
    doc.setRtf(kFormatted);
    const QByteArray before = doc.toRtf();

    QString error;
    const QString missing = dir.filePath(QStringLiteral("нет-такого.tstt"));
    QVERIFY(!doc.Lines().LoadFromFile(missing, &error));
    QVERIFY2(error.contains(QStringLiteral("нет-такого.tstt")), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Не удается открыть")), qPrintable(error));

    error.clear();
    QVERIFY(!doc.Lines().LoadFromFile(dir.path(), &error)); // a folder, not a file
    QVERIFY(!error.isEmpty());
    QCOMPARE(doc.toRtf(), before);
}

void TestRichText::saveAndLoadBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Journal.res"));
    RichText doc;
    doc.setRtf(kFormatted);
    QString error;
    QVERIFY2(doc.Lines().SaveToFile(path, &error), qPrintable(error));
    QVERIFY(readFile(path).startsWith("{\\rtf1\\ansi\\ansicpg1251"));

    RichText back;
    QVERIFY(back.Lines().LoadFromFile(path, &error));
    QCOMPARE(back.Text(), doc.Text());
    QCOMPARE(formatAt(back, 6).fontWeight(), QFont::Bold);
    // nothing is left behind but the file
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Journal.res"});

    QVERIFY(!doc.Lines().SaveToFile(dir.filePath(QStringLiteral("no/such/dir/x.res")), &error));
    QVERIFY2(error.contains(QStringLiteral("x.res")), qPrintable(error));
}

void TestRichText::saveFailureLeavesOldFile()
{
#ifdef Q_OS_UNIX
    // A file-size limit makes the write fail half-way, as a full disk would.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Journal.res"));
    writeFile(path, "{\\rtf1 old journal}");

    RichText doc;
    doc.setPlain(QString(200000, QLatin1Char('x')));

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool saved = doc.Lines().SaveToFile(path, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QVERIFY2(error.contains(QStringLiteral("Journal.res")), qPrintable(error));
    QCOMPARE(readFile(path), QByteArray("{\\rtf1 old journal}"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Journal.res"});
#else
    QSKIP("needs a file-size limit");
#endif
}

void TestRichText::copyKeepsFormattingAndOffersFormats()
{
    RichText source;
    source.setRtf(kFormatted);
    source.SetSelStart(6);
    source.SetSelLength(8); // "bold red"
    source.CopyToClipboard();

    const QMimeData *mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QVERIFY(mime->hasFormat(QStringLiteral("text/rtf")));
    QVERIFY(mime->hasHtml());
    QCOMPARE(mime->text(), QStringLiteral("bold red"));
    QVERIFY(mime->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));

    RichText target;
    target.setPlain(QStringLiteral("[]"));
    target.SetSelStart(1);
    target.PasteFromClipboard();
    QCOMPARE(target.Text(), QStringLiteral("[bold red]"));
    QCOMPARE(formatAt(target, 1).fontWeight(), QFont::Bold);
    QCOMPARE(formatAt(target, 6).foreground().color(), QColor(200, 0, 0));
    QCOMPARE(formatAt(target, 6).fontWeight(), QFont::Normal);

    RichText::ClearClipboard();
    const QMimeData *cleared = QApplication::clipboard()->mimeData();
    QVERIFY(!cleared || cleared->formats().isEmpty());
    target.PasteFromClipboard();
    QCOMPARE(target.Text(), QStringLiteral("[bold red]"));
}

void TestRichText::rtfNamesOnTheClipboard_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("offered");
#ifdef Q_OS_WIN
    const bool windows = true;
#else
    const bool windows = false;
#endif
    QTest::newRow("text/rtf") << QStringLiteral("text/rtf") << true;
    QTest::newRow("application/rtf") << QStringLiteral("application/rtf") << true;
    QTest::newRow("text/richtext") << QStringLiteral("text/richtext") << false;
    // The Windows clipboard's own name: offered there only, taken everywhere.
    QTest::newRow("Rich Text Format") << QStringLiteral("Rich Text Format") << windows;
    QTest::newRow("from another Windows program")
        << QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\"") << false;
}

// RTF under each of its names pastes formatted; a copy offers it under the names of its system.
void TestRichText::rtfNamesOnTheClipboard()
{
    QFETCH(QString, format);
    QFETCH(bool, offered);

    RichText source;
    source.setRtf(kFormatted);
    source.SelectAll();
    QCOMPARE(source.selectionMimeData()->hasFormat(format), offered);

    QMimeData mime;
    mime.setData(format, "{\\rtf1{\\b bold}}");
    mime.setText(QStringLiteral("plain"));
    RichText target;
    target.insertMimeData(mime);
    QCOMPARE(target.Text(), QStringLiteral("bold"));
    QCOMPARE(formatAt(target, 0).fontWeight(), QFont::Bold);
}

void TestRichText::pasteFromOtherPrograms()
{
    RichText target;
    auto *html = new QMimeData;
    html->setHtml(QStringLiteral("<b>жирный</b> текст"));
    html->setText(QStringLiteral("жирный текст"));
    QApplication::clipboard()->setMimeData(html);
    target.PasteFromClipboard();
    QCOMPARE(target.Text(), QStringLiteral("жирный текст"));
    QCOMPARE(formatAt(target, 0).fontWeight(), QFont::Bold);

    target.setPlain(QString());
    auto *plain = new QMimeData;
    plain->setText(QStringLiteral("a\r\nb"));
    QApplication::clipboard()->setMimeData(plain);
    target.PasteFromClipboard();
    QCOMPARE(target.Text(), QStringLiteral("a\r\nb"));

    // RTF that is not RTF falls back to the other forms
    target.setPlain(QString());
    auto *bogus = new QMimeData;
    bogus->setData(QStringLiteral("text/rtf"), "not rtf");
    bogus->setText(QStringLiteral("text"));
    QApplication::clipboard()->setMimeData(bogus);
    target.PasteFromClipboard();
    QCOMPARE(target.Text(), QStringLiteral("text"));
}

void TestRichText::readOnlyRefusesPasteAndCut()
{
    RichText doc;
    doc.setPlain(QStringLiteral("keep"));
    auto *mime = new QMimeData;
    mime->setText(QStringLiteral("intruder"));
    QApplication::clipboard()->setMimeData(mime);

    doc.SetReadOnly(true);
    doc.PasteFromClipboard();
    doc.SelectAll();
    doc.CutToClipboard();
    QCOMPARE(doc.Text(), QStringLiteral("keep"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("intruder"));

    // copying out of a read-only document is allowed
    doc.CopyToClipboard();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("keep"));

    doc.SetReadOnly(false);
    doc.CutToClipboard();
    QCOMPARE(doc.Text(), QString());
}

void TestRichText::directTransferKeepsFormatting()
{
    RichText source;
    source.setRtf("{\\rtf1 a{\\pict\\pngblip "
                  "89504e470d0a1a0a0000000d494844520000000200000002080600000072b60d24"
                  "0000001149444154789c63f8cfc0f01f8419600c0047ca07f967596eb700000000"
                  "49454e44ae426082}\\b b\\par c}");
    source.SelectAll();
    RichText target;
    target.SetReadOnly(true); // the program may write where the user may not
    target.insertSelectionOf(source);
    QCOMPARE(target.Text(), source.Text());
    QCOMPARE(formatAt(target, 2).fontWeight(), QFont::Bold);

    // the picture came along and still shows once the source is gone
    QTextCursor cursor(target.document());
    cursor.setPosition(2);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    QVERIFY(image.isValid());
    const QVariant resource =
        target.document()->resource(QTextDocument::ImageResource, QUrl(image.name()));
    QVERIFY(resource.isValid());
}

void TestRichText::printToPdf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.pdf"));
    RichText doc;
    doc.setRtf(kFormatted);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    doc.PrintTo(printer, QStringLiteral("Журнал"));
    QCOMPARE(printer.docName(), QStringLiteral("Журнал"));
    const QByteArray pdf = readFile(path);
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.size() > 500);
}

void TestRichText::printWithoutPrinterIsAnError()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a printer");
    RichText doc;
    doc.setPlain(QStringLiteral("x"));
    QString error;
    QVERIFY(!doc.Print(QStringLiteral("Журнал"), &error));
    QVERIFY(error.contains(QStringLiteral("принтер")));
}

void TestRichText::widgetFollowsContent()
{
    RichEdit edit;
    RichText &content = edit.content();
    content.setRtf(kFormatted);
    QCOMPARE(edit.document(), content.document());

    // typing in the widget reaches the content and its cached text
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, QStringLiteral("!"));
    QCOMPARE(content.Text(), QStringLiteral("plain bold red\r\nsecond!"));

    // a selection set in the content shows in the widget, and back
    content.SetSelStart(6);
    content.SetSelLength(11);
    QCOMPARE(edit.textCursor().selectedText(), QStringLiteral("bold red\u2029s"));
    edit.moveCursor(QTextCursor::Start);
    QCOMPARE(content.SelStart(), 0);
    QCOMPARE(content.SelLength(), 0);

    content.SetReadOnly(true);
    QVERIFY(edit.isReadOnly());
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QCOMPARE(content.Text(), QStringLiteral("plain bold red\r\nsecond!"));

    // content replaced wholesale: the widget shows the new document
    content.setPlain(QStringLiteral("new"));
    QCOMPARE(edit.document(), content.document());
    QCOMPARE(edit.toPlainText(), QStringLiteral("new"));
}

void TestRichText::overflowScrollsByBarOrButtons()
{
    RichEdit edit;
    edit.setScrollBarWhenTextOverflows(true);
    edit.content().setPlain(QStringLiteral("one\ntwo\nthree\nfour\nfive\nsix"));
    const int extent = edit.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int line = QFontMetrics(edit.font()).lineSpacing();
    edit.resize(300, line + 2 * edit.frameWidth() + 4);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    // Too low for a bar: two buttons, side by side at the right, the text beside them.
    QTRY_VERIFY(edit.stepButton(true) && edit.stepButton(true)->isVisible());
    QVERIFY(!edit.verticalScrollBar()->isVisible());
    QCOMPARE(edit.stepButton(false)->geometry().right() + 1, edit.stepButton(true)->x());
    QCOMPARE(edit.viewport()->width(), edit.contentsRect().width() - 2 * extent);
    // Qt 5's text edit starts a pixel down, to show the whole cursor; Qt 6's at the top.
    const int start = edit.verticalScrollBar()->value();
    QVERIFY(start <= 1);
    edit.stepButton(true)->click();
    QCOMPARE(edit.verticalScrollBar()->value(), start + edit.verticalScrollBar()->singleStep());

    // High enough: the bar, and no buttons; all text in view: neither.
    edit.resize(300, std::max(3 * extent, 3 * line) + 2 * edit.frameWidth());
    QTRY_VERIFY(edit.verticalScrollBar()->isVisible());
    QVERIFY(!edit.stepButton(true)->isVisible() && !edit.stepButton(false)->isVisible());
    QCOMPARE(edit.viewport()->width(), edit.contentsRect().width() - extent);
    edit.resize(300, 8 * line + 20);
    QTRY_VERIFY(!edit.verticalScrollBar()->isVisible());
    QVERIFY(!edit.stepButton(true)->isVisible());
    QCOMPARE(edit.viewport()->width(), edit.contentsRect().width());
}

QTEST_MAIN(TestRichText)
#include "tst_richtext.moc"
