// Where the help pages are: "../docs" beside the current folder, else the pages installed
// with the program.
#pragma once

#include <QString>

// True when folder holds at least one help page (an ".html" file).
bool HasHelpPages(const QString& folder);

// The help folder for a program started in startDir whose executable lies in appDir:
// startDir/../docs when it holds help pages; else the installed pages (the prefix's
// share/quarrylog/docs, seen from appDir); else appDir/../docs (the build folder). When none
// holds pages, startDir/../docs if it exists, else startDir. The result is absolute.
QString FindHelpFolder(const QString& startDir, const QString& appDir);

// The file of a help page: folder/topic.html, with blanks around topic removed.
QString HelpPagePath(const QString& folder, const QString& topic);
