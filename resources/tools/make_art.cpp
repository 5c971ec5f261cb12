// Draws the program's pictures (logo and 24 x 24 toolbar pictures, each toolbar picture also at
// 48 x 48 as NAME@2x.png for twice the scale, which QIcon takes by itself) into resources/art, and
// the logo as the desktop's application icon in the sizes of the hicolor theme into
// dist/linux/icons (the scalable icon there, quarrylog.svg, is the same drawing by hand).
// The pictures are committed; run this only to change them:
//   g++ -std=c++20 -fPIC make_art.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_art
//   QT_QPA_PLATFORM=offscreen /tmp/make_art resources/art dist/linux/icons
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <functional>

namespace {

const QColor kInk(0x2f, 0x36, 0x40);
const QColor kSlate(0x2b, 0x4c, 0x6f);
const QColor kTeal(0x2a, 0x9d, 0x8f);
const QColor kAmber(0xe9, 0xa2, 0x3b);
const QColor kRed(0xd6, 0x45, 0x45);
const QColor kGreen(0x3a, 0x9d, 0x5d);
const QColor kPaper(0xfb, 0xfa, 0xf6);

using Drawing = std::function<void(QPainter&)>;

// Draws on a square of units at 8x the size and scales down, for clean edges at size pixels.
QImage render(int size, double units, const Drawing& draw, const QColor& background) {
    const int big = size * 8;
    QImage image(big, big, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(big / units, big / units);
    draw(p);
    p.end();
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPen pen(const QColor& c, double w) {
    QPen p(c, w);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

void page(QPainter& p) {
    QPainterPath path;
    path.moveTo(5, 2.5);
    path.lineTo(14.5, 2.5);
    path.lineTo(19.5, 7.5);
    path.lineTo(19.5, 21.5);
    path.lineTo(5, 21.5);
    path.closeSubpath();
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
    QPainterPath fold;
    fold.moveTo(14.5, 2.5);
    fold.lineTo(14.5, 7.5);
    fold.lineTo(19.5, 7.5);
    p.setBrush(QColor(0xdd, 0xe3, 0xea));
    p.drawPath(fold);
}

void arrow(QPainter& p, bool right) {
    p.save();
    if (!right) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    QRadialGradient g(10, 8, 14);
    g.setColorAt(0, kTeal.lighter(125));
    g.setColorAt(1, kTeal.darker(115));
    p.setPen(pen(kTeal.darker(150), 1.0));
    p.setBrush(g);
    p.drawEllipse(QRectF(2, 2, 20, 20));
    QPainterPath a;
    a.moveTo(7, 10);
    a.lineTo(12, 10);
    a.lineTo(12, 6.5);
    a.lineTo(17.5, 12);
    a.lineTo(12, 17.5);
    a.lineTo(12, 14);
    a.lineTo(7, 14);
    a.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(a);
    p.restore();
}

void logo(QPainter& p) {
    // A rounded tile with quarried blocks and a magnifying glass over them (100 units).
    QLinearGradient bg(0, 0, 0, 100);
    bg.setColorAt(0, kTeal.lighter(110));
    bg.setColorAt(1, kSlate);
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(4, 4, 92, 92), 18, 18);

    const QColor stones[] = {QColor(0xf1, 0xe3, 0xc8), QColor(0xe6, 0xc9, 0x96),
                             QColor(0xd9, 0xae, 0x66)};
    p.setPen(pen(kInk, 1.6));
    p.setBrush(stones[2]);
    p.drawRoundedRect(QRectF(14, 66, 34, 18), 3, 3);
    p.drawRoundedRect(QRectF(50, 66, 34, 18), 3, 3);
    p.setBrush(stones[1]);
    p.drawRoundedRect(QRectF(22, 46, 34, 18), 3, 3);
    p.setBrush(stones[0]);
    p.drawRoundedRect(QRectF(30, 26, 26, 18), 3, 3);

    // The glass.
    p.setPen(pen(kInk, 7));
    p.drawLine(QPointF(74, 52), QPointF(86, 64));
    p.setPen(pen(kAmber, 4.5));
    p.drawLine(QPointF(75, 53), QPointF(85, 63));
    QRadialGradient lens(60, 34, 22);
    lens.setColorAt(0, QColor(255, 255, 255, 200));
    lens.setColorAt(1, QColor(200, 235, 240, 110));
    p.setBrush(lens);
    p.setPen(pen(Qt::white, 5));
    p.drawEllipse(QPointF(62, 38), 17, 17);
    p.setPen(pen(kInk, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(62, 38), 19.5, 19.5);
    p.drawEllipse(QPointF(62, 38), 14.5, 14.5);
}

void save(const QImage& image, const QString& path) {
    if (!image.save(path))
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString(argv[1]) : QString("resources/art");
    QDir().mkpath(out + "/toolbar");

    save(render(100, 100, logo, Qt::transparent), out + "/logo.png");
    save(render(148, 100, logo, Qt::white).convertToFormat(QImage::Format_RGB32),
         out + "/logo-large.jpg");

    if (argc > 2) {
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString folder = QString("%1/hicolor/%2x%2/apps").arg(QString(argv[2])).arg(size);
            QDir().mkpath(folder);
            save(render(size, 100, logo, Qt::transparent), folder + "/quarrylog.png");
        }
    }

    const auto icon = [&](const char* name, const Drawing& d) {
        save(render(24, 24, d, Qt::transparent), out + "/toolbar/" + name + ".png");
        save(render(48, 24, d, Qt::transparent), out + "/toolbar/" + name + "@2x.png");
    };

    icon("new", [](QPainter& p) {
        page(p);
        p.setPen(pen(kAmber.darker(120), 1.0));
        p.setBrush(kAmber);
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 2.2 : 5.0;
            const double a = M_PI / 5 * i - M_PI / 2;
            const QPointF pt(17 + r * std::cos(a), 17 + r * std::sin(a));
            i ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        p.drawPath(star);
    });

    icon("open", [](QPainter& p) {
        p.setPen(pen(kAmber.darker(160), 1.1));
        p.setBrush(kAmber.darker(115));
        QPainterPath back;
        back.moveTo(2.5, 5);
        back.lineTo(9, 5);
        back.lineTo(11, 7.5);
        back.lineTo(19.5, 7.5);
        back.lineTo(19.5, 19.5);
        back.lineTo(2.5, 19.5);
        back.closeSubpath();
        p.drawPath(back);
        QLinearGradient g(0, 10, 0, 20);
        g.setColorAt(0, kAmber.lighter(130));
        g.setColorAt(1, kAmber);
        p.setBrush(g);
        QPainterPath front;
        front.moveTo(5.5, 10.5);
        front.lineTo(22.5, 10.5);
        front.lineTo(19.5, 19.5);
        front.lineTo(2.5, 19.5);
        front.closeSubpath();
        p.drawPath(front);
    });

    icon("save", [](QPainter& p) {
        p.setPen(pen(kSlate.darker(150), 1.1));
        p.setBrush(kSlate);
        QPainterPath body;
        body.moveTo(3, 3);
        body.lineTo(18, 3);
        body.lineTo(21, 6);
        body.lineTo(21, 21);
        body.lineTo(3, 21);
        body.closeSubpath();
        p.drawPath(body);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd7, 0xdf, 0xe8));
        p.drawRect(QRectF(7, 3.6, 9, 6));
        p.setBrush(kSlate);
        p.drawRect(QRectF(12.5, 4.6, 2, 4));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(6, 13, 12, 7.4), 1, 1);
        p.setPen(pen(QColor(0x9a, 0xa8, 0xb8), 0.8));
        p.drawLine(QPointF(8, 15.5), QPointF(16, 15.5));
        p.drawLine(QPointF(8, 18), QPointF(16, 18));
    });

