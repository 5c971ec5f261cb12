// The main window's link checks: checking the records' addresses, filling in page details and
// applying permanent redirects.
#include "app/TFmain.h"

void TFmain::buildLinkActions() {}
