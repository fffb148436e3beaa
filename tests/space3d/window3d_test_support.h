#pragma once
// A 3D window on a clean program state, shown offscreen; messages are
// recorded, files go to a folder of the test's own.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis_state.h"
#include "graph_state.h"
#include "message_sink.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {

template <typename W>
class FensterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        altesVerzeichnis = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QApplication::setQuitOnLastWindowClosed(false);
        ResetProgramState();
        ResetGraphState();
        InitTermTrees();
    }

    void TearDown() override {
        delete fenster.data();
        Settle();
        QDir::setCurrent(altesVerzeichnis);
    }

    W* Oeffnen() {
        fenster = new W;
        fenster->resize(1100, 760);
        fenster->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(fenster.data()));
        fenster->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fenster.data()));
        Settle();
        return fenster;
    }

    // Lets posted events run (layouts, repaints, deferred deletes).
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // Replaces a field's text as the user would and leaves it with Enter.
    static void Type(QLineEdit* e, const QString& text) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // A click on the round box of a radio button.
    static void Waehlen(QAbstractButton* radio) {
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    bool Geschlossen() {
        Settle();
        return fenster.isNull();
    }

    QTemporaryDir dir;
    QString altesVerzeichnis;
    QPointer<W> fenster;
    MessageRecorder messages;
};

// Pixels of the picture in this colour.
inline int Pixel(const QImage& bild, QRgb farbe) {
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) n += (bild.pixel(x, y) & 0xFFFFFF) == (farbe & 0xFFFFFF);
    return n;
}

}  // namespace kalvo
