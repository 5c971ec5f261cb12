// TExprProgram against the evaluator on texts made at random from the language's pieces, read
// as written and with characters dropped, doubled or put in: the same value, or the same error
// at the same position, also when the same program runs again.
#include "ExprTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

class TextMaker {
public:
    explicit TextMaker(unsigned seed) : rng_(seed) {}

    std::string Expression(int depth) {
        switch (depth <= 0 ? 0 : pick(6)) {
        case 0:
        case 1:
            return any(Operands);
        case 2:
            return Expression(depth - 1) + blank() + any(Operators) + blank() +
                   Expression(depth - 1);
        case 3:
            return std::string(any(Prefixes)) + blank() + Expression(depth - 1);
        case 4: {
            std::string call = std::string(any(Functions)) + blank() + "(";
            for (int i = 0, n = pick(4); i < n; ++i)
                call += (i ? "," : "") + blank() + Expression(depth - 1);
            return call + ")";
        }
        default:
            // Juxtaposed operands are an error unless the first one is null.
            return pick(4) == 0 ? Expression(depth - 1) + " " + Expression(depth - 1)
                                : "(" + blank() + Expression(depth - 1) + blank() + ")";
        }
    }

    std::string Garbled(std::string text) {
        static const char Pieces[] = "()',\"+-*/!&|<>=@;[ 0aZ_.\n";
        for (int i = 0, n = 1 + pick(3); i < n && !text.empty(); ++i) {
            const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(text.size())));
            switch (pick(3)) {
            case 0:
                text.erase(at, 1);
                break;
            case 1:
                text.insert(at, 1, text[at]);
                break;
            default:
                text.insert(at, 1, Pieces[pick(sizeof Pieces - 1)]);
                break;
            }
        }
        return text;
    }

private:
    static constexpr const char* Operands[] = {
        "0",    "7",    "2147483647", "4294967296", "0x1F",  "0x",   "1.5",   "2.",   "'a'",
        "'12'", "' 3'", "'it''s'",    "''",         "\"x\"", "TRUE", "false", "NULL", "NULL()"};
    static constexpr const char* Operators[] = {"~",  "&",  "|",  "^",  "<<", ">>", "!", "&&",
                                                "||", "^^", ">=", "<=", "==", "!=", ">", "<",
                                                "**", "/",  "*",  "%",  "-",  "+",  "=", "@"};
    static constexpr const char* Prefixes[] = {"-", "!", "~", "+"};
    static constexpr const char* Functions[] = {"ISNULL", "IIF",  "CASE",   "INT",        "STRING",
                                                "FLOAT",  "BOOL", "SUBSTR", "ABS",        "HEX",
                                                "ROUND",  "TRUE", "nosuch", "FormatFloat"};

    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    template <std::size_t N> const char* any(const char* const (&list)[N]) {
        return list[pick(static_cast<int>(N))];
    }
    std::string blank() {
        static const char* const Blanks[] = {"", "", " ", "\n "};
        return any(Blanks);
    }

    std::mt19937 rng_;
};

int sameCalls = 0;

// A repeatable function: its first argument, refusing a call without one.
bool same(void*, TExpr& result, std::int32_t argc, TExpr* args) {
    ++sameCalls;
    if (argc < 1)
        return false;
    result = args[0];
    return true;
}

void registerFunctions() {
    RegisterBuiltinFunctions();
    RegisterFunction("SAME", same, TFunctionCalls::Repeatable);
}

} // namespace

TEST(Program, AgreesWithTheEvaluatorOnMadeUpTexts) {
    registerFunctions();
    TextMaker maker(20240611);
    TExprParser parser;
    TExprProgram program;
    int values = 0, errors = 0;
    for (int i = 0; i < 1200; ++i) {
        std::string text = maker.Expression(4);
        if (i % 2)
            text = maker.Garbled(std::move(text));
        const std::string expected = EvalWith(parser, text);
        EXPECT_EQ(EvalWith(program, text), expected) << "text: " << text;
        EXPECT_EQ(EvalWith(program, text), expected) << "again: " << text;
        ++(expected.rfind("error: ", 0) == 0 ? errors : values);
    }
    // Both outcomes are well represented.
    EXPECT_GT(values, 200);
    EXPECT_GT(errors, 200);
}

// A repeatable function is called once per evaluation for each list of literal arguments; other
// calls of it, and the calls of other functions, are made each time.
TEST(Program, CallsARepeatableFunctionOncePerLiteralArguments) {
    registerFunctions();
    const struct {
        const char* text;
        int calls;
        const char* value;
    } cases[] = {
        {"SAME(1) + SAME(1) + SAME('1') + SAME(1, 2) + SAME(1, 2)", 3, "string\t2111"},
        {"SAME(1 + 0) + SAME(1 + 0) + SAME(1) + SAME", 4,
         "error: Error in function: SAME. Position 39"},
        {"SAME(SAME(1)) + SAME(SAME(1)) + SAME(1)", 3, "integer\t3"},
        {"SAME() + SAME()", 1, "error: Error in function: SAME. Position 1"},
    };
    TExprProgram program;
    for (const auto& c : cases) {
        for (int run = 0; run < 2; ++run) {
            sameCalls = 0;
            EXPECT_EQ(EvalWith(program, c.text), c.value) << c.text;
            EXPECT_EQ(sameCalls, c.calls) << c.text;
        }
    }
}
