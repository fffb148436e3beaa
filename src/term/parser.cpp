// Recursive descent over the normalised term, one character of lookahead.
//
// Where a term stops early ("2x", "(x+1)(x-1)", "3sin(x)") a "*" belongs at
// the stop: the product loop reads such a place as a product at once, which
// is what parsing the text again with a "*" inserted there would give, but
// without the quadratic cost of reparsing long inputs.

#include <charconv>
#include <cmath>
#include <string>

#include "message_sink.h"
#include "number_text.h"
#include "program_state.h"
#include "term.h"
#include "term_program.h"

namespace kalvo {

Termbaum FunktionTermbaum, ZahlTermbaum, FlaechenTermbaum, ParamTermbaum1, ParamTermbaum2, ParamTermbaum3;
bool ParserWMode = false;

namespace {

namespace K = TermNodeKind;

constexpr char32_t kPiChar = 0xB6;
// Deep enough for any term a field can hold; shallow enough that no recursion
// over the tree (here or in a later drawing of it) runs out of stack.
constexpr int kMaxNesting = 500;
constexpr int kNestingErrorCode = 7;

int gQuietDepth = 0;
int gLastErrorCode = kNoSyntaxError;

struct FunctionName {
    const char* name;
    uint16_t code;
};

// Searched in this order: the longer names before their prefixes.
constexpr FunctionName kFunctionNames[] = {
    {"ln", K::Ln},         {"lg", K::Lg},         {"ld", K::Ld},         {"sinh", K::Sinh},
    {"cosh", K::Cosh},     {"tanh", K::Tanh},     {"coth", K::Coth},     {"sqrt", K::Sqrt},
    {"wurzel", K::Sqrt},   {"sqr", K::Sqr},       {"exp", K::Exp},       {"sin", K::Sin},
    {"cos", K::Cos},       {"tan", K::Tan},       {"cot", K::Cot},       {"arcsin", K::Arcsin},
    {"arccos", K::Arccos}, {"arctan", K::Arctan}, {"arccot", K::Arccot}, {"normal", K::Normal},
    {"phi", K::Phi},       {"abs", K::Abs},       {"sign", K::Sgn},      {"sgn", K::Sgn},
    {"maxint", K::Maxint}, {"int", K::Int},       {"deg", K::Deg},       {"rad", K::Rad},
    {"fak", K::Fak},       {"random", K::Random}, {"blanc", K::Blanc},
};

// Each byte that is not part of a valid UTF-8 sequence counts as one character.
std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool ok = len > 0 && i + static_cast<size_t>(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (ok) {
            out.push_back(cp);
            i += static_cast<size_t>(len);
        } else {
            out.push_back(0xFFFD);
            ++i;
        }
    }
    return out;
}

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }

// A number text that from_chars finds out of range: too small (it reads as 0)
// or too large (an error), by its decimal exponent.
bool UnderflowsToZero(const std::string& text) {
    long long exponent = 0;
    const size_t e = text.find('e');
    if (e != std::string::npos) {
        long long ex = 0;
        size_t i = e + 1;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        for (; i < text.size(); ++i) ex = std::min(ex * 10 + (text[i] - '0'), 1000000000LL);
        exponent = negative ? -ex : ex;
    }
    const std::string mantissa = text.substr(0, e);
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string::npos) return exponent + static_cast<long long>(whole.size() - firstNonZero) <= 0;
    if (point == std::string::npos) return true;
    const size_t frac = mantissa.find_first_not_of('0', point + 1);
    if (frac == std::string::npos) return true;
    return exponent - static_cast<long long>(frac - point) < 0;
}

class Parser {
public:
    Parser(const std::u32string& text, bool varsAllowed)
        : s_(text), len_(static_cast<int>(text.size())), varsAllowed_(varsAllowed) {}

    std::unique_ptr<TermNode> Parse() {
        pos_ = 0;
        cur_ = ' ';
        Advance();
        auto tree = Sum();
        if (!error_ && pos_ <= len_ && cur_ != ' ') Fail(4);
        if (error_) tree.reset();
        return tree;
    }

