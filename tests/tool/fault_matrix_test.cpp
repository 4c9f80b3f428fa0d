// SPDX-License-Identifier: GPL-3.0-or-later
// Every way the instrument can fail, reached from the shell with --fault, for
// every model and instrument command: the command ends with a non-zero exit
// and a message within the port's timeout, not one file of the working
// folder (the output file included) changes, and the same command without
// faults then succeeds.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>

#include "emulator/emulated_bus.h"
#include "tool/tool_fixture.h"

namespace kestrum::tool {
namespace {

using testing::ReadWholeFile;

struct Reply {
  std::uint64_t length;  // bytes the instrument sends
  bool checked;          // the command needs it in full and right
};

struct CommandCase {
  const char* command;
  const char* model;
  std::vector<Reply> replies;  // in the order the instrument gives them
  bool writesAfterLastReply;
};

const CommandCase kCases[] = {
    // First query (answer thrown away), identify, memory, parameters (K7: and coefficients).
    {"download", "K5", {{2, false}, {2, true}, {16383, true}, {18, true}}, false},
    {"download", "K6", {{2, false}, {2, true}, {65535, true}, {18, true}}, false},
    {"download", "K7", {{2, false}, {2, true}, {131071, true}, {9, true}, {9, true}}, false},
    {"download", "K8", {{131072, true}, {8, true}}, false},
    // Identify, then the clock registers; the K8 frame gets no answer.
    {"sync-clock", "K5", {{2, true}}, true},
    {"sync-clock", "K6", {{2, true}}, true},
    {"sync-clock", "K7", {{2, true}}, true},
    {"sync-clock", "K8", {}, true},
    // Identify, header writes, acknowledgement; the K8's answer says nothing.
    {"erase", "K5", {{2, true}, {2, true}}, false},
    {"erase", "K6", {{2, true}, {2, true}}, false},
    {"erase", "K7", {{2, true}, {1, true}}, false},
    {"erase", "K8", {{2, false}}, false},
    // Identify, then the two memory writes (a K8 has no trigger level).
    {"set-level", "K5", {{2, true}}, true},
    {"set-level", "K6", {{2, true}}, true},
    {"set-level", "K7", {{2, true}}, true},
};

using Faults = std::vector<std::string>;

// Unplugged before anything, within and after each reply that something
// still depends on; each checked reply silent, cut short and garbled.
std::vector<Faults> FaultsFor(const CommandCase& c) {
  std::vector<Faults> faults = {{"unplug-after=0"}};
  const auto more = [&c](std::size_t after) {
    for (std::size_t j = after + 1; j < c.replies.size(); ++j) {
      if (c.replies[j].checked) return true;
    }
    return c.writesAfterLastReply;
  };
  std::uint64_t before = 0;
  Faults passes;
  for (std::size_t i = 0; i < c.replies.size(); ++i) {
    const Reply& reply = c.replies[i];
    if (reply.length > 1 && (reply.checked || more(i))) {
      faults.push_back({"unplug-after=" + std::to_string(before + reply.length / 2)});
    }
    if (more(i)) faults.push_back({"unplug-after=" + std::to_string(before + reply.length)});
    if (reply.checked) {
      for (const std::string& fault :
           {std::string("silent"), "short=" + std::to_string(reply.length / 2),
            "garbage=" + std::string(2 * std::min<std::uint64_t>(reply.length, 2), '0')}) {
        Faults planned = passes;
        planned.push_back(fault);
        faults.push_back(planned);
      }
    }
    before += reply.length;
    passes.push_back("pass");
  }
  return faults;
}

std::vector<std::string> CommandWords(const CommandCase& c, const Faults& faults) {
  std::vector<std::string> words = {c.command, "--emulate", c.model};
  for (const std::string& fault : faults) {
    words.push_back("--fault");
    words.push_back(fault);
  }
  const std::string command = c.command;
  if (command == "download") {
    for (const char* word : {"--now", "2026-01-01T00:00:00", "out.Rn"}) words.push_back(word);
  } else if (command == "sync-clock") {
    for (const char* word : {"--now", "2024-03-05T14:07:09", "--yes"}) words.push_back(word);
  } else {
    words.push_back("--yes");
  }
  return words;
}

std::map<std::string, std::string> FolderContents() {
  std::map<std::string, std::string> files;
  DIR* folder = ::opendir(".");
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") files[name] = ReadWholeFile(name);
  }
  ::closedir(folder);
  return files;
}

class FaultMatrixTest : public testing::ToolFixture {};

TEST_F(FaultMatrixTest, EveryFaultFailsCleanlyAndARetrySucceeds) {
  constexpr auto kPortTimeout = std::chrono::nanoseconds(EmulatedBus::kReadSilenceNs);
  for (const CommandCase& c : kCases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.model);
    // Every file a successful run writes, with contents no run would write,
    // so that a failure rewriting one is seen.
    ASSERT_EQ(Run(CommandWords(c, {})), 0) << err_.str();
    for (const auto& file : FolderContents()) std::ofstream(file.first) << "kept: " << file.first;
    const auto before = FolderContents();

    for (const Faults& faults : FaultsFor(c)) {
      std::string planned;
      for (const std::string& fault : faults) planned += " --fault " + fault;
      SCOPED_TRACE(planned);
      const auto start = std::chrono::steady_clock::now();
      EXPECT_NE(Run(CommandWords(c, faults)), 0);
      EXPECT_LT(std::chrono::steady_clock::now() - start, kPortTimeout);
      EXPECT_NE(err_.str().find(std::string("kestrum-tool ") + c.command + ": "), std::string::npos)
          << err_.str();
      EXPECT_TRUE(FolderContents() == before);
    }
    EXPECT_EQ(Run(CommandWords(c, {})), 0) << err_.str();
  }
}

}  // namespace
}  // namespace kestrum::tool
