// Generates the demo LAN (a native Linux program): a folder tree per share, full of ordinary
// documents, pictures, music, archives and source files, and the topology file that serves them.
// The output is the same on every run: names, sizes and dates come from a fixed-seed generator,
// never from the clock or the order of a directory listing.
//
//   demolan OUTDIR     writes OUTDIR/shares/<SERVER>/<Share>/..., OUTDIR/topology.txt and
//                      OUTDIR/summary.txt (counts per share)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- determinism: one small generator, seeded per share

struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t next() { // splitmix64
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi) { return lo + static_cast<int>(next() % uint64_t(hi - lo + 1)); }
    double unit() { return double(next() >> 11) / double(1ull << 53); }
    template <class T> const T& pick(const std::vector<T>& v) { return v[next() % v.size()]; }
    // Log-uniform between lo and hi: as many small files as large ones per decade.
    uint64_t logSize(double lo, double hi) {
        return static_cast<uint64_t>(
            std::exp(std::log(lo) + unit() * (std::log(hi) - std::log(lo))));
    }
};

uint64_t hashOf(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// ---- what the shares hold

struct Kind {
    std::vector<std::string> extensions;
    double minSize, maxSize; // bytes
    bool text;               // small ones get real text
};

const Kind kDocuments{
    {"docx", "doc", "xlsx", "xls", "pdf", "pptx", "odt", "rtf", "txt", "csv"}, 2e3, 4e6, false};
const Kind kPictures{{"jpg", "jpg", "jpg", "png", "gif", "bmp", "tif", "raw"}, 2e4, 9e6, false};
const Kind kMusic{{"mp3", "mp3", "flac", "ogg", "wav", "m4a"}, 5e5, 1.2e7, false};
const Kind kVideo{{"mp4", "avi", "mkv", "mov"}, 2e6, 6e7, false};
const Kind kArchives{{"zip", "7z", "rar", "tar.gz", "iso", "cab"}, 1e3, 5e7, false};
const Kind kSource{
    {"cpp", "h", "c", "py", "js", "java", "cs", "md", "txt", "json", "xml", "mk"}, 40, 8e4, true};
const Kind kInstallers{{"exe", "msi", "zip", "exe"}, 1e5, 4e7, false};
const Kind kFonts{{"ttf", "otf", "fon"}, 1e4, 2e6, false};
const Kind kText{{"txt", "log", "ini", "csv", "md"}, 1, 3e4, true};

const std::vector<std::string> kFolderWords = {
    "Reports", "Budget",    "Minutes",  "Contracts", "Invoices",  "Planning",  "Drafts", "Final",
    "Old",     "Misc",      "Team",     "Clients",   "Suppliers", "Marketing", "Sales",  "Training",
    "Legal",   "Templates", "Scans",    "Personal",  "Projects",  "Archive",   "Review", "Q1",
    "Q2",      "Q3",        "Q4",       "North",     "South",     "Export",    "Import", "Backup",
    "Shared",  "Samples",   "Incoming", "Outgoing"};
const std::vector<std::string> kFileWords = {
    "report",   "budget",     "notes",     "summary",   "agenda",    "offer",
    "letter",   "plan",       "overview",  "memo",      "checklist", "schedule",
    "proposal", "quote",      "invoice",   "statement", "draft",     "minutes",
    "contract", "price list", "inventory", "timesheet", "handbook",  "roadmap"};
const std::vector<std::string> kPhotoFolders = {
    "Holiday",       "Birthday", "Office party", "Garden", "Trip",   "Wedding",    "Conference",
    "Product shots", "Team day", "Christmas",    "Summer", "Winter", "Site visit", "Portraits"};
const std::vector<std::string> kArtists = {
    "The Quiet Hours", "Amber Fields",       "Northern Lights", "Paper Boats",  "Velvet Static",
    "Marlow & Finch",  "Copper Sky",         "The Lanterns",    "Blue Harbour", "Iron Orchard",
    "Seven Rivers",    "Glass Animals Club", "Hollow Pines",    "Lucid Tides"};
const std::vector<std::string> kSongWords = {
    "Morning", "Rain",  "Home", "Drive",  "Letters", "Echo",  "Silver", "Harbour", "Night",
    "Window",  "Paper", "Fire", "Summer", "Gold",    "River", "Stone",  "Static",  "Light"};
const std::vector<std::string> kSourceFolders = {
    "src", "include", "lib",    "tests",   "docs",   "tools",  "scripts",     "core",     "net",
    "ui",  "util",    "parser", "storage", "render", "config", "third_party", "examples", "bench"};
const std::vector<std::string> kSourceWords = {
    "main",      "parser", "socket",      "buffer",  "window",   "config", "logger",
    "thread",    "queue",  "string_util", "file_io", "matrix",   "image",  "codec",
    "cache",     "server", "client",      "options", "settings", "reader", "writer",
    "test_main", "hash",   "crc32",       "README"};

// A share's theme: which kinds of files, which folder names, how big.
enum class Theme { Office, Photos, Music, Video, Archive, Source, Installers, Fonts, Mixed };

struct ShareLayout {
    std::string name, comment;
    Theme theme;
    int items; // files and folders to make
};
struct ServerSpec {
    std::string name, comment;
    std::vector<ShareLayout> shares;
    std::vector<std::string> printShares;
};
struct DomainSpec {
    std::string name, comment, options;
    std::vector<ServerSpec> servers;
};

const std::vector<DomainSpec> kLan = {
    {"CORVASK",
     "Head office domain",
     "",
     {{"FILESRV1",
       "Main file server",
       {{"Public", "Files for everyone", Theme::Mixed, 1700},
        {"Projects", "Project documents", Theme::Office, 1800},
        {"Users", "Home folders", Theme::Mixed, 1300}},
       {}},
      {"FILESRV2",
       "Second file server",
       {{"Archive", "Closed years", Theme::Archive, 1000},
        {"Scans", "Scanned paper", Theme::Photos, 900},
        {"Templates", "Letter and report templates", Theme::Office, 400}},
       {}},
      {"PRINTSRV",
       "Print server",
       {{"Drivers", "Printer drivers", Theme::Installers, 300}},
       {"LaserJet", "ColorPrinter"}}}},
    {"WORKGROUP",
     "Small office workgroup",
     "batch=2",
     {{"MEDIA",
       "Media library",
       {{"Music", "Music library", Theme::Music, 1900},
        {"Photos", "Photo archive", Theme::Photos, 2200},
        {"Videos", "Recordings", Theme::Video, 500}},
       {}},
      {"BACKUP",
       "Backup store",
       {{"Backups", "Nightly backups", Theme::Archive, 800},
        {"Installers", "Setup programs", Theme::Installers, 500},
        {"Software", "Licensed software", Theme::Installers, 400}},
       {}},
      {"RECEPTION",
       "Front desk PC",
       {{"Shared", "Front desk exchange", Theme::Mixed, 600},
        {"Public Documents", "Forms and leaflets", Theme::Office, 500}},
       {}}}},
    {"ENGINEERING",
     "Engineering domain",
     "",
     {{"BUILD",
       "Build server",
       {{"Releases", "Published builds", Theme::Installers, 700},
        {"Nightly", "Nightly builds and logs", Theme::Archive, 800}},
       {}},
      {"DEVBOX",
       "Developer workstation",
       {{"Source", "Source trees", Theme::Source, 3800},
        {"Tools", "Build tools and scripts", Theme::Source, 900}},
       {}},
      {"DESIGN",
       "Design workstation",
       {{"Artwork", "Graphics and layouts", Theme::Photos, 1200},
        {"Fonts", "Licensed fonts", Theme::Fonts, 400}},
       {}}}},
};

// ---- file system writing (every failure ends the program with its reason)

[[noreturn]] void fail(const std::string& what) {
    fprintf(stderr, "demolan: %s: %s\n", what.c_str(), strerror(errno));
    exit(1);
}

void makeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) fail("mkdir " + path);
}

