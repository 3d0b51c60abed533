// Packs corpora built from what a Debian machine holds with the archiver
// (the library's own "a" command, as the archive run uses it), with jlha's
// same method and with gzip -6 (each file a gzip member, one process), and
// prints sizes and CPU times side by side.
//
// Corpora (each a folder of files, built once per run):
//   text        5 MiB of licence texts and package documentation, one file
//   headers     C headers from /usr/include, thousands of files
//   elf         shared libraries from /usr/lib/x86_64-linux-gnu
//   compressed  .gz, .png, .jpg, .xz files from /usr/share
//   sjis        Japanese message catalogues and manual pages, converted to
//               Shift-JIS (CP932) with iconv
//   small       6,000 files of at most 4 KiB from /usr/share/doc and
//               /usr/include (compressed ones left out)
//   mixed       one 32 MiB file of 256 KiB pieces of all of the above
//
// Usage: lha_bench [corpus ...]            (default: all of them)
// Environment:
//   LHA_ROUNDS=n     rounds (default 3); in each, ours, jlha and gzip run in
//                    turn on a corpus; the median of each counts
//   LHA_METHODS=5,6,7  methods compared with jlha's (default 5,6,7)
//   LHA_FAST=n       the fast level shown beside the default (default 1)
//   LHA_LEVEL=n      the level used as "ours" (default: the library's)
//   LHA_ONLY=1       ours only (for tuning), no peers
//   LHA_NO_JLHA=1    gzip as the only peer
//   LHA_KEEP=folder  build the corpora there and reuse them on later runs
//
// Times are CPU seconds (user + system) of the work alone: ours in this
// process, the peers as children (jlha's include the Java start-up). CPU
// time is far less disturbed than wall time when other work shares the
// machine, which is why it is used.

#include "command/ArchiveUpdate.h"
#include "lzh/LzhEncoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace unlha;

namespace {

constexpr uint64_t kMiB = 1 << 20;

struct CCorpus {
    std::string strName;
    std::string strWhat;
    double dSizeTarget = 0.97; // our size / jlha's, at most
    fs::path dir;
    size_t nFiles = 0;
    uint64_t nBytes = 0;
};

unsigned EnvOr(const char* name, unsigned fallback) {
    const char* v = std::getenv(name);
    return v && *v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : fallback;
}

std::string Quote(const fs::path& p) {
    std::string s = "'";
    for (char c : p.string())
        s += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return s + "'";
}

// Regular files under root (not following links) in path order.
std::vector<fs::path> FilesUnder(const fs::path& root,
                                 const std::function<bool(const fs::path&, uint64_t)>& take) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::end(it);
         it.increment(ec)) {
        if (ec)
            break;
        if (it->is_symlink(ec) || !it->is_regular_file(ec))
            continue;
        uint64_t size = it->file_size(ec);
        if (!ec && size > 0 && take(it->path(), size))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Copies files (paths kept relative to root) until limit bytes or count
// files.
void CopyInto(CCorpus& c, const fs::path& root, const std::vector<fs::path>& files, uint64_t limit,
              size_t count = ~size_t{0}) {
    for (const fs::path& f : files) {
        std::error_code ec;
        uint64_t size = fs::file_size(f, ec);
        if (ec || c.nBytes + size > limit || c.nFiles >= count)
            continue;
        fs::path to = c.dir / f.lexically_relative(root);
        fs::create_directories(to.parent_path(), ec);
        if (fs::copy_file(f, to, fs::copy_options::overwrite_existing, ec)) {
            c.nBytes += size;
            ++c.nFiles;
        }
    }
}

bool HasExtension(const fs::path& p, std::initializer_list<const char*> extensions) {
    std::string e = p.extension().string();
    return std::any_of(extensions.begin(), extensions.end(), [&](const char* x) { return e == x; });
}

void BuildText(CCorpus& c) {
    std::vector<fs::path> files;
    for (const char* root : {"/usr/share/common-licenses", "/usr/share/doc"}) {
        auto found = FilesUnder(root, [&](const fs::path& p, uint64_t) {
            std::string name = p.filename().string();
            return (name == "copyright" || p.extension() == ".txt" ||
                    name.rfind("README", 0) == 0 || name == "NEWS" || name == "changelog" ||
                    p.parent_path() == root) &&
                   p.extension() != ".gz";
        });
        files.insert(files.end(), found.begin(), found.end());
    }
    std::string text;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (text.size() >= 5 * kMiB)
            break;
    }
    text.resize(std::min<size_t>(text.size(), 5 * kMiB));
    std::ofstream(c.dir / "corpus.txt", std::ios::binary) << text;
    c.nFiles = 1;
    c.nBytes = text.size();
}

