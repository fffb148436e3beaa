#pragma once
// The term language: every function term and every number field is compiled
// here into a term tree, and evaluated from it with numeric derivatives and
// sums over n. Errors never throw: parsing stores a code and a column,
// evaluation clears gTerms.TermOK.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kalvo {

// Node codes of the term tree.
namespace TermNodeKind {
inline constexpr uint16_t Number = 0;
inline constexpr uint16_t VarX = 1;
inline constexpr uint16_t VarT = 2;
inline constexpr uint16_t VarN = 3;
inline constexpr uint16_t VarW = 4;
inline constexpr uint16_t VarY = 40;
inline constexpr uint16_t Pi = 5;
inline constexpr uint16_t E = 6;
inline constexpr uint16_t ConstA = 7;
inline constexpr uint16_t ConstB = 8;
inline constexpr uint16_t ConstC = 9;
inline constexpr uint16_t ConstD = 50;
inline constexpr uint16_t Ln = 10, Lg = 11, Ld = 12, Exp = 13, Sin = 14, Cos = 15, Tan = 16, Cot = 17;
inline constexpr uint16_t Arcsin = 18, Arccos = 19, Arctan = 20, Arccot = 21;
inline constexpr uint16_t Sinh = 22, Cosh = 23, Tanh = 24, Coth = 25, Sqrt = 26, Sqr = 27;
inline constexpr uint16_t Normal = 28, Phi = 29, Abs = 30, Sgn = 31, Maxint = 32, Int = 33;
inline constexpr uint16_t Deg = 34, Rad = 35, Fak = 36, Random = 37, Blanc = 38;
inline constexpr uint16_t FirstFunction = 10, LastFunction = 38;
inline constexpr uint16_t Mul = '*', Add = '+', Sub = '-', Div = '/', Pow = '^';
inline constexpr uint16_t Neg = 105;
}  // namespace TermNodeKind

struct TermNode {
    uint16_t Kind = 0;
    double Value = 0;  // numbers only
    std::unique_ptr<TermNode> Left, Right;
    // Long operator chains make deep trees; they are freed without recursion.
    ~TermNode();
};

struct TermProgram;

// A compiled term: the tree as parsed, plus the flat program it is evaluated by.
class Termbaum {
public:
    Termbaum();
    ~Termbaum();
    Termbaum(Termbaum&&) noexcept;
    Termbaum& operator=(Termbaum&&) noexcept;
    Termbaum(const Termbaum&) = delete;
    Termbaum& operator=(const Termbaum&) = delete;

    const TermNode* Root() const { return root_.get(); }  // nullptr after a failed parse
    bool Empty() const { return !root_; }
    bool UsesT() const { return usesT_; }
    bool UsesN() const { return usesN_; }
    void Clear();

private:
    friend struct TermbaumAccess;
    std::unique_ptr<TermNode> root_;
    std::unique_ptr<TermProgram> program_;
    bool usesT_ = false;
    bool usesN_ = false;
};

extern Termbaum FunktionTermbaum, ZahlTermbaum, FlaechenTermbaum, ParamTermbaum1, ParamTermbaum2, ParamTermbaum3;

// w-mode (the parametric curves): w is accepted, x and n are not.
extern bool ParserWMode;

// Builds all six global trees from "0".
void InitTermTrees();

// Rebuilds a tree from "0", what a term field with a syntax error falls back
// to; the record of that error (code, column) stays.
void ResetTermbaum(Termbaum& tree);

// Compiles a term typed by the user into `tree`. Returns false on a syntax
// error: the message has been shown (unless parsing is quiet), the tree is
// empty, gTerms.TermOK is false and gTerms.SyntaxErrorPos holds the column.
// A parse with variables allowed also sets gTerms.TermUsesT and TermUsesN.
bool ParseTerm(Termbaum& tree, std::string_view text, bool allowVars);

// While one exists, syntax errors show no message; code and column are still stored.
class QuietParsing {
public:
    QuietParsing();
    ~QuietParsing();
    QuietParsing(const QuietParsing&) = delete;
    QuietParsing& operator=(const QuietParsing&) = delete;
};

inline constexpr int kNoSyntaxError = 10;
int LastSyntaxErrorCode();
// "Syntaxfehler: " followed by the text of the code.
std::string SyntaxErrorMessage(int code);

// Where the caret goes in a field after a syntax error: the column counts
// characters of the normalised term, the field may still show what the user
// typed (blanks, "pi"). The result counts characters of `fieldText`.
int FieldCaretForSyntaxError(std::string_view fieldText, int column);

// What a term field shows once read: the normalised term with "," as the
// decimal separator; a comment from "{" on stays as it was typed.
std::string TermFieldText(std::string_view text);

void SetTermError();

// Every evaluation counts the cost of its compiled term against the open
// work budget (work_budget.h) and is undefined once that is spent.
// What one evaluation of the compiled term costs, in work units (0 without a term).
long long TermCost(const Termbaum& tree);

// The value of the term; 0 with gTerms.TermOK false where it is undefined.
double EvalTerm(const Termbaum& tree, double x, double y, double t, double n, double w);
// Order 0 is the term itself, 1 to 3 numeric derivatives in x (other orders count as 3).
double EvalTermDerivative(const Termbaum& tree, int order, double x, double y, double t, double n);
// The same in t, for the parametric curves (x, y and n are 0).
double EvalTermDerivativeArg2(const Termbaum& tree, int order, double t, double w);
// The most terms one sum over n may have, wherever it is evaluated (graph,
// tables, discussion, areas): a plotted sum costs this many evaluations per
// pixel column, so a redraw of such a curve stays a fraction of a second.
inline constexpr long long kMaxSumTerms = 10000;

// The sum of the derivative of FunktionTermbaum over n = nStart, nStart + nStep, ... up to nEnd;
// undefined (0, TermOK false) when it has more than kMaxSumTerms terms.
double EvalFunktionSumN(int order, double x, double t, double nStart, double nEnd, double nStep);
double EvalSurfaceTerm(double x, double y);
// The parametric-surface components are terms in a and b.
double EvalParamTerm1(double u, double v);
double EvalParamTerm2(double u, double v);
double EvalParamTerm3(double u, double v);

// The language's own power, logarithm and sign for direct use. TermPower and
// TermLg clear gTerms.TermOK where undefined (returning 0); they never set it.
double TermPower(double x, double y);
double TermLg(double a);
double TermSgn(double a);

}  // namespace kalvo