void setTime(const std::string& path, int64_t t) {
    struct timespec times[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) fail("utimensat " + path);
}

// Small text files get real lines; everything else is sparse (a size without blocks), so
// the whole LAN stays small on disk.
void makeFile(const std::string& path, uint64_t size, bool text, int64_t mtime) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) fail("open " + path);
    if (text && size <= 4096) {
        std::string body;
        for (int line = 1; body.size() < size; ++line)
            body += "Line " + std::to_string(line) + " of the demo file.\n";
        body.resize(size);
        if (write(fd, body.data(), body.size()) != static_cast<ssize_t>(body.size()))
            fail("write " + path);
    } else if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        fail("ftruncate " + path);
    }
    struct timespec times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
    if (futimens(fd, times) != 0) fail("futimens " + path);
    close(fd);
}

// ---- the generator

constexpr int64_t kFirstDate = 1230768000; // 2009-01-01 UTC
constexpr int64_t kLastDate = 1782777600;  // 2026-06-30 UTC

struct Counts {
    int files = 0, folders = 0;
    uint64_t bytes = 0;
    int64_t newest = 0; // the newest date in the share
};

class ShareMaker {
public:
    ShareMaker(const ShareLayout& layout, const std::string& seed)
        : layout_(layout), rnd_(hashOf(seed)), remaining_(layout.items) {}

