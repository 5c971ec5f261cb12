// The condition diagram at its size limit in practice: 20 circles and 20 pins in 20 different
// regions on a 1000 x 800 back buffer. A full repaint (erase, outlines, labels, region fills,
// tick marks) runs every 500 ms and on every mouse move of a drag, so it must stay far below
// that period; the expression text is generated once per "Filter on".
#include "filter/CloudImageCanvas.h"
#include "filter/diagram/CloudDiagram.h"

#include <benchmark/benchmark.h>

#include <QFont>

#include <random>
#include <string>

namespace {

struct BenchDiagram {
    TCloudImageCanvas canvas;
    TCloudDiagram diagram;

    BenchDiagram() {
        QFont font("Sans Serif");
        font.setPixelSize(11);
        canvas.Font = font;
        diagram.SetPaintBoxSize(1000, 800);
        diagram.SetCanvas(&canvas);
        diagram.Start();
        diagram.AutoPin = false;
        std::mt19937 rng(2024);
        std::uniform_int_distribution<int> x(130, 870), y(130, 670), r(60, 120);
        for (int i = 0; i < 20; ++i) {
            const std::string n = std::to_string(i);
            diagram.AddCircle("Context:\"word" + n + "\"", "EXISTS('WORD" + n + "')", x(rng),
                              y(rng), r(rng));
        }
        // Pins in 20 different regions.
        std::uniform_int_distribution<int> px(5, 995), py(5, 795);
        while (diagram.PinCount() < 20) {
            diagram.AddPin(px(rng), py(rng));
            diagram.RemoveDuplicatePin();
        }
    }

    void repaint() {
        canvas.Erase(QRect(0, 0, 1000, 800), Qt::white);
        diagram.Paint();
    }
};

BenchDiagram& shared() {
    static BenchDiagram d;
    return d;
}

void BM_FullRepaint(benchmark::State& state) {
    BenchDiagram& d = shared();
    for (auto _ : state) {
        d.repaint();
        benchmark::DoNotOptimize(d.canvas.Image().constBits());
    }
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

void BM_RepaintWhileDragging(benchmark::State& state) {
    // Pins without their fill, as while the left button drags a circle.
    BenchDiagram& d = shared();
    d.diagram.MouseMove(500, 400, true, false);
    for (auto _ : state) {
        d.repaint();
        benchmark::DoNotOptimize(d.canvas.Image().constBits());
    }
    d.diagram.MouseUp();
}
BENCHMARK(BM_RepaintWhileDragging)->Unit(benchmark::kMillisecond);

void BM_ExpressionText(benchmark::State& state) {
    BenchDiagram& d = shared();
    size_t length = 0;
    for (auto _ : state) {
        std::string text = d.diagram.ExpressionText();
        length = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.counters["chars"] = static_cast<double>(length);
    state.counters["pins"] = d.diagram.PinCount();
}
BENCHMARK(BM_ExpressionText)->Unit(benchmark::kMicrosecond);

} // namespace
