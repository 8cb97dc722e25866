// The steps that show the progress page: each builds the page with its texts, hands it
// the work, shows it and reports what the work met.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/run_context.h"

// Writes the named resource to targetPath behind the extraction page when the volume has
// room for it: 0 when the file was written; -1 when the resource cannot be loaded, the
// volume lacks room (with the disk-space message when showErrors is set), or the writing
// failed (after its error box).
int ExtractResourceWithProgress(RunContext& app, const std::u16string& resourceName, const std::u16string& targetPath,
                                bool showErrors);

// Copies the list behind the copy page: 0 when every file was copied, -1 after the error
// box of the pair that failed.
int copyFilesWithProgress(RunContext& app, std::uint64_t totalBytes, const std::vector<std::u16string>& sources,
                          const std::vector<std::u16string>& destinations);
