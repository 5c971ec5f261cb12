// Writing a tree as text, whole or in pieces.
#include "tree/TQelPigger.h"
#include "tree/TreeScan.h"

#include <algorithm>

using namespace TreeScan;

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
    const int depth = Depth();
    // Written in pieces, the text is never whole in memory.
    constexpr size_t kPiece = size_t{1} << 20;
    out.reserve(out.size() + (flush ? kPiece + kPiece / 8 : textSizeEstimate(depth)));
    const auto full = [&] { return flush && out.size() >= kPiece && !flush(out); };
    const auto indent = [&](size_t level) {
        out.append("\r\n");
        out.append(level, '\t');
    };
    // Writes the opening tag and the text; gives whether children and a closing tag follow.
    const auto open = [&](const TQelPigger* n, size_t level) {
        indent(level);
        out.push_back('<');
        out.append(n->name_.str());
        for (const NodeAttr& a : n->attrs_) {
            out.push_back(' ');
            out.append(a.name.str());
            out.append("=\"");
            PercentEncodeTo(out, a.value);
            out.push_back('"');
        }
        // Children without a name write nothing, so an element with no other content is empty.
        const bool hasContent =
            !n->Text.empty() || std::any_of(n->children_.begin(), n->children_.end(),
                                            [](const TQelPigger* c) { return !c->name_.empty(); });
        if (!hasContent) {
            out.append("/>");
            return false;
        }
        out.push_back('>');
        encodeContentTo(out, n->Text);
        return true;
    };
    const auto close = [&](const TQelPigger* n, size_t level) {
        indent(level);
        out.append("</");
        out.append(n->name_.str());
        out.push_back('>');
    };
    const auto base = static_cast<size_t>(depth);
    if (!open(this, base))
        return true;
    // Without recursion, whatever the depth. A node without a name is written with nothing
    // of what lies below it.
    struct Frame {
        const TQelPigger* node;
        size_t next;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.node->children_.size()) {
            const TQelPigger* c = f.node->children_[f.next++];
            if (!c->name_.empty() && open(c, base + stack.size()))
                stack.push_back({c, 0});
        } else {
            close(f.node, base + stack.size() - 1);
            stack.pop_back();
        }
        if (full())
            return false;
    }
    return true;
}

std::string TQelPigger::GetAsText() const {
    std::string out;
    AppendText(out);
    return out;
}
