#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "message_sink.h"
#include "parameter_list.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {
namespace {

namespace K = TermNodeKind;

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ParserWMode = false;
        InitTermTrees();
    }
    void TearDown() override { ParserWMode = false; }
    MessageRecorder messages;
};

bool SameTree(const TermNode* a, const TermNode* b) {
    if (!a || !b) return a == b;
    return a->Kind == b->Kind && a->Value == b->Value && SameTree(a->Left.get(), b->Left.get()) &&
           SameTree(a->Right.get(), b->Right.get());
}

// Prints a tree fully parenthesised, for readable failures.
std::string Show(const TermNode* n) {
    if (!n) return "nil";
    if (!n->Left) return n->Kind == K::Number ? std::to_string(n->Value) : "#" + std::to_string(n->Kind);
    if (!n->Right) return "#" + std::to_string(n->Kind) + "(" + Show(n->Left.get()) + ")";
    return "(" + Show(n->Left.get()) + " " + static_cast<char>(n->Kind) + " " + Show(n->Right.get()) + ")";
}

TEST_F(ParserTest, SyntaxErrorsGiveCodeColumnAndOneMessage) {
    const struct { const char* text; int code, column; } cases[] = {
        {"x*-2", 5, 3}, {"2+-3", 5, 3}, {"--2", 5, 2}, {"x/-1", 5, 3}, {"sin x", 1, 4}, {"SIN (X)", 10, 0},
        {"(x+1", 3, 5}, {"sin(x", 3, 6}, {"((x)", 3, 5}, {"x)", 6, 2}, {"x))", 6, 2}, {"()", 6, 2}, {"2+", 3, 3},
        {"x^", 3, 3}, {"2.", 2, 3}, {"2e", 2, 3}, {".5", 2, 1}, {"2.5.3", 2, 4}, {"2e^x", 2, 3}, {"2exp(x)", 2, 3},
        {"1e400", 2, 6}, {"x$", 5, 2}, {"\xC3\xA4+1", 5, 1}, {"2pi)", 6, 3}, {"{nur Kommentar}", 5, 1},
        {"2+ {Rest}", 3, 3}, {"x\t", 5, 2}, {"sqrt", 1, 5}, {"2,5,3", 2, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        messages.clear();
        gTerms.SyntaxErrorPos = 0;
        const bool ok = ParseTerm(FunktionTermbaum, c.text, true);
        EXPECT_EQ(LastSyntaxErrorCode(), c.code);
        if (c.code == kNoSyntaxError) {  // compiles, without a word
            EXPECT_TRUE(ok && messages.messages().empty());
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_FALSE(gTerms.TermOK);
        EXPECT_TRUE(FunktionTermbaum.Empty());
        EXPECT_EQ(gTerms.SyntaxErrorPos, c.column);
        ASSERT_EQ(messages.messages().size(), 1u);
        EXPECT_EQ(messages.messages()[0], SyntaxErrorMessage(c.code));
    }
}

TEST_F(ParserTest, MessagesAreTheProgramsOwnTexts) {
    const std::pair<int, const char*> texts[] = {
        {1, "Klammer \"(\" fehlt "}, {2, "Zahldarstellung "}, {3, "unvollst\xC3\xA4ndig "},
        {5, "unbekanntes Symbol "}, {6, "Klammer \")\" zuviel "},
    };
    for (const auto& [code, text] : texts) EXPECT_EQ(SyntaxErrorMessage(code), std::string("Syntaxfehler: ") + text);
}

// Each term must compile to the very tree of its explicit form.
TEST_F(ParserTest, TermsReadAsTheirExplicitForm) {
    const std::pair<const char*, const char*> cases[] = {
        // A stop in the middle reads as a product.
        {"2x", "2*x"}, {"x2", "x*2"}, {"3sin(x)", "3*sin(x)"}, {"(x+1)(x-1)", "(x+1)*(x-1)"}, {"(2x)", "(2*x)"},
        {"2pi", "2*pi"}, {"ab", "a*b"}, {"xsin(x)", "x*sin(x)"}, {"2x^2", "2*x^2"}, {"-2x", "-2*x"},
        {"2^3x", "2^3*x"}, {"x^-2x", "x^-2*x"}, {"2(x+1)", "2*(x+1)"}, {"sin(2x)", "sin(2*x)"}, {"2x/3", "2*x/3"},
        {"x2+1", "x*2+1"}, {"2xt", "2*x*t"}, {"x(x+1)^2", "x*(x+1)^2"}, {"e^x", "e^x"}, {"2e3x", "2e3*x"},
        {"2 x", "2*x"},
        // Operators bind and associate as the language says.
        {"2^3^2", "(2^3)^2"}, {"-x^2", "-(x^2)"}, {"2-3-4", "(2-3)-4"}, {"12/3/2", "(12/3)/2"}, {"2+3*4", "2+(3*4)"},
        {"x^-2", "x^(-2)"}, {"-2*3", "(-2)*3"}, {"+x", "x"}, {"2*x^2", "2*(x^2)"}, {"x/2^2", "x/(2^2)"},
        {"-x+1", "(-x)+1"}, {"(+2)", "2"},
        // The normalised text is what compiles.
        {"X^2 + PI", "x^2+pi"}, {"Pi", "pi"}, {"2,5", "2.5"}, {"", "0"}, {"    ", "0"}, {"x^2 {Test}", "x^2"},
        {"S I N(x)", "sin(x)"}, {"1E3", "1000"}, {"wurzel(x)", "sqrt(x)"}, {"sgn(x)", "sign(x)"},
    };
    for (const auto& [text, explicitForm] : cases) {
        SCOPED_TRACE(text);
        Termbaum other;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, text, true));
        ASSERT_TRUE(ParseTerm(other, explicitForm, true));
        EXPECT_TRUE(SameTree(FunktionTermbaum.Root(), other.Root()))
            << Show(FunktionTermbaum.Root()) << " vs " << Show(other.Root());
    }
}

