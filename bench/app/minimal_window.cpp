// One window that paints once: prints the wall-clock time of its first paint
// (ns since the epoch) and ends, as the program does under KALVO_STARTUP_PROBE.
// With the argument "text" it also writes a line of text, which costs the
// first use of the font system that any window with text pays.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class Window : public QWidget {
public:
    explicit Window(bool text) : text_(text) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawLine(0, 0, width(), height());
        if (text_) p.drawText(20, 40, QStringLiteral("Funktionsgraphen - Parameterkurven"));
        if (reported_) return;
        reported_ = true;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        // Ends as the program's start-up probe does: once the paint is done,
        // without tearing anything down.
        QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
    }

private:
    bool text_;
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window w(argc > 1 && QByteArray(argv[1]) == "text");
    w.resize(800, 600);
    w.show();
    return app.exec();
}
