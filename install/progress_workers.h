// The work the progress page runs on its worker thread: a program, an embedded resource
// written to a file, a list of files copied. Each reports its progress in the sink it is
// handed, under the sink's lock, and shows its own error box; none touches the page. The page marks the work done once
// the function has returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/run_context.h"
#include "platform/worker_state.h"

// Runs the program with its arguments directly (no command interpreter), hidden, for at
// most an hour, and keeps the page on screen for at least three seconds. The exit code is
// not examined: whether a runtime arrived is asked of the system afterwards.
void runProgramWork(platform::System& system, const std::u16string& program, const std::u16string* arguments,
                    const std::u16string* moreArguments);

// Writes the named resource to target, created anew (a file of that name is removed
// first), with the percent of the pieces written. 0 when the whole file is written; -1
// after error 58 (no resource) or 57 (the target cannot be written), with no partial
// target left behind.
int extractResourceWork(RunContext& app, platform::ProgressSink& sink, const std::u16string& resourceName,
                        const std::u16string& target);

// Copies sources[i] to destinations[i] in order, with the percent of totalBytes, each copy
// keeping its source's time stamps and attributes without read-only (an existing read-only
// destination is overwritten). 0 when every file is copied; -1 after error 62 (a source
// cannot be read) or 63 (a destination cannot be written, or is its own source), with the
// files after it left alone and no partial destination left behind.
int copyFilesWork(RunContext& app, platform::ProgressSink& sink, std::uint64_t totalBytes,
                  const std::vector<std::u16string>& sources, const std::vector<std::u16string>& destinations);
