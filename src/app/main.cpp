// Kalvograf: the program entry.

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app_resources.h"
#include "app_start.h"
#include "graph_area.h"
#include "main_window.h"

namespace {

// Start-up measurement: with KALVO_STARTUP_PROBE set, the program prints the
// wall-clock time of its first painted graph (ns since the epoch) and ends
// as soon as the window's paint is done, without tearing anything down, so
// that the process's time is the time to the first picture.
void ReportFirstGraph(kalvo::TForm1& window) {
    QObject::connect(window.PaintBox1(), &kalvo::TGraphArea::FirstGraphPainted, &window, [] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvograf"));
    kalvo::InstallGermanTranslations(app);
    kalvo::InstallMessageBoxes();

    kalvo::StartProgramState(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString());
    kalvo::RegisterCursors();

    kalvo::TForm1 window;
    if (qEnvironmentVariableIsSet("KALVO_STARTUP_PROBE")) ReportFirstGraph(window);
    window.PlaceOnScreen();
    window.show();
    return app.exec();
}
