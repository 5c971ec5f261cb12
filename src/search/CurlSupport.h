// What every libcurl transfer of the program needs: curl set up once, a steady clock, an abort
// that a progress callback turns into the end of the transfer, and header lines read by name.
#pragma once

#include <curl/curl.h>

#include <string_view>

// curl_global_init, once per process, before the first handle is made.
void InitCurlOnce();

// Milliseconds of a clock that never goes back.
long long SteadyNowMs();

// The transfer progress callback (CURLOPT_XFERINFOFUNCTION) whose data is a
// std::atomic<bool>: curl calls it at least once a second, and a set flag ends the transfer.
int StopWhenAborted(void* abort, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

// The value of the header line when its name is name (any letter case), trimmed; else empty.
std::string_view HeaderValue(std::string_view line, std::string_view name);