    bool error() const { return error_; }
    int code() const { return code_; }
    int errorColumn() const { return errorPos_; }
    bool usesT() const { return usesT_; }
    bool usesN() const { return usesN_; }

private:
    using Node = std::unique_ptr<TermNode>;

    char32_t At(int p) const { return p >= 1 && p <= len_ ? s_[static_cast<size_t>(p - 1)] : 0; }
    bool AtEnd() const { return pos_ > len_; }

    // Characters of code 0 are skipped; past the end the current character is 0.
    void SetPos(int q) {
        while (q <= len_ && At(q) == 0) ++q;
        pos_ = std::min(q, len_ + 1);
        cur_ = At(pos_);
    }

    void Advance() {
        prev_ = cur_;
        if (pos_ <= len_) SetPos(pos_ + 1);
    }

    void Fail(int code) {
        if (error_) return;
        error_ = true;
        code_ = code;
        errorPos_ = pos_;
    }

    static Node Leaf(uint16_t kind, double value = 0) {
        auto n = std::make_unique<TermNode>();
        n->Kind = kind;
        n->Value = value;
        return n;
    }

    static Node Operator(uint16_t kind, Node left, Node right) {
        auto n = Leaf(kind);
        n->Left = std::move(left);
        n->Right = std::move(right);
        return n;
    }

    Node Sum() {
        Node left = Product();
        while (!error_ && (cur_ == '+' || cur_ == '-')) {
            const auto op = static_cast<uint16_t>(cur_);
            Advance();
            Node right = Product();
            left = Operator(op, std::move(left), std::move(right));
        }
        return left;
    }

    // Would the text, stopped here, have been parsed again with a "*" inserted?
    bool ImplicitProduct() const {
        if (AtEnd()) return parens_ > 0;
        if (cur_ == ')') return parens_ == 0;
        if (cur_ == ' ') return parens_ > 0;
        return cur_ != '+' && cur_ != '-' && cur_ != '^';
    }

    Node Product() {
        Node left = Power();
        while (!error_) {
            uint16_t op;
            if (cur_ == '*' || cur_ == '/') {
                op = static_cast<uint16_t>(cur_);
                Advance();
            } else if (ImplicitProduct()) {
                op = K::Mul;
                prev_ = '*';
            } else {
                break;
            }
            Node right = Power();
            left = Operator(op, std::move(left), std::move(right));
        }
        return left;
    }

    Node Power() {
        Node left = Factor();
        while (!error_ && cur_ == '^') {
            Advance();
            Node right = Factor();
            left = Operator(K::Pow, std::move(left), std::move(right));
        }
        return left;
    }

    struct NestingGuard {
        explicit NestingGuard(int& d) : depth(d) { ++depth; }
        ~NestingGuard() { --depth; }
        int& depth;
    };

    // The argument of a parenthesis or function, up to and including its ")".
    Node Enclosed() {
        ++parens_;
        Node inner = Sum();
        --parens_;
        if (error_) return nullptr;
        if (cur_ != ')' || AtEnd()) {
            Fail(0);
            return nullptr;
        }
        Advance();
        return inner;
    }

    uint16_t FunctionAt() const {
        for (const auto& f : kFunctionNames) {
            int i = 0;
            while (f.name[i] != 0 && At(pos_ + i) == static_cast<char32_t>(f.name[i])) ++i;
            if (f.name[i] == 0) {
                matchedLength_ = i;
                return f.code;
            }
        }
        return 0;
    }

    bool PrevAllowsSign() const { return prev_ != '*' && prev_ != '+' && prev_ != '-' && prev_ != '/'; }

