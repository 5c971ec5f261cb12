// "qrl eval TEXT": evaluates an expression and writes its type and value.
#pragma once

#include <iosfwd>
#include <string>

struct TExpr;

// One line: the type (null, boolean, integer, float, string), a TAB and the value, with
// backslash, CR, LF and TAB of a string written as \\, \r, \n and \t.
std::string DescribeExprValue(const TExpr& value);

// Returns 0 after writing the value to out, 1 after writing the error to err.
int RunEvalCommand(const std::string& text, std::ostream& out, std::ostream& err);
