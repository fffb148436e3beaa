#include "edit_field.h"

#include <numbers>
#include <QApplication>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

#include <gtest/gtest.h>

#include "message_sink.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {
namespace {

class EditFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        InitTermTrees();
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        number = new TermEdit(window.get(), TermEdit::Kind::Number);
        term = new TermEdit(window.get());
        other = new TermEdit(window.get());
        layout->addWidget(number);
        layout->addWidget(term);
        layout->addWidget(other);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    std::unique_ptr<QWidget> window;
    TermEdit* number = nullptr;
    TermEdit* term = nullptr;
    TermEdit* other = nullptr;
    MessageRecorder messages;
    int checks = 0;  // times the term field was checked on leaving it

    void CheckTermOnLeaving() {
        QObject::connect(term, &TermEdit::fieldLeft, [this] {
            ++checks;
            ReadFunktionstermEdit(term);
        });
    }
};

TEST_F(EditFieldTest, NumberFieldsTakeConstantTermsAndKeepABadOne) {
    struct NumberCase { const char* text; double value; const char* shown; bool ownValue; };
    const NumberCase cases[] = {
        {"2,5", 2.5, "  2,50     ", true}, {"pi", std::numbers::pi, "  3,14     ", true},
        {"sqrt(2)", std::sqrt(2.0), "  1,41     ", true}, {"", 0, "  0,00     ", true},
        {"2e-3", 0.002, "  2,00 E-3", true}, {"1/0", 7, "  7,00     ", false}, {"ln(0)", 7, "  7,00     ", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        number->setText(QString::fromUtf8(c.text));
        double value = -1;
        EXPECT_EQ(ReadNumberEdit(number, value, 7), c.ownValue);
        EXPECT_EQ(gTerms.TermOK, c.ownValue);
        EXPECT_DOUBLE_EQ(value, c.value);
        EXPECT_EQ(number->text().toStdString(), c.shown);
    }
    EXPECT_TRUE(messages.messages().empty());
    // A bad number keeps value and text, and the caret finds the error.
    number->setText("2 + x");
    double value = 4;
    EXPECT_FALSE(ReadNumberEdit(number, value, 7));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(number->text(), "2 + x");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Syntaxfehler: unbekanntes Symbol ");
    EXPECT_EQ(QApplication::focusWidget(), number);
    EXPECT_EQ(number->cursorPosition(), 5);
}

TEST_F(EditFieldTest, TypedPointBecomesCommaAndNumberFieldsHoldThirtyCharacters) {
    number->setFocus();
    QTest::keyClicks(number, "2.5");
    EXPECT_EQ(number->text(), "2,5");
    QTest::keyClick(number, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(number->text(), "2,5,");

    number->clear();
    QTest::keyClicks(number, QString(40, '1'));
    EXPECT_EQ(number->text().size(), 30);

    term->setFocus();
    QTest::keyClicks(term, "x^0.5");
    EXPECT_EQ(term->text(), "x^0,5");
}

TEST_F(EditFieldTest, ABadTermKeepsItsTextComplainsOnceAndTakesTheFocusBack) {
    CheckTermOnLeaving();
    term->setFocus();
    QTest::keyClicks(term, "X * -2");
    QTest::keyClick(term, Qt::Key_Tab);

    EXPECT_EQ(checks, 1);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Syntaxfehler: unbekanntes Symbol ");
    EXPECT_EQ(term->text(), "x*-2");
    EXPECT_EQ(QApplication::focusWidget(), term);
    EXPECT_EQ(term->cursorPosition(), 3);
    ASSERT_FALSE(FunktionTermbaum.Empty());
    EXPECT_EQ(FunktionTermbaum.Root()->Kind, TermNodeKind::Number);
    EXPECT_FALSE(gTerms.TermOK);

    // Corrected, the field is left without a word.
    term->setText("x*(-2)");
    QTest::keyClick(term, Qt::Key_Tab);
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(EvalTerm(FunktionTermbaum, 3, 0, 0, 0, 0), -6);
}

// A message box takes the focus away from the field once more while the
// check runs; that must not check the field a second time.
TEST_F(EditFieldTest, TheFocusLossOfTheMessageBoxDoesNotCheckAgain) {
    CheckTermOnLeaving();
    int shown = 0;
    SetMessageHandler([&](MessageKind, const std::string&) {
        ++shown;
        other->setFocus(Qt::OtherFocusReason);
    });
    term->setFocus();
    term->setText("sin x");
    term->commitField();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(QApplication::focusWidget(), term);
    EXPECT_EQ(term->cursorPosition(), 4);
}

TEST_F(EditFieldTest, TermFieldsShowTheNormalisedTermAndATypedPiIsPi) {
    const struct {
        const char* set;    // text given to the field (a stored term, or typed)
        bool typed;
        const char* shown;  // what the field then shows
        const char* term;   // the term behind it, after the field is read
        double atOne;
    } cases[] = {
        {"X^2 + PI {Parabel. Hoch}", false, "X^2 + PI {Parabel. Hoch}", "x^2+\xC2\xB6{Parabel. Hoch}",
         1 + std::numbers::pi},
        {"cos(a*2*\xC2\xB6)", false, "cos(a*2*\u03C0)", "cos(a*2*\xC2\xB6)", 1},
        {"2\u03C0x", true, "2\u03C0x", "2\xC2\xB6x", 2 * std::numbers::pi},
        {"\u03A0/2", true, "\u03A0/2", "\xC2\xB6/2", (std::numbers::pi / 2)},
        {"pi*x", true, "pi*x", "\xC2\xB6*x", std::numbers::pi},
    };
    for (const auto& c : cases) {
        term->clear();
        if (c.typed) {
            term->setFocus();
            // Letter by letter as a keyboard sends them, π included.
            for (QChar ch : QString::fromUtf8(c.set))
                QTest::sendKeyEvent(QTest::Click, term, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        } else {
            term->setText(QString::fromUtf8(c.set));
        }
        EXPECT_EQ(term->text(), QString::fromUtf8(c.shown)) << c.set;
        EXPECT_TRUE(ReadFunktionstermEdit(term)) << c.set;
        EXPECT_EQ(term->text(), ShownTerm(c.term)) << c.set;
        EXPECT_EQ(FieldTerm(term), c.term) << c.set;
        EXPECT_NEAR(EvalTerm(FunktionTermbaum, 1, 0, 0, 0, 0), c.atOne, 1e-9) << c.set;
    }
    // A number field takes a typed π as well.
    number->setText(QString::fromUtf8("\u03C0/4"));
    double v = 0;
    EXPECT_TRUE(ReadNumberEdit(number, v, 0));
    EXPECT_NEAR(v, 0.7853981635, 1e-9);
    // A text field shows its text as it is.
    TermEdit title(nullptr, TermEdit::Kind::Text);
    title.setText(QString::fromUtf8("\xC2\xB6 und \u03C0"));
    EXPECT_EQ(title.text(), QString::fromUtf8("\xC2\xB6 und \u03C0"));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(EditFieldTest, SurfaceFieldsAcceptYAndSkipEmptyFields) {
    term->setText("x*y");
    EXPECT_TRUE(ReadSurfaceTermEdit(term));
    EXPECT_FALSE(gTerms.ParserAllowsY);
    EXPECT_EQ(EvalSurfaceTerm(2, 3), 6);

    term->clear();
    EXPECT_TRUE(ReadSurfaceTermEdit(term));
    EXPECT_EQ(EvalSurfaceTerm(2, 3), 6);

    term->setText("a*b");
    EXPECT_TRUE(ReadParamTermEdit2(term));
    EXPECT_EQ(EvalParamTerm2(3, 4), 12);

    term->setText("y");
    EXPECT_FALSE(ReadParamTermEdit1(term));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(EvalParamTerm1(3, 4), 0);
    EXPECT_TRUE(ReadParamTermEdit3(other));
}

TEST_F(EditFieldTest, LeavingForAnotherFieldChecksAndTellsTheOutcome) {
    CheckTermOnLeaving();
    term->setText("x^2");
    EXPECT_TRUE(term->leaveField());
    term->setText("x*-2");
    EXPECT_FALSE(term->leaveField());
    EXPECT_EQ(messages.messages().size(), 1u);
    term->setText("2x");
    EXPECT_TRUE(term->leaveField());
    // A field without a check always passes.
    other->setText("x*-2");
    EXPECT_TRUE(other->leaveField());
    // Only leaving for another field counts.
    QSignalSpy left(term, &TermEdit::fieldLeft);
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(term, &out);
    }
    EXPECT_EQ(left.count(), 0);
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(term, &out);
    EXPECT_EQ(left.count(), 1);
}

}  // namespace
}  // namespace kalvo
