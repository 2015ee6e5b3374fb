// Writes the index page of one large folder with every option of the page
// on (sizes, dates, times, summary, 4 columns filled column-wise) and shows
// that writing it costs less than scanning the folder, and that its peak
// memory stays below three times the page plus the entry list.
//
//   vellora_page_bench [FOLDER [FILES]]
//
// Without FOLDER a folder of FILES (default 100000) files is made once under
// the temporary folder and reused. Each measurement runs in a fresh child
// process so that its peak memory is its own. Times are CPU seconds (user
// plus system, best of 5 runs): wall time on a shared machine says more
// about the neighbours. write_page also lists the subfolders, scans the
// files and sorts them; those parts are timed on their own and subtracted
// to give the cost of writing the page.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/build_settings.h"
#include "platform/env.h"
#include "html/page_writer.h"

namespace {

using vellora::CBuildSettings;
using vellora::CPageWriter;
using vellora::Env;

const char* const kWords[] = {"report", "photo",   "invoice", "Draft", "backup",
                              "notes",  "summary", "budget",  "项目",  "笔记"};
const char* const kExtensions[] = {".txt", ".jpg", ".pdf", ".doc", ".html", ".mp3", ""};

int64_t CurrentRss() {
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (f == nullptr) return 0;
  long pages = 0, resident = 0;
  const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return got == 2 ? static_cast<int64_t>(resident) * sysconf(_SC_PAGESIZE) : 0;
}

int64_t PeakRss() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<int64_t>(usage.ru_maxrss) * 1024;
}

// Names with blanks, '&', parentheses and Chinese words; sparse sizes up to
// 6 GiB; times spread over twenty years.
bool MakeFolder(const std::string& folder, int files) {
  const std::string done = folder + "/.complete";
  if (access(done.c_str(), F_OK) == 0) return true;
  std::string command = "mkdir -p '" + folder + "'";
  if (std::system(command.c_str()) != 0) return false;
  uint64_t seed = 12345;
  for (int i = 0; i < files; ++i) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    const uint64_t r = seed >> 16;
    std::string name = kWords[r % 10];
    name += (r >> 8) % 7 == 0 ? " & " : " ";
    name += std::to_string(i);
    if ((r >> 12) % 11 == 0) name += " (copy)";
    name += kExtensions[(r >> 16) % 7];
    const std::string path = folder + "/" + name;
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) return false;
    const off_t size = (r >> 20) % 3 == 0 ? 0 : static_cast<off_t>((r >> 24) % (6ULL << 30));
    const bool sized = ftruncate(fd, size) == 0;
    close(fd);
    if (!sized) return false;
    timespec times[2];
    times[0].tv_sec = 1104537600 + static_cast<time_t>((r >> 4) % 631152000);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  const int fd = open(done.c_str(), O_CREAT | O_WRONLY, 0644);
  if (fd >= 0) close(fd);
  return true;
}

struct Result {
  double seconds = 0;
  int64_t peak_growth = 0;  // bytes of resident memory above the start
  int64_t entries = 0;
  int64_t page_bytes = 0;
};

enum class Job { kScan, kSubfolders, kSort, kPage };

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One measurement in this process.
Result Run(Job job, const std::string& folder) {
  Env* env = Env::Default();
  vellora::CDefaultWords words;
  words.folder_word = "<b>Folder</b>";
  words.filename_word = "<b>File name</b>";
  words.size_word = "<b>Size</b>";
  words.date_word = "<b>Date</b>";
  words.parent_word = "{parent folder}";
  words.summary_files_word = "Total files:";
  words.summary_folders_word = "Total folders:";
  words.summary_size_word = "Size of all files:";
  CBuildSettings s;
  s.default_words = &words;
  s.path = folder;
  s.title = "Files";
  s.output_filename = folder + "/../page_bench_index.html";
  s.skip_files = "page_bench_index.html";
  s.file_columns = 4;
  s.folder_columns = 4;
  s.column_wise_sort = 1;
  s.include_filesize = 1;
  s.include_date = 1;
  s.include_time = 1;
  s.include_summary = 1;
  s.sizes_by_k = 0;
  s.replace_iso_chars = 1;
  s.supress_parent_link = 0;
  CPageWriter builder(&s, env);
  Result result;
  vellora::CFileList list;
  if (job == Job::kSort) {
    env->SetCurrentFolder(folder);
    builder.Scan(list, s.file_spec);
  }
  const int64_t rss_before = CurrentRss();
  const double t0 = CpuSeconds();
  switch (job) {
    case Job::kScan:
      env->SetCurrentFolder(folder);
      builder.Scan(list, s.file_spec);
      result.entries = static_cast<int64_t>(list.size());
      break;
    case Job::kSubfolders:
      env->ListSubfolders(folder, [](const vellora::FolderItem&) {});
      break;
    case Job::kSort:  // as the page writer orders the list
      list.Sort(s.sort_key, s.sort_order, false, false, env);
      builder.ArrangeInColumns(list, s.file_columns);
      break;
    case Job::kPage:
      builder.write_page(folder);
      break;
  }
  result.seconds = CpuSeconds() - t0;
  result.peak_growth = PeakRss() - rss_before;
  std::string page;
  if (job == Job::kPage && env->ReadWholeFile(builder.main_file_path, SIZE_MAX, &page)) {
    result.page_bytes = static_cast<int64_t>(page.size());
  }
  return result;
}

