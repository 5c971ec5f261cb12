// The tagged tree on reports of 1 000 to 1 000 000 records, against pugixml reading and writing
// the same data as XML: reading a text and a file, writing a text and a file (with its safe
// write), destroying the tree, and the memory a read tree keeps. Prints a table of both with
// their ratios at the end.
#include "report/ReportLayout.h"
#include "tree/NodeStore.h"
#include "tree/TQelPigger.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- data

// A small fixed pseudo-random sequence, so that every run reads the same report.
struct Dice {
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    std::uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
};

const char* const kWords[] = {
    "garden",  "tools",    "supplier",  "spades",  "forks",     "wholesale",  "prices",
    "quality", "delivery", "stainless", "steel",   "handles",   "ash",        "wood",
    "free",    "shipping", "catalogue", "order",   "online",    "today",      "best",
    "offers",  "rakes",    "hoes",      "trowels", "Gärtnerei", "équipement", "and",
    "for",     "with",     "the",       "new",     "season",    "2026",       "discount"};

std::string words(Dice& d, int length) {
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        if (!s.empty())
            s.push_back(' ');
        s += kWords[d.below(static_cast<int>(std::size(kWords)))];
    }
    return s;
}

std::string host(Dice& d, int i) {
    return std::string("www.") + kWords[d.below(10)] + "-" + kWords[d.below(10)] + "-" +
           std::to_string(i) + ".example";
}

// A report as the program writes it: report information on the root and a URLS container of
// LISTING records (address and check mark as attributes, title, description and redirect as
// children), about 530 bytes a record.
std::unique_ptr<TQelPigger> makeReport(int records) {
    Dice d;
    auto root = std::make_unique<TQelPigger>();
    root->SetName(ReportKeys::Root);
    root->SetAttr(ReportKeys::Version, "1.0.1 beta");
    root->SetAttr(ReportKeys::Title, "Garden tools");
    root->SetAttr(ReportKeys::Date, "06.12.2026");
    root->Text = "Suppliers of garden tools\r\nfound in December.";
    TQelPigger* urls = root->AddChild(ReportKeys::Urls);
    for (int i = 0; i < records; ++i) {
        TQelPigger* rec = urls->AddChild(RecordFields::Listing);
        std::string url = "http://" + host(d, i) + "/" + kWords[d.below(20)] + "/" +
                          kWords[d.below(20)] + ".html";
        // Some addresses carry a query with escapes of their own.
        if (i % 7 == 0)
            url += "?q=" + std::string(kWords[d.below(20)]) + "%20" + kWords[d.below(20)];
        rec->SetAttr(RecordFields::Url, url);
        if (i % 3 == 0)
            rec->SetAttr(RecordFields::Check, RecordFields::Checked);
        std::string title = words(d, 35 + d.below(40));
        if (i % 11 == 0)
            title = "\"" + title + "\" <new>";
        rec->AddChild(RecordFields::Title)->Text = title;
        rec->AddChild(RecordFields::Description)->Text = words(d, 140 + d.below(90)) + ".";
        rec->AddChild(RecordFields::Redirect)->Text =
            "http://click.feed.example/redirect?src=search&pos=" + std::to_string(i) +
            "&to=" + host(d, i) + "%2F" + kWords[d.below(20)];
    }
    return root;
}

void toXml(const TQelPigger& node, pugi::xml_node parent) {
    pugi::xml_node e = parent.append_child(node.Name().c_str());
    for (int i = 0; i < node.AttrCount(); ++i)
        e.append_attribute(node.AttrName(i).c_str())
            .set_value(std::string(node.AttrValue(i)).c_str());
    if (!node.Text.empty())
        e.append_child(pugi::node_pcdata).set_value(node.Text.str().c_str());
    for (const TQelPigger* c : node.Children())
        toXml(*c, e);
}

struct Data {
    int records = -1;
    std::string text; // as the tree writes it
    std::string xml;  // the same as XML, as pugixml writes it
    std::string textFile, xmlFile;
};

std::filesystem::path dataDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qrl-tree-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        return std::filesystem::path(pattern);
    }();
    return dir;
}

void writeFile(const std::string& name, const std::string& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        throw std::runtime_error("cannot write " + name);
    std::fclose(f);
}