    Counts make(const std::string& root) {
        makeFolder(root);
        std::set<std::string> used;
        int64_t newest = files(root, rnd_.range(1, 4), 0, used);
        while (remaining_ > 0)
            newest = std::max(newest, folder(root, 1, used));
        setTime(root, newest);
        counts_.newest = newest;
        return counts_;
    }

private:
    const Kind& kindOf() {
        switch (layout_.theme) {
        case Theme::Office: return rnd_.range(0, 9) == 0 ? kText : kDocuments;
        case Theme::Photos: return kPictures;
        case Theme::Music: return rnd_.range(0, 19) == 0 ? kPictures : kMusic;
        case Theme::Video: return rnd_.range(0, 4) == 0 ? kPictures : kVideo;
        case Theme::Archive: return rnd_.range(0, 5) == 0 ? kText : kArchives;
        case Theme::Source: return rnd_.range(0, 14) == 0 ? kArchives : kSource;
        case Theme::Installers: return rnd_.range(0, 5) == 0 ? kText : kInstallers;
        case Theme::Fonts: return rnd_.range(0, 9) == 0 ? kText : kFonts;
        case Theme::Mixed: break;
        }
        static const std::vector<const Kind*> all = {&kDocuments, &kDocuments, &kPictures, &kMusic,
                                                     &kArchives,  &kSource,    &kText,     &kVideo};
        return *rnd_.pick(all);
    }

    std::string folderName(int depth) {
        switch (layout_.theme) {
        case Theme::Music:
            return depth == 1 ? rnd_.pick(kArtists)
                              : std::to_string(rnd_.range(1995, 2025)) + " - " +
                                    rnd_.pick(kSongWords) + " " + rnd_.pick(kSongWords);
        case Theme::Photos:
        case Theme::Video:
            return depth == 1 ? std::to_string(rnd_.range(2009, 2026))
                              : std::to_string(rnd_.range(2009, 2026)) + "-" +
                                    two(rnd_.range(1, 12)) + " " + rnd_.pick(kPhotoFolders);
        case Theme::Source:
        case Theme::Installers:
            return depth == 1 && rnd_.range(0, 2) == 0 ? "v" + std::to_string(rnd_.range(1, 9)) +
                                                             "." + std::to_string(rnd_.range(0, 20))
                                                       : rnd_.pick(kSourceFolders);
        default:
            return rnd_.range(0, 4) == 0 ? std::to_string(rnd_.range(2009, 2026))
                                         : rnd_.pick(kFolderWords);
        }
    }

    std::string fileStem(const Kind& kind) {
        if (&kind == &kPictures)
            return (rnd_.range(0, 1) ? "IMG_" : "DSC") + four(rnd_.range(1, 9999));
        if (&kind == &kMusic)
            return two(rnd_.range(1, 18)) + " " + rnd_.pick(kSongWords) + " " +
                   rnd_.pick(kSongWords);
        if (&kind == &kSource) return rnd_.pick(kSourceWords);
        if (&kind == &kVideo)
            return "Recording " + std::to_string(rnd_.range(2009, 2026)) + "-" +
                   two(rnd_.range(1, 12));
        if (&kind == &kInstallers)
            return "setup-" + rnd_.pick(kSourceWords) + "-" + std::to_string(rnd_.range(1, 9));
        std::string w = rnd_.pick(kFileWords);
        w[0] = static_cast<char>(toupper(w[0]));
        return rnd_.range(0, 2) ? w + " " + std::to_string(rnd_.range(2009, 2026)) : w;
    }

    // A name not yet used in this folder (the share is searched without regard to case).
    static std::string unique(std::set<std::string>& used, const std::string& stem,
                              const std::string& ext) {
        for (int n = 1;; ++n) {
            std::string name = n == 1 ? stem : stem + " (" + std::to_string(n) + ")";
            if (!ext.empty()) name += "." + ext;
            std::string key = name;
            for (char& c : key)
                c = static_cast<char>(tolower(c));
            if (used.insert(key).second) return name;
        }
    }

    int64_t date() { // leaning towards recent years, as real shares do
        return kFirstDate +
               static_cast<int64_t>(std::sqrt(rnd_.unit()) * double(kLastDate - kFirstDate));
    }

