// Writing a tree as text, whole or in pieces.
#include "tree/TQelPigger.h"
#include "tree/TreeTextCursor.h"

#include <limits>

size_t TQelPigger::textSizeEstimate(int depth) const {
    // The text without escapes; a few escapes fit in what is added on top.
    size_t size = 0;
    std::vector<std::pair<const TQelPigger*, int>> stack{{this, depth}};
    while (!stack.empty()) {
        const auto [n, level] = stack.back();
        stack.pop_back();
        if (n->name_.empty())
            continue;
        const size_t indent = 2 + static_cast<size_t>(level);
        const size_t nameSize = n->name_.str().size();
        size += indent + nameSize + 3 + n->Text.size();
        for (const NodeAttr& a : n->attrs_)
            size += a.name.str().size() + a.value.size() + 4;
        if (!n->children_.empty() || !n->Text.empty())
            size += indent + nameSize + 3;
        for (const TQelPigger* c : n->children_)
            stack.emplace_back(c, level + 1);
    }
    return size + size / 32 + 16;
}

void TQelPigger::AppendText(std::string& out) const {
    writeText(out, {});
}

bool TQelPigger::WriteText(const std::function<bool(std::string_view)>& sink) const {
    std::string piece;
    const auto flush = [&](std::string& out) {
        const bool written = sink(out);
        out.clear();
        return written;
    };
    return writeText(piece, flush) && (piece.empty() || sink(piece));
}

bool TQelPigger::writeText(std::string& out, const std::function<bool(std::string&)>& flush) const {
    if (name_.empty())
        return true;
    // Written in pieces, the text is never whole in memory.
    constexpr size_t kPiece = size_t{1} << 20;
    out.reserve(out.size() + (flush ? kPiece + kPiece / 8 : textSizeEstimate(Depth())));
    TreeTextCursor cursor(*this);
    if (!flush) {
        cursor.Next(out, std::numeric_limits<size_t>::max());
        return true;
    }
    // Nothing else runs meanwhile: the tree cannot change between the steps.
    while (cursor.Next(out, kPiece > out.size() ? kPiece - out.size() : 0) ==
           TreeTextCursor::Step::More)
        if (!flush(out))
            return false;
    return out.size() < kPiece || flush(out);
}

std::string TQelPigger::GetAsText() const {
    std::string out;
    AppendText(out);
    return out;
}