// The data of one size; only the last size asked for is kept.
const Data& data(int records) {
    static Data d;
    if (d.records != records) {
        d = Data{};
        d.records = records;
        const auto tree = makeReport(records);
        d.text = tree->GetAsText();
        pugi::xml_document doc;
        toXml(*tree, doc);
        std::ostringstream out;
        doc.save(out, "\t", pugi::format_indent | pugi::format_no_declaration);
        d.xml = out.str();
        d.textFile = (dataDir() / "report.qrl").string();
        d.xmlFile = (dataDir() / "report.xml").string();
        writeFile(d.textFile, d.text);
        writeFile(d.xmlFile, d.xml);
    }
    return d;
}

std::size_t heapInUse() {
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

// ---------------------------------------------------------------- reading

void BM_SetAsText(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto t = std::make_unique<TQelPigger>();
        t->SetAsText(d.text);
        benchmark::DoNotOptimize(t->ChildCount());
        // The tree is destroyed outside the measured time.
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    setBytes(state, d.text.size());
}

// Reading a report into a tree that holds one already (its nodes are freed on the way).
void BM_SetAsTextAgain(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    TQelPigger t;
    t.SetAsText(d.text);
    for (auto _ : state) {
        t.SetAsText(d.text);
        benchmark::DoNotOptimize(t.ChildCount());
    }
    setBytes(state, d.text.size());
}

void BM_PugiLoadBuffer(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_buffer(d.xml.data(), d.xml.size()))
            state.SkipWithError("pugixml could not read the data");
        benchmark::DoNotOptimize(doc->first_child());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    setBytes(state, d.xml.size());
}

void BM_LoadFromFile(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto t = std::make_unique<TQelPigger>();
        t->LoadFromFile(d.textFile);
        benchmark::DoNotOptimize(t->ChildCount());
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    setBytes(state, d.text.size());
}

void BM_PugiLoadFile(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto doc = std::make_unique<pugi::xml_document>();
        if (!doc->load_file(d.xmlFile.c_str()))
            state.SkipWithError("pugixml could not read the file");
        benchmark::DoNotOptimize(doc->first_child());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    setBytes(state, d.xml.size());
}

// ---------------------------------------------------------------- writing

void BM_GetAsText(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    TQelPigger t;
    t.SetAsText(d.text);
    for (auto _ : state) {
        std::string text = t.GetAsText();
        benchmark::DoNotOptimize(text.data());
        state.PauseTiming();
        if (text != d.text)
            state.SkipWithError("written text differs from the text read");
        state.ResumeTiming();
    }
    setBytes(state, d.text.size());
}

// pugixml writes into a writer; this one collects the text in a string as GetAsText gives it.
struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

void BM_PugiSaveString(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    pugi::xml_document doc;
    doc.load_buffer(d.xml.data(), d.xml.size());
    for (auto _ : state) {
        StringWriter w;
        doc.save(w, "\t", pugi::format_indent | pugi::format_no_declaration);
        benchmark::DoNotOptimize(w.out.data());
    }
    setBytes(state, d.xml.size());
}

void BM_SaveToFile(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    TQelPigger t;
    t.SetAsText(d.text);
    const std::string name = (dataDir() / "saved.qrl").string();
    for (auto _ : state)
        t.SaveToFile(name);
    setBytes(state, d.text.size());
}

// pugixml's save_file with what a safe write adds: a new file, fsync, rename over the old one.
void BM_PugiSaveFileSyncRename(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    pugi::xml_document doc;
    doc.load_buffer(d.xml.data(), d.xml.size());
    const std::string name = (dataDir() / "saved.xml").string();
    const std::string temp = name + ".new";
    for (auto _ : state) {
        if (!doc.save_file(temp.c_str(), "\t", pugi::format_indent | pugi::format_no_declaration)) {
            state.SkipWithError("pugixml could not write the file");
            break;
        }
        const int fd = ::open(temp.c_str(), O_RDONLY);
        if (fd < 0 || ::fsync(fd) != 0 || ::close(fd) != 0 ||
            std::rename(temp.c_str(), name.c_str()) != 0) {
            state.SkipWithError("cannot sync or rename the file");
            break;
        }
    }
    setBytes(state, d.xml.size());
}

// ---------------------------------------------------------------- destroying and memory

void BM_Destroy(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<TQelPigger>();
        t->SetAsText(d.text);
        state.ResumeTiming();
        t.reset();
    }
}

