// The program as the user meets it: started afresh as a new process (offscreen) with an empty
// report, with 100 000 records and with 1 000 000, until its window has painted ("window") and
// until the found URL list, turned to as a click on its tab turns to it, has painted its rows
// ("list"); and "qrl tree" against pugixml (load_file and save to standard output) on the same
// records as XML, as whole processes. Every case runs --runs times (5 unless given), the cases
// taking turns so that a change of the machine's load falls on all of them alike; the table
// gives medians, the ratios and the peak memory from the system's accounting of each process.
//   build/bin/bench_process_start [--runs N] [--no-million] [--cold] [--keep] [--before DIR]
// --cold adds one start of each report after the system's file cache was emptied (as root);
// --keep leaves the folder with the reports (.qrl and .xml) and the program's copy in place;
// --before takes the programs of another build (DIR holds its quarrylog and qrl, as build/bin
// does) into the same runs, taking turns with this one, as the rows marked "before".
#include "ReportData.h"

#include "settings/core/SettingsStore.h"
#include "tree/TQelPigger.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    bool ok = false;
    double windowMs = 0; // to the "window" line, or to the end for a process without lines
    double listMs = 0;
    double cpuMs = 0;
    double peakMb = 0;
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs argv with env, standard output read line by line (the program's probe lines) or thrown
// away, standard error thrown away.
Sample run(const std::vector<std::string>& argv, const std::vector<std::string>& env,
           bool readLines) {
    Sample sample;
    int pipeFds[2] = {-1, -1};
    if (readLines && pipe2(pipeFds, O_CLOEXEC) != 0)
        return sample;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readLines)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args, envs;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env)
        envs.push_back(const_cast<char*>(e.c_str()));
    envs.push_back(nullptr);
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envs.data());
    posix_spawn_file_actions_destroy(&actions);
    if (readLines)
        close(pipeFds[1]);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(spawned));
        if (readLines)
            close(pipeFds[0]);
        return sample;
    }
    bool sawWindow = false, sawList = false;
    if (readLines) {
        std::string pending;
        char buffer[256];
        for (;;) {
            pollfd p{pipeFds[0], POLLIN, 0};
            if (poll(&p, 1, 300000) <= 0) {
                kill(pid, SIGKILL);
                break;
            }
            const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            pending.append(buffer, static_cast<size_t>(n));
            for (size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, nl);
                pending.erase(0, nl + 1);
                if (line == "window" && !sawWindow) {
                    sawWindow = true;
                    sample.windowMs = msSince(start);
                } else if (line == "list" && !sawList) {
                    sawList = true;
                    sample.listMs = msSince(start);
                }
            }
        }
        close(pipeFds[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!readLines)
        sample.windowMs = sample.listMs = msSince(start);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    sample.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    sample.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    sample.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && (!readLines || sawList);
    return sample;
}

// The same tree as XML, indented as the tree's own text is.
void writeXml(std::ofstream& out, const TQelPigger& node, int depth) {
    const auto escape = [&out](std::string_view text, bool attribute) {
        for (const char c : text) {
            switch (c) {
            case '&':
                out << "&amp;";
                break;
            case '<':
                out << "&lt;";
                break;
            case '>':
                out << "&gt;";
                break;
            case '"':
                out << (attribute ? "&quot;" : "\"");
                break;
            default:
                out << c;
            }
        }
    };
    out << "\r\n" << std::string(static_cast<size_t>(depth), '\t') << '<' << node.Name();
    for (int i = 0; i < node.AttrCount(); ++i) {
        out << ' ' << node.AttrName(i) << "=\"";
        escape(node.AttrValue(i), true);
        out << '"';
    }
    if (node.ChildCount() == 0 && node.Text.empty()) {
        out << "/>";
        return;
    }
    out << '>';
    escape(node.Text.str(), false);
    for (const TQelPigger* child : node.Children())
        writeXml(out, *child, depth + 1);
    out << "\r\n" << std::string(static_cast<size_t>(depth), '\t') << "</" << node.Name() << '>';
}

