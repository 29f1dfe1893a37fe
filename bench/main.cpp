// kdbrowse-bench: how fast the parts that a user waits for run. Prints one
// figure a line as "name value", then the ratios that matter, so that runs
// can be compared.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench.h"
#include "db/password_encodings.h"
#include "kpass/writer/kdb_writer.h"

namespace {

constexpr uint32_t transform_rounds = 10'000'000;
constexpr uint32_t unlock_rounds = 2'000'000;
constexpr uint32_t large_groups = 10'000;
constexpr uint32_t large_entries = 100'000;
constexpr uint32_t find_groups = 2'000;
constexpr uint32_t find_entries = 50'000;

void print_figure(const char* name, double value, const char* format) {
    std::printf("%s ", name);
    std::printf(format, value);
    std::printf("\n");
    std::fflush(stdout);
}

void print_rate(const char* name, double value) { print_figure(name, value, "%.0f"); }
void print_seconds(const char* name, double value) { print_figure(name, value, "%.6g"); }
void print_ratio(const char* name, double value) { print_figure(name, value, "%.3f"); }

// A file in a directory of its own, both removed with the object.
struct temporary_file {
    std::string directory, path;

    explicit temporary_file(const std::vector<uint8_t>& bytes) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kdbrowse-bench.XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return;
        directory = pattern;
        path = directory + "/large.kdb";
        if (!kdb_save(path, bytes)) path.clear();
    }
    ~temporary_file() {
        if (!path.empty()) unlink(path.c_str());
        if (!directory.empty()) rmdir(directory.c_str());
    }
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], peak_rss_option) == 0) return report_peak_rss(argv[2]);
    if (argc != 1) {
        std::fprintf(stderr, "usage: kdbrowse-bench\n");
        return 2;
    }

    const transform_figures rates = measure_transform(transform_rounds);
    print_rate("transform_rounds_per_second", rates.transform);
    if (rates.limit) print_rate("limit_rounds_per_second", *rates.limit);
    else std::printf("limit_rounds_per_second n/a\n");

    print_seconds("unlock_seconds_2000000", unlock_seconds(small_kdb(unlock_rounds)));
    // A wrong password costs one key transform for each byte string it is
    // tried as: "пароль" and "パスワード" typed in a UTF-8 terminal.
    auto tries = [](const char* typed) { return static_cast<double>(password_encodings(typed, true).size()); };
    print_figure("tries_wrong_cyrillic", tries("\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c"), "%.0f");
    print_figure("tries_wrong_japanese", tries("\xe3\x83\x91\xe3\x82\xb9\xe3\x83\xaf\xe3\x83\xbc\xe3\x83\x89"), "%.0f");

    const std::vector<uint8_t> large = large_kdb(large_groups, large_entries);
    const open_figures opening = measure_open(large);
    print_seconds("open_seconds_100k", opening.open);
    print_seconds("cipher_seconds_100k", opening.cipher);

    const find_figures finding = measure_find(large_kdb(find_groups, find_entries));
    print_seconds("find_seconds_50k", finding.find);
    print_seconds("scan_seconds_50k", finding.scan);
    const find_figures hostile = measure_hostile_find();
    print_seconds("find_seconds_hostile_notes", hostile.find);
    print_seconds("scan_seconds_hostile_notes", hostile.scan);

    const double flat_100 = redraw_seconds(tree_shape::flat, 100);
    const double flat_10000 = redraw_seconds(tree_shape::flat, 10'000);
    const double deep_10000 = redraw_seconds(tree_shape::deep, 10'000);
    print_seconds("redraw_seconds_flat_100", flat_100);
    print_seconds("redraw_seconds_flat_10000", flat_10000);
    print_seconds("redraw_seconds_deep_10000", deep_10000);

    temporary_file file(large);
    const std::optional<rss_figures> rss = file.path.empty() ? std::nullopt : peak_rss_of_opening(file.path);
    const double rss_growth = rss ? static_cast<double>(rss->peak - rss->before_open) / large.size() : 0;
    if (rss) {
        print_figure("peak_rss_bytes_100k", static_cast<double>(rss->peak), "%.0f");
        print_figure("file_bytes_100k", static_cast<double>(large.size()), "%.0f");
    } else {
        std::printf("peak_rss_bytes_100k n/a\n");
    }

    if (rates.limit) print_ratio("ratio_transform_over_limit", rates.transform / *rates.limit);
    print_ratio("ratio_open_over_cipher", opening.open / opening.cipher);
    print_ratio("ratio_find_over_scan_50k", finding.find / finding.scan);
    print_ratio("ratio_find_over_scan_hostile_notes", hostile.find / hostile.scan);
    print_ratio("ratio_redraw_flat_10000_over_flat_100", flat_10000 / flat_100);
    print_ratio("ratio_redraw_deep_10000_over_flat_100", deep_10000 / flat_100);
    if (rss) print_ratio("ratio_rss_growth_over_file_100k", rss_growth);
    return 0;
}