void BM_PugiDestroy(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<pugi::xml_document>();
        doc->load_buffer(d.xml.data(), d.xml.size());
        state.ResumeTiming();
        doc.reset();
    }
}

// Heap kept by a tree read from the file, in parts of the file's size (one read per run).
void BM_MemoryKept(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        // Memory kept for later reads would be counted as used before and not after.
        NodeStore::ReleaseCache();
        malloc_trim(0);
        const std::size_t before = heapInUse();
        auto t = std::make_unique<TQelPigger>();
        t->LoadFromFile(d.textFile);
        ratio = static_cast<double>(heapInUse() - before) / static_cast<double>(d.text.size());
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    state.counters["ratio"] = ratio;
}

void BM_PugiMemoryKept(benchmark::State& state) {
    const Data& d = data(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = heapInUse();
        auto doc = std::make_unique<pugi::xml_document>();
        doc->load_file(d.xmlFile.c_str());
        ratio = static_cast<double>(heapInUse() - before) / static_cast<double>(d.xml.size());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["ratio"] = ratio;
}

// Every benchmark runs the same sizes, all sizes of one kind one after the other, so that the
// data of a size is made once for each kind.
void sizes(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int n : {1000, 10000, 100000, 1000000})
        b->Arg(n);
}

BENCHMARK(BM_SetAsText)->Apply(sizes);
BENCHMARK(BM_SetAsTextAgain)->Apply(sizes);
BENCHMARK(BM_PugiLoadBuffer)->Apply(sizes);
BENCHMARK(BM_LoadFromFile)->Apply(sizes);
BENCHMARK(BM_PugiLoadFile)->Apply(sizes);
BENCHMARK(BM_GetAsText)->Apply(sizes);
BENCHMARK(BM_PugiSaveString)->Apply(sizes);
BENCHMARK(BM_SaveToFile)->Apply(sizes);
BENCHMARK(BM_PugiSaveFileSyncRename)->Apply(sizes);
BENCHMARK(BM_Destroy)->Apply(sizes);
// Each run reads the document again outside the measured time; destroying it takes so little
// time that the default count of runs would take half an hour at a million records.
BENCHMARK(BM_PugiDestroy)->Apply(sizes)->Iterations(20);
BENCHMARK(BM_MemoryKept)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_PugiMemoryKept)->Apply(sizes)->Iterations(1);

// ---------------------------------------------------------------- the table

// Reports as the console does and keeps every time (and ratio counter) for the table.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            // With repetitions, the median is what the table shows.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            const std::string name = run.run_name.function_name;
            const std::string arg = run.run_name.args;
            const auto ratio = run.counters.find("ratio");
            values_[name][arg] = ratio != run.counters.end() ? static_cast<double>(ratio->second)
                                                             : run.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const std::pair<const char*, const char*> pairs[] = {
            {"BM_SetAsText", "BM_PugiLoadBuffer"}, {"BM_LoadFromFile", "BM_PugiLoadFile"},
            {"BM_GetAsText", "BM_PugiSaveString"}, {"BM_SaveToFile", "BM_PugiSaveFileSyncRename"},
            {"BM_Destroy", "BM_PugiDestroy"},      {"BM_MemoryKept", "BM_PugiMemoryKept"}};
        std::printf("\n%-16s %9s %12s %12s %8s\n", "operation", "records", "ours", "pugixml",
                    "ratio");
        for (const auto& [ours, theirs] : pairs) {
            const auto a = values_.find(ours), b = values_.find(theirs);
            if (a == values_.end() || b == values_.end())
                continue;
            const bool memory = std::string(ours) == "BM_MemoryKept";
            for (const auto& [arg, mine] : a->second) {
                const auto other = b->second.find(arg);
                if (other == b->second.end())
                    continue;
                std::printf("%-16s %9s %12.3f %12.3f %8.2f%s\n", ours + 3, arg.c_str(), mine,
                            other->second, other->second > 0 ? mine / other->second : 0.0,
                            memory ? "  (x file size)" : "  (ms)");
            }
        }
    }

private:
    // name -> size -> value; sizes compared as numbers.
    struct BySize {
        bool operator()(const std::string& a, const std::string& b) const {
            return std::stoll(a) < std::stoll(b);
        }
    };
    std::map<std::string, std::map<std::string, double, BySize>> values_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(dataDir());
    return 0;
}
