// Scans a folder tree the way a one-page build of a branch does (recursive
// scan, then the name sort grouped by folder) and prints what it cost.
//
//   vellora_scan_bench TREE [FILE_SPEC [SORT_CODE [natural]]]
//
// FILE_SPEC defaults to "*.*", SORT_CODE to "N+"; "natural" sorts names in
// natural order. Output: entries, scan and
// sort time, microseconds per file, peak resident memory and its growth per
// entry.
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "settings/build_settings.h"
#include "platform/env.h"
#include "scan/file_list.h"
#include "scan/folder_scanner.h"

namespace {

// Resident memory now and at its peak, in bytes (0 where unknown).
int64_t CurrentRss() {
#ifndef _WIN32
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  long pages = 0;
  long resident = 0;
  const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return got == 2 ? static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE) : 0;
#else
  return 0;
#endif
}

int64_t PeakRss() {
#ifndef _WIN32
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
#else
  return 0;
#endif
}

// User plus system time of the process so far (0 where unknown).
double CpuSeconds() {
#ifndef _WIN32
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
  return 0;
#endif
}

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TREE [FILE_SPEC [SORT_CODE [natural]]]\n", argv[0]);
    return 2;
  }
  std::setlocale(LC_ALL, "");
  // As in the program's batch run, the list is left for the system to take
  // back at exit.
  vellora::KeepReleasedListsToExit();
  vellora::Env* env = vellora::Env::Default();
  vellora::CBuildSettings settings;
  settings.file_spec = argc > 2 ? argv[2] : "*.*";
  vellora::ParseSortType(argc > 3 ? argv[3] : "N+", &settings.sort_key, &settings.sort_order);
  settings.natural_sort = argc > 4 && std::string(argv[4]) == "natural";
  if (!env->SetCurrentFolder(argv[1])) {
    std::fprintf(stderr, "cannot enter %s\n", argv[1]);
    return 1;
  }
  const int64_t rss_before = CurrentRss();

  vellora::CFolderScanner builder(&settings, env);
  builder.recurse_scan = 1;
  vellora::CFileList list;
  const double c0 = CpuSeconds();
  const auto t0 = std::chrono::steady_clock::now();
  builder.Scan(list, settings.file_spec);
  const auto t1 = std::chrono::steady_clock::now();
  const double c1 = CpuSeconds();
  const int64_t scan_peak = PeakRss();
  if (settings.sort_key == vellora::CBuildSettings::kSortByType) list.FillTypes();
  list.Sort(settings.sort_key, settings.sort_order, settings.sort_folders_first != 0, false, env,
            settings.natural_sort != 0);
  const auto t2 = std::chrono::steady_clock::now();
  const double c2 = CpuSeconds();

  const size_t n = list.size();
  const int64_t peak = PeakRss();
  const double scan_s = Seconds(t0, t1);
  const double sort_s = Seconds(t1, t2);
  std::printf("entries        %zu\n", n);
  std::printf("scan           %.3f s (cpu %.3f s)\n", scan_s, c1 - c0);
  std::printf("sort           %.3f s (cpu %.3f s)\n", sort_s, c2 - c1);
  std::printf("total          %.3f s\n", scan_s + sort_s);
  if (n > 0) std::printf("per file       %.2f us\n", (scan_s + sort_s) * 1e6 / static_cast<double>(n));
  if (scan_peak > 0) std::printf("peak RSS scan  %.1f MB\n", static_cast<double>(scan_peak) / 1e6);
  if (peak > 0) {
    std::printf("peak RSS       %.1f MB\n", static_cast<double>(peak) / 1e6);
    if (n > 0) {
      std::printf("bytes/entry    %.0f\n",
                  static_cast<double>(peak - rss_before) / static_cast<double>(n));
    }
  }
  const vellora::CListRelease release(std::move(list));
  return 0;
}