TEST_F(ParserTest, VariablesDependOnTheMode) {
    struct ModeCase { const char* text; bool vars, wMode, allowsY, accepted; };
    const ModeCase cases[] = {
        {"x", false, false, false, false}, {"t", false, false, false, false}, {"a+b*c-d", false, false, false, true},
        {"a+b*c-d", true, true, true, true}, {"x+t+n", true, false, false, true}, {"w", true, false, false, false},
        {"w+t", true, true, false, true}, {"x", true, true, false, false}, {"n", true, true, false, false},
        {"y", true, false, false, false}, {"y", true, false, true, true}, {"y", false, false, true, true},
        {"y", true, true, true, false}, {"pi*e", false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " vars " + std::to_string(c.vars) + " w " + std::to_string(c.wMode) +
                     " y " + std::to_string(c.allowsY));
        ParserWMode = c.wMode;
        gTerms.ParserAllowsY = c.allowsY;
        EXPECT_EQ(ParseTerm(FunktionTermbaum, c.text, c.vars), c.accepted);
        if (!c.accepted) {
            EXPECT_EQ(LastSyntaxErrorCode(), 5);
        }
    }
}

TEST_F(ParserTest, UsesTAndNArePerTreeAndNumberFieldsLeaveThemAlone) {
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x^n*t", true));
    EXPECT_TRUE(FunktionTermbaum.UsesT());
    EXPECT_TRUE(FunktionTermbaum.UsesN());
    EXPECT_TRUE(gTerms.TermUsesT);
    EXPECT_TRUE(gTerms.TermUsesN);

    ASSERT_TRUE(ParseTerm(ZahlTermbaum, "sqrt(2)", false));
    EXPECT_FALSE(ZahlTermbaum.UsesT());
    EXPECT_TRUE(gTerms.TermUsesT);
    EXPECT_TRUE(gTerms.TermUsesN);

    ASSERT_TRUE(ParseTerm(FlaechenTermbaum, "x", true));
    EXPECT_FALSE(gTerms.TermUsesT);
    EXPECT_FALSE(gTerms.TermUsesN);
    EXPECT_TRUE(FunktionTermbaum.UsesT());
}

