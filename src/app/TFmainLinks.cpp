// The main window's link checks: checking the records' addresses and filling in page details.
#include "app/TFmain.h"

void TFmain::buildLinkActions() {}