    Node Factor() {
        NestingGuard guard(depth_);
        if (depth_ > kMaxNesting) {
            Fail(kNestingErrorCode);
            return nullptr;
        }
        if (AtEnd()) {
            Fail(3);
            return nullptr;
        }
        if (cur_ == '(') {
            Advance();
            return Enclosed();
        }
        if (cur_ == '-' && PrevAllowsSign()) {
            Advance();
            Node operand = Power();
            if (error_) return nullptr;
            Node n = Leaf(K::Neg);
            n->Left = std::move(operand);
            return n;
        }
        if (cur_ == '+' && PrevAllowsSign()) {
            Advance();
            return Power();
        }
        if (const uint16_t fn = FunctionAt()) {
            for (int i = 0; i < matchedLength_; ++i) Advance();
            if (cur_ != '(' || AtEnd()) {
                Fail(1);
                return nullptr;
            }
            Advance();
            Node arg = Enclosed();
            if (error_) return nullptr;
            Node n = Leaf(fn);
            n->Left = std::move(arg);
            return n;
        }
        const bool w = ParserWMode;
        uint16_t leaf = 0xFFFF;
        switch (cur_) {
            case 'x': if (varsAllowed_ && !w) leaf = K::VarX; break;
            case 't': if (varsAllowed_) { leaf = K::VarT; usesT_ = true; } break;
            case 'n': if (varsAllowed_ && !w) { leaf = K::VarN; usesN_ = true; } break;
            case 'w': if (varsAllowed_ && w) leaf = K::VarW; break;
            case 'y': if (gTerms.ParserAllowsY && !w) leaf = K::VarY; break;
            case kPiChar: leaf = K::Pi; break;
            case 'e': leaf = K::E; break;
            case 'a': leaf = K::ConstA; break;
            case 'b': leaf = K::ConstB; break;
            case 'c': leaf = K::ConstC; break;
            case 'd': leaf = K::ConstD; break;
            default:
                if (IsDigit(cur_) || cur_ == '.') return Number();
        }
        if (leaf != 0xFFFF) {
            Advance();
            return Leaf(leaf);
        }
        Fail(cur_ == ' ' ? 3 : cur_ == ')' ? 6 : 5);
        return nullptr;
    }

    Node Number() {
        std::string text;
        int q = pos_;
        bool digit = false;
        auto digits = [&] {
            while (IsDigit(At(q))) {
                text.push_back(static_cast<char>(At(q)));
                digit = true;
                ++q;
            }
        };
        digits();
        if (At(q) == '.' && digit) {
            text.push_back('.');
            ++q;
            digits();
        }
        if (At(q) == 'e' || At(q) == 'E') {
            text.push_back('e');
            ++q;
            if (At(q) == '+' || At(q) == '-') text.push_back(static_cast<char>(At(q++)));
            digits();
        }
        if (q > pos_) {
            prev_ = At(q - 1);
            SetPos(q);
        }
        double value = 0;
        const char* first = text.data();
        const char* last = first + text.size();
        const bool endsInPoint = !text.empty() && text.back() == '.';
        auto res = std::from_chars(first, last, value, std::chars_format::general);
        if (text.empty() || endsInPoint || res.ptr != last ||
            (res.ec == std::errc::result_out_of_range && !UnderflowsToZero(text)) ||
            (res.ec != std::errc() && res.ec != std::errc::result_out_of_range)) {
            Fail(2);
            return nullptr;
        }
        if (res.ec == std::errc::result_out_of_range) value = 0;
        return Leaf(K::Number, value);
    }

    const std::u32string& s_;
    int len_;
    bool varsAllowed_;
    int pos_ = 0;
    char32_t cur_ = ' ';
    char32_t prev_ = ' ';
    bool error_ = false;
    int code_ = kNoSyntaxError;
    int errorPos_ = 0;
    int depth_ = 0;
    int parens_ = 0;
    bool usesT_ = false;
    bool usesN_ = false;
    mutable int matchedLength_ = 0;
};

void ShowSyntaxError(int code, int column) {
    gTerms.SyntaxErrorPos = column;
    if (gQuietDepth == 0) ShowMessage(SyntaxErrorMessage(code), MessageKind::Error);
}

