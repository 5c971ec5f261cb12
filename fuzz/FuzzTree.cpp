// The tagged-tree reader on any bytes, read as a file is read. A text it accepts is written,
// and the written text must read again and write back the same.
#include "FuzzCheck.h"
#include "tree/TQelPigger.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TQelPigger tree;
    try {
        tree.SetAsText(TQelPigger::NormalizeLineBreaks(bytes));
    } catch (const EQelPiggerError& e) {
        FuzzCheck(e.Position >= 1, "a reading error has a position");
        return 0;
    }
    const std::string written = tree.GetAsText();
    TQelPigger again;
    try {
        again.SetAsText(written);
    } catch (const EQelPiggerError&) {
        FuzzCheck(false, "a written tree reads again");
    }
    FuzzCheck(again.GetAsText() == written, "a written tree reads back to the same text");
    return 0;
}
