// The main window's search for records that name the same page, and the moving of records to
// the addresses they permanently redirect to.
#include "app/TFmain.h"

void TFmain::buildDuplicateActions() {}