    icon("home", [](QPainter& p) {
        p.setPen(pen(kInk, 1.1));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5.5, 11, 13, 10));
        p.setBrush(kAmber.darker(110));
        p.drawRect(QRectF(10.5, 14.5, 3.5, 6.5));
        QPainterPath roof;
        roof.moveTo(2, 12.5);
        roof.lineTo(12, 3);
        roof.lineTo(22, 12.5);
        roof.closeSubpath();
        p.setBrush(kTeal);
        p.drawPath(roof);
    });

    icon("back", [](QPainter& p) { arrow(p, false); });
    icon("forward", [](QPainter& p) { arrow(p, true); });

    icon("refresh", [](QPainter& p) {
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(kGreen.darker(130), 4.2));
        p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 270 * 16);
        p.setPen(pen(kGreen.lighter(115), 2.2));
        p.drawArc(QRectF(4, 4, 16, 16), 60 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(13, 1.5);
        head.lineTo(20.5, 4.5);
        head.lineTo(14.5, 10);
        head.closeSubpath();
        p.setPen(pen(kGreen.darker(130), 1.0));
        p.setBrush(kGreen.lighter(115));
        p.drawPath(head);
    });

    icon("stop", [](QPainter& p) {
        QPainterPath oct;
        for (int i = 0; i < 8; ++i) {
            const double a = M_PI / 4 * i + M_PI / 8;
            const QPointF pt(12 + 10 * std::cos(a), 12 + 10 * std::sin(a));
            i ? oct.lineTo(pt) : oct.moveTo(pt);
        }
        oct.closeSubpath();
        p.setPen(pen(kRed.darker(150), 1.1));
        p.setBrush(kRed);
        p.drawPath(oct);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(6, 10.2, 12, 3.6), 1, 1);
    });

    icon("edit", [](QPainter& p) {
        page(p);
        p.setPen(pen(QColor(0x9a, 0xa8, 0xb8), 1.0));
        for (double y : {8.5, 11.5, 14.5})
            p.drawLine(QPointF(7.5, y), QPointF(13, y));
        p.save();
        p.translate(15.5, 14.5);
        p.rotate(45);
        p.setPen(pen(kInk, 0.9));
        p.setBrush(kAmber);
        p.drawRect(QRectF(-1.8, -8, 3.6, 11));
        p.setBrush(kRed.lighter(120));
        p.drawRect(QRectF(-1.8, -10, 3.6, 2));
        QPainterPath tip;
        tip.moveTo(-1.8, 3);
        tip.lineTo(1.8, 3);
        tip.lineTo(0, 6.5);
        tip.closeSubpath();
        p.setBrush(QColor(0xf3, 0xd9, 0xb1));
        p.drawPath(tip);
        p.restore();
    });

    icon("delete", [](QPainter& p) {
        p.setPen(pen(kRed.darker(160), 5.4));
        p.drawLine(QPointF(5.5, 5.5), QPointF(18.5, 18.5));
        p.drawLine(QPointF(18.5, 5.5), QPointF(5.5, 18.5));
        p.setPen(pen(kRed, 3.4));
        p.drawLine(QPointF(5.5, 5.5), QPointF(18.5, 18.5));
        p.drawLine(QPointF(18.5, 5.5), QPointF(5.5, 18.5));
    });

    icon("filter", [](QPainter& p) {
        QPainterPath funnel;
        funnel.moveTo(2.5, 3.5);
        funnel.lineTo(21.5, 3.5);
        funnel.lineTo(14, 12.5);
        funnel.lineTo(14, 20.5);
        funnel.lineTo(10, 18);
        funnel.lineTo(10, 12.5);
        funnel.closeSubpath();
        QLinearGradient g(0, 3, 24, 3);
        g.setColorAt(0, kSlate.lighter(140));
        g.setColorAt(1, kSlate);
        p.setPen(pen(kSlate.darker(150), 1.1));
        p.setBrush(g);
        p.drawPath(funnel);
    });

    icon("openurl", [](QPainter& p) {
        QRadialGradient g(9, 8, 14);
        g.setColorAt(0, kTeal.lighter(140));
        g.setColorAt(1, kTeal.darker(110));
        p.setPen(pen(kTeal.darker(160), 1.0));
        p.setBrush(g);
        p.drawEllipse(QRectF(2, 2, 17, 17));
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(QColor(255, 255, 255, 190), 0.9));
        p.drawEllipse(QRectF(6.5, 2.2, 8, 16.6));
        p.drawLine(QPointF(2.5, 10.5), QPointF(18.5, 10.5));
        p.drawLine(QPointF(10.5, 2.5), QPointF(10.5, 18.5));
        // An arrow leaving the globe.
        p.setPen(pen(kInk, 3.6));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
        p.setPen(pen(kAmber, 1.8));
        p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
        QPainterPath head;
        head.moveTo(22.5, 22.5);
        head.lineTo(22.5, 15.5);
        head.lineTo(15.5, 22.5);
        head.closeSubpath();
        p.setPen(pen(kInk, 0.9));
        p.setBrush(kAmber);
        p.drawPath(head);
    });

    icon("update", [](QPainter& p) {
        QRadialGradient g(10, 8, 14);
        g.setColorAt(0, kAmber.lighter(130));
        g.setColorAt(1, kAmber.darker(110));
        p.setPen(pen(kAmber.darker(170), 1.0));
        p.setBrush(g);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        QPainterPath a;
        a.moveTo(10, 6);
        a.lineTo(14, 6);
        a.lineTo(14, 11.5);
        a.lineTo(17.5, 11.5);
        a.lineTo(12, 18);
        a.lineTo(6.5, 11.5);
        a.lineTo(10, 11.5);
        a.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(a);
    });
    return 0;
}
