// A tree in streams and files: line breaks made regular on the way in, and the text every file
// of a tree is written with on the way out.
#include "tree/FileBoundary.h"
#include "tree/LineBreaks.h"
#include "tree/TQelPigger.h"
#include "tree/TreeScan.h"

#include <istream>
#include <iterator>
#include <ostream>
#include <typeinfo>

using namespace TreeScan;

void TQelPigger::SaveToStream(std::ostream& stream) const {
    // In pieces: a large tree's text is never whole in memory beside the tree.
    SaveToSink([&stream](std::string_view piece) {
        stream.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return static_cast<bool>(stream);
    });
}

bool TQelPigger::SaveToSink(const std::function<bool(std::string_view)>& sink) const {
    // A derived class may write its own text; a plain tree is written in pieces.
    return typeid(*this) == typeid(TQelPigger) ? WriteText(sink) : sink(GetAsText());
}

void TQelPigger::SaveToFile(const std::string& fileName) const {
    std::string reason;
    if (!WriteFileAtomically(
            fileName, [this](const FileSink& sink) { return SaveToSink(sink); },
            FilePermissions::Usual, &reason))
        throw EQelFileError(reason);
}

std::string TQelPigger::NormalizeLineBreaks(std::string_view bytes) {
    const BreakScan scan = scanBreaks(bytes.data(), bytes.size());
    bytes = bytes.substr(0, scan.length);
    std::string out;
    if (scan.crLfOnly) {
        out.reserve(bytes.size() + 2);
        out.append(bytes);
    } else {
        out = WithCrLfBreaks(bytes);
    }
    if (needsFinalBreak(bytes.data(), bytes.size()))
        out.append("\r\n");
    return out;
}

void TQelPigger::LoadFromStream(std::istream& stream) {
    const std::string bytes((std::istreambuf_iterator<char>(stream)),
                            std::istreambuf_iterator<char>());
    SetAsText(NormalizeLineBreaks(bytes));
}

void TQelPigger::LoadFromFile(const std::string& fileName) {
    std::string normalized;
    {
        WholeFile file;
        std::string reason;
        if (!file.ReadInPlace(fileName, &reason))
            throw EQelFileError(reason);
        char* const data = file.data();
        std::size_t size = file.size();
        const BreakScan scan = scanBreaks(data, size);
        // Read in place when the line breaks are already CR LF (as in every file this program
        // writes), with the room after the file for a line break at its end (where the text
        // ends early, at a NUL, a mapped file may not take one).
        if (scan.crLfOnly && (!needsFinalBreak(data, scan.length) || file.MayWrite(scan.length))) {
            size = scan.length;
            if (needsFinalBreak(data, size)) {
                data[size++] = '\r';
                data[size++] = '\n';
            }
            // What the reader has passed is copied into the tree: the file's bytes need not
            // stay in memory beside it.
            struct GiveBack final : ReadProgress {
                WholeFile* file;
                void Passed(std::size_t bytes) override { file->GiveBackPrefix(bytes); }
            } giveBack;
            giveBack.base = data;
            giveBack.file = &file;
            readProgress = &giveBack;
            struct Unhook {
                ~Unhook() { readProgress = nullptr; }
            } unhook;
            // A mapped file written or cut short while it was read: what was read is a mix,
            // also when the reader stumbled over it.
            try {
                SetAsText(std::string_view(data, size));
            } catch (const EQelPiggerError&) {
                if (!file.StillAsRead(&reason)) {
                    Clear();
                    throw EQelFileError(reason);
                }
                throw;
            }
            if (!file.StillAsRead(&reason)) {
                Clear();
                throw EQelFileError(reason);
            }
            return;
        }
        normalized = NormalizeLineBreaks(std::string_view(data, size));
        if (!file.StillAsRead(&reason))
            throw EQelFileError(reason);
    }
    SetAsText(normalized);
}
