#include "tree/TreeTextCursor.h"

#include "tree/TQelPigger.h"
#include "tree/TreeScan.h"

#include <algorithm>
#include <limits>

namespace {

void indent(std::string& out, std::size_t level) {
    out.append("\r\n");
    out.append(level, '\t');
}

// Writes the opening tag and the content text; gives whether children and a closing tag follow.
bool open(std::string& out, const TQelPigger& n, std::size_t level) {
    indent(out, level);
    out.push_back('<');
    out.append(n.Name());
    for (int i = 0; i < n.AttrCount(); ++i) {
        out.push_back(' ');
        out.append(n.AttrName(i));
        out.append("=\"");
        PercentEncodeTo(out, n.AttrValue(i));
        out.push_back('"');
    }
    // Children without a name write nothing, so an element with no other content is empty.
    const auto children = n.Children();
    const bool hasContent =
        !n.Text.empty() || std::any_of(children.begin(), children.end(),
                                       [](const TQelPigger* c) { return !c->Name().empty(); });
    if (!hasContent) {
        out.append("/>");
        return false;
    }
    out.push_back('>');
    TreeScan::encodeContentTo(out, n.Text);
    return true;
}

void close(std::string& out, const TQelPigger& n, std::size_t level) {
    indent(out, level);
    out.append("</");
    out.append(n.Name());
    out.push_back('>');
}

} // namespace

TreeTextCursor::TreeTextCursor(const TQelPigger& root)
    : root_(&root), rootSerial_(root.Serial()), base_(static_cast<std::size_t>(root.Depth())) {}

bool TreeTextCursor::stillInPlace() const {
    if (root_->Serial() != rootSerial_)
        return false;
    // From the root down: each open element must still be its parent's child at the place it
    // was taken from. The pointers are compared before the child is looked at, so only a node
    // still in the tree is ever read.
    for (std::size_t i = 1; i < open_.size(); ++i) {
        const Frame& parent = open_[i - 1];
        const auto children = parent.node->Children();
        if (parent.next == 0 || parent.next > children.size() ||
            children[parent.next - 1] != open_[i].node ||
            open_[i].node->Serial() != open_[i].serial)
            return false;
    }
    return true;
}

TreeTextCursor::Step TreeTextCursor::Next(std::string& out, std::size_t upToBytes) {
    if (broken_)
        return Step::Invalid;
    if (!started_) {
        started_ = true;
        if (root_->Name().empty() || !open(out, *root_, base_))
            return Step::Done;
        open_.push_back({root_, rootSerial_, 0});
    } else if (open_.empty()) {
        return Step::Done;
    } else if (!stillInPlace()) {
        broken_ = true;
        open_.clear();
        return Step::Invalid;
    }
    const std::size_t limit = upToBytes > std::numeric_limits<std::size_t>::max() - out.size()
                                  ? std::numeric_limits<std::size_t>::max()
                                  : out.size() + upToBytes;
    // Without recursion, whatever the depth. A node without a name is written with nothing of
    // what lies below it.
    while (!open_.empty()) {
        Frame& f = open_.back();
        const auto children = f.node->Children();
        if (f.next < children.size()) {
            const TQelPigger* c = children[f.next++];
            if (!c->Name().empty() && open(out, *c, base_ + open_.size()))
                open_.push_back({c, c->Serial(), 0});
        } else {
            close(out, *f.node, base_ + open_.size() - 1);
            open_.pop_back();
        }
        if (out.size() >= limit)
            break;
    }
    return open_.empty() ? Step::Done : Step::More;
}
