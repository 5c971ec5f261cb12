#include "cli/EvalCommand.h"

#include "cli/ErrorLine.h"
#include "filter/expr/Program.h"

#include <exception>
#include <ostream>

std::string DescribeExprValue(const TExpr& v) {
    switch (v.ExprType) {
    case etNull:
        return "null\t";
    case etBoolean:
        return std::string("boolean\t") + (v.AsBoolean ? "true" : "false");
    case etInteger:
        return "integer\t" + std::to_string(v.AsInteger);
    case etFloat:
        return "float\t" + FloatToExprText(v.AsFloat);
    case etString:
        break;
    }
    std::string out = "string\t";
    for (char c : v.AsString) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

int RunEvalCommand(const std::string& text, std::ostream& out, std::ostream& err) {
    // The program the filter runs for every record, read from the text once.
    TExprProgram program;
    TExpr result;
    try {
        program.Evaluate(text, result);
    } catch (const std::exception& e) {
        WriteErrorLine(err, e.what());
        return 1;
    }
    out << DescribeExprValue(result) << '\n';
    out.flush();
    return 0;
}