struct Report {
    std::string label;
    int records = 0;
    std::string qrl, xml;
    double fileMb = 0;
};

// Made in a process of its own: the peak memory the system counts for a program started later
// begins with that of the process starting it.
Report makeReport(const fs::path& dir, const std::string& label, int records) {
    Report r{label, records, (dir / (label + ".qrl")).string(), (dir / (label + ".xml")).string()};
    const pid_t maker = fork();
    if (maker == 0) {
        const auto doc = bench::MakeReport(records);
        doc->SaveToFile(r.qrl);
        std::ofstream xml(r.xml, std::ios::binary);
        writeXml(xml, *doc, 0);
        xml.close();
        _exit(xml ? 0 : 1);
    }
    int status = 0;
    if (maker < 0 || waitpid(maker, &status, 0) != maker || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the report of %d records was not written\n", records);
        std::exit(1);
    }
    r.fileMb = static_cast<double>(fs::file_size(r.qrl)) / (1024.0 * 1024.0);
    return r;
}

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

std::string loadLine() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

bool dropFileCache() {
    sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.flush();
    return static_cast<bool>(drop);
}

struct Series {
    std::vector<double> window, list, cpu, peak;
    int failed = 0;
    void add(const Sample& s) {
        if (!s.ok) {
            ++failed;
            return;
        }
        window.push_back(s.windowMs);
        list.push_back(s.listMs);
        cpu.push_back(s.cpuMs);
        peak.push_back(s.peakMb);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    int runs = 5;
    bool million = true, cold = false, keep = false;
    std::string before;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--no-million")
            million = false;
        else if (a == "--cold")
            cold = true;
        else if (a == "--keep")
            keep = true;
        else if (a == "--before" && i + 1 < argc)
            before = fs::absolute(argv[++i]).string();
        else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--no-million] [--cold] [--keep] [--before DIR]\n",
                         argv[0]);
            return 2;
        }
    }
    char pattern[] = "/tmp/qrl-start-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    // The program beside a settings file of its own (it keeps its settings beside itself when
    // it may write there): no introduction dialog, nothing of the user's settings.
    struct Build {
        std::string name, program, qrl;
    };
    std::vector<Build> builds{{"", (dir / "quarrylog").string(), QRL_PROGRAM}};
    fs::copy_file(QUARRYLOG_PROGRAM, builds[0].program);
    if (!before.empty()) {
        fs::create_directory(dir / "before");
        builds.push_back({"before ", (dir / "before" / "quarrylog").string(), before + "/qrl"});
        fs::copy_file(before + "/quarrylog", builds[1].program);
    }
    for (const Build& build : builds) {
        SettingsStore settings((fs::path(build.program).parent_path() / "quarrylog.set").string());
        settings.Set(SettingsKeys::ShowIntro, "NO");
        if (!settings.SaveNow()) {
            std::fprintf(stderr, "the settings file was not written\n");
            return 1;
        }
    }
    fs::current_path(dir);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("QT_QPA_PLATFORM=", 0) != 0 && var.rfind("XDG_", 0) != 0)
            env.push_back(var);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("QUARRYLOG_START_PROBE=1");
    env.push_back("XDG_CONFIG_HOME=" + (dir / "config").string());
    env.push_back("XDG_DATA_HOME=" + (dir / "data-home").string());
    env.push_back("XDG_CACHE_HOME=" + (dir / "cache").string());
    env.push_back("XDG_RUNTIME_DIR=" + dir.string());

    std::fprintf(stderr, "writing the reports into %s ...\n", dir.c_str());
    std::vector<Report> reports{makeReport(dir, "empty", 0), makeReport(dir, "100k", 100000)};
    if (million)
        reports.push_back(makeReport(dir, "1M", 1000000));

    const std::string loadBefore = loadLine();
    std::map<std::string, Series> starts, trees, pugis, bare;
    const auto start = [&](const Build& b, const Report& r) {
        return run({b.program, r.qrl}, env, true);
    };
    // One start of each before the measured ones: the program's own files in the file cache.
    for (const Build& b : builds)
        for (const Report& r : reports)
            start(b, r);
    for (int i = 0; i < runs; ++i) {
        for (const Report& r : reports) {
            for (const Build& b : builds) {
                starts[b.name + r.label].add(start(b, r));
                if (r.records != 0)
                    trees[b.name + r.label].add(run({b.qrl, "tree", r.qrl}, env, false));
            }
            if (r.records != 0)
                pugis[r.label].add(run({PUGI_PROGRAM, r.xml}, env, false));
        }
        bare["widgets"].add(run({BARE_PROGRAM}, env, true));
        bare["webengine"].add(run({BARE_WEBENGINE_PROGRAM}, env, true));
        std::fprintf(stderr, "run %d of %d done\n", i + 1, runs);
    }
    const std::string loadAfter = loadLine();

    std::printf("Start of the program as a new process (offscreen), medians of %d runs\n", runs);
    std::printf("%-14s %8s %10s %7s %10s %7s %9s %9s %9s %s\n", "report", "file MB", "window ms",
                "ratio", "list ms", "ratio", "CPU ms", "peak MB", "peak/file", "failed");
    for (const Build& b : builds) {
        const Series& empty = starts[b.name + "empty"];
        const double emptyWindow = median(empty.window), emptyList = median(empty.list);
        for (const Report& r : reports) {
            const Series& s = starts[b.name + r.label];
            const double peak = median(s.peak);
            std::printf("%-14s %8.1f %10.0f %7.2f %10.0f %7.2f %9.0f %9.0f %9s %d\n",
                        (b.name + r.label).c_str(), r.fileMb, median(s.window),
                        median(s.window) / emptyWindow, median(s.list), median(s.list) / emptyList,
                        median(s.cpu), peak,
                        r.records ? std::to_string(peak / r.fileMb).substr(0, 4).c_str() : "-",
                        s.failed);
        }
    }
    std::printf("\n\"qrl tree\" against pugixml load_file + save (same records as XML), medians\n");
    std::printf("%-14s %10s %10s %7s %10s %10s %7s\n", "report", "qrl ms", "pugixml ms", "ratio",
                "qrl MB", "pugixml MB", "ratio");
    for (const Build& b : builds)
        for (const Report& r : reports) {
            if (r.records == 0)
                continue;
            const Series& t = trees[b.name + r.label];
            const Series& p = pugis[r.label];
            std::printf("%-14s %10.0f %10.0f %7.2f %10.0f %10.0f %7.2f\n",
                        (b.name + r.label).c_str(), median(t.window), median(p.window),
                        median(t.window) / median(p.window), median(t.peak), median(p.peak),
                        median(t.peak) / median(p.peak));
            if (t.failed || p.failed)
                std::printf("        (failed runs: qrl %d, pugixml %d)\n", t.failed, p.failed);
        }
    std::printf("\nA bare window (a table in a main window) to its painting, medians\n");
    for (const char* kind : {"widgets", "webengine"}) {
        const Series& s = bare[kind];
        std::printf(
            "%-28s %6.0f ms, CPU %4.0f ms, peak %4.0f MB%s\n",
            std::string(kind) == "widgets" ? "Qt Widgets alone" : "linked with Qt WebEngine",
            median(s.window), median(s.cpu), median(s.peak), s.failed ? " (failed runs)" : "");
    }
    if (cold) {
        std::printf("\nFirst start after the file cache was emptied\n");
        for (const Report& r : reports) {
            if (!dropFileCache()) {
                std::printf("the file cache cannot be emptied (not root)\n");
                break;
            }
            const Sample s = start(builds[0], r);
            std::printf("%-7s window %.0f ms, list %.0f ms, CPU %.0f ms%s\n", r.label.c_str(),
                        s.windowMs, s.listMs, s.cpuMs, s.ok ? "" : " (failed)");
        }
    }
    std::printf("\nmachine: %ld cores; load average before %s, after %s\n",
                sysconf(_SC_NPROCESSORS_ONLN), loadBefore.c_str(), loadAfter.c_str());
    if (keep)
        std::printf("the reports are kept in %s\n", dir.c_str());
    else
        fs::remove_all(dir);
    return 0;
}