void BuildSjis(CCorpus& c) {
    fs::path ja = c.dir / "ja";
    fs::create_directories(ja);
    auto convert = [&](const std::string& producer, const fs::path& to) {
        std::string command = producer + " 2>/dev/null | iconv -c -f UTF-8 -t CP932 > " + Quote(to);
        if (std::system(command.c_str()) == 0 && fs::file_size(to) > 0) {
            c.nBytes += fs::file_size(to);
            ++c.nFiles;
        } else {
            fs::remove(to);
        }
    };
    for (const auto& mo :
         FilesUnder("/usr/share/locale/ja/LC_MESSAGES",
                    [](const fs::path&p, uint64_t) { return p.extension() == ".mo"; }))
        convert("msgunfmt " + Quote(mo), ja / (mo.stem().string() + ".po"));
    for (const auto& man : FilesUnder("/usr/share/man/ja", [](const fs::path&p, uint64_t) {
             return p.extension() == ".gz";
         }))
        convert("zcat " + Quote(man), ja / man.stem());
}

void BuildMixed(CCorpus& c, const std::vector<CCorpus>& others) {
    std::vector<fs::path> sources;
    for (const CCorpus& o : others)
        if (o.strName != "mixed" && o.strName != "small")
            for (const auto& f : FilesUnder(o.dir, [](const fs::path&, uint64_t) { return true; }))
                sources.push_back(f);
    std::ofstream out(c.dir / "mixed.bin", std::ios::binary);
    const uint64_t limit = EnvOr("LHA_MIXED_MB", 32) * kMiB, piece = 256 << 10;
    std::vector<std::ifstream> open;
    for (size_t round = 0; c.nBytes < limit && !sources.empty(); ++round) {
        bool any = false;
        // One piece from every 7th file in turn, shifted each round.
        for (size_t i = round % 7; i < sources.size() && c.nBytes < limit; i += 7) {
            std::ifstream in(sources[i], std::ios::binary);
            in.seekg(static_cast<std::streamoff>((round / 7) * piece));
            std::string buffer(piece, '\0');
            in.read(buffer.data(), static_cast<std::streamsize>(piece));
            auto got = static_cast<size_t>(in.gcount());
            out.write(buffer.data(), static_cast<std::streamsize>(got));
            c.nBytes += got;
            any = any || got > 0;
        }
        if (!any && round > 14)
            break;
    }
    c.nFiles = 1;
}

std::vector<CCorpus> BuildCorpora(const fs::path& root, const std::vector<std::string>& wanted) {
    std::vector<CCorpus> all = {
        {"text", "licence texts and package documentation, one file", 0.97, {}, 0, 0},
        {"headers", "C headers from /usr/include", 0.97, {}, 0, 0},
        {"elf", "shared libraries from /usr/lib/x86_64-linux-gnu", 0.99, {}, 0, 0},
        {"compressed", ".gz .png .jpg .xz from /usr/share", 1.00, {}, 0, 0},
        {"sjis", "Japanese catalogues and manuals in Shift-JIS", 0.97, {}, 0, 0},
        {"small", "files of at most 4 KiB, /usr/share/doc and /usr/include", 0.97, {}, 0, 0},
        {"mixed", "one file of 256 KiB pieces of the others", 0.99, {}, 0, 0},
    };
    std::vector<CCorpus> built;
    for (CCorpus& c : all) {
        bool want =
            wanted.empty() || std::find(wanted.begin(), wanted.end(), c.strName) != wanted.end();
        if (!want && c.strName != "text") // text feeds mixed; cheap anyway
            continue;
        c.dir = root / c.strName;
        fs::path done = root / (c.strName + ".done");
        if (fs::exists(done)) {
            std::ifstream(done) >> c.nFiles >> c.nBytes;
        } else {
            fs::remove_all(c.dir);
            fs::create_directories(c.dir);
            if (c.strName == "text")
                BuildText(c);
            else if (c.strName == "headers")
                CopyInto(c, "/usr/include",
                         FilesUnder("/usr/include", [](auto&, uint64_t) { return true; }),
                         24 * kMiB);
            else if (c.strName == "elf")
                CopyInto(c, "/usr/lib/x86_64-linux-gnu",
                         FilesUnder("/usr/lib/x86_64-linux-gnu",
                                    [](const fs::path& p, uint64_t size) {
                                        return p.filename().string().find(".so") !=
                                                   std::string::npos &&
                                               size <= 8 * kMiB;
                                    }),
                         24 * kMiB);
            else if (c.strName == "compressed")
                CopyInto(c, "/usr/share",
                         FilesUnder("/usr/share",
                                    [](const fs::path& p, uint64_t) {
                                        return HasExtension(p, {".gz", ".png", ".jpg", ".xz"});
                                    }),
                         12 * kMiB);
            else if (c.strName == "sjis")
                BuildSjis(c);
            else if (c.strName == "small")
                for (const char* r : {"/usr/share/doc", "/usr/include"})
                    CopyInto(c, "/usr",
                             FilesUnder(r,
                                        [](const fs::path& p, uint64_t size) {
                                            return size <= 4096 &&
                                                   !HasExtension(
                                                       p, {".gz", ".png", ".jpg", ".xz", ".bz2"});
                                        }),
                             64 * kMiB, 6000);
            else
                BuildMixed(c, built);
            std::ofstream(done) << c.nFiles << ' ' << c.nBytes;
        }
        // gzip's file list, NUL-separated, relative to the corpus folder.
        std::ofstream list(root / (c.strName + ".list"), std::ios::binary);
        for (const auto& f : FilesUnder(c.dir, [](auto&, uint64_t) { return true; }))
            list << f.lexically_relative(c.dir).string() << '\0';
        built.push_back(c);
    }
    if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), "text") == wanted.end())
        built.erase(built.begin());
    return built;
}

