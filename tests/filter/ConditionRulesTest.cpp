// The filter dialog's rules without a display: condition texts, where new circles go, and the
// condition editor's label, radius and label-position rules.
#include "filter/core/CirclePlacement.h"
#include "filter/core/ConditionEditorRules.h"
#include "filter/core/ConditionTemplates.h"
#include "filter/core/FilterFunctions.h"
#include "filter/core/FilterMatcher.h"
#include "filter/diagram/CloudDiagram.h"
#include "tree/TQelPigger.h"

#include "support/SampleReports.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

struct Point {
    std::int32_t x, y;
    bool operator==(const Point&) const = default;
};

Point centre(const TQELlc* c) {
    return {c->X, c->Y};
}

Point pinPoint(const TQELpin* p) {
    return {p->X, p->Y};
}

} // namespace

TEST(ConditionTemplates, ContextConditionsKeepTheKeywordAsTyped) {
    EXPECT_EQ(ContextConditionBody("web design"), "EXISTS('WEB DESIGN')");
    EXPECT_EQ(ContextConditionLabel("web design"), "Context:\"web design\"");
    // Not trimmed: a leading blank is part of the searched text.
    EXPECT_EQ(ContextConditionBody(" qt"), "EXISTS(' QT')");
    EXPECT_EQ(ContextConditionLabel(" qt"), "Context:\" qt\"");
    // Not escaped: a quote ends the string early and the evaluator refuses the body later.
    EXPECT_EQ(ContextConditionBody("it's"), "EXISTS('IT'S')");
}

TEST(ConditionTemplates, OnlyAKeywordWithMoreThanBlanksCanBeAdded) {
    EXPECT_FALSE(KeywordCanBeAdded(""));
    EXPECT_FALSE(KeywordCanBeAdded("   "));
    EXPECT_TRUE(KeywordCanBeAdded("  a "));
}

TEST(ConditionTemplates, RecordStateNamesAndTexts) {
    EXPECT_EQ(RecordStateName("checked"), "IS_CHECKED");
    EXPECT_EQ(RecordStateName("Checked"), "Checked");
    EXPECT_EQ(StateConditionBody("checked"), "RECORD_STATE('IS_CHECKED')");
    EXPECT_EQ(StateConditionLabel("checked"), "Record state:checked");
    EXPECT_EQ(StateConditionBody("other"), "RECORD_STATE('other')");
}

TEST(ConditionTemplates, LinkStateItemsNamesAndTexts) {
    EXPECT_EQ(LinkStateItems(),
              (std::vector<std::string>{"dead", "moved", "alive", "failed", "unchecked"}));
    const char* names[] = {"IS_DEAD", "IS_MOVED", "IS_ALIVE", "IS_FAILED", "IS_UNCHECKED"};
    for (size_t i = 0; i < LinkStateItems().size(); ++i)
        EXPECT_EQ(LinkStateName(LinkStateItems()[i]), names[i]);
    EXPECT_EQ(LinkConditionBody("dead"), "RECORD_STATE('IS_DEAD')");
    EXPECT_EQ(LinkConditionLabel("moved"), "Link state:moved");
}

// The condition editor's help page shows labels and bodies as the filter dialog writes them.
TEST(ConditionTemplates, HelpPageShowsTheTextsTheDialogWrites) {
    std::ifstream page(QRL_DOCS_DIR "/FLCEdit.html", std::ios::binary);
    ASSERT_TRUE(page);
    const std::string html{std::istreambuf_iterator<char>(page), {}};
    for (const std::string& text : {ContextConditionLabel("garden"), ContextConditionBody("garden"),
                                    StateConditionLabel("checked"), StateConditionBody("checked")})
        EXPECT_NE(html.find("<code>" + text + "</code>"), std::string::npos) << text;
}

