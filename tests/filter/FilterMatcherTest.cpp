#include "filter/core/FilterMatcher.h"
#include "filter/core/FilterFunctions.h"
#include "filter/core/FilterText.h"
#include "filter/expr/Parser.h"
#include "tree/TQelPigger.h"
#include "tree/TextCase.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class FilterMatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterExpressionFunctions();
        urls_.SetName("URLS");
    }

    TQelPigger* add(const char* url, const char* title, const char* description, bool checked,
                    const char* redirect = "") {
        auto* r = new TQelPigger(&urls_);
        r->SetName("LISTING");
        r->SetAttr("URL", url);
        if (checked)
            r->SetAttr("CHK", "Y");
        auto child = [&](const char* name, const char* text) {
            auto* c = new TQelPigger(r);
            c->SetName(name);
            c->Text = text;
        };
        if (title)
            child("TITLE", title);
        if (description)
            child("DESCRIPTION", description);
        child("REDIRECT", redirect);
        return r;
    }

    // The URLs of the records that pass text, joined by blanks.
    std::string passing(const std::string& text) {
        filter_.ExprText = text;
        std::string out;
        for (const TQelPigger* r : urls_.Children())
            if (filter_.Matches(r))
                out += (out.empty() ? "" : " ") + r->GetAttr("URL");
        return out;
    }

    std::string errorOf(const std::string& text) {
        filter_.ExprText = text;
        try {
            filter_.Matches(urls_.Child(0));
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "no error";
    }

    TQelPigger urls_;
    TFilterMatcher filter_;
};

} // namespace

TEST_F(FilterMatcherTest, ExistsSearchesTitleAndDescriptionUpperCased) {
    add("u1", "Garden Tools", "Spades and rakes", false, "http://garden.example/");
    add("u2", "Kitchen", "Pots for the garden", true);
    add("u3", "Hardware", "tools, garden and more", false);
    add("u4", nullptr, nullptr, true, "GARDEN");
    add("u5", "gardening", "", false);
    EXPECT_EQ(passing("EXISTS('GARDEN')"), "u1 u2 u3 u5"); // any part of a word; not the redirect
    EXPECT_EQ(passing("EXISTS('garden')"), "");            // bodies by hand in lower case
    EXPECT_EQ(passing("EXISTS('GARDEN TOOLS')"), "u1");    // together, not apart
    EXPECT_EQ(passing("EXISTS(' RAKES')"), "u1");          // a leading blank is searched too
    EXPECT_EQ(passing("EXISTS('')"), "");
    EXPECT_EQ(passing("EXISTS(5)"), "");    // the argument is not converted
    EXPECT_EQ(passing("EXISTS('U1')"), ""); // the URL is not searched
    EXPECT_EQ(passing("!EXISTS('GARDEN')"), "u4");
    // The same keyword asked twice per record, and changing from record to record.
    EXPECT_EQ(passing("EXISTS('POTS') || (EXISTS('SPADES') && !EXISTS('POTS'))"), "u1 u2");
    EXPECT_EQ(passing("EXISTS('KITCHEN') ^^ EXISTS('KITCHEN')"), "");
}

TEST_F(FilterMatcherTest, RecordStateIsCheckedReadsTheTick) {
    add("u1", "a", "b", true);
    add("u2", "a", "b", false);
    auto* odd = add("u3", "a", "b", false);
    odd->SetAttr("CHK", "y"); // only "Y" counts
    EXPECT_EQ(passing("RECORD_STATE('IS_CHECKED')"), "u1");
    EXPECT_EQ(passing("!RECORD_STATE('IS_CHECKED')"), "u2 u3");
    EXPECT_EQ(passing("RECORD_STATE('is_checked')"), "");
    EXPECT_EQ(passing("RECORD_STATE('checked')"), "");
    EXPECT_EQ(passing("record_state('IS_CHECKED')"), "u1");
}