// The one-minute load average: how busy the machine was around the run.
std::string LoadAverage() {
    std::string load;
    std::ifstream("/proc/loadavg") >> load;
    return load.empty() ? "?" : load;
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double ChildCpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

struct CRun {
    uint64_t nBytes = 0; // 0: failed
    double dSeconds = 0;
};

// All rounds of one contender; the median time counts.
struct CSeries {
    uint64_t nBytes = 0;
    std::vector<double> aSeconds;
    void Add(const CRun& r) {
        if (r.nBytes == 0)
            return;
        nBytes = r.nBytes;
        aSeconds.push_back(r.dSeconds);
    }
    bool Ok() const { return !aSeconds.empty(); }
    double Median() const {
        std::vector<double> s = aSeconds;
        std::sort(s.begin(), s.end());
        return s.empty()      ? 0
               : s.size() % 2 ? s[s.size() / 2]
                              : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
};

CRun RunOurs(const CCorpus& c, const fs::path& archive, int method, int level) {
    fs::remove(archive);
    CCommand command;
    command.cCommand = 'a';
    command.strArchive = archive.string();
    command.aSpecs.push_back({c.dir.string() + "/", "*.*"});
    command.bRecurse = command.bKeepPaths = true;
    command.nMethod = method;
    if (level > 0)
        command.nLevel = level;
    CDriveTable drives;
    CReport report;
    double t0 = CpuSeconds();
    int rc = RunArchiveCommand(command, drives, report);
    double t = CpuSeconds() - t0;
    if (rc != 0) {
        std::fprintf(stderr, "ours failed (%x): %.300s\n", static_cast<unsigned>(rc),
                     report.Text().c_str());
        return {};
    }
    return {fs::file_size(archive), t};
}

CRun RunCommand(const std::string& command, const fs::path& output) {
    fs::remove(output);
    double t0 = ChildCpuSeconds();
    int rc = std::system(command.c_str());
    double t = ChildCpuSeconds() - t0;
    if (rc != 0 || !fs::exists(output))
        return {};
    return {fs::file_size(output), t};
}

void PrintRow(const char* who, const CSeries& s, const CCorpus& c, const std::string& versus) {
    if (!s.Ok()) {
        std::printf("  %-18s (not available)\n", who);
        return;
    }
    double t = s.Median();
    std::printf("  %-18s %11llu  %6.2f %%  %7.3f s  %6.1f MB/s  %s\n", who,
                static_cast<unsigned long long>(s.nBytes),
                100.0 * static_cast<double>(s.nBytes) / static_cast<double>(c.nBytes), t,
                static_cast<double>(c.nBytes) / 1e6 / std::max(t, 1e-9), versus.c_str());
}

std::string Versus(const CSeries& ours, const CSeries& jlha, double sizeTarget, const CSeries& gzip,
                   double speedTarget) {
    std::string s;
    char part[96];
    if (ours.Ok() && jlha.Ok()) {
        double r = static_cast<double>(ours.nBytes) / static_cast<double>(jlha.nBytes);
        std::snprintf(part, sizeof part, "size/jlha %.3f (<= %.2f %s)", r, sizeTarget,
                      r <= sizeTarget ? "ok" : "MISSED");
        s += part;
    }
    if (ours.Ok() && gzip.Ok() && speedTarget > 0) {
        double r = gzip.Median() / ours.Median();
        std::snprintf(part, sizeof part, "  speed/gzip %.2f (>= %.1f %s)", r, speedTarget,
                      r >= speedTarget ? "ok" : "MISSED");
        s += part;
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> wanted(argv + 1, argv + argc);
    const char* keep = std::getenv("LHA_KEEP");
    fs::path root = keep && *keep
                        ? fs::path(keep)
                        : fs::temp_directory_path() / ("lha_bench_" + std::to_string(getpid()));
    fs::create_directories(root);
    fs::path work = root / ("work_" + std::to_string(getpid()));
    fs::create_directories(work);
    std::vector<CCorpus> corpora = BuildCorpora(root, wanted);
    const std::string loadBefore = LoadAverage();

    const unsigned rounds = std::max(EnvOr("LHA_ROUNDS", 3), 1u);
    const int fast = static_cast<int>(EnvOr("LHA_FAST", 1));
    const int level = static_cast<int>(EnvOr("LHA_LEVEL", 0));
    const bool only = EnvOr("LHA_ONLY", 0) != 0;
    const bool noJlha = EnvOr("LHA_NO_JLHA", 0) != 0;
    std::vector<int> methods;
    for (const char* m = std::getenv("LHA_METHODS") ? std::getenv("LHA_METHODS") : "5,6,7"; *m; ++m)
        if (*m >= '5' && *m <= '7')
            methods.push_back(*m - '0');

    struct CResults {
        std::map<int, CSeries> ours, jlha;
        CSeries fastOurs, gzip;
    };
    std::vector<CResults> results(corpora.size());
    for (unsigned round = 0; round < rounds; ++round) {
        for (size_t k = 0; k < corpora.size(); ++k) {
            const CCorpus& c = corpora[k];
            CResults& r = results[k];
            std::string dir = Quote(c.dir);
            for (int m : methods) {
                r.ours[m].Add(RunOurs(c, work / "ours.lzh", m, level));
                if (!only && !noJlha)
                    r.jlha[m].Add(RunCommand("cd " + dir + " && jlha ao" + std::to_string(m) +
                                                 "q " + Quote(work / "jlha.lzh") +
                                                 " * >/dev/null 2>&1",
                                             work / "jlha.lzh"));
                if (m == 5 && !only) {
                    r.gzip.Add(RunCommand("cd " + dir + " && xargs -0 -a " +
                                              Quote(root / (c.strName + ".list")) +
                                              " gzip -6 -c > " + Quote(work / "all.gz"),
                                          work / "all.gz"));
                }
                if (m == 5 && fast > 0)
                    r.fastOurs.Add(RunOurs(c, work / "ours.lzh", 5, fast));
            }
        }
    }

    std::printf("lha_bench: %u rounds alternating ours / jlha / gzip per corpus, median CPU "
                "seconds (user + system); load average %s before, %s after, %ld CPUs\n",
                rounds, loadBefore.c_str(), LoadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
    for (size_t k = 0; k < corpora.size(); ++k) {
        const CCorpus& c = corpora[k];
        CResults& r = results[k];
        std::printf("\n%s: %zu files, %.1f MB (%s)\n", c.strName.c_str(), c.nFiles,
                    static_cast<double>(c.nBytes) / 1e6, c.strWhat.c_str());
        for (int m : methods) {
            std::string ours = "ours -lh" + std::to_string(m) + "-",
                        jlha = "jlha -lh" + std::to_string(m) + "-";
            PrintRow(ours.c_str(), r.ours[m], c,
                     Versus(r.ours[m], r.jlha[m], c.dSizeTarget, r.gzip, m == 5 ? 0.8 : 0));
            if (!only)
                PrintRow(jlha.c_str(), r.jlha[m], c, "");
        }
        if (fast > 0) {
            std::string name = "ours -lh5- -l" + std::to_string(fast);
            PrintRow(name.c_str(), r.fastOurs, c, Versus(r.fastOurs, r.jlha[5], 1.0, r.gzip, 1.5));
        }
        if (!only)
            PrintRow("gzip -6", r.gzip, c, "");
    }
    if (!only && !methods.empty() && methods[0] == 5) {
        std::printf(
            "\n| corpus | files | bytes | ours -lh5- bytes | CPU s | jlha -lh5- bytes | CPU s "
            "| gzip -6 bytes | CPU s | ours -l%d bytes | CPU s |\n|---|--:|--:|--:|--:|--:|"
            "--:|--:|--:|--:|--:|\n",
            fast);
        for (size_t k = 0; k < corpora.size(); ++k) {
            CResults& r = results[k];
            std::printf("| %s | %zu | %llu | %llu | %.3f | %llu | %.3f | %llu | %.3f | %llu | "
                        "%.3f |\n",
                        corpora[k].strName.c_str(), corpora[k].nFiles,
                        static_cast<unsigned long long>(corpora[k].nBytes),
                        static_cast<unsigned long long>(r.ours[5].nBytes), r.ours[5].Median(),
                        static_cast<unsigned long long>(r.jlha[5].nBytes), r.jlha[5].Median(),
                        static_cast<unsigned long long>(r.gzip.nBytes), r.gzip.Median(),
                        static_cast<unsigned long long>(r.fastOurs.nBytes), r.fastOurs.Median());
        }
    }
    fs::remove_all(work);
    if (!keep || !*keep)
        fs::remove_all(root);
    return 0;
}