// The measurement in a child process, so that its peak memory is its own.
Result RunInChild(Job job, const std::string& folder) {
  int fds[2];
  Result result;
  if (pipe(fds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const Result r = Run(job, folder);
    const ssize_t n = write(fds[1], &r, sizeof r);
    _exit(n == static_cast<ssize_t>(sizeof r) ? 0 : 1);
  }
  close(fds[1]);
  if (read(fds[0], &result, sizeof result) != static_cast<ssize_t>(sizeof result))
    result = Result();
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return result;
}

Result Best(Job job, const std::string& folder, int runs) {
  Result best = RunInChild(job, folder);
  for (int i = 1; i < runs; ++i) {
    const Result r = RunInChild(job, folder);
    best.seconds = std::min(best.seconds, r.seconds);
    best.peak_growth = std::max(best.peak_growth, r.peak_growth);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  const int files = argc > 2 ? std::atoi(argv[2]) : 100000;
  std::string folder;
  if (argc > 1) {
    folder = argv[1];
  } else {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp != nullptr ? tmp : "/tmp") + "/vellora-page-bench-" +
             std::to_string(files) + "/files";
    std::printf("folder         %s\n", folder.c_str());
    if (!MakeFolder(folder, files)) {
      std::fprintf(stderr, "cannot make %s\n", folder.c_str());
      return 1;
    }
  }
  Best(Job::kPage, folder, 1);  // warms the caches
  const Result scan = Best(Job::kScan, folder, 5);
  const Result subfolders = Best(Job::kSubfolders, folder, 5);
  const Result sort = Best(Job::kSort, folder, 5);
  const Result page = Best(Job::kPage, folder, 5);
  const double writing = page.seconds - scan.seconds - subfolders.seconds - sort.seconds;
  const int64_t budget = 3 * page.page_bytes + scan.peak_growth;
  std::printf("files          %lld\n", static_cast<long long>(scan.entries));
  std::printf("page           %.1f MB\n", static_cast<double>(page.page_bytes) / 1e6);
  std::printf("write_page     %.3f s CPU, of which\n", page.seconds);
  std::printf("  file scan    %.3f s\n", scan.seconds);
  std::printf("  subfolders   %.3f s (listing for the folder table)\n", subfolders.seconds);
  std::printf("  sort         %.3f s (sort and column arrangement)\n", sort.seconds);
  std::printf("  writing      %.3f s: %s the scan (%.2f us per file)\n", writing,
              writing < scan.seconds ? "less than" : "NOT less than",
              scan.entries > 0 ? writing * 1e6 / static_cast<double>(scan.entries) : 0.0);
  std::printf("entry list     %.1f MB (peak growth of the scan)\n",
              static_cast<double>(scan.peak_growth) / 1e6);
  std::printf("peak memory    %.1f MB (growth during write_page)\n",
              static_cast<double>(page.peak_growth) / 1e6);
  std::printf("budget         %.1f MB = 3 x page + entry list: %s\n",
              static_cast<double>(budget) / 1e6, page.peak_growth < budget ? "within" : "EXCEEDED");
  return writing < scan.seconds && page.peak_growth < budget ? 0 : 1;
}
