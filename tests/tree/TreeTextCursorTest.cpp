#include "tree/TreeTextCursor.h"
#include "tree/TQelPigger.h"

#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

using Step = TreeTextCursor::Step;

// The whole text of node by a cursor in steps of stepBytes; the number of steps in steps.
std::string inSteps(const TQelPigger& node, std::size_t stepBytes, int* steps = nullptr) {
    TreeTextCursor cursor(node);
    std::string out;
    int count = 1;
    while (cursor.Next(out, stepBytes) == Step::More)
        ++count;
    // Done stays done.
    EXPECT_EQ(cursor.Next(out, stepBytes), Step::Done);
    if (steps)
        *steps = count;
    return out;
}

std::unique_ptr<TQelPigger> read(const std::string& text) {
    auto tree = std::make_unique<TQelPigger>();
    tree->SetAsText(text);
    return tree;
}

// QRL > URLS > five records u0..u4, each with a title.
std::unique_ptr<TQelPigger> records() {
    auto tree = std::make_unique<TQelPigger>();
    tree->SetName("QRL");
    TQelPigger* urls = tree->AddChild("URLS");
    for (int i = 0; i < 5; ++i) {
        TQelPigger* record = urls->AddChild("LISTING");
        record->SetAttr("URL", "u" + std::to_string(i));
        record->AddChild("TITLE")->Text = "Title " + std::to_string(i);
    }
    return tree;
}

} // namespace

TEST(TreeTextCursor, WritesTheTextOfGetAsTextInStepsOfAnySize) {
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "<D N=\"" + std::to_string(i) + "\">" + (i % 7 ? "" : "t");
    for (int i = 0; i < 300; ++i)
        deep += "</D>";
    std::vector<std::unique_ptr<TQelPigger>> trees;
    const auto own = [&](std::unique_ptr<TQelPigger> tree) {
        trees.push_back(std::move(tree));
        return trees.back().get();
    };
    TQelPigger* escapes = own(std::make_unique<TQelPigger>());
    escapes->SetName("e");
    escapes->SetAttr("v", "quote\" percent% <lt> \r\n tab\t");
    escapes->Text = "  blanks around & <markup> %41\r\n";
    escapes->AddChild("EMPTY");
    escapes->AddChild("")->AddChild("UNDER_NAMELESS");
    escapes->AddChild("LAST")->Text = "\x01";
    TQelPigger* nameless = own(std::make_unique<TQelPigger>());
    nameless->AddChild("CHILD");
    const TQelPigger* many = own(records());

    const struct {
        const char* name;
        const TQelPigger* node;
    } cases[] = {
        {"nameless root", nameless},
        {"empty element", own(read("<A/>"))},
        {"small report", own(read(SmallReportText()))},
        {"escapes and nameless children", escapes},
        {"only nameless children", own(read("<A><B x=\"1\"><\x18/></B></A>"))},
        {"deep nesting", own(read(deep))},
        {"record at its own depth", own(read(SmallReportText()))->FindChild("URLS")->Child(0)},
        {"many records", many},
    };
    for (const auto& c : cases) {
        const std::string whole = c.node->GetAsText();
        for (const std::size_t step :
             {std::size_t{0}, std::size_t{1}, std::size_t{40}, std::numeric_limits<size_t>::max()})
            EXPECT_EQ(inSteps(*c.node, step), whole) << c.name << ", steps of " << step;
    }
    // A step ends soon after the size asked for.
    int steps = 0;
    const std::string whole = many->GetAsText();
    EXPECT_EQ(inSteps(*many, 60, &steps), whole);
    EXPECT_GE(steps, static_cast<int>(whole.size() / 100));
}

TEST(TreeTextCursor, AChangeOnThePathStillOpenIsSeenAndOthersAreWrittenAsTheyAre) {
    const struct {
        const char* change;
        std::function<void(TQelPigger& urls)> make;
        Step after;
    } cases[] = {
        {"the open record deleted", [](TQelPigger& urls) { urls.DeleteChild(2); }, Step::Invalid},
        {"a written record deleted", [](TQelPigger& urls) { urls.DeleteChild(0); }, Step::Invalid},
        {"the open record replaced by a new one in its place",
         [](TQelPigger& urls) {
             while (urls.ChildCount() > 2)
                 urls.DeleteChild(urls.ChildCount() - 1);
             urls.AddChild("LISTING")->SetAttr("URL", "new");
         },
         Step::Invalid},
        {"the list emptied", [](TQelPigger& urls) { urls.Parent()->Clear(); }, Step::Invalid},
        {"the open record moved elsewhere",
         [](TQelPigger& urls) { urls.Child(2)->SetParent(urls.Child(4)); }, Step::Invalid},
        {"a later record deleted", [](TQelPigger& urls) { urls.DeleteChild(4); }, Step::Done},
        {"a record added", [](TQelPigger& urls) { urls.AddChild("LISTING"); }, Step::Done},
        {"a later title changed", [](TQelPigger& urls) { urls.Child(3)->Child(0)->Text = "x"; },
         Step::Done},
    };
    for (const auto& c : cases) {
        const auto tree = records();
        TreeTextCursor cursor(*tree);
        std::string out;
        // One element a step, up to the opening of the third record.
        while (out.find("\"u2\"") == std::string::npos)
            ASSERT_EQ(cursor.Next(out, 1), Step::More) << c.change;
        c.make(*tree->FindChild("URLS"));
        Step step;
        while ((step = cursor.Next(out, 1)) == Step::More) {
        }
        EXPECT_EQ(step, c.after) << c.change;
        if (step == Step::Done)
            EXPECT_EQ(out, tree->GetAsText()) << c.change;
        else
            EXPECT_EQ(cursor.Next(out, 1), Step::Invalid) << c.change;
    }
}
