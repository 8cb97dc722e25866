// The run's log: UTF-8 lines in a file in the temporary folder, for the administrator
// whose unattended run went wrong somewhere. Lines written before the file is named wait
// in memory. Writing never fails the run: a line that cannot be written is lost, nothing
// else. Any thread may write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/worker_state.h"

namespace platform {

class File;
class System;

class RunLog {
public:
    explicit RunLog(System& system);
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Starts the file at path with the lines so far; false (and no file) when it cannot be
    // made. Lines after a failed open are dropped.
    bool open(const std::u16string& path);
    const std::u16string& path() const { return path_; }

    // One line, behind the seconds since the log began; values of installer properties
    // that name a secret are masked.
    void write(std::u16string_view line);
    void write(std::string_view line);

private:
    void put(std::string text);

    System& system_;
    WorkerLock lock_;
    std::unique_ptr<File> file_;
    std::u16string path_;
    std::string waiting_;  // lines before open()
    bool dropping_ = false;
    std::uint64_t startMs_;
};

// The command line with the value of every NAME=value whose name speaks of a secret
// (PASSWORD, PWD, SECRET, TOKEN, PIDKEY, in any letter case) replaced by "***".
std::u16string maskSecrets(std::u16string_view commandLine);

// Milliseconds as seconds with three decimals: "12.345".
std::string secondsText(std::uint64_t ms);

// A file name made of the text: letters, digits, '.', '-' and '_' stay, anything else
// becomes '_'; at most 40 characters, "setup" when nothing is left.
std::u16string logNamePart(std::u16string_view text);

}  // namespace platform
