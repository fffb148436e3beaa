// The yardstick of the start-up measurement: the smallest Qt Widgets window
// that paints one line of text. It prints the wall-clock time of its first
// paint (ns since the epoch) and ends once that paint is done, without
// tearing anything down, as the program does under KALVO_STARTUP_PROBE.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawLine(0, 0, width(), height());
        p.drawText(20, 40, QStringLiteral("Funktionsgraphen - Parameterkurven"));
        if (reported_) return;
        reported_ = true;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window w;
    w.resize(800, 600);
    w.show();
    return app.exec();
}