    int64_t files(const std::string& folder, int n, int64_t newest, std::set<std::string>& used) {
        for (int i = 0; i < n && remaining_ > 0; ++i, --remaining_) {
            const Kind& kind = kindOf();
            std::string name = unique(used, fileStem(kind), rnd_.pick(kind.extensions));
            uint64_t size = rnd_.range(0, 39) == 0 ? 0 : rnd_.logSize(kind.minSize, kind.maxSize);
            int64_t t = date();
            makeFile(folder + "/" + name, size, kind.text, t);
            newest = std::max(newest, t);
            ++counts_.files;
            counts_.bytes += size;
        }
        return newest;
    }

    // One folder below `parent` with its files and subfolders; returns its newest date.
    int64_t folder(const std::string& parent, int depth, std::set<std::string>& siblings) {
        std::string path = parent + "/" + unique(siblings, folderName(depth), "");
        makeFolder(path);
        --remaining_;
        ++counts_.folders;
        std::set<std::string> used; // files and folders share one name space
        int64_t newest = files(path, rnd_.range(2, 18), date(), used);
        static const int kMaxSub[] = {0, 5, 4, 3, 2, 2, 1, 1, 0};
        int subs = rnd_.range(depth == 1 ? 1 : 0, kMaxSub[depth]);
        for (int i = 0; i < subs && remaining_ > 0; ++i)
            newest = std::max(newest, folder(path, depth + 1, used));
        setTime(path, newest);
        return newest;
    }

    static std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
    static std::string four(int n) {
        std::string s = std::to_string(n);
        return std::string(4 - std::min<size_t>(4, s.size()), '0') + s;
    }

    const ShareLayout& layout_;
    Random rnd_;
    int remaining_;
    Counts counts_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: demolan OUTDIR\n");
        return 2;
    }
    std::string out = argv[1];
    makeFolder(out);
    makeFolder(out + "/shares");
    std::string topology =
        "# The demo LAN, made by lab/demo/DemoLan.cpp (lab/demo-lan.sh); paths are relative to\n"
        "# this file's folder.\nprovider\n";
    std::string summary;
    Counts total;
    int shares = 0, servers = 0;
    int64_t lanNewest = kFirstDate;
    for (const DomainSpec& d : kLan) {
        topology += "domain | " + d.name + " | comment=" + d.comment +
                    (d.options.empty() ? "" : " | " + d.options) + "\n";
        for (const ServerSpec& s : d.servers) {
            ++servers;
            topology += "server | " + s.name + " | comment=" + s.comment + "\n";
            makeFolder(out + "/shares/" + s.name);
            int64_t serverNewest = kFirstDate;
            for (const ShareLayout& sh : s.shares) {
                ++shares;
                std::string rel = "shares/" + s.name + "/" + sh.name;
                Counts c = ShareMaker(sh, s.name + "\\" + sh.name).make(out + "/" + rel);
                topology +=
                    "share | " + sh.name + " | comment=" + sh.comment + " | path=" + rel + "\n";
                summary += "\\\\" + s.name + "\\" + sh.name + "\t" + std::to_string(c.files) +
                           " files\t" + std::to_string(c.folders) + " folders\t" +
                           std::to_string(c.bytes) + " bytes\n";
                total.files += c.files;
                total.folders += c.folders;
                total.bytes += c.bytes;
                serverNewest = std::max(serverNewest, c.newest);
            }
            setTime(out + "/shares/" + s.name, serverNewest);
            lanNewest = std::max(lanNewest, serverNewest);
            for (const std::string& p : s.printShares)
                topology += "share | " + p + " | type=print | comment=Printer\n";
        }
    }
    setTime(out + "/shares", lanNewest);
    summary += "total\t" + std::to_string(total.files) + " files\t" +
               std::to_string(total.folders) + " folders\t" + std::to_string(total.bytes) +
               " bytes\t" + std::to_string(shares) + " shares\t" + std::to_string(servers) +
               " servers\t" + std::to_string(kLan.size()) + " domains\n";
    for (const auto& [name, text] :
         {std::pair{"/topology.txt", &topology}, std::pair{"/summary.txt", &summary}}) {
        FILE* f = fopen((out + name).c_str(), "w");
        if (!f || fwrite(text->data(), 1, text->size(), f) != text->size() || fclose(f) != 0)
            fail("write " + out + name);
    }
    fputs(summary.c_str() + summary.rfind("total"), stdout);
    return 0;
}
