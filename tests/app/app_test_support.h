#pragma once
// A main window on a clean program state with its own program folder, so that
// no settings file of the machine leaks in; messages are recorded.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

#include "app_start.h"
#include "graph_area.h"
#include "graph_state.h"
#include "main_window.h"
#include "message_sink.h"
#include "object_lists.h"
#include "program_state.h"
#include "user_choices.h"
#include "view.h"

namespace kalvo {

// Presses "Abbrechen" in the progress dialog of a printout or an export as
// soon as one shows (the output lets events run while it does); `meanwhile`
// runs first, as events the dialog lets through would.
class PressAbbrechen {
public:
    explicit PressAbbrechen(std::function<void()> meanwhile = {}) : meanwhile_(std::move(meanwhile)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start();
    }
    QString label;  // what the dialog said was being done
    bool pressed = false;

private:
    void Look() {
        for (QWidget* w : QApplication::allWidgets()) {
            auto* d = qobject_cast<QProgressDialog*>(w);
            if (!d || !d->isVisible()) continue;
            label = d->labelText();
            if (meanwhile_) meanwhile_();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Abbrechen")) QTest::mouseClick(b, Qt::LeftButton);
            pressed = d->wasCanceled();
            timer_.stop();
            return;
        }
    }
    std::function<void()> meanwhile_;
    QTimer timer_;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        QApplication::setQuitOnLastWindowClosed(false);
        StartClean();
    }

    void TearDown() override {
        // Windows of the main window go with it; only strays are deleted here.
        QList<QPointer<QWidget>> strays;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget() && w != form.get()) strays.append(w);
        form.reset();
        for (const QPointer<QWidget>& w : strays) delete w.data();
        Settle();
        ResetChoices();
    }

    // The program as it starts: state from the folder's settings file, main window shown.
    void StartClean() {
        ResetProgramState();
        ResetGraphState();
        StartProgramState(dir.path().toStdString());
        form = std::make_unique<TForm1>();
        form->resize(TForm1::ClientWidthFor(700), 700);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        Settle();
    }

    // Lets posted events run (coalesced redraws, deferred deletes, layouts).
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    template <typename W>
    static void Activate(W* w) {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    // A click on the button, and what it posted has run.
    static void Click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }

    // The window a click on `button` opened as a child of `owner` (the main window), active.
    template <typename W>
    W* OpenBy(QAbstractButton* button, QWidget* owner = nullptr) {
        Click(button);
        W* w = (owner ? owner : form.get())->template findChild<W*>();
        if (w) Activate(w);
        return w;
    }

    // Replaces a field's text as the user would and leaves it with Enter.
    static void Type(QLineEdit* e, const QString& text, bool leave = true) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        if (leave) QTest::keyClick(e, Qt::Key_Return);
    }
    static void Type(std::initializer_list<std::pair<QLineEdit*, const char*>> fields) {
        for (const auto& [e, text] : fields) Type(e, QString::fromUtf8(text));
    }

    // What a file holds; nothing when it cannot be read.
    static QByteArray FileBytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Some pixel of the 3 x 3 block around the world point of the graph has colour c.
    bool CurveAt(double x, double y, const QColor& c) const {
        double px = 0, py = 0;
        WorldToPixel(x, y, px, py);
        const QImage& img = form->PaintBox1()->Picture();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint q(int(std::lround(px)) + dx, int(std::lround(py)) + dy);
                if (img.rect().contains(q) && img.pixelColor(q) == c) return true;
            }
        return false;
    }

    // After printing or a picture file the screen draws with its own factors, density, size and canvas again.
    void ExpectScreenOutput() const {
        EXPECT_EQ(gOutput.AusgabefaktorX, 1);
        EXPECT_EQ(gOutput.AusgabefaktorY, 1);
        EXPECT_EQ(gOutput.SamplesPerPixel, 1);
        EXPECT_FALSE(gOutput.MetafileActive || gOutput.PrintingActive || gOutput.DruckVorschau);
        EXPECT_EQ(gOutput.PrintOffsetX, 0);
        EXPECT_EQ(gOutput.PlotWidthPx, form->PaintBox1()->width() - 1);
        EXPECT_EQ(gOutput.AusgabeCanvas, form->PaintBox1()->Surface().ScreenCanvas());
    }

    // The y axis of the default window -8..8 runs down the middle of the picture.
    bool YAxisIn(const QColor& c) const { return CurveAt(0, 8.0 / 3, c); }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    MessageRecorder messages;
};

}  // namespace kalvo
