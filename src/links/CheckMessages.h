// The texts a link check shows while it runs and when it ends.
#pragma once

#include "links/LinkCheckRun.h"

#include <string>

class TQelPigger;

// "Checked 40 of 200: 31 alive, 3 moved, 4 dead, 2 failed"
std::string CheckCountLine(const LinkCheckRun::Counts& counts);

// One record after its check: its status text, a TAB, its address, and " -> " with the final
// address when the check ended elsewhere ("moved 301\thttp://a.example/ -> https://a.example/").
std::string CheckedRecordLine(const TQelPigger* record);
