// Nodes read from a text keep their objects, texts, attributes and short child lists in the
// read's store. These tests edit, move and delete such nodes the ways the program does and
// check the text written afterwards, and that a store lives exactly as long as its nodes.
#include "tree/NodeStore.h"
#include "tree/StorePoison.h"
#include "tree/TQelPigger.h"

#include "RecordsText.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

TEST(NodeStorage, NodesReadFromTextTakeEveryEdit) {
    TQelPigger t;
    t.SetAsText("<R><L A=\"1\" B=\"two\">text<C>x</C></L></R>");
    TQelPigger* l = t.Child(0);
    // Attributes: a new one, a longer value, one removed, then one more.
    l->SetAttr("C", "3");
    l->SetAttr("A", "a value much longer than the one read");
    l->DeleteAttr("B");
    l->SetAttr("D", "4");
    EXPECT_EQ(l->AttrCount(), 3);
    EXPECT_EQ(l->AttrName(2), "D");
    EXPECT_EQ(l->AttrValue(0), "a value much longer than the one read");
    // Texts: longer, appended to, shorter, emptied.
    l->Text.append(" and more");
    l->Child(0)->Text = "a text longer than the one that was read";
    l->Child(0)->Text = "y";
    // Children beyond the few a record has.
    for (int i = 0; i < 20; ++i)
        l->AddChild("N" + std::to_string(i));
    for (int i = 19; i >= 1; i -= 2)
        l->DeleteChild(i + 1);
    ASSERT_EQ(l->ChildCount(), 11);
    l->Child(1)->Text = "kept";
    EXPECT_EQ(t.GetAsText(), "\r\n<R>\r\n\t<L A=\"a value much longer than the one read\" C=\"3\" "
                             "D=\"4\">text and more\r\n\t\t<C>y\r\n\t\t</C>"
                             "\r\n\t\t<N0>kept\r\n\t\t</N0>\r\n\t\t<N2/>\r\n\t\t<N4/>"
                             "\r\n\t\t<N6/>\r\n\t\t<N8/>\r\n\t\t<N10/>\r\n\t\t<N12/>"
                             "\r\n\t\t<N14/>\r\n\t\t<N16/>\r\n\t\t<N18/>\r\n\t</L>\r\n</R>");

    // More attributes than fit the room gathered for a record's few: all are kept in order.
    std::string many = "<R a=\"1\"><E";
    for (int i = 1; i <= 12; ++i)
        many += " A" + std::to_string(i) + "=\"%25" + std::to_string(i) + "\"";
    t.SetAsText(many + "/></R>");
    ASSERT_EQ(t.Child(0)->AttrCount(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(t.Child(0)->AttrName(i), "A" + std::to_string(i + 1));
        EXPECT_EQ(t.Child(0)->AttrValue(i), "%" + std::to_string(i + 1));
    }
    EXPECT_EQ(t.GetAttr("a"), "1");
}

TEST(NodeStorage, AStoreLivesAsLongAsTheLastOfItsNodes) {
    const std::size_t before = NodeStore::Count();
    auto from = std::make_unique<TQelPigger>();
    from->SetAsText(RecordsText(200));
    EXPECT_EQ(NodeStore::Count(), before + 1);

    // Every third record moves to a tree on the heap; the first tree goes.
    TQelPigger to;
    to.SetName("URLS");
    TQelPigger* urls = from->FindChild("URLS");
    for (int i = 198; i >= 0; i -= 3)
        urls->Child(i)->SetParent(&to);
    from.reset();
    EXPECT_EQ(NodeStore::Count(), before + 1);

    // Another read takes the memory given back; the moved records stay as they were read.
    TQelPigger other;
    other.SetAsText(RecordsText(300));
    ASSERT_EQ(to.ChildCount(), 67);
    for (int k = 0; k < to.ChildCount(); ++k) {
        const std::string n = std::to_string(198 - 3 * k);
        const TQelPigger* record = to.Child(k);
        EXPECT_EQ(record->GetAttr("URL"), "http://site" + n + ".example/\"q\"");
        EXPECT_EQ(record->FindChild("DESCRIPTION")->Text, "Description of record " + n);
    }
    EXPECT_EQ(NodeStore::Count(), before + 2);

    // Reading into a tree frees its former store once its last node is gone.
    TQelPigger* kept = to.Child(0);
    kept->SetParent(nullptr);
    to.Clear();
    EXPECT_EQ(NodeStore::Count(), before + 2);
    delete kept;
    EXPECT_EQ(NodeStore::Count(), before + 1);
    other.SetAsText("<A/>");
    EXPECT_EQ(NodeStore::Count(), before);
}

TEST(NodeStorage, NodesOfOneStoreReleasedOnManyThreadsAtOnce) {
    const std::size_t before = NodeStore::Count();
    TQelPigger tree;
    tree.SetAsText(RecordsText(4000));
    TQelPigger* urls = tree.FindChild("URLS");
    // Four parents on the heap take a quarter of the records each, then go on four threads.
    std::vector<std::unique_ptr<TQelPigger>> parts;
    for (int p = 0; p < 4; ++p)
        parts.push_back(std::make_unique<TQelPigger>());
    for (int i = urls->ChildCount() - 1; i >= 0; --i)
        urls->Child(i)->SetParent(parts[static_cast<size_t>(i % 4)].get());
    tree.Clear();
    EXPECT_EQ(NodeStore::Count(), before + 1);
    std::vector<std::thread> threads;
    for (auto& part : parts)
        threads.emplace_back([&part] {
            // One record at a time: every release is its own step on the shared count.
            while (part->ChildCount() > 0)
                part->DeleteChild(part->ChildCount() - 1);
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(NodeStore::Count(), before);
}

TEST(NodeStorage, TextsMovedOutOfAReadNodeAreCopies) {
    auto tree = std::make_unique<TQelPigger>();
    tree->SetAsText("<R><T>read text</T><U>other</U></R>");
    NodeText moved = std::move(tree->Child(0)->Text);
    NodeText copied = tree->Child(1)->Text;
    TQelPigger heapNode;
    heapNode.Text = std::move(tree->Child(1)->Text);
    tree.reset();
    EXPECT_EQ(moved, "read text");
    EXPECT_EQ(copied, "other");
    EXPECT_EQ(heapNode.Text, "other");

    // A text assigned a part of itself, and appended to itself.
    NodeText t("abcdef");
    t = t.view().substr(2);
    EXPECT_EQ(t, "cdef");
    t.append(t);
    EXPECT_EQ(t, "cdefcdef");
    t.clear();
    EXPECT_TRUE(t.empty());
    t.append("x");
    EXPECT_EQ(t.str(), "x");
}

TEST(NodeStorage, ManyDifferentAndLongNames) {
    // More different names than are shared, and names longer than a shared one may be.
    std::string text = "<R>";
    const std::string longName(100, 'n');
    for (int i = 0; i < 6000; ++i)
        text += "<E" + std::to_string(i) + " " + longName + std::to_string(i % 7) + "=\"v\"/>";
    text += "<" + longName + ">x</" + longName + "></R>";
    TQelPigger t;
    t.SetAsText(text);
    ASSERT_EQ(t.ChildCount(), 6001);
    EXPECT_EQ(t.Child(5999)->Name(), "E5999");
    EXPECT_EQ(t.Child(5999)->AttrName(0), std::string(100, 'N') + "0");
    EXPECT_EQ(t.FindChild(longName)->Text, "x");
    EXPECT_EQ(t.FindNextChild(t.Child(0)), nullptr);
    TQelPigger copy;
    copy.Assign(t);
    EXPECT_EQ(copy.GetAsText(), t.GetAsText());
}

#if QRL_ADDRESS_SANITIZER
namespace {
// What the uses below read, so that they are not left out.
volatile std::size_t seen;
} // namespace

// A store keeps the memory of what was deleted in it until it goes, and then keeps its chunks
// for the next read: only sanitizer builds can see a use of such memory, and they must.
TEST(NodeStorageDeathTest, UsesOfMemoryGivenUpInAStoreAreReported) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* what;
        int records;
        std::function<void(std::unique_ptr<TQelPigger>&)> use;
    };
    const Case cases[] = {
        {"a record deleted from its tree", 10,
         [](std::unique_ptr<TQelPigger>& tree) {
             TQelPigger* urls = tree->Child(0);
             const TQelPigger* record = urls->Child(3);
             urls->DeleteChild(3);
             seen = record->AttrCount();
         }},
        {"the text of a deleted record", 10,
         [](std::unique_ptr<TQelPigger>& tree) {
             TQelPigger* urls = tree->Child(0);
             const std::string_view title = urls->Child(3)->FindChild("TITLE")->Text;
             urls->DeleteChild(3);
             seen = static_cast<unsigned char>(title[0]);
         }},
        // Chunks of a megabyte (a text of 16 MB and more) are kept for the next read.
        {"a record of a tree gone, in a chunk kept for later", 100000,
         [](std::unique_ptr<TQelPigger>& tree) {
             const TQelPigger* record = tree->Child(0)->Child(40000);
             tree.reset();
             seen = record->AttrCount();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DEATH(
            {
                auto tree = std::make_unique<TQelPigger>();
                tree->SetAsText(RecordsText(c.records));
                c.use(tree);
            },
            "AddressSanitizer: use-after-poison");
    }
}
#endif
