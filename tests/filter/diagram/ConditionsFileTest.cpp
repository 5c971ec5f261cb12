#include "filter/diagram/ConditionsFile.h"
#include "filter/diagram/CloudDiagram.h"
#include "tree/TQelPigger.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct Diagram : TCloudDiagram {
    Diagram() {
        SetPaintBoxSize(100, 100);
        Start();
    }
};

std::string errorOf(std::string_view text) {
    try {
        ReadConditions(text);
    } catch (const EConditionsError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(ConditionsFile, ReadsTheDocumentedExample) {
    const std::string text =
        "<CONDITIONS VERSION=\"1\">\r\n"
        "\t<CIRCLE LABEL=\"Context:%22abc%22\" BODY=\"EXISTS('ABC')\" X=\"80\" "
        "Y=\"65\" RADIUS=\"60\" LABELDX=\"18\" LABELDY=\"21\"/>\r\n"
        "\t<PIN X=\"90\" Y=\"75\"/>\r\n"
        "</CONDITIONS>\r\n";
    const TConditions c = ReadConditions(text);
    ASSERT_EQ(c.Circles.size(), 1u);
    EXPECT_EQ(c.Circles[0].Label, "Context:\"abc\"");
    EXPECT_EQ(c.Circles[0].Body, "EXISTS('ABC')");
    EXPECT_EQ(c.Circles[0].X, 80);
    EXPECT_EQ(c.Circles[0].Y, 65);
    EXPECT_EQ(c.Circles[0].Radius, 60);
    EXPECT_EQ(c.Circles[0].LabelDX, 18);
    EXPECT_EQ(c.Circles[0].LabelDY, 21);
    ASSERT_EQ(c.Pins.size(), 1u);
    EXPECT_EQ(c.Pins[0].X, 90);
    EXPECT_EQ(c.Pins[0].Y, 75);
    // Written back in the tree's own form.
    EXPECT_EQ(WriteConditions(c), "\r\n" + text.substr(0, text.size() - 2));
}

TEST(ConditionsFile, RoundTripKeepsEveryByteAndTheListOrder) {
    TempDir dir;
    Diagram d;
    d.AutoPin = false;
    const std::string oddLabel = "50% <done> \"q\" \t\r\n\x01\xE9 ";
    const std::string oddBody = "EXISTS('A')\n && !(EXISTS('B'))\r\n ";
    TQELlc* a = d.AddCircle(oddLabel, oddBody, 40, 30, 20);
    a->LabelDX = -7; // tuned by hand
    d.AddCircle("", "RECORD_STATE('IS_CHECKED')", 300, 200, 90);
    d.AddPin(41, 31);
    d.AddPin(-3, 7);
    d.AddPin(300, 200);
    SaveConditionsFile(d, dir.path("a.qrc"));

    Diagram e;
    e.AddCircle("old", "OLD", 50, 50, 10); // replaced by the file
    LoadConditionsFile(e, dir.path("a.qrc"));
    ASSERT_EQ(e.CircleCount(), 2);
    ASSERT_EQ(e.PinCount(), 3);
    for (int i = 0; i < 2; ++i) {
        const TQELlc *x = d.GetCircle(i), *y = e.GetCircle(i);
        EXPECT_EQ(x->LabelText, y->LabelText);
        EXPECT_EQ(x->Body, y->Body);
        EXPECT_EQ(x->X, y->X);
        EXPECT_EQ(x->Y, y->Y);
        EXPECT_EQ(x->Radius, y->Radius);
        EXPECT_EQ(x->LabelDX, y->LabelDX);
        EXPECT_EQ(x->LabelDY, y->LabelDY);
    }
    EXPECT_EQ(e.GetCircle(0)->LabelText, oddLabel);
    EXPECT_EQ(e.GetCircle(0)->Body, oddBody);
    EXPECT_EQ(e.GetCircle(0)->LabelDX, -7);
    EXPECT_EQ(e.GetPin(1)->X, -3);
    EXPECT_EQ(e.Selected(), nullptr);
    EXPECT_EQ(e.ExpressionText(), d.ExpressionText());
    // The file is byte for byte what the writer makes, and writing again changes nothing.
    EXPECT_EQ(dir.read("a.qrc"), WriteConditions(DiagramConditions(d)));
    SaveConditionsFile(e, dir.path("b.qrc"));
    EXPECT_EQ(dir.read("a.qrc"), dir.read("b.qrc"));
}

TEST(ConditionsFile, PositionsAreTakenAsTheyStand) {
    Diagram d;
    ApplyConditions(d, ReadConditions("<conditions><circle x=0 y=-5 radius=60 labeldx=1 "
                                      "labeldy=2 colour=red/><other/><pin x=0 y=0/></conditions>"));
    ASSERT_EQ(d.CircleCount(), 1);
    EXPECT_EQ(d.GetCircle(0)->X, 0);
    EXPECT_EQ(d.GetCircle(0)->Y, -5);
    EXPECT_EQ(d.GetCircle(0)->LabelText, "");
    EXPECT_EQ(d.GetCircle(0)->Body, "");
    EXPECT_EQ(d.PaintHeight(), 100);
    EXPECT_EQ(d.PinCount(), 1);
}

TEST(ConditionsFile, RefusesBadNumbersNamingElementAndAttribute) {
    const std::string circle = "<CIRCLE X=\"1\" Y=\"2\" RADIUS=\"3\" LABELDX=\"4\" LABELDY=\"5\"/>";
    EXPECT_EQ(errorOf("<CONDITIONS>" + circle + circle +
                      "<CIRCLE X=\"1\" Y=\"2\" LABELDX=\"4\" LABELDY=\"5\"/></CONDITIONS>"),
              "CIRCLE 3: attribute RADIUS is missing");
    EXPECT_EQ(errorOf("<CONDITIONS><PIN X=\"1\" Y=\"\"/></CONDITIONS>"),
              "PIN 1: attribute Y is missing");
    EXPECT_EQ(errorOf("<CONDITIONS><PIN X=\"1\"/><PIN X=\"1x\" Y=\"2\"/></CONDITIONS>"),
              "PIN 1: attribute Y is missing");
    EXPECT_EQ(errorOf("<CONDITIONS><PIN X=\"1\" Y=\"2\"/><PIN X=\"1x\" Y=\"2\"/></CONDITIONS>"),
              "PIN 2: attribute X is not a number: \"1x\"");
    for (const char* bad : {" 1", "+1", "-", "1.0", "0x10", "1e3"})
        EXPECT_EQ(errorOf(std::string("<CONDITIONS><PIN X=\"") + bad + "\" Y=\"2\"/></CONDITIONS>"),
                  std::string("PIN 1: attribute X is not a number: \"") + bad + "\"");
    EXPECT_EQ(errorOf("<CONDITIONS><PIN X=\"99999999999999999999\" Y=\"2\"/></CONDITIONS>"),
              "PIN 1: attribute X is out of range (-1000000 to 1000000): 99999999999999999999");
    EXPECT_EQ(errorOf("<CONDITIONS><CIRCLE X=\"1\" Y=\"2\" RADIUS=\"-1\" LABELDX=\"4\" "
                      "LABELDY=\"5\"/></CONDITIONS>"),
              "CIRCLE 1: attribute RADIUS is out of range (0 to 1000000): -1");
    EXPECT_EQ(errorOf("<CONDITIONS><PIN X=\"-1000000\" Y=\"0001000000\"/></CONDITIONS>"),
              "no error");
    EXPECT_EQ(errorOf("<QRL/>"), "Not a conditions file: the first element is QRL, not CONDITIONS");
    EXPECT_EQ(errorOf(""), "Not a conditions file: no element");
    EXPECT_THROW(ReadConditions("<CONDITIONS><PIN X=\"1\" Y=\"2\"/>"), EQelPiggerError);
}

TEST(ConditionsFile, FailedLoadLeavesTheDiagramAlone) {
    TempDir dir;
    Diagram d;
    d.AddCircle("a", "A", 100, 100, 50);
    dir.write("bad.qrc", "<CONDITIONS><CIRCLE X=\"1\"/></CONDITIONS>");
    EXPECT_THROW(LoadConditionsFile(d, dir.path("bad.qrc")), EConditionsError);
    EXPECT_THROW(LoadConditionsFile(d, dir.path("missing.qrc")), EQelFileError);
    EXPECT_THROW(SaveConditionsFile(d, dir.path("no/such/folder/a.qrc")), EQelFileError);
    EXPECT_EQ(d.CircleCount(), 1);
    EXPECT_EQ(d.PinCount(), 1);
}