// One parse of an already normalised text into `tree`; shows its error.
bool ParseText(Termbaum& tree, std::string_view text, bool varsAllowed, bool& usesT, bool& usesN) {
    tree.Clear();
    const std::u32string chars = DecodeUtf8(text);
    Parser parser(chars, varsAllowed);
    std::unique_ptr<TermNode> root = parser.Parse();
    usesT = parser.usesT();
    usesN = parser.usesN();
    gLastErrorCode = parser.error() ? parser.code() : kNoSyntaxError;
    if (parser.error()) {
        ShowSyntaxError(parser.code(), parser.errorColumn());
        return false;
    }
    TermbaumAccess::Set(tree, std::move(root), usesT, usesN);
    return true;
}

}  // namespace

QuietParsing::QuietParsing() { ++gQuietDepth; }
QuietParsing::~QuietParsing() { --gQuietDepth; }

int LastSyntaxErrorCode() { return gLastErrorCode; }

std::string SyntaxErrorMessage(int code) {
    static const char* const kTexts[] = {
        "Klammer \")\" fehlt ", "Klammer \"(\" fehlt ", "Zahldarstellung ",     "unvollst\xC3\xA4ndig ",
        "",                     "unbekanntes Symbol ", "Klammer \")\" zuviel ", "zu tief geschachtelt ",
    };
    std::string text = "Syntaxfehler: ";
    if (code >= 0 && code < static_cast<int>(std::size(kTexts))) text += kTexts[code];
    return text;
}

void ResetTermbaum(Termbaum& tree) {
    auto zero = std::make_unique<TermNode>();
    zero->Kind = K::Number;
    TermbaumAccess::Set(tree, std::move(zero), false, false);
}

void InitTermTrees() {
    for (Termbaum* tree :
         {&FunktionTermbaum, &ZahlTermbaum, &FlaechenTermbaum, &ParamTermbaum1, &ParamTermbaum2, &ParamTermbaum3})
        ResetTermbaum(*tree);
    gTerms.TermOK = true;
}

bool ParseTerm(Termbaum& tree, std::string_view text, bool allowVars) {
    std::string normalized = NormalizeTermText(text);
    if (normalized.empty()) normalized.push_back('0');
    // The comment from "{" on is not part of the term; a term that is only a comment is refused.
    const size_t brace = normalized.find('{');
    if (brace != std::string::npos && brace > 0) normalized.resize(brace);
    bool usesT = false, usesN = false;
    const bool ok = ParseText(tree, normalized, allowVars, usesT, usesN);
    // A number field cannot hold t or n; parsing one leaves what is known about f alone.
    if (allowVars) {
        gTerms.TermUsesT = usesT;
        gTerms.TermUsesN = usesN;
    }
    gTerms.TermOK = ok;
    return ok;
}

std::string TermFieldText(std::string_view text) {
    std::string shown = NormalizeTermText(text);
    const size_t brace = shown.find('{');
    for (size_t i = 0; i < shown.size() && i < brace; ++i)
        if (shown[i] == '.') shown[i] = ',';
    return shown;
}

int FieldCaretForSyntaxError(std::string_view fieldText, int column) {
    // Walk the field as the normaliser does: blanks vanish, "pi" is one character.
    const std::u32string chars = DecodeUtf8(fieldText);
    auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    int normalized = 0;
    size_t i = 0;
    while (i < chars.size() && normalized < column) {
        if (chars[i] == '{') break;
        if (chars[i] == ' ') {
            ++i;
            continue;
        }
        if (lower(chars[i]) == 'p') {
            size_t j = i + 1;
            while (j < chars.size() && chars[j] == ' ') ++j;
            if (j < chars.size() && lower(chars[j]) == 'i') {
                i = j + 1;
                ++normalized;
                continue;
            }
        }
        ++i;
        ++normalized;
    }
    return static_cast<int>(i);
}

}  // namespace kalvo
