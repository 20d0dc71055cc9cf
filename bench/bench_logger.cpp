// The logger upload in the main window against the simulated unit at its real pace (--pace):
// the transfer against the line's own time for 131072 bytes, the time from the last byte to the
// plotted graph, the program's CPU while it waits, and how well the seconds-left estimate held.
#include "BenchFigures.h"
#include "SimUnit.h"
#include "TestOptions.h"
#include "app/Main.h"
#include "graph/ui/GraphForm.h"
#include "settings/SettingsImage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr double LineMs = 131072 * 10.0 * 1000.0 / 19200.0;  // 8N1: ten bits a byte

// The real window, with the moments the bench needs noted as the upload passes them.
class BenchForm : public TForm1 {
public:
    QElapsedTimer clock;
    double sentMs = -1;     // 'I' went out: the first estimate follows it at once
    double plottedMs = -1;  // the channels replaced and the chart redrawn
    double cpuAtSend = 0, cpuAtPlot = 0;
    QList<QPair<double, int>> estimates;  // (ms, seconds left shown)

    BenchForm() : TForm1(testOptions()) { clock.start(); }
    double now() const { return clock.nsecsElapsed() / 1e6; }
    void showTimeLeft(const QString &activity, int seconds) override
    {
        if (sentMs < 0) {
            sentMs = now();
            cpuAtSend = bench::cpuMs();
        }
        estimates.append({now(), seconds});
        TForm1::showTimeLeft(activity, seconds);
    }
    void logImageUploaded(const QByteArray &logImage) override
    {
        TForm1::logImageUploaded(logImage);
        plottedMs = now();
        cpuAtPlot = bench::cpuMs();
    }
};

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);

    // A memory the logger filled on a drive, as after a run on the track.
    SettingsImage settings = SettingsImage::defaults();
    settings.setByte(38, 0xFF);  // data logging enabled
    const QString log = config.filePath(QStringLiteral("logger.bin"));
    SimUnit unit({"--pace", "--log-memory", log, "--warm-up", "200"}, settings.toByteArray());
    if (!unit.ok()) {
        std::printf("unit-sim did not start\n");
        return 1;
    }
    BenchForm window;
    window.show();
    if (!window.link().Comm1().open(unit.path)) {
        std::printf("cannot open %s\n", qPrintable(unit.path));
        return 1;
    }
    double lastByteMs = -1;
    QObject::connect(&window.link().Comm1(), &SerialDevice::activity, [&] {
        if (window.link().state().LinkMode == ModeLogBlocks)
            lastByteMs = window.now();
    });

    const double start = window.now();
    window.DL_UploadBtnClick();
    const double closed = window.now();
    const bool ok = window.plottedMs > 0;

    const double transfer = window.plottedMs - window.sentMs;
    std::printf("upload_wall_ratio %.4f target <=1.02 (%.0f ms from 'I' to the plotted graph, line %.0f ms; %s)\n",
                transfer / LineMs, transfer, LineMs, ok ? "ok" : "FAILED");
    std::printf("last_byte_to_plot_ms %.1f target <50\n", window.plottedMs - lastByteMs);
    const double cpu = window.cpuAtPlot - window.cpuAtSend;
    std::printf("upload_cpu_percent %.2f target <5 (cpu %.0f ms over %.0f ms)\n", 100.0 * cpu / transfer, cpu,
                transfer);
    // The estimate against what was really left until the last byte, once the pace is measured.
    double worst = 0;
    for (const auto &[ms, seconds] : window.estimates)
        if (ms - window.sentMs > 5000)
            worst = qMax(worst, qAbs(seconds - (lastByteMs - ms) / 1000.0));
    std::printf("time_left_worst_error_s %.2f target <=2 (%lld estimates shown)\n", worst,
                qint64(window.estimates.size()));
    std::printf("whole_read_ms %.0f (click to closing message: version query and menu returns included)\n",
                closed - start);

    QElapsedTimer shown;
    shown.start();
    window.graphChart()->show();
    window.graphChart()->repaint();
    std::printf("graph_window_open_ms %.1f (show and first paint of the uploaded graph)\n", shown.nsecsElapsed() / 1e6);
    return ok ? 0 : 1;
}
