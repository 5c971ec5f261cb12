// The expression text of the condition diagram: one conjunction per pin, joined by "||".
#pragma once

#include <string>
#include <vector>

class TQELlc;
class TQELpin;

// The text of the region chosen by pin among the circles (in list order). Without circles the
// text is "0=1".
std::string RegionExpression(const std::vector<TQELlc*>& circles, const TQELpin* pin);

// The texts of all pins joined: each step wraps the text so far as "(" ... ") " LF "|| (" ... ")".
// No pin gives the empty text.
std::string JoinedExpression(const std::vector<TQELlc*>& circles,
                             const std::vector<TQELpin*>& pins);

// Index of the earlier of the first two pins that lie in the same set of circles, or -1.
int FirstDuplicatePin(const std::vector<TQELlc*>& circles, const std::vector<TQELpin*>& pins);
