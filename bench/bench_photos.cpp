// A test as teachers make it from phone photos: 50 questions, each with a JPEG photo of
// 4000 x 3000 pixels shown at 15 % of its size. How long it takes to open, and how much
// memory the program and merilon-check need for it.
#include "generatedtest.h"
#include "program/program.h"
#include "richtext/qtcompat.h"
#include "shell/desktop.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

// A photo-like picture: soft shapes and a fine grain, so that it compresses as a photo does.
QByteArray phonePhoto()
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 3000);
    sky.setColorAt(0, QColor(90, 140, 210));
    sky.setColorAt(1, QColor(230, 220, 190));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 120, 200, 160));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(random.bounded(4000), random.bounded(3000)),
                            random.bounded(40, 400), random.bounded(40, 300));
    }
    painter.end();
    // A light grain, as a phone's photo has after its own smoothing.
    for (int y = 0; y < image.height(); y += 2) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); x += 3) {
            const int grain = int(random.bounded(6)) - 3;
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + grain, 255), qBound(0, qGreen(p) + grain, 255),
                           qBound(0, qBlue(p) + grain, 255));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 70);
    return jpeg;
}

// The test, written once per run of the benchmarks.
const QString &photoTestPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QByteArray photo = phonePhoto().toHex();
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 "
                         "\\'d4\\'ee\\'f2\\'ee\\'f2\\'e5\\'f1\\'f2\\par\\par\n";
        for (int n = 1; n <= 50; ++n) {
            rtf += "#" + QByteArray::number(n) +
                   " \\'d7\\'f2\\'ee \\'ed\\'e0 \\'f4\\'ee\\'f2\\'ee?\\par\n";
            // 4000 x 3000 px at 96 dpi is 60000 x 45000 twips; shown at 15 %.
            rtf += "{\\pict\\jpegblip\\picw4000\\pich3000\\picwgoal60000\\pichgoal45000"
                   "\\picscalex15\\picscaley15\n";
            for (qsizetype i = 0; i < photo.size(); i += 128)
                rtf += photo.mid(i, 128) + '\n';
            rtf += "}\\par\n+\\'e4\\'e0\\par\n-\\'ed\\'e5\\'f2\\par\n\\par\n";
        }
        rtf += "}";
        return writeTestFile(dir, QStringLiteral("photos.tstt"), rtf);
    }();
    return path;
}

struct QuietDesktop final : merilon::Desktop
{
    QString openFileName(QWidget *, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    void showError(QWidget *, const QString &text) override { qFatal("%s", qPrintable(text)); }
    void showWarning(QWidget *, const QString &text) override { qFatal("%s", qPrintable(text)); }
    bool confirm(QWidget *, const QString &) override { return true; }
    int choose(QWidget *, const QString &, const QStringList &) override { return 0; }
    int exec(QDialog &) override { return 0; }
    bool openDocument(const QString &) override { return true; }
    bool onNetwork(const QString &) override { return false; }
};

struct NoWindows final : merilon::AttemptWindows
{
    merilon::Program *program = nullptr;
    void showRegistration() override { program->registration.ButtonokClick(); }
    void showResult(std::uint16_t) override {}
};

// The peak of this process's memory so far, in megabytes.
double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Child: the program opens the test and an attempt shows every question; prints the peak.
int runAttempt(const QString &path)
{
    QuietDesktop desktop;
    merilon::SystemClock clock;
    NoWindows windows;
    QTemporaryDir folder;
    merilon::Program program(desktop, clock, folder.path(),
                             merilon::JournalPlace::locate(folder.path(), {}, folder.path()),
                             &windows);
    windows.program = &program;
    program.show();
    QElapsedTimer timer;
    timer.start();
    program.controller.FileOpen1Accept(path);
    const qint64 openMs = timer.elapsed();
    if (qEnvironmentVariableIsSet("MERILON_BENCH_VERBOSE"))
        std::fprintf(stderr, "after open: %.1f MB\n", peakMegabytes());
    program.controller.StartExecute();
    for (int n = 1; n <= 50; ++n) {
        program.display.ShowQuestion(std::uint16_t(n));
        QApplication::processEvents(); // drawn as the examinee sees it
    }
    std::printf("%lld %.1f\n", static_cast<long long>(openMs), peakMegabytes());
    return 0;
}

void BM_OpenPhotoTest(benchmark::State &state)
{
    const QString path = photoTestPath();
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1 << 20);
    for (auto _ : state) {
        QuietDesktop desktop;
        merilon::SystemClock clock;
        QTemporaryDir folder;
        merilon::Program program(desktop, clock, folder.path(),
                                 merilon::JournalPlace::locate(folder.path(), {}, folder.path()));
        program.controller.FileOpen1Accept(path);
    }
}

// The whole attempt in a process of its own: its peak memory is the program's.
void BM_AttemptPeakMemory(benchmark::State &state)
{
    const QString path = photoTestPath();
    double peak = 0, openMs = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--attempt"), path});
        if (!child.waitForFinished(300000) || child.exitCode() != 0)
            qFatal("the attempt failed: %s", child.readAllStandardError().constData());
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        openMs = figures.value(0).toDouble();
        peak = figures.value(1).toDouble();
    }
    state.counters["open_ms"] = openMs;
    state.counters["peak_MB"] = peak;
}

void BM_CheckerPeakMemory(benchmark::State &state)
{
    const QString path = photoTestPath();
    double peak = 0;
    for (auto _ : state) {
        const QByteArray program = QByteArrayLiteral(MERILON_CHECK_EXE);
        const QByteArray file = path.toLocal8Bit();
        const pid_t pid = fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout);
            execl(program.constData(), program.constData(), file.constData(), nullptr);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
            qFatal("merilon-check failed on the photo test");
        peak = double(usage.ru_maxrss) / 1024.0;
    }
    state.counters["peak_MB"] = peak;
}

} // namespace

BENCHMARK(BM_OpenPhotoTest)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AttemptPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CheckerPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "--write") {
        // The test itself, to try by hand.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        QFile::remove(QString::fromLocal8Bit(argv[2]));
        return QFile::copy(photoTestPath(), QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (argc == 3 && QByteArrayView(argv[1]) == "--attempt") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return runAttempt(QString::fromLocal8Bit(argv[2]));
    }
    return runBenchmarks<QApplication>(argc, argv);
}
