// The count line under the found URL list.
#pragma once

#include <QString>

// "N records" when every record is shown, else "M of N shown"; then the number ticked.
QString ListCountText(int records, int shown, int ticked);