// The link verdicts beside the tick, and the status code of the last check.
TEST_F(FilterMatcherTest, LinkStatesAndStatusReadTheLastCheck) {
    const struct {
        const char* url;
        const char* attrs;
    } records[] = {
        {"unchecked", ""},
        {"alive", R"(LINK="200")"},
        {"moved", R"(LINK="200" LINKURL="http://b/" LINKVIA="301")"},
        {"gone", R"(LINK="404")"},
        {"nohost", R"(LINK="dns" LINKFAILS="2")"},
        {"slow", R"(LINK="timeout")"},
        {"broken", R"(LINK="500")"},
    };
    for (const auto& r : records) {
        TQelPigger* rec = add(r.url, "a", "b", std::string_view(r.url) == "gone");
        TQelPigger attrs;
        attrs.SetAsText(std::string("<X ") + r.attrs + "/>");
        for (const char* name : {"LINK", "LINKURL", "LINKVIA", "LINKFAILS"})
            if (!attrs.GetAttr(name).empty())
                rec->SetAttr(name, attrs.GetAttr(name));
    }
    const struct {
        const char* text;
        const char* passing;
    } cases[] = {
        {"RECORD_STATE('IS_DEAD')", "gone nohost"},
        {"RECORD_STATE('IS_MOVED')", "moved"},
        {"RECORD_STATE('IS_ALIVE')", "alive"},
        {"RECORD_STATE('IS_FAILED')", "slow broken"},
        {"RECORD_STATE('IS_UNCHECKED')", "unchecked"},
        {"RECORD_STATE('IS_CHECKED')", "gone"}, // the tick, not the check
        {"RECORD_STATE('is_dead')", ""},
        {"RECORD_STATE('dead')", ""},
        {"RECORD_STATE('IS_DEAD') && RECORD_STATE('IS_CHECKED')", "gone"},
        {"LINK_STATUS() == 404", "gone"},
        {"LINK_STATUS() == 200", "alive moved"},
        {"LINK_STATUS() == 0", "unchecked nohost slow"},
        {"LINK_STATUS() >= 400", "gone broken"},
        {"link_status() == 500", "broken"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passing(c.text), c.passing) << c.text;
    EXPECT_EQ(errorOf("LINK_STATUS(1)"), "Error in function: LINK_STATUS. Position 1");
    // No record under test: 0.
    TExprParser parser;
    TExpr v;
    parser.Evaluate("LINK_STATUS()", v);
    EXPECT_EQ(v.ExprType, etInteger);
    EXPECT_EQ(v.AsInteger, 0);
    parser.Evaluate("RECORD_STATE('IS_UNCHECKED')", v);
    EXPECT_FALSE(v.AsBoolean);
}

TEST_F(FilterMatcherTest, TheResultsPayloadDecides) {
    add("u1", "Garden", "", true);
    EXPECT_EQ(passing(""), ""); // an empty text: no record passes
    EXPECT_EQ(passing("   "), "");
    EXPECT_EQ(passing("TRUE"), "u1");
    EXPECT_EQ(passing("1"), "u1");
    EXPECT_EQ(passing("256"), ""); // the first byte of the payload only
    EXPECT_EQ(passing("'Y'"), "");
    EXPECT_TRUE(filter_.Matches(nullptr)); // no record: it passes
}

TEST_F(FilterMatcherTest, ErrorsLeaveMatchesAndTheFilterStaysUsable) {
    add("u1", "Garden", "", true);
    EXPECT_EQ(errorOf("EXISTS('A', 'B')"), "Error in function: EXISTS. Position 1");
    EXPECT_EQ(errorOf("EXISTS()"), "Error in function: EXISTS. Position 1");
    EXPECT_EQ(errorOf("1 + RECORD_STATE"), "Error in function: RECORD_STATE. Position 5");
    // A keyword with a quote ends the string early.
    EXPECT_EQ(errorOf("EXISTS('IT'S')"), "Operation absent. Position 12");
    EXPECT_EQ(TFilterMatcher::UnderTest(), nullptr);
    EXPECT_EQ(filter_.CurrentRecord(), nullptr);
    EXPECT_EQ(passing("EXISTS('GARDEN') && RECORD_STATE('IS_CHECKED')"), "u1");
}

TEST_F(FilterMatcherTest, OutsideMatchesThereIsNoRecordUnderTest) {
    add("u1", "Garden", "", false);
    EXPECT_EQ(passing("EXISTS('NOWHERE')"), "");
    TExprParser parser;
    TExpr v;
    parser.Evaluate("EXISTS('NOWHERE')", v);
    EXPECT_TRUE(v.AsBoolean);
    parser.Evaluate("RECORD_STATE('IS_CHECKED')", v);
    EXPECT_EQ(v.ExprType, etBoolean);
    EXPECT_FALSE(v.AsBoolean);
    EXPECT_EQ(filter_.CurrentRecord(), nullptr);
}

TEST_F(FilterMatcherTest, NonAsciiTextIsUpperCasedByTheLocale) {
    add("u1",
        "Stra\xC3\x9F"
        "e caf\xC3\xA9",
        "", false);                                    // Straße café
    add("u2", "\xC3\xA0 la carte", "", false);         // à la carte
    EXPECT_EQ(passing("EXISTS('CAF\xC3\x89')"), "u1"); // CAFÉ
    EXPECT_EQ(passing("EXISTS('STRASSE')"), "u1");
    EXPECT_EQ(passing("EXISTS('\xC3\x80 LA')"), "u2");
}

TEST(FilterText, UpperForFilterAgreesWithLocaleUpper) {
    const char* texts[] = {"",
                           "plain ascii 123 !@#",
                           "Mixed Case",
                           "caf\xC3\xA9",
                           "stra\xC3\x9F\x65",
                           "\xFF\xFE not utf-8",
                           "tab\tand\nline",
                           "i and I",
                           "`az{AZ@[~\x7F `az{AZ@[ `az{",
                           "ascii at first, caf\xC3\xA9"};
    std::string out = "previous contents";
    for (const char* t : texts) {
        UpperForFilter(t, out);
        EXPECT_EQ(out, LocaleUpper(t)) << t;
    }
}

TEST(FilterFunctions, RegistrationFillsTheRegistryOnce) {
    RegisterExpressionFunctions();
    const int count = RegisteredFunctionCount();
    RegisterExpressionFunctions();
    EXPECT_EQ(RegisteredFunctionCount(), count);
    EXPECT_EQ(FindFunction("exists"), &ExistsFunction);
    EXPECT_EQ(FindFunction("Record_State"), &RecordStateFunction);
    EXPECT_EQ(FindFunction("LINK_STATUS"), &LinkStatusFunction);
    EXPECT_NE(FindFunction("FORMATDATETIME"), nullptr);
}
