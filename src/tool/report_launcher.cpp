// SPDX-License-Identifier: GPL-3.0-or-later
// kestrum-tool report, as kestrum-tool itself runs it: the report draws the
// chart widget, and loading Qt Widgets, PrintSupport and QCustomPlot would
// slow down every other command. So the report is a program of its own,
// kestrum-report, started here with the same words; its output and exit code
// are passed on unchanged.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "tool/test_report_job.h"
#include "tool/tool_command.h"

extern char** environ;

namespace kestrum::tool {
namespace {

constexpr const char* kReportProgram = "kestrum-report";
// kestrum-report's first word when it is to run "assess" rather than "report".
constexpr const char* kAssessWord = "--assess";

std::string FolderOfThisProgram() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.find_last_of('/'));
}

bool IsRunnableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Beside kestrum-tool (the build folder), then where the install puts it,
// told relative to kestrum-tool so that a moved install still finds it.
std::vector<std::string> ReportProgramPlaces() {
  const std::string folder = FolderOfThisProgram();
  if (folder.empty()) return {};
  return {folder + "/" + kReportProgram,
          folder + "/" + KESTRUM_REPORT_FOLDER_FROM_TOOL + "/" + kReportProgram};
}

struct Pipe {
  int read = -1;
  int write = -1;
  bool Open() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    read = ends[0];
    write = ends[1];
    return true;
  }
  void Close() {
    for (int* end : {&read, &write}) {
      if (*end >= 0) ::close(*end);
      *end = -1;
    }
  }
};

// Copies both pipes to the streams until the program closes them.
void PassOutputOn(Pipe& out, Pipe& err, ToolIo& io) {
  pollfd ends[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  std::ostream* streams[2] = {&io.out, &io.err};
  char buffer[8192];
  int open = 2;
  while (open > 0) {
    if (::poll(ends, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (ends[i].fd < 0 || ends[i].revents == 0) continue;
      const ssize_t count = ::read(ends[i].fd, buffer, sizeof buffer);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) {
        ends[i].fd = -1;
        --open;
        continue;
      }
      streams[i]->write(buffer, count);
    }
  }
  io.out.flush();
  io.err.flush();
}

int RunReportProgram(const std::string& program, const std::vector<std::string>& args, ToolIo& io) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& word : args) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  Pipe out, err;
  if (!out.Open() || !err.Open()) {
    io.err << "kestrum-tool report: cannot start " << program << ": " << std::strerror(errno)
           << "\n";
    out.Close();
    err.Close();
    return kExitFailure;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  pid_t child = 0;
  const int spawned =
      ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out.write);
  out.write = -1;
  ::close(err.write);
  err.write = -1;
  if (spawned != 0) {
    io.err << "kestrum-tool report: cannot start " << program << ": " << std::strerror(spawned)
           << "\n";
    out.Close();
    err.Close();
    return kExitFailure;
  }
  PassOutputOn(out, err, io);
  out.Close();
  err.Close();

  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      io.err << "kestrum-tool report: lost " << program << ": " << std::strerror(errno) << "\n";
      return kExitFailure;
    }
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  io.err << "kestrum-tool report: " << program << " ended by signal " << WTERMSIG(status) << "\n";
  return kExitFailure;
}

}  // namespace

int RunReportCommand(const std::vector<std::string>& args, ToolIo& io) {
  const std::vector<std::string> places = ReportProgramPlaces();
  for (const std::string& place : places) {
    if (IsRunnableFile(place)) return RunReportProgram(place, args, io);
  }
  io.err << "kestrum-tool report: cannot find " << kReportProgram << " (looked for";
  for (const std::string& place : places) io.err << " " << place;
  io.err << ")\n";
  return kExitFailure;
}

// The assessment itself runs in kestrum-report when it is to draw a report,
// so that its lines and the PDF come from one reading of the data.
int RunAssessCommand(const std::vector<std::string>& args, ToolIo& io) {
  if (!AsksForReport(args)) return RunAssess(args, io, nullptr);
  std::vector<std::string> words{kAssessWord};
  words.insert(words.end(), args.begin(), args.end());
  return RunReportCommand(words, io);
}

}  // namespace kestrum::tool