TEST_F(ParserTest, InitialTreesAreZeroAndQuietParsingIsSilent) {
    for (const Termbaum* tree :
         {&FunktionTermbaum, &ZahlTermbaum, &FlaechenTermbaum, &ParamTermbaum1, &ParamTermbaum2, &ParamTermbaum3}) {
        ASSERT_FALSE(tree->Empty());
        EXPECT_EQ(tree->Root()->Kind, K::Number);
        EXPECT_EQ(tree->Root()->Value, 0);
        EXPECT_EQ(EvalTerm(*tree, 1, 2, 3, 4, 5), 0);
        EXPECT_TRUE(gTerms.TermOK);
    }
    // Quiet parsing stores the error without a message.
    {
        QuietParsing quiet;
        EXPECT_FALSE(ParseTerm(FunktionTermbaum, "x)", true));
        {
            QuietParsing nested;
        }
        EXPECT_FALSE(ParseTerm(FunktionTermbaum, "x)", true));
    }
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(LastSyntaxErrorCode(), 6);
    EXPECT_EQ(gTerms.SyntaxErrorPos, 2);
    EXPECT_FALSE(ParseTerm(FunktionTermbaum, "x)", true));
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(ParserTest, FieldTextHasADecimalCommaAndTheCaretFindsTheError) {
    const struct { const char* field; int column, caret; } cases[] = {
        {"x*-2", 3, 3}, {"x * -2", 3, 5}, {"2 pi + x)", 5, 9}, {"PI x)", 3, 5}, {"x)", 2, 2}, {"(x+1", 5, 4},
        {"\xC2\xB6)", 2, 2}, {"\xC3\xA4 x", 1, 1}, {"p i)", 2, 4}, {"x {k}", 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(FieldCaretForSyntaxError(c.field, c.column), c.caret);
    }
    // Field text is normalised with a decimal comma.
    EXPECT_EQ(TermFieldText("X^2 + PI"), "x^2+\xC2\xB6");
    EXPECT_EQ(TermFieldText("2.5 X {Dies. Das}"), "2,5x{Dies. Das}");
}

// Hostile input: nothing may crash, overflow the stack or take long.
std::string Repeat(const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
}

TEST_F(ParserTest, LongAndDeepInputsAreCompiledOrRefused) {
    QuietParsing quiet;
    std::string junk;
    for (int i = 0; i < 65536; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
    // Code 7: nested too deep; atOne: the value at x = 1 of what compiles.
    const struct { std::string text; int code; double atOne; } cases[] = {
        {Repeat("(", 10000) + "x" + Repeat(")", 10000), 7, 0}, {Repeat("(", 400) + "x" + Repeat(")", 400), 0, 1},
        {Repeat("x+", 20000) + "1", 0, 20001}, {std::string(65536, 'x'), 0, 1}, {Repeat("x^-", 20000) + "x", 7, 0},
        {Repeat("x+(", 400) + "x" + Repeat(")", 400), 0, 401}, {junk, -1, 0},
        {std::string("2\0x", 3), 0, 2},  // bytes of code 0 are passed over
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        const bool ok = ParseTerm(FunktionTermbaum, c.text, true);
        EXPECT_EQ(ok, c.code == 0);
        if (c.code > 0) {
            EXPECT_EQ(LastSyntaxErrorCode(), c.code);
        }
        EXPECT_EQ(ok ? EvalTerm(FunktionTermbaum, 1, 0, 0, 0, 0) : 0, c.atOne);
    }
    ParseTerm(FunktionTermbaum, cases[0].text, true);
    EXPECT_EQ(gTerms.SyntaxErrorPos, 501);
}

struct ListCase { const char* input; const char* shown; std::vector<double> values; bool refused; size_t messages; };

// Parameter lists: entries separated by ";", each a constant term.
TEST_F(ParserTest, ParameterListEntriesAreReadRewrittenAndCounted) {
    const ListCase cases[] = {
        {"2; 4,5; sqrt(2)", "2;4,5;sqrt(2);", {2, 4.5, std::sqrt(2.0)}, false, 0}, {"", "0;", {0}, false, 0},
        {"1;2;3;4;5;6;7;8;9;10;11;12", "1;2;3;4;5;6;7;8;9;10;", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, false, 0},
        {"1;x;3", "1;3;", {1, 3}, true, 1}, {"1;1/0;3", "1;3;", {1, 3}, true, 0},
        {"PI/2;", "\xC2\xB6/2;", {std::numbers::pi / 2}, false, 0}, {"1;;2", "1;;2;", {1, 0, 2}, false, 0},
        {"x;y", "", {}, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        ResetProgramState();
        InitTermTrees();
        messages.clear();
        Funktionsterm list = c.input;
        ParameterWerteFeld values{};
        EXPECT_EQ(ReadParameterliste(list, values), !c.refused);
        EXPECT_EQ(gTerms.ParameterListeFehler, c.refused);
        EXPECT_EQ(list.str(), c.shown);
        ASSERT_EQ(values[kMaxParameterValues], static_cast<double>(c.values.size()));
        for (size_t i = 0; i < c.values.size(); ++i) EXPECT_DOUBLE_EQ(values[i], c.values[i]);
        EXPECT_EQ(messages.messages().size(), c.messages);
    }
}

TEST_F(ParserTest, TheRewrittenParameterListStaysWithinItsLength) {
    Funktionsterm list = "123456789012345678901234567890;123456789012345678901234567890;"
                         "123456789012345678901234567890;123456789012345678901234567890;1";
    ParameterWerteFeld values{};
    ReadParameterliste(list, values);
    EXPECT_LE(list.str().size(), kTermChars);
    EXPECT_EQ(values[kMaxParameterValues], 4);
}

}  // namespace
}  // namespace kalvo
