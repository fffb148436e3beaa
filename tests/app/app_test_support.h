#pragma once
// A main window on a clean program state with its own program folder, so that
// no settings file of the machine leaks in; messages are recorded.

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app_start.h"
#include "graph_area.h"
#include "graph_state.h"
#include "main_window.h"
#include "message_sink.h"
#include "object_lists.h"
#include "program_state.h"

namespace kalvo {

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

    // Replaces a field's text as the user would and leaves it with Enter.
    static void Type(QLineEdit* e, const QString& text, bool leave = true) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        if (leave) QTest::keyClick(e, Qt::Key_Return);
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    MessageRecorder messages;
};

}  // namespace kalvo
