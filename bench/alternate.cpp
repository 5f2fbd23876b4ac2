// Times commands as scripts/bench.sh compares them: each run once to warm the caches,
// then all of them in turn, RUNS rounds, so that every command meets the same machine.
// Prints one line per command: the medians of its wall time and of its CPU time (user
// and system, from wait4) in microseconds, and its largest peak resident size in KiB.
//   alternate RUNS CMD_A... [-- CMD_B...]...
// Standard output of the commands goes to /dev/null; a command that fails stops it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
  double wallMicros = 0;
  double cpuMicros = 0;
  long maxRssKib = 0;
};

double micros(const timeval& t) { return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_usec); }

Run runOnce(std::vector<char*>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  timespec start{};
  timespec end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "alternate: cannot start %s\n", argv[0]);
    std::exit(2);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  clock_gettime(CLOCK_MONOTONIC, &end);
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "alternate: %s failed\n", argv[0]);
    std::exit(2);
  }
  Run run;
  run.wallMicros = static_cast<double>(end.tv_sec - start.tv_sec) * 1e6 + static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e3;
  run.cpuMicros = micros(usage.ru_utime) + micros(usage.ru_stime);
  run.maxRssKib = usage.ru_maxrss;
  return run;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
  if (runs <= 0) {
    std::fputs("usage: alternate RUNS CMD_A... [-- CMD_B...]...\n", stderr);
    return 2;
  }
  std::vector<std::vector<char*>> commands(1);
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      commands.emplace_back();
    } else {
      commands.back().push_back(argv[i]);
    }
  }
  for (auto& command : commands) {
    if (command.empty()) {
      std::fputs("alternate: an empty command\n", stderr);
      return 2;
    }
    command.push_back(nullptr);
    runOnce(command);  // warm the page cache and the loader's
  }
  std::vector<std::vector<Run>> times(commands.size());
  for (int round = 0; round < runs; ++round) {
    for (std::size_t c = 0; c < commands.size(); ++c) times[c].push_back(runOnce(commands[c]));
  }
  for (const auto& series : times) {
    std::vector<double> wall;
    std::vector<double> cpu;
    long rss = 0;
    for (const Run& r : series) {
      wall.push_back(r.wallMicros);
      cpu.push_back(r.cpuMicros);
      rss = std::max(rss, r.maxRssKib);
    }
    std::printf("%.0f %.0f %ld\n", median(wall), median(cpu), rss);
  }
  return 0;
}
