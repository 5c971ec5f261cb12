// Line breaks: files keep CR LF, Qt's text boxes use LF. Every reader takes CR LF, a lone CR and
// a lone LF alike as one line break.
#pragma once

#include <QString>

#include <string>
#include <string_view>

// Every line break written as CR LF.
std::string WithCrLfBreaks(std::string_view text);
// Every line break written as LF (as text boxes show them).
QString WithLfBreaks(QString text);
