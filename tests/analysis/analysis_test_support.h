#pragma once
// A clean program state for the analysis windows: a graph host that counts
// the redraws it is asked for (and runs the special-point search as the main
// window does), printing into a PDF file, messages recorded.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis_support.h"
#include "analysis_state.h"
#include "curve_discussion.h"
#include "graph_host.h"
#include "graph_state.h"
#include "message_sink.h"
#include "program_state.h"
#include "term.h"
#include "view.h"

namespace kalvo {

class ZaehlenderHost : public GraphHost {
public:
    int redraws = 0;
    void RedrawMainGraph(bool) override { ++redraws; }
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        KurvendiskussionBerechnen(a, b, step, t);
    }
};

class AnalysisWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        ResetProgramState();
        ResetGraphState();
        InitTermTrees();
        ResetKurvendiskussion();
        // A screen picture laid out as the main window has it.
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = 499;
        SetupAxes(gDisplay.Koordinatensystem);
        previousHost_ = SetGraphHost(&host);
        previousWahl_ = SetDruckerWahl([this](QWidget*, const std::function<void(PrintJob&)>& drucken) {
            const std::shared_ptr<PrintJob> printer = NewPrintJob();
            ASSERT_TRUE(printer);
            printer->SetPdfOutput(PdfPfad());
            ++druckauftraege;
            drucken(*printer);
        });
    }

    void TearDown() override {
        SetDruckerWahl(previousWahl_);
        SetGraphHost(previousHost_);
        Settle();
    }

    QString PdfPfad() const { return dir.filePath(QStringLiteral("druck.pdf")); }

    // The text of the printout without blanks (the reader spaces the
    // columns as it sees fit); empty when pdftotext is missing.
    QString PdfText() {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), PdfPfad(), QStringLiteral("-")});
        if (!p.waitForFinished(20000) || p.exitCode() != 0) return {};
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        pdfSeiten = static_cast<int>(text.count(QLatin1Char('\f')));
        return OhneLeerraum(text);
    }
    static QString OhneLeerraum(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); }
    static bool Gedruckt(const QString& text, const char* zeile) {
        return text.contains(OhneLeerraum(QString::fromUtf8(zeile)));
    }
    static bool HatPdftotext() { return QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-v")}) == 0; }

    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    template <typename W>
    W* Open(W* w) {
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        return w;
    }

    // Replaces a field's text as the user would and leaves it with Enter.
    static void Type(QLineEdit* e, const QString& text) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    static QString Kurz(const QString& s) { return QString(s).remove(QLatin1Char(' ')); }

    QTemporaryDir dir;
    ZaehlenderHost host;
    MessageRecorder messages;
    int druckauftraege = 0;
    int pdfSeiten = 0;

private:
    GraphHost* previousHost_ = nullptr;
    DruckerWahl previousWahl_;
};

}  // namespace kalvo
