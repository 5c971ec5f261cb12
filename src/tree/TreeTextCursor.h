// A tree's text (as GetAsText gives it) written in steps, with the tree free to change between
// them. The cursor keeps, for every element it has opened and not yet closed, the node, its serial
// and the place of the next child to write; before going on it makes sure that each of these is
// still the child it was of the one above, so that it never follows a pointer to a node that is
// gone. When anything on that path moved, the step says so and the text is to be begun anew.
// Changes elsewhere in the tree are not seen: what was written stays written, what comes later
// is written as it is by then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TQelPigger;

class TreeTextCursor {
public:
    enum class Step {
        More,    // a step was written; more follow
        Done,    // the text is complete
        Invalid, // the tree changed on the path still open: the text cannot be finished
    };

    // Writes root and all below it, at root's own depth. Root must outlive the cursor.
    explicit TreeTextCursor(const TQelPigger& root);

    // Appends the next part of the text to out: about upToBytes bytes (an element's opening tag
    // with its content text is never split, so a step may end a little beyond), or the rest.
    Step Next(std::string& out, std::size_t upToBytes);

private:
    struct Frame {
        const TQelPigger* node;
        std::uint64_t serial;
        // The child to write next; the one before it is the frame above this one, if any.
        std::size_t next;
    };
    bool stillInPlace() const;

    const TQelPigger* root_;
    std::uint64_t rootSerial_;
    std::size_t base_;
    std::vector<Frame> open_;
    bool started_ = false;
    bool broken_ = false;
};