TEST(ConditionTemplates, BodiesSelectTheRecordsTheyDescribe) {
    RegisterExpressionFunctions();
    TQelPigger doc;
    doc.SetAsText(ReportText()
                      .Record("u1", "Best Web Design tools")
                      .Record("u2", "web and design")
                      .Checked()
                      .Record("u3", "Cobweb designers")
                      .Checked()
                      .Text());
    const TQelPigger* urls = doc.FindChild("URLS");
    const TQelPigger *together = urls->Child(0), *apart = urls->Child(1), *inside = urls->Child(2);
    TFilterMatcher m;
    m.ExprText = ContextConditionBody("web design");
    EXPECT_TRUE(m.Matches(together));
    EXPECT_FALSE(m.Matches(apart));
    EXPECT_TRUE(m.Matches(inside)); // any part of a word
    m.ExprText = StateConditionBody("checked");
    EXPECT_FALSE(m.Matches(together));
    EXPECT_TRUE(m.Matches(apart));
    m.ExprText = ContextConditionBody("it's");
    EXPECT_THROW(m.Matches(together), std::exception);
}

// Every link state offered selects exactly the records of its verdict.
TEST(ConditionTemplates, LinkBodiesSelectTheRecordsOfTheirVerdict) {
    RegisterExpressionFunctions();
    TQelPigger doc;
    doc.SetAsText(ReportText()
                      .Record("dead", "a")
                      .Attributes(R"(LINK="410")")
                      .Record("moved", "b")
                      .Attributes(R"(LINK="200" LINKURL="http://x/" LINKVIA="308")")
                      .Record("alive", "c")
                      .Attributes(R"(LINK="204")")
                      .Record("failed", "d")
                      .Attributes(R"(LINK="refused")")
                      .Record("unchecked", "e")
                      .Text());
    const TQelPigger* urls = doc.FindChild("URLS");
    TFilterMatcher m;
    for (const std::string& item : LinkStateItems()) {
        m.ExprText = LinkConditionBody(item);
        std::string passing;
        for (const TQelPigger* r : urls->Children())
            if (m.Matches(r))
                passing += r->GetAttr("URL");
        EXPECT_EQ(passing, item);
    }
}

TEST(CirclePlacement, FirstCirclesGoWhereTheWorkedExampleSays) {
    TCloudDiagram d;
    d.Start();
    TCirclePlacement place;
    EXPECT_EQ(place.NewRadius(), 60);
    TQELlc* first = place.AddConditionCircle(d, "one", "B1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Radius, 60);
    // Asked for at (80, 40), kept in view at (80, 65); the diagram's own pin at (68, 40) is
    // the duplicate of the dialog's pin at (90, 75) and goes.
    EXPECT_EQ(centre(first), (Point{80, 65}));
    ASSERT_EQ(d.PinCount(), 1);
    EXPECT_EQ(pinPoint(d.GetPin(0)), (Point{90, 75}));
    EXPECT_EQ(place.NextX, 90);
    EXPECT_EQ(place.NextY, 75);

    EXPECT_EQ(centre(place.AddConditionCircle(d, "two", "B2")), (Point{130, 75}));
    EXPECT_EQ(centre(place.AddConditionCircle(d, "three", "B3")), (Point{152, 86}));
    EXPECT_EQ(centre(place.AddConditionCircle(d, "four", "B4")), (Point{174, 97}));
    EXPECT_EQ(d.PinCount(), 1);
    EXPECT_EQ(d.Selected(), d.GetCircle(3));

    // A new opening starts again from (40, 40); no pin is added for a later circle.
    place.Reset();
    EXPECT_EQ(centre(place.AddConditionCircle(d, "five", "B5")), (Point{80, 65}));
    EXPECT_EQ(d.PinCount(), 1);
}

// The filter dialog's example: a context and a state condition, pins in the context circle alone
// and in the overlap; the pin the dialog set lies in the context circle's region too.
TEST(CirclePlacement, ContextAndStateConditionsWithTheirPins) {
    TCloudDiagram d;
    d.Start();
    TCirclePlacement place;
    place.AddConditionCircle(d, ContextConditionLabel("web design"),
                             ContextConditionBody("web design"));
    place.AddConditionCircle(d, StateConditionLabel("checked"), StateConditionBody("checked"));
    for (const Point p : {Point{40, 60}, Point{120, 80}}) {
        d.MouseDown(p.x, p.y, true);
        d.DoubleClick();
    }
    ASSERT_EQ(d.PinCount(), 2);
    EXPECT_EQ(pinPoint(d.GetPin(0)), (Point{40, 60}));
    EXPECT_EQ(pinPoint(d.GetPin(1)), (Point{120, 80}));
    EXPECT_EQ(d.ExpressionText(), "((EXISTS('WEB DESIGN'))\n && !(RECORD_STATE('IS_CHECKED'))) \n"
                                  "|| ((EXISTS('WEB DESIGN'))\n && (RECORD_STATE('IS_CHECKED')))");
}

TEST(CirclePlacement, FirstCircleAfterTheOthersWereDeletedGetsAPinAgain) {
    TCloudDiagram d;
    d.Start();
    TCirclePlacement place;
    place.AddConditionCircle(d, "one", "B1");
    d.Select(d.GetCircle(0));
    d.DeleteSelected();
    // The only circle gets the dialog's pin; the old pin lies in the same region and goes.
    place.AddConditionCircle(d, "two", "B2");
    ASSERT_EQ(d.CircleCount(), 1);
    EXPECT_EQ(centre(d.GetCircle(0)), (Point{130, 75}));
    ASSERT_EQ(d.PinCount(), 1);
    EXPECT_EQ(pinPoint(d.GetPin(0)), (Point{140, 85}));
}

TEST(CirclePlacement, InactiveDiagramGetsNothing) {
    TCloudDiagram d;
    TCirclePlacement place;
    EXPECT_EQ(place.AddConditionCircle(d, "one", "B1"), nullptr);
    EXPECT_EQ(d.PinCount(), 0);
}

TEST(ConditionEditorRules, LabelIsNeverBlank) {
    EXPECT_EQ(LabelFromTyped("  new label \t"), "new label");
    EXPECT_FALSE(LabelFromTyped("   ").has_value());
    EXPECT_FALSE(LabelFromTyped("").has_value());
}

TEST(ConditionEditorRules, RadiusFieldText) {
    EXPECT_EQ(RadiusFromFieldText("60"), 60);
    EXPECT_EQ(RadiusFromFieldText(" 150 "), 150); // as typed, until the field is left
    EXPECT_EQ(RadiusFromFieldText("-5"), -5);
    EXPECT_EQ(RadiusFromFieldText("+7"), 7);
    EXPECT_EQ(RadiusFromFieldText(""), 20);
    EXPECT_EQ(RadiusFromFieldText("-"), 20);
    EXPECT_EQ(RadiusFromFieldText("6x"), 20);
    EXPECT_EQ(RadiusFromFieldText("99999999999"), 20);
    EXPECT_EQ(LimitRadius(150), 100);
    EXPECT_EQ(LimitRadius(5), 20);
    EXPECT_EQ(LimitRadius(55), 55);
}

TEST(ConditionEditorRules, LabelMovesByOnePixelAndLandsWhereDropped) {
    TQELlc c;
    c.Radius = 60;
    c.LabelDX = 18;
    c.LabelDY = 21;
    MoveLabel(c, LabelMove::Left);
    MoveLabel(c, LabelMove::Up);
    MoveLabel(c, LabelMove::Up);
    EXPECT_EQ(c.LabelDX, 17);
    EXPECT_EQ(c.LabelDY, 19);
    MoveLabel(c, LabelMove::Right);
    MoveLabel(c, LabelMove::Down);
    EXPECT_EQ(c.LabelDX, 18);
    EXPECT_EQ(c.LabelDY, 20);
    DropLabel(c, 10, 100);
    EXPECT_EQ(c.LabelDX, -50);
    EXPECT_EQ(c.LabelDY, 40);
}
