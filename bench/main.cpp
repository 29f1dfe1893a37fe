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
#include "kpass/crypto.h"
#include "kpass/writer/kdb_writer.h"

namespace {

constexpr uint32_t transform_rounds = 10'000'000;
constexpr uint32_t unlock_rounds = 2'000'000;
constexpr uint32_t tries_rounds = 1'000'000;
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

void print_text(const char* name, const std::string& value) {
    std::printf("%s %s\n", name, value.c_str());
    std::fflush(stdout);
}

// The figures of many tries at once under the kernel chosen now, each
// named with suffix: the tries through try_password, the processor's limit
// in registers no wider than the kernel's, and their ratios.
struct tries_report {
    tries_figures tries;
    std::optional<limit_figures> limit7, limit14;
};

tries_report report_tries(const char* suffix) {
    const kpass_aes_kernel kernel = kpass_aes_kernel_chosen();
    const int widest = kernel == kpass_aes_kernel::vaes512 ? 4 : kernel == kpass_aes_kernel::vaes256 ? 2 : 1;
    auto named = [&](const char* name) { return std::string(name) + suffix; };
    print_text(named("kernel").c_str(), kpass_aes_kernel_name(kernel));
    tries_report report{measure_tries(tries_rounds), measure_limit(14, widest, tries_rounds),
                        measure_limit(28, widest, tries_rounds)};
    print_seconds(named("one_try_seconds").c_str(), report.tries.one_try);
    print_seconds(named("wrong_tries7_seconds").c_str(), report.tries.wrong_tries7);
    print_seconds(named("wrong_tries14_seconds").c_str(), report.tries.wrong_tries14);
    print_seconds(named("last_try_seconds").c_str(), report.tries.last_try);
    for (auto [limit, name] : {std::pair{&report.limit7, "limit_tries7"}, {&report.limit14, "limit_tries14"}}) {
        const std::string seconds = std::string(name) + "_seconds" + suffix;
        if (!*limit) {
            print_text(seconds.c_str(), "n/a");
            continue;
        }
        print_seconds(seconds.c_str(), (*limit)->seconds);
        print_text((std::string(name) + "_split" + suffix).c_str(), (*limit)->split);
    }
    return report;
}

void print_tries_ratios(const tries_report& report, const char* suffix) {
    auto named = [&](const char* name) { return std::string(name) + suffix; };
    const tries_figures& t = report.tries;
    print_ratio(named("ratio_wrong_tries7_over_one_try").c_str(), t.wrong_tries7 / t.one_try);
    print_ratio(named("ratio_wrong_tries14_over_one_try").c_str(), t.wrong_tries14 / t.one_try);
    print_ratio(named("ratio_last_try_over_one_try").c_str(), t.last_try / t.one_try);
    if (!report.limit7 || !report.limit14) return;
    print_ratio(named("ratio_limit_tries7_over_one_try").c_str(), report.limit7->seconds / t.one_try);
    print_ratio(named("ratio_limit_tries14_over_one_try").c_str(), report.limit14->seconds / t.one_try);
    print_ratio(named("ratio_wrong_tries7_over_limit").c_str(), t.wrong_tries7 / report.limit7->seconds);
    print_ratio(named("ratio_wrong_tries14_over_limit").c_str(), t.wrong_tries14 / report.limit14->seconds);
    print_ratio(named("ratio_last_try_over_limit_tries7").c_str(), t.last_try / report.limit7->seconds);
}

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
    // Every try of a typed password at once, under the kernel chosen and
    // then under AES-NI alone.
    const tries_report chosen = report_tries("");
    setenv("KDBROWSE_AES", "aesni", 1);
    const bool aesni_runs = kpass_aes_kernel_chosen() == kpass_aes_kernel::aesni;
    const std::optional<tries_report> aesni = aesni_runs ? std::optional(report_tries("_aesni")) : std::nullopt;
    unsetenv("KDBROWSE_AES");
    // A wrong password costs one key transform for each byte string it is
    // tried as: "пароль" and "パスワード" typed in a UTF-8 terminal.
    auto tries = [](const char* typed) { return static_cast<double>(password_encodings(typed, true).size()); };
    print_figure("tries_wrong_cyrillic", tries("\xd0\xbf\xd0\xb0\xd1\x80\xd0\xbe\xd0\xbb\xd1\x8c"), "%.0f");
    print_figure("tries_wrong_japanese", tries("\xe3\x83\x91\xe3\x82\xb9\xe3\x83\xaf\xe3\x83\xbc\xe3\x83\x89"), "%.0f");

    const std::vector<uint8_t> large = large_kdb(large_groups, large_entries);
    const open_figures opening = measure_open(large);
    print_seconds("open_seconds_100k", opening.open);
    print_seconds("cipher_seconds_100k", opening.cipher);
    // A wrong password costs its transform and next to nothing else, however
    // large the file: the same file at one_try_seconds' rounds.
    const double wrong_100k = wrong_password_seconds(large_kdb(large_groups, large_entries, tries_rounds));
    print_seconds("wrong_password_seconds_100k", wrong_100k);

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
    // Taken here (GCC 12 warns of the optional read further down).
    const bool rss_known = rss.has_value();
    const double rss_growth = rss_known ? static_cast<double>(rss->peak - rss->before_open) / large.size() : 0;
    if (rss) {
        print_figure("peak_rss_bytes_100k", static_cast<double>(rss->peak), "%.0f");
        print_figure("file_bytes_100k", static_cast<double>(large.size()), "%.0f");
    } else {
        std::printf("peak_rss_bytes_100k n/a\n");
    }

    if (rates.limit) print_ratio("ratio_transform_over_limit", rates.transform / *rates.limit);
    print_tries_ratios(chosen, "");
    if (aesni) print_tries_ratios(*aesni, "_aesni");
    print_ratio("ratio_wrong_password_100k_over_one_try", wrong_100k / chosen.tries.one_try);
    print_ratio("ratio_open_over_cipher", opening.open / opening.cipher);
    print_ratio("ratio_find_over_scan_50k", finding.find / finding.scan);
    print_ratio("ratio_find_over_scan_hostile_notes", hostile.find / hostile.scan);
    print_ratio("ratio_redraw_flat_10000_over_flat_100", flat_10000 / flat_100);
    print_ratio("ratio_redraw_deep_10000_over_flat_100", deep_10000 / flat_100);
    if (rss_known) print_ratio("ratio_rss_growth_over_file_100k", rss_growth);
    return 0;
}
