// The lines the automatic search writes into its log, as the user sees them.
#pragma once

namespace SearchMessages {
inline constexpr const char* RequestSending = "Request sending...";
inline constexpr const char* ResponceRetrieving = "Responce retrieving ...";
inline constexpr const char* ResponceParsing = "Responce parsing...";
inline constexpr const char* Finished = "Finished.";
// Followed by the number of new records, without a blank.
inline constexpr const char* NewUrlsAdded = "New URLs added:";
inline constexpr const char* CantSend = "Can't send request to search engine. Check internet "
                                        "connection and settings of proxy if you use one.";
inline constexpr const char* WrongResponce =
    "Wrong recponce received. Try to check settings of proxy server if you use one then rerun "
    "this program again.";
// Followed by the error's message in double quotation marks, without a blank.
inline constexpr const char* FailedWithMessage = "Failed with message";
// A reply beyond the size limit is not read.
inline constexpr const char* ReplyTooLarge =
    "The reply of the search engine is larger than 64 MB; it was not read.";
// Shown by the window when a run is started with an empty keyword list.
inline constexpr const char* NoKeywords = "No keywords selected";
} // namespace SearchMessages
