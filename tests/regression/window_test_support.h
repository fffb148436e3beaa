#pragma once
// Windows of the curve fitting and the solver, shown, active and driven by
// keys; the main graph's redraws counted.

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "graph_host.h"
#include "graph_state.h"
#include "regression_test_support.h"

namespace kalvo::test {

// Records what Qt prints through its message handler while it lives, without
// the offscreen platform's notes on window hints.
class QtMessages {
public:
    QtMessages() {
        printed().clear();
        previous_ = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (!text.contains(QStringLiteral("propagateSizeHints"))) printed() << text;
        });
    }
    ~QtMessages() { qInstallMessageHandler(previous_); }
    static QStringList& printed() {
        static QStringList list;
        return list;
    }

private:
    QtMessageHandler previous_ = nullptr;
};

class CountingHost : public GraphHost {
public:
    void RedrawMainGraph(bool) override { ++redraws; }
    int redraws = 0;
};

// Windows still open at the end of a test are closed; the working folder,
// which saving a file changes, is restored.
class WindowTest : public RegressionTest {
protected:
    void SetUp() override {
        RegressionTest::SetUp();
        ResetGraphState();
        previous_ = SetGraphHost(&host);
        folder_ = QDir::currentPath();
    }
    void TearDown() override {
        for (const QPointer<QWidget>& w : shown_)
            if (w) w->close();
        SetGraphHost(previous_);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(folder_);
    }

    template <typename W>
    QPointer<W> Shown() {
        QPointer<W> w = new W;
        shown_.push_back(w.data());
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
        return w;
    }

    // Whether the window has been deleted (it deletes itself on close).
    template <typename W>
    static bool Deleted(QPointer<W>& w) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w.isNull();
    }

    static void Type(const char* text) { QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text)); }
    static void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    CountingHost host;
    QTemporaryDir dir;

private:
    GraphHost* previous_ = nullptr;
    QString folder_;
    std::vector<QPointer<QWidget>> shown_;
};

}  // namespace kalvo::test
