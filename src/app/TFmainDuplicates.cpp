// The main window's search for records that name the same page.
#include "app/TFmain.h"

void TFmain::buildDuplicateActions() {}
